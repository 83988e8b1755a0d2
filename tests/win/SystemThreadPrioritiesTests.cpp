#include "alarms/ThdTimer.h"
#include "win32/SystemThreadPriorities.h"
#include "win32/UiThreadWindow.h"

#include <gtest/gtest.h>

#include <pthread.h>

using namespace quillet;
using namespace quillet::win32;

namespace {

// The system's priorities, remembering which thread the timer gave them.
struct WorkerPriorities : ThreadPriorities {
    SystemThreadPriorities system;
    HANDLE worker = nullptr;

    void Set(std::thread& thread, TThreadPriority priority) override {
        worker = pthread_gethandle(thread.native_handle());
        system.Set(thread, priority);
    }
    TThreadPriority Get(std::thread& thread) override { return system.Get(thread); }
};

} // namespace

TEST(SystemThreadPriorities, TheTimersPriorityIsItsWorkerThreads) {
    UiThreadWindow ui;
    WorkerPriorities priorities;
    TThreadedTimer timer(ui, priorities);
    const struct {
        TThreadPriority priority;
        int system;
    } table[] = {{tpIdle, THREAD_PRIORITY_IDLE},
                 {tpLowest, THREAD_PRIORITY_LOWEST},
                 {tpLower, THREAD_PRIORITY_BELOW_NORMAL},
                 {tpNormal, THREAD_PRIORITY_NORMAL},
                 {tpHigher, THREAD_PRIORITY_ABOVE_NORMAL},
                 {tpHighest, THREAD_PRIORITY_HIGHEST},
                 {tpTimeCritical, THREAD_PRIORITY_TIME_CRITICAL}};
    for (const auto& entry : table) {
        timer.SetThreadPriority(entry.priority);
        ASSERT_NE(priorities.worker, nullptr);
        EXPECT_EQ(GetThreadPriority(priorities.worker), entry.system);
        EXPECT_EQ(timer.ThreadPriority(), entry.priority);
    }
    EXPECT_NE(GetThreadId(priorities.worker), GetCurrentThreadId());
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
    // A priority of the realtime class, which the core has no name for.
    EXPECT_EQ(CorePriority(7), tpNormal);
}
