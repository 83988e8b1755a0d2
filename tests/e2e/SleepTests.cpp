// A computer asleep, for real under Wine. This test runs on its own (ctest's win.e2e.sleep):
// libfaketime moves the clock of every process of the test, quillet.exe too, by the offset in
// the file that FAKETIME_TIMESTAMP_FILE names, read anew every second. Waits keep to the real
// clock (FAKETIME_DONT_FAKE_MONOTONIC), as the tick's wait does on Windows 8 and later while
// the computer sleeps. After the first tick, the clock jumps 40 minutes forward: the reminders
// due in them come up at the next tick. Then it jumps again and the test tells the program that
// the computer resumed, as Windows does: the reminder comes up at once. Waits for two ticks.
#include "Harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace quillet::e2e;
using namespace std::chrono_literals;

namespace {

// The offset of the session's clock, written where libfaketime reads it; back to none at the end.
class MovedClock {
public:
    MovedClock() {
        const char* file = std::getenv("FAKETIME_TIMESTAMP_FILE");
        if (file) path_ = "Z:" + std::string(file); // Wine's drive for the Unix root
        Move(0min);
    }
    ~MovedClock() {
        if (!path_.empty()) std::filesystem::remove(path_);
    }
    MovedClock(const MovedClock&) = delete;
    MovedClock& operator=(const MovedClock&) = delete;

    bool Moving() const { return !path_.empty(); }
    // Every process of the session reads the new offset within a second.
    void Move(std::chrono::minutes offset) {
        if (path_.empty()) return;
        char text[32];
        std::snprintf(text, sizeof text, "+%llds\n", static_cast<long long>(offset.count()) * 60);
        Put(path_, text);
        Sleep(1500);
    }

private:
    std::string path_;
};

} // namespace

TEST(Sleep, RemindersMissedWhileTheComputerSleptComeUpAtTheNextTickOrOnResume) {
    MovedClock clock;
    ASSERT_TRUE(clock.Moving()) << "not on a movable clock: run this test through ctest";
    AppFolderCopy app;
    // The cells of a note in row `row`: Alarm, Repeat, Note.
    const auto note = [](int row, const std::string& alarm, const char* repeat, const char* text) {
        const std::string r = std::to_string(row);
        return "0," + r + "," + alarm + "\r\n1," + r + "," + repeat + "\r\n2," + r + "," + text +
               "\r\n";
    };
    Put(app.Folder() + "notes.txt",
        "3,4\r\n" + note(1, AlarmTextIn(20min), "Daily", "Every day") +
            note(2, AlarmTextIn(30min), "None", "Due while asleep") +
            note(3, AlarmTextIn(70min), "None", "Due while asleep again"));

    Process quillet(app.ExePath());
    const HWND mainWindow = WaitForWindow(quillet.Id(), MAIN_WINDOW_CLASS, "Quillet");
    ASSERT_TRUE(mainWindow);
    Sleep(75'000); // past the first tick
    EXPECT_FALSE(VisiblePopup(quillet.Id())) << "a reminder before the sleep";

    // Asleep for 40 minutes, between two ticks.
    clock.Move(40min);
    HWND popup = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (popup = VisiblePopup(quillet.Id())) != nullptr; }, 75s))
        << "no reminder after the sleep";
    const RECT bounds = WindowRect(popup);
    ClickAt(popup, (bounds.right - bounds.left) - 11, 18); // its close button
    ASSERT_TRUE(WaitUntil([&] { return !IsVisible(popup); })) << "the popup did not close";

    // Asleep again, and woken: the check runs when Windows says so, not at the next tick.
    clock.Move(80min);
    SendMessageA(mainWindow, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsVisible(popup); }, 5s)) << "no reminder on resume";
}
