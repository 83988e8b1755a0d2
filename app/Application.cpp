#include "app/Application.h"

#include "res/resource.h"

namespace quillet {

namespace {

// Posted to itself once activated: by then the activation has settled and can be passed on.
constexpr UINT PassActivation = WM_APP;

} // namespace

TApplication::TApplication() {
    ClassStyle classStyle;
    classStyle.icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QUILLET));
    // A caption, a window menu and a minimise box: the taskbar minimises only a window that
    // has that box, and the window menu enables Minimize only then.
    Create("TApplication", classStyle, 0,
           WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, "Quillet",
           GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr);
}

void TApplication::ShowButton(bool shown) {
    ShowWindow(Handle(), shown ? SW_SHOWNOACTIVATE : SW_HIDE);
}

LRESULT TApplication::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED && OnMinimize) OnMinimize();
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_RESTORE && OnRestore) {
            OnRestore();
            return 0;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) PostMessageW(Handle(), PassActivation, 0, 0);
        break;
    case PassActivation:
        if (GetActiveWindow() == Handle() && MainWindow) {
            const HWND front = win32::InputWindow(MainWindow);
            if (IsWindowVisible(front)) SetForegroundWindow(front);
        }
        return 0;
    case WM_CLOSE:
        // Never destroyed by a close: that would take the main window with it.
        if (MainWindow) PostMessageW(MainWindow, WM_CLOSE, 0, 0);
        return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

} // namespace quillet
