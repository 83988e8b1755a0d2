// The program's entry: the AppFolder, the single-instance guard, the main window and the
// message loop.
#include "app/AppFolder.h"
#include "app/Dialogs.h"
#include "app/uMain.h"

#include <objbase.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    quillet::AppFolder(); // fixed before anything else runs, from the executable's path

    // The mutex stays owned until the process ends; the system releases it then, so its
    // handle is deliberately never closed.
    CreateMutexW(nullptr, TRUE, L"quillet");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        quillet::InformationBox(
            "Quillet is already running.\r\nDouble-click the Yellow Note icon near your clock.");
        return 0;
    }

    // A COM apartment on the user-interface thread, from the start: the shell's calls made
    // here (whether the user may be interrupted, the reminder's sound) expect one, and screen
    // readers reach the windows' accessible objects through it. Without it a reminder due at a
    // resume, which comes as a message sent from another program, did not show under Wine.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    struct ComUser {
        bool initialized;
        ~ComUser() {
            if (initialized) CoUninitialize();
        }
    } comUser{SUCCEEDED(com)};

    try {
        quillet::ApplicationDialogs dialogs;
        quillet::TfrmMain frmMain(dialogs, {quillet::NotesFileName(), quillet::SettingsFileName()});
        dialogs.Owner = frmMain.Handle();
        frmMain.Start();
        MSG message{};
        // The "W" loop: an "A" one would turn every typed character outside the code page
        // into "?" before any control sees it.
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            frmMain.PreviewKey(message);
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        // The window and its components go here, without the window's close handlers.
        return static_cast<int>(message.wParam);
    } catch (const std::exception& e) {
        // The main window could not be built: there is nothing to run.
        quillet::win32::ShowErrorBox(e.what());
        return 1;
    }
}
