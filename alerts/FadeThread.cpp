#include "alerts/FadeThread.h"

#include <algorithm>

namespace quillet {

TFadeThread::TFadeThread(UiThread& ui, const Settings& settings,
                         const std::atomic<bool>& pointerInside,
                         std::function<void(int opacity)> apply)
    : ui_(ui), settings_(settings), pointerInside_(pointerInside), apply_(std::move(apply)),
      thread_([this] { Execute(); }) {}

TFadeThread::~TFadeThread() {
    Stop();
    while (!ended_) ui_.RunPending(std::chrono::milliseconds(100));
    thread_.join();
}

void TFadeThread::Stop() {
    {
        // Under the lock, so that a worker about to wait cannot miss it.
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    stopped_.notify_one();
}

void TFadeThread::Execute() {
    const Settings& s = settings_;
    // A step of 0 or less would never arrive.
    const int step = std::max(s.fadeStep, 1);
    Step(s.alphaStart);
    for (int alpha = s.alphaStart; alpha < s.alphaEnd && !Interrupted(); alpha += step) {
        Step(alpha);
        std::unique_lock lock(mutex_);
        stopped_.wait_for(lock, s.fadeTime, [&] { return stop_.load(); });
    }
    if (!Interrupted()) Step(s.alphaEnd);
    ui_.Synchronize([this] { ended_ = true; });
}

void TFadeThread::Step(int opacity) {
    ui_.Synchronize([this, opacity] {
        if (stop_) return;
        try {
            apply_(opacity);
        } catch (...) {
            // A failed opacity leaves the popup as it was; the fade goes on.
        }
    });
}

} // namespace quillet
