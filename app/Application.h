#pragma once
// The application window: the one window of the program that the taskbar and Alt+Tab list.
// It has no size, so it is never seen; the main window is owned by it and so has no button of
// its own. Its button has a minimise box and a window menu with Minimize enabled, while the
// main window itself has neither a minimise nor a maximise box: minimising the program means
// minimising this window, and the tray icon turns that into hiding to the tray.
#include "win32/Window.h"

#include <functional>

namespace quillet {

class TApplication final : public win32::Window {
public:
    // Created hidden: no button until ShowButton.
    TApplication();

    // The window the button stands for. Activating the button's window (a click on the
    // button, Alt+Tab) activates it instead, or the dialog open over it; the button's Close
    // closes it.
    HWND MainWindow = nullptr;
    // The program was minimised: through its button, the button's window menu, or whatever
    // else minimises windows.
    std::function<void()> OnMinimize;
    // The restore command reached the button's window.
    std::function<void()> OnRestore;

    // Shows or hides the button, activating nothing. Shown, the window is in its normal
    // state: a minimised one is restored.
    void ShowButton(bool shown);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace quillet
