// The program's entry: the AppFolder, the single-instance guard and the message loop.
#include "app/AppFolder.h"

#include <windows.h>

namespace {

// Stands in for the main window until it is built: a top-level window that is never shown,
// under the main window's class name and title, whose closing ends the program.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateMainWindow(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "TfrmMain";
    if (!RegisterClassA(&windowClass)) return nullptr;
    return CreateWindowExA(0, "TfrmMain", "Quillet", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, 420, 320, nullptr, nullptr, instance, nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    quillet::AppFolder(); // fixed before anything else runs, from the executable's path

    // The mutex stays owned until the process ends; the system releases it then, so its
    // handle is deliberately never closed.
    CreateMutexA(nullptr, TRUE, "quillet");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        MessageBoxA(nullptr,
                    "Quillet is already running.\r\nDouble-click the Yellow Note icon near your "
                    "clock.",
                    "Information", MB_ICONINFORMATION | MB_OK);
        return 0;
    }

    if (!CreateMainWindow(instance)) return 1;
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
