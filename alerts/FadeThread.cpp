#include "alerts/FadeThread.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace quillet {

TFadeThread::TFadeThread(UiThread& ui, const Settings& settings,
                         const std::atomic<bool>& pointerInside,
                         std::function<void(int opacity)> apply)
    : ui_(ui), settings_(settings), pointerInside_(pointerInside), apply_(std::move(apply)),
      worker_(ui, [this](std::stop_token stop) { Execute(stop); }) {}

void TFadeThread::Execute(const std::stop_token& stop) {
    const Settings& s = settings_;
    // A step of 0 or less would never arrive.
    const int step = std::max(s.fadeStep, 1);
    const auto interrupted = [&] { return stop.stop_requested() || pointerInside_; };
    // Nothing but a stop ends a wait between two steps early.
    std::mutex mutex;
    std::condition_variable_any stopped;
    Step(s.alphaStart, stop);
    for (int alpha = s.alphaStart; alpha < s.alphaEnd && !interrupted(); alpha += step) {
        Step(alpha, stop);
        std::unique_lock lock(mutex);
        stopped.wait_for(lock, stop, s.fadeTime, [] { return false; });
    }
    if (!interrupted()) Step(s.alphaEnd, stop);
}

void TFadeThread::Step(int opacity, const std::stop_token& stop) {
    ui_.Synchronize([&] {
        if (stop.stop_requested()) return;
        try {
            apply_(opacity);
        } catch (...) {
            // A failed opacity leaves the popup as it was; the fade goes on.
        }
    });
}

} // namespace quillet
