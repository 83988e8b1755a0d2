#pragma once
// The user-interface thread's message handling outside the main loop.
#include <cstdint>
#include <optional>

namespace quillet::win32 {

// Handles every message that is waiting now, without waiting for more. A quit request met on
// the way is left in the queue for the main loop.
void ProcessMessages();

// ProcessMessages for long work on the user-interface thread that offers a moment between
// its small steps (a line of the notes file): at the first moment, then whenever at least
// Interval has passed since the last time. A look into the queue costs a call into the system
// even when nothing waits (under Wine a trip to its server, some 50 microseconds), so looking
// at every step would cost more than the work itself; a window that answers within Interval
// still repaints and reacts during the work.
class ProcessMessagesNowAndThen {
public:
    static constexpr std::uint64_t IntervalMs = 15;
    void operator()();

private:
    std::optional<std::uint64_t> last_; // GetTickCount64 at the last look
};

} // namespace quillet::win32
