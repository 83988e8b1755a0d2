// The second yardstick of the start-up benchmark: the least any notification-area program with
// common controls pays before it waits for input. It has the program's resources (its manifest
// asks for the common controls 6 and monitor densities), loads the common controls and the
// shell as the program does, makes a hidden window and adds the program's icon to the
// notification area. The probe ends it with WM_QUIT.
#include "res/resource.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TrayWindow";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, L"TrayWindow", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                        nullptr, nullptr, instance, nullptr);
    NOTIFYICONDATAW icon{};
    icon.cbSize = NOTIFYICONDATAW_V2_SIZE;
    icon.hWnd = window;
    icon.uID = TRAY_ICON_ID;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = WM_TRAY_ICON;
    icon.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUILLET));
    lstrcpyW(icon.szTip, L"Tray window");
    Shell_NotifyIconW(NIM_ADD, &icon);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    Shell_NotifyIconW(NIM_DELETE, &icon);
    return 0;
}
