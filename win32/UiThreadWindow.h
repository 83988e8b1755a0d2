#pragma once
// The user-interface thread's end of the hand-over on Windows. Wake() posts a message to a
// hidden window of that thread, and the window runs what is waiting when the message comes.
// Every message loop dispatches posted messages, so handed-over work also runs inside
// dialogs, message boxes, menus and the moving and sizing of windows.
//
// The window is message-only: all it ever receives is its own posted message, and as such it
// gets no broadcasts and stays out of window enumeration, where anything looking for the
// program's windows would otherwise find it. (The tray needs a hidden top-level window for
// its broadcast; this one needs none.)
//
// Once the window is gone, Wake() posts nothing and handed-over work waits in the queue until
// the user-interface thread calls RunPending() itself, as the tick timer's destructor does
// while it waits for its worker: nothing crashes and no worker is stranded at shutdown.
#include "base/UiThread.h"
#include "win32/Window.h"

#include <atomic>

namespace quillet::win32 {

class UiThreadWindow final : public UiThread, public Window {
public:
    // The message that tells the window that work is waiting.
    static constexpr UINT WakeMessage = WM_APP;

    // On the user-interface thread, before any worker that hands work over to it exists.
    // Throws when the window cannot be made.
    UiThreadWindow();

private:
    void Wake() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Destroyed() override;

    // Read by workers in Wake(), so it is not the base's plain handle.
    std::atomic<HWND> target_ = nullptr;
};

} // namespace quillet::win32
