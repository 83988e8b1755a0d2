#pragma once
// A timer that waits on a worker thread of its own and runs each tick's handler on the
// user-interface thread, inside modal loops too. The worker blocks until the handler has run,
// so ticks never overlap; each wait starts after the previous tick, so ticks come an interval
// plus the hand-over plus the handler's run time apart.
#include "base/ThreadPriority.h"
#include "base/UiThread.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace quillet {

class TTimerThread;

class TThreadedTimer {
public:
    // Everything here, the destructor included, runs on the user-interface thread that ui
    // hands over to.
    TThreadedTimer(UiThread& ui, ThreadPriorities& priorities);
    // Ends the worker. A tick that is waiting for the user-interface thread meanwhile still
    // runs, and calls nothing.
    ~TThreadedTimer();
    TThreadedTimer(const TThreadedTimer&) = delete;
    TThreadedTimer& operator=(const TThreadedTimer&) = delete;

    // Whether an Interval of 0 may run: every wait then ends at once.
    bool AllowZero() const { return allowZero_; }
    void SetAllowZero(bool allow) { allowZero_ = allow; }

    // Enabling starts a full interval; disabling holds the worker, so no ticks come.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Milliseconds. A new value restarts the count with a full interval.
    std::uint32_t Interval() const;
    void SetInterval(std::uint32_t interval);

    // The worker thread's priority (the handler runs at the user-interface thread's).
    TThreadPriority ThreadPriority() const;
    void SetThreadPriority(TThreadPriority priority);

    // Called for every tick. What it throws is discarded: the next tick comes as usual.
    std::function<void(TThreadedTimer& sender)> OnTimer;

private:
    friend class TTimerThread;
    void Tick();

    ThreadPriorities& priorities_;
    bool allowZero_ = false;
    bool enabled_ = false;
    bool destroying_ = false;
    std::unique_ptr<TTimerThread> thread_;
};

} // namespace quillet
