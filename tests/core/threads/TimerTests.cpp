#include "alarms/ThdTimer.h"
#include "tests/core/threads/TestUi.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

using namespace quillet;
using namespace std::chrono_literals;

namespace {

struct FakePriorities : ThreadPriorities {
    std::mutex mutex;
    std::thread::id setOn;
    TThreadPriority priority = tpNormal;

    void Set(std::thread& thread, TThreadPriority value) override {
        std::lock_guard lock(mutex);
        setOn = thread.get_id();
        priority = value;
    }
    TThreadPriority Get(std::thread&) override {
        std::lock_guard lock(mutex);
        return priority;
    }
};

struct TimerTest : testing::Test {
    TestUi ui;
    FakePriorities priorities;
    std::unique_ptr<TThreadedTimer> timer = std::make_unique<TThreadedTimer>(ui, priorities);
    int ticks = 0;

    void Start(std::uint32_t interval) {
        timer->SetInterval(interval);
        timer->SetEnabled(true);
    }
    bool RunTicks(int count) {
        return ui.RunUntil([&] { return ticks >= count; });
    }
};

} // namespace

TEST_F(TimerTest, TicksRunOneAtATimeOnTheUiThread) {
    const auto uiThread = std::this_thread::get_id();
    timer->OnTimer = [&](TThreadedTimer& sender) {
        EXPECT_EQ(&sender, timer.get());
        EXPECT_EQ(std::this_thread::get_id(), uiThread);
        ++ticks;
        // Longer than the interval: the worker still waits for this handler before its next
        // wait, so no further tick has been handed over meanwhile.
        std::this_thread::sleep_for(3ms);
        EXPECT_EQ(ui.handOvers, ticks);
    };
    Start(1);
    EXPECT_TRUE(RunTicks(5));
}

TEST_F(TimerTest, AFailingHandlerKeepsBeingCalled) {
    timer->OnTimer = [&](TThreadedTimer&) {
        ++ticks;
        throw std::runtime_error("handler failed");
    };
    Start(1);
    EXPECT_TRUE(RunTicks(3));
}

TEST_F(TimerTest, NoTicksWhileDisabled) {
    timer->OnTimer = [&](TThreadedTimer& sender) {
        if (++ticks == 3) sender.SetEnabled(false);
    };
    Start(1);
    ASSERT_TRUE(RunTicks(3));
    ui.RunFor(30ms);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(ui.handOvers, 3);

    timer->SetEnabled(true);
    EXPECT_TRUE(RunTicks(4));
}

TEST_F(TimerTest, NothingRunsBeforeEnabling) {
    timer->OnTimer = [&](TThreadedTimer&) { ++ticks; };
    timer->SetInterval(1);
    ui.RunFor(30ms);
    EXPECT_EQ(ui.handOvers, 0);
    EXPECT_FALSE(timer->Enabled());
}

TEST_F(TimerTest, RestartingTheCountGivesNoTick) {
    timer->OnTimer = [&](TThreadedTimer&) { ++ticks; };
    Start(3'600'000);
    timer->SetEnabled(false);
    timer->SetEnabled(true);
    timer->SetInterval(3'600'001);
    ui.RunFor(30ms);
    EXPECT_EQ(ui.handOvers, 0);

    // A new interval ends the hour's wait at once.
    timer->SetInterval(1);
    EXPECT_TRUE(RunTicks(1));
}

TEST_F(TimerTest, SettingTheCurrentValuesDoesNotRestartTheCount) {
    timer->OnTimer = [&](TThreadedTimer&) { ++ticks; };
    Start(20);
    // Were the count restarted here, the tick would never come.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (ticks == 0 && std::chrono::steady_clock::now() < deadline) {
        timer->SetInterval(20);
        timer->SetEnabled(true);
        ui.RunPending(1ms);
    }
    EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, AZeroIntervalRunsOnlyWhenAllowed) {
    timer->OnTimer = [&](TThreadedTimer&) { ++ticks; };
    Start(0);
    EXPECT_TRUE(timer->Enabled());
    ui.RunFor(30ms);
    EXPECT_EQ(ui.handOvers, 0);

    timer->SetAllowZero(true);
    timer->SetEnabled(false);
    timer->SetEnabled(true);
    EXPECT_TRUE(RunTicks(100));
}

TEST_F(TimerTest, DestroyingWhileATickWaitsForTheUiThreadCallsNothing) {
    timer->OnTimer = [&](TThreadedTimer&) { ++ticks; };
    Start(1);
    // The test's thread is the user-interface thread and runs nothing until the tick waits.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (ui.handOvers == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_EQ(ui.handOvers, 1);

    timer.reset();
    EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, DestroyingAHeldOrWaitingTimerEndsItsWorker) {
    timer.reset(); // never enabled
    timer = std::make_unique<TThreadedTimer>(ui, priorities);
    Start(3'600'000);
    timer.reset();
    SUCCEED();
}

TEST_F(TimerTest, ThreadPriorityGoesToTheWorkerThread) {
    for (const TThreadPriority priority :
         {tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical}) {
        timer->SetThreadPriority(priority);
        EXPECT_EQ(priorities.priority, priority);
        EXPECT_EQ(timer->ThreadPriority(), priority);
    }
    EXPECT_NE(priorities.setOn, std::this_thread::get_id());
}
