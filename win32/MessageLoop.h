#pragma once
// The user-interface thread's message handling outside the main loop.
namespace quillet::win32 {

// Handles every message that is waiting now, without waiting for more. A quit request met on
// the way is left in the queue for the main loop.
void ProcessMessages();

} // namespace quillet::win32
