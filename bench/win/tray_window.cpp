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
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "TrayWindow";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, "TrayWindow", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                        nullptr, nullptr, instance, nullptr);
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V2_SIZE;
    icon.hWnd = window;
    icon.uID = TRAY_ICON_ID;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = WM_TRAY_ICON;
    icon.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_QUILLET));
    lstrcpyA(icon.szTip, "Tray window");
    Shell_NotifyIconA(NIM_ADD, &icon);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    Shell_NotifyIconA(NIM_DELETE, &icon);
    return 0;
}
