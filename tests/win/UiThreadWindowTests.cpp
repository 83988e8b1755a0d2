#include "alarms/ThdTimer.h"
#include "win32/SystemThreadPriorities.h"
#include "win32/UiThreadWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace quillet;
using namespace quillet::win32;
using namespace std::chrono_literals;

namespace {

constexpr char BoxCaption[] = "Quillet hand-over test";

HWND FindTheBox() {
    return FindWindowA("#32770", BoxCaption);
}

} // namespace

TEST(UiThreadWindow, TicksRunInsideAModalMessageBox) {
    UiThreadWindow ui;
    SystemThreadPriorities priorities;
    TThreadedTimer timer(ui, priorities);
    const DWORD uiThread = GetCurrentThreadId();
    int ticksInTheBox = 0;
    timer.OnTimer = [&](TThreadedTimer&) {
        EXPECT_EQ(GetCurrentThreadId(), uiThread);
        const HWND box = FindTheBox();
        ASSERT_NE(box, nullptr) << "a tick outside the message box's loop";
        if (++ticksInTheBox == 3) SendMessageA(box, WM_COMMAND, IDOK, 0);
    };
    timer.SetInterval(5);
    timer.SetEnabled(true);

    // Should no tick come, the box is closed from here after a while: the test then fails
    // instead of hanging.
    std::atomic<bool> boxEnded = false;
    std::thread rescue([&] {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!boxEnded && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(10ms);
        if (!boxEnded) PostMessageA(FindTheBox(), WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(MessageBoxA(nullptr, "Waiting for ticks", BoxCaption, MB_OK), IDOK);
    boxEnded = true;
    rescue.join();
    EXPECT_EQ(ticksInTheBox, 3);
}

TEST(UiThreadWindow, DestroyingTheTimerWhileATickWaitsCallsNothing) {
    UiThreadWindow ui;
    SystemThreadPriorities priorities;
    auto timer = std::make_unique<TThreadedTimer>(ui, priorities);
    int ticks = 0;
    timer->OnTimer = [&](TThreadedTimer&) { ++ticks; };
    timer->SetInterval(1);
    timer->SetEnabled(true);

    // Nothing is dispatched here, so once the wake message is in the queue, the worker blocks
    // in the hand-over.
    MSG message;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    bool waiting = false;
    while (!waiting && std::chrono::steady_clock::now() < deadline) {
        waiting = PeekMessageA(&message, ui.Handle(), UiThreadWindow::WakeMessage,
                               UiThreadWindow::WakeMessage, PM_NOREMOVE);
        if (!waiting) Sleep(1);
    }
    ASSERT_TRUE(waiting);

    timer.reset();
    EXPECT_EQ(ticks, 0);
}

TEST(UiThreadWindow, OnceTheWindowIsGoneWorkWaitsForRunPending) {
    UiThreadWindow ui;
    DestroyWindow(ui.Handle());
    ASSERT_EQ(ui.Handle(), nullptr);

    bool ran = false;
    std::thread worker([&] { ui.Synchronize([&] { ran = true; }); });
    EXPECT_TRUE(ui.RunPending(20s));
    worker.join();
    EXPECT_TRUE(ran);
}
