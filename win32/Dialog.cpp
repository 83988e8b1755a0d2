#include "win32/Dialog.h"

#include "win32/Dpi.h"
#include "win32/Text.h"
#include "win32/Window.h"

#include <system_error>

namespace quillet::win32 {
namespace {

constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD DialogExStyle = WS_EX_DLGMODALFRAME;

// A dialog template without controls, title, menu or class: the standard dialog window alone.
struct alignas(DWORD) EmptyTemplate {
    DLGTEMPLATE header{DialogStyle, DialogExStyle, 0, 0, 0, 0, 0};
    WORD menu = 0, windowClass = 0, title = 0;
};

// The messages whose result a dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool ReturnsItsResult(UINT message) {
    return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
           message == WM_COMPAREITEM || message == WM_VKEYTOITEM || message == WM_CHARTOITEM ||
           message == WM_QUERYDRAGICON;
}

} // namespace

std::optional<int> ModalDialog::ShowModal(HWND owner, const char* caption, int clientWidth,
                                          int clientHeight) {
    caption_ = caption;
    client_ = {clientWidth, clientHeight};
    controls_.clear();
    result_.reset();
    initError_ = nullptr;
    static const EmptyTemplate dialogTemplate;
    const INT_PTR ended = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialogTemplate.header,
                                                  owner, Procedure, reinterpret_cast<LPARAM>(this));
    hwnd_ = nullptr;
    if (initError_) std::rethrow_exception(initError_);
    if (ended == -1) throw std::system_error(int(GetLastError()), std::system_category(), caption);
    return result_;
}

void ModalDialog::End(int result) {
    result_ = result;
    EndDialog(hwnd_, result);
}

void ModalDialog::Start(HWND hwnd) {
    hwnd_ = hwnd;
    dpi_ = WindowDpi(hwnd);
    SetText(hwnd, caption_);
    const SIZE size = WindowSizeForClient(Scaled(client_.cx), Scaled(client_.cy), DialogStyle,
                                          DialogExStyle, dpi_);
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CentreOnScreen(hwnd);
    Init();
}

void ModalDialog::SetDpi(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    // The fonts of the old density go once no control uses them any more.
    std::map<FontSpec, GdiFont> old = std::exchange(fonts_, {});
    // The suggested rectangle, then corrected to the client area's design size: the frame's
    // share of a window does not scale evenly with the density.
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT window{}, client{};
    GetWindowRect(hwnd_, &window);
    GetClientRect(hwnd_, &client);
    SetWindowPos(hwnd_, nullptr, 0, 0,
                 window.right - window.left + Scaled(client_.cx) - client.right,
                 window.bottom - window.top + Scaled(client_.cy) - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const Control& c : controls_) {
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font(c.font)), FALSE);
        const RECT r = Scaled(c.design);
        MoveWindow(c.hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    DpiChanged();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

RECT ModalDialog::Scaled(const RECT& design) const {
    // Corners, not sizes, so that controls that meet at 96 still meet.
    return {Scaled(int(design.left)), Scaled(int(design.top)), Scaled(int(design.right)),
            Scaled(int(design.bottom))};
}

HFONT ModalDialog::Font(FontSpec spec) {
    auto found = fonts_.find(spec);
    if (found == fonts_.end())
        found = fonts_.emplace(spec, PointFont(std::string(spec.face).c_str(), spec.points, dpi_))
                    .first;
    return found->second.get();
}

std::optional<LRESULT> ModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DPICHANGED) {
        SetDpi(DpiOf(wParam), SuggestedRect(lParam));
        return 0;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) return 0;
    if (message == WM_CLOSE) {
        End(IDCANCEL);
        return 0;
    }
    return std::nullopt;
}

HWND ModalDialog::AddControl(const wchar_t* className, const char* text, DWORD style, int id,
                             int left, int top, int width, int height, FontSpec font,
                             DWORD exStyle) {
    const RECT design{left, top, left + width, top + height}, r = Scaled(design);
    const HWND control =
        CreateWindowExW(exStyle, className, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                        r.left, r.top, r.right - r.left, r.bottom - r.top, hwnd_,
                        reinterpret_cast<HMENU>(INT_PTR(id)), GetModuleHandleW(nullptr), nullptr);
    if (!control) throw std::system_error(int(GetLastError()), std::system_category(), text);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font(font)), FALSE);
    controls_.push_back({control, design, font});
    return control;
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<ModalDialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        try {
            dialog->Start(hwnd);
        } catch (...) {
            dialog->initError_ = std::current_exception();
            EndDialog(hwnd, 0);
        }
        return FALSE; // Init has set the focus
    }
    auto* dialog = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!dialog) return FALSE;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        dialog->hwnd_ = nullptr;
        return FALSE;
    }
    try {
        const std::optional<LRESULT> result = dialog->HandleMessage(message, wParam, lParam);
        if (!result) return FALSE;
        if (ReturnsItsResult(message)) return INT_PTR(*result);
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, *result);
        return TRUE;
    } catch (const std::exception& e) {
        ShowErrorBox(e.what());
    } catch (...) {
        ShowErrorBox("Unexpected error");
    }
    return TRUE;
}

GdiFont PointFont(const char* face, int points, int dpi) {
    return GdiFont(CreateFontW(-MulDiv(points, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Wide(face).c_str()));
}

} // namespace quillet::win32
