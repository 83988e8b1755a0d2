#include "win32/Window.h"

#include "base/ErrorText.h"

#include <exception>
#include <system_error>

namespace quillet::win32 {

Window::~Window() {
    if (hwnd_) {
        // The object is going: detach it first, so no message reaches a half-destroyed object.
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Window::Create(const char* className, const ClassStyle& classStyle, DWORD exStyle, DWORD style,
                    const char* title, int x, int y, int width, int height, HWND parent,
                    HMENU menu) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExA(instance, className, &existing)) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.style = classStyle.style;
        wc.lpfnWndProc = Procedure;
        wc.hInstance = instance;
        wc.hCursor = classStyle.cursor;
        wc.hbrBackground = classStyle.background;
        wc.hIcon = classStyle.icon;
        wc.lpszClassName = className;
        if (!RegisterClassExA(&wc))
            throw std::system_error(int(GetLastError()), std::system_category(), className);
    }
    if (!CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu,
                         instance, this))
        throw std::system_error(int(GetLastError()), std::system_category(), className);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window =
            static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        window->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!window) return DefWindowProcA(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        const LRESULT result = DefWindowProcA(hwnd, message, wParam, lParam);
        window->hwnd_ = nullptr;
        window->Destroyed();
        return result;
    }
    try {
        return window->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& e) {
        ShowErrorBox(e.what());
    } catch (...) {
        ShowErrorBox("Unexpected error");
    }
    return 0;
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
                    (GetWindowLongA(candidate, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
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
    const std::string text = ErrorBoxText(message);
    MessageBoxA(GetActiveWindow(), text.c_str(), "Quillet", MB_OK | MB_ICONERROR);
}

} // namespace quillet::win32
