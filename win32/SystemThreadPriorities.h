#pragma once
// Thread priorities as the system applies them.
#include "base/ThreadPriority.h"

namespace quillet::win32 {

// The system's priority for each of the core's, THREAD_PRIORITY_IDLE to _TIME_CRITICAL; and
// back, tpNormal for a system priority without a name in the core.
int SystemPriority(TThreadPriority priority);
TThreadPriority CorePriority(int system);

class SystemThreadPriorities final : public ThreadPriorities {
public:
    // Both throw std::system_error when the system refuses.
    void Set(std::thread& thread, TThreadPriority priority) override;
    TThreadPriority Get(std::thread& thread) override;
};

} // namespace quillet::win32
