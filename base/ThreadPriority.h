#pragma once
// Thread priorities belong to the platform: the core names them with the platform's numbers
// (-15 idle, -2 lowest, -1 lower, 0 normal, 1 higher, 2 highest, 15 time-critical) and the
// platform applies them.
#include <thread>

namespace quillet {

class ThreadPriorities {
public:
    virtual ~ThreadPriorities() = default;
    virtual void Set(std::thread& thread, int priority) = 0;
    virtual int Get(std::thread& thread) = 0;
};

} // namespace quillet
