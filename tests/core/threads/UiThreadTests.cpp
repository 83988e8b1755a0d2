#include "tests/core/threads/TestUi.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

using namespace quillet;

TEST(UiThread, WorkersBlockUntilTheirWorkHasRunOnTheUiThread) {
    TestUi ui;
    const auto uiThread = std::this_thread::get_id();
    int ran = 0; // touched on the user-interface thread only
    std::vector<std::thread> workers;
    std::vector<int> seenAfterwards(4, -1);
    for (int i = 0; i < 4; ++i)
        workers.emplace_back([&, i] {
            int seen = -1;
            ui.Synchronize([&] {
                EXPECT_EQ(std::this_thread::get_id(), uiThread);
                seen = ++ran;
            });
            seenAfterwards[std::size_t(i)] = seen; // set by the work before Synchronize returned
        });
    EXPECT_TRUE(ui.RunUntil([&] { return ran == 4; }));
    for (std::thread& worker : workers) worker.join();
    for (int seen : seenAfterwards) EXPECT_GT(seen, 0);
}

TEST(UiThread, WhatTheWorkThrowsReachesTheWorker) {
    TestUi ui;
    bool ran = false, caught = false;
    std::thread worker([&] {
        try {
            ui.Synchronize([&] {
                ran = true;
                throw std::runtime_error("failed on the ui thread");
            });
        } catch (const std::runtime_error& e) {
            caught = std::string(e.what()) == "failed on the ui thread";
        }
    });
    EXPECT_TRUE(ui.RunUntil([&] { return ran; }));
    worker.join();
    EXPECT_TRUE(caught);
}
