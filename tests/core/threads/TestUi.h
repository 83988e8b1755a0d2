#pragma once
// The user-interface thread of the thread tests: the test's own thread runs what workers
// hand over. Waits are bounded generously, so a broken hand-over fails instead of hanging;
// nothing measures durations.
#include "base/UiThread.h"

#include <atomic>
#include <chrono>
#include <functional>

namespace quillet {

struct TestUi : UiThread {
    // Work handed over so far.
    std::atomic<int> handOvers = 0;

    // Runs handed-over work until done() holds; false if it does not within a generous limit.
    bool RunUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            RunPending(std::chrono::milliseconds(5));
        }
        return true;
    }

    // Runs handed-over work for a while: long enough for a tick that should not come to come.
    void RunFor(std::chrono::milliseconds span) {
        const auto end = std::chrono::steady_clock::now() + span;
        while (std::chrono::steady_clock::now() < end) RunPending(std::chrono::milliseconds(1));
    }

protected:
    void Wake() override { ++handOvers; }
};

} // namespace quillet
