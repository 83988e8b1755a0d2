#include "win32/Window.h"

#include "base/ErrorText.h"
#include "win32/Dpi.h"
#include "win32/Gdi.h"
#include "win32/Text.h"

#include <windowsx.h>

#include <exception>
#include <system_error>

namespace quillet::win32 {
namespace {

// Posted to a window whose painting failed, to report the failure after painting.
UINT PaintFailedMessage() {
    static const UINT message = RegisterWindowMessageW(L"QuilletPaintFailed");
    return message;
}

bool IsPainting(UINT message) {
    return message == WM_PAINT || message == WM_PRINTCLIENT || message == WM_ERASEBKGND;
}

} // namespace

Window::~Window() {
    if (hwnd_) {
        // The object is going: detach it first, so no message reaches a half-destroyed object.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Window::Create(const char* className, const ClassStyle& classStyle, DWORD exStyle, DWORD style,
                    const char* title, int x, int y, int width, int height, HWND parent,
                    HMENU menu) {
    paints_ = classStyle.paints;
    followsPointer_ = classStyle.followsPointer;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const std::wstring wideClass = Wide(className);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExW(instance, wideClass.c_str(), &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = classStyle.style;
        wc.lpfnWndProc = Procedure;
        wc.hInstance = instance;
        wc.hCursor = classStyle.cursor;
        wc.hbrBackground = classStyle.background;
        wc.hIcon = classStyle.icon;
        wc.lpszClassName = wideClass.c_str();
        if (!RegisterClassExW(&wc))
            throw std::system_error(int(GetLastError()), std::system_category(), className);
    }
    if (!CreateWindowExW(exStyle, wideClass.c_str(), Wide(title).c_str(), style, x, y, width,
                         height, parent, menu, instance, this))
        throw std::system_error(int(GetLastError()), std::system_category(), className);
    dpi_ = WindowDpi(hwnd_);
}

void Window::SetDpi(int dpi) {
    dpi_ = dpi;
    DpiChanged(std::nullopt);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window =
            static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        const LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
        window->hwnd_ = nullptr;
        window->Destroyed();
        return result;
    }
    try {
        return window->Dispatch(message, wParam, lParam);
    } catch (const std::exception& e) {
        window->Failed(message, e.what());
    } catch (...) {
        window->Failed(message, "Unexpected error");
    }
    return 0;
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == PaintFailedMessage() && paintFailure_) {
        ShowErrorBox(paintFailure_->c_str());
        paintFailure_.reset();
        return 0;
    }
    if (paints_) {
        switch (message) {
        case WM_PAINT: {
            const Painting painting(hwnd_);
            PaintBuffered(painting.dc());
            return 0;
        }
        case WM_PRINTCLIENT: PaintBuffered(reinterpret_cast<HDC>(wParam)); return 0;
        case WM_ERASEBKGND: return 1; // painting covers everything
        }
    }
    if (message == WM_DPICHANGED) {
        dpi_ = DpiOf(wParam);
        DpiChanged(SuggestedRect(lParam));
        return 0;
    }
    if (followsPointer_) {
        if (message == WM_MOUSEMOVE && !trackingPointer_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
            trackingPointer_ = TrackMouseEvent(&track);
        } else if (message == WM_MOUSELEAVE) {
            trackingPointer_ = false;
            PointerLeft();
            return 0;
        }
    }
    return HandleMessage(message, wParam, lParam);
}

void Window::PaintBuffered(HDC target) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    const BufferedPaint buffer(target, client.right, client.bottom);
    Paint(buffer.dc()); // what it throws leaves the buffer unshown
    buffer.Show();
    paintFailing_ = false;
}

// A failure in painting is reported by a message posted to the window, once per run of failed
// paints and one at a time: WM_PAINT comes again and again (the error box's own loop sends it
// as soon as the box moves or uncovers the window), and each would fail and open another box.
// The painting itself has ended by then: BeginPaint's part was validated, so it does not come
// back for the same part at once.
void Window::Failed(UINT message, const char* what) {
    if (!IsPainting(message)) {
        ShowErrorBox(what);
        return;
    }
    const bool reported = paintFailing_ || paintFailure_;
    paintFailing_ = true;
    if (reported) return;
    paintFailure_ = what;
    PostMessageW(hwnd_, PaintFailedMessage(), 0, 0);
}

Point Window::PointerPosition() const {
    POINT pointer{};
    GetCursorPos(&pointer);
    ScreenToClient(hwnd_, &pointer);
    return {pointer.x, pointer.y};
}

Point PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

void CentreOnScreen(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    SetWindowPos(window, nullptr,
                 (GetSystemMetrics(SM_CXSCREEN) - (bounds.right - bounds.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (bounds.bottom - bounds.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<HWND> OpenDialogs(HWND window) {
    struct Search {
        HWND owner, found;
    };
    std::vector<HWND> dialogs;
    for (HWND owner = window; !IsWindowEnabled(owner);) {
        Search search{owner, nullptr};
        EnumThreadWindows(
            GetWindowThreadProcessId(owner, nullptr),
            [](HWND candidate, LPARAM context) -> BOOL {
                auto& search = *reinterpret_cast<Search*>(context);
                if (GetWindow(candidate, GW_OWNER) != search.owner || !IsWindowVisible(candidate) ||
                    (GetWindowLongW(candidate, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
                    return TRUE;
                search.found = candidate;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.found) break;
        dialogs.push_back(owner = search.found);
    }
    return dialogs;
}

HWND InputWindow(HWND window) {
    const std::vector<HWND> dialogs = OpenDialogs(window);
    return dialogs.empty() ? window : dialogs.back();
}

void ShowErrorBox(const char* message) {
    MessageBoxW(GetActiveWindow(), Wide(ErrorBoxText(message)).c_str(), L"Quillet",
                MB_OK | MB_ICONERROR);
}

} // namespace quillet::win32
