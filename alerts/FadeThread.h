#pragma once
// The worker that fades the reminder popup in, one per showing. It steps the opacity from
// alphaStart to alphaEnd and hands every step over to the user-interface thread, which applies
// it while the worker waits; it never touches the window itself. Stopping it never waits for
// it: from the moment Stop() returns no further step is applied, and the worker winds down by
// itself.
#include "base/UiThread.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <stop_token>

namespace quillet {

class TFadeThread {
public:
    struct Settings {
        int alphaStart = 0, alphaEnd = 180, fadeStep = 2;
        std::chrono::milliseconds fadeTime{50};
    };

    // Starts at once: applies alphaStart, then alphaStart, alphaStart + fadeStep, ... below
    // alphaEnd, fadeTime apart, then alphaEnd. It stops early, without applying alphaEnd, when
    // asked to or when it finds pointerInside set before a step. apply runs on the
    // user-interface thread; what it throws is ignored.
    TFadeThread(UiThread& ui, const Settings& settings, const std::atomic<bool>& pointerInside,
                std::function<void(int opacity)> apply);
    // On the user-interface thread: stops the worker and runs what it hands over meanwhile
    // until it has ended, so it may go while the worker still waits for that thread.
    ~TFadeThread() = default;
    TFadeThread(const TFadeThread&) = delete;
    TFadeThread& operator=(const TFadeThread&) = delete;

    // User-interface thread: no step is applied from now on. Returns at once.
    void Stop() { worker_.Stop(); }
    // User-interface thread: the worker has handed over its last work; it is as good as gone.
    bool Ended() const { return worker_.Ended(); }

private:
    void Execute(const std::stop_token& stop);
    void Step(int opacity, const std::stop_token& stop);

    UiThread& ui_;
    const Settings settings_;
    const std::atomic<bool>& pointerInside_;
    const std::function<void(int)> apply_;
    UiWorker worker_; // last: starts once everything above is ready, and ends first
};

} // namespace quillet
