#pragma once
// Thread priorities belong to the platform: the core names them, the platform applies them.
#include <thread>

namespace quillet {

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class ThreadPriorities {
public:
    virtual ~ThreadPriorities() = default;
    virtual void Set(std::thread& thread, TThreadPriority priority) = 0;
    // tpNormal for a priority the platform gave the thread that has no name here.
    virtual TThreadPriority Get(std::thread& thread) = 0;
};

} // namespace quillet
