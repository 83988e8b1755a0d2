#pragma once
// Thread priorities as the system applies them: the core's numbers are the system's own.
#include "base/ThreadPriority.h"

namespace quillet::win32 {

class SystemThreadPriorities final : public ThreadPriorities {
public:
    // Both throw std::system_error when the system refuses.
    void Set(std::thread& thread, int priority) override;
    int Get(std::thread& thread) override;
};

} // namespace quillet::win32
