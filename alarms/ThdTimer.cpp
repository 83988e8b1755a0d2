#include "alarms/ThdTimer.h"

#include <chrono>
#include <condition_variable>
#include <iterator>
#include <mutex>
#include <stop_token>
#include <thread>

namespace quillet {

namespace {

// The platform's number for each TThreadPriority.
constexpr int PlatformPriority[] = {-15, -2, -1, 0, 1, 2, 15};

} // namespace

// The worker: waits the interval on its wake event, then hands one tick over to the
// user-interface thread and blocks until it has run there. Held, it waits for nothing but
// being resumed or ended. Ending it (on the user-interface thread) runs the work it hands over
// meanwhile.
class TTimerThread {
public:
    TTimerThread(TThreadedTimer& owner, UiThread& ui)
        : owner_(owner), ui_(ui), worker_(ui, [this](std::stop_token stop) { Execute(stop); }) {}

    std::uint32_t Interval() {
        std::lock_guard lock(mutex_);
        return interval_;
    }
    // Only while held, so that no wait sees the interval change under it.
    void SetInterval(std::uint32_t interval) {
        std::lock_guard lock(mutex_);
        interval_ = interval;
    }

    void Hold() {
        std::lock_guard lock(mutex_);
        held_ = true;
        changed_.notify_one();
    }
    // Sets the wake event too: a pending wait ends without a tick and a full one begins.
    void Resume() {
        std::lock_guard lock(mutex_);
        held_ = false;
        woken_ = true;
        changed_.notify_one();
    }

    std::thread& Thread() { return worker_.Thread(); }

private:
    void Execute(std::stop_token stop) {
        std::unique_lock lock(mutex_);
        while (!stop.stop_requested()) {
            changed_.wait(lock, stop, [&] { return !held_; });
            const bool woken = changed_.wait_for(lock, stop, std::chrono::milliseconds(interval_),
                                                 [&] { return woken_ || held_; });
            woken_ = false; // the wake event resets itself
            if (woken || stop.stop_requested()) continue;
            lock.unlock();
            ui_.Synchronize([this] { owner_.Tick(); });
            lock.lock();
        }
    }

    TThreadedTimer& owner_;
    UiThread& ui_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::uint32_t interval_ = 1000;
    bool held_ = true; // created suspended
    bool woken_ = false;
    UiWorker worker_; // last: starts once everything above is ready, and ends first
};

TThreadedTimer::TThreadedTimer(UiThread& ui, ThreadPriorities& priorities)
    : priorities_(priorities), thread_(std::make_unique<TTimerThread>(*this, ui)) {}

TThreadedTimer::~TThreadedTimer() {
    enabled_ = false;
    destroying_ = true;
    thread_.reset();
}

void TThreadedTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (!enabled)
        thread_->Hold();
    else if (thread_->Interval() != 0 || allowZero_)
        thread_->Resume();
}

std::uint32_t TThreadedTimer::Interval() const {
    return thread_->Interval();
}

void TThreadedTimer::SetInterval(std::uint32_t interval) {
    if (interval == thread_->Interval()) return;
    const bool enabled = enabled_;
    SetEnabled(false);
    thread_->SetInterval(interval);
    SetEnabled(enabled);
}

TThreadPriority TThreadedTimer::ThreadPriority() const {
    const int priority = priorities_.Get(thread_->Thread());
    for (std::size_t i = 0; i < std::size(PlatformPriority); ++i)
        if (PlatformPriority[i] == priority) return TThreadPriority(i);
    return tpNormal;
}

void TThreadedTimer::SetThreadPriority(TThreadPriority priority) {
    priorities_.Set(thread_->Thread(), PlatformPriority[priority]);
}

void TThreadedTimer::Tick() {
    if (!enabled_ || !OnTimer || destroying_) return;
    try {
        OnTimer(*this);
    } catch (...) {
        // A failing handler must not stop the ticks, and has nobody to tell.
    }
}

} // namespace quillet
