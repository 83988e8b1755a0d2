#include "win32/MessageLoop.h"

#include <windows.h>

namespace quillet::win32 {

void ProcessMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(int(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void ProcessMessagesNowAndThen::operator()() {
    // The tick count is read from memory the system keeps current: far cheaper than the
    // queue, and fine enough for this.
    const std::uint64_t now = GetTickCount64();
    if (last_ && now - *last_ < IntervalMs) return;
    ProcessMessages();
    last_ = GetTickCount64();
}

} // namespace quillet::win32
