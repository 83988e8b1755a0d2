// The yardstick of the start-up benchmark: the least a Win32 program does before it waits for
// input, a hidden window and a message loop. The probe ends it with WM_QUIT.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "EmptyWindow";
    RegisterClassA(&windowClass);
    CreateWindowExA(0, "EmptyWindow", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                    instance, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
