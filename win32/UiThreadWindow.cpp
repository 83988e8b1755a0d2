#include "win32/UiThreadWindow.h"

namespace quillet::win32 {

UiThreadWindow::UiThreadWindow() {
    Create("QuilletUiThread", {}, 0, 0, "", 0, 0, 0, 0, HWND_MESSAGE);
    target_ = Handle();
}

void UiThreadWindow::Wake() {
    // A window destroyed between the load and the post only makes the post fail: the work
    // then waits for the next RunPending(), as it does once the window is gone.
    if (const HWND target = target_) PostMessageW(target, WakeMessage, 0, 0);
}

LRESULT UiThreadWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WakeMessage) return Window::HandleMessage(message, wParam, lParam);
    // One message may find several requests waiting, or none when an earlier one ran them all.
    RunPending();
    return 0;
}

void UiThreadWindow::Destroyed() {
    target_ = nullptr;
}

} // namespace quillet::win32
