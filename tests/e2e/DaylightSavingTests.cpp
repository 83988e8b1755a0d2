// The clocks going forward, for real under Wine. This test runs on its own (ctest's
// win.e2e.daylight_saving): in New York's zone, given through the environment (TZ), on a
// clock that libfaketime starts in every process at 01:58:10 EST on 8 March 2026. At 02:00
// EST the clocks jump to 03:00 EDT. The program's tick before the change sees 01:59 EST, the
// one after it 03:00 EDT; the note set for 02:30, a minute that never comes that night, comes
// up then. Waits for two ticks.
#include "Harness.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace quillet::e2e;
using namespace std::chrono_literals;

TEST(DaylightSaving, ANoteInTheHourTheClocksSkipComesUpRightAfterTheChange) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    ASSERT_TRUE(now.wYear == 2026 && now.wMonth == 3 && now.wDay == 8 && now.wHour == 1)
        << "not on the moved clock: run this test through ctest";
    AppFolderCopy app;
    Put(app.Folder() + "notes.txt",
        "3,2\r\n0,1,03/08/2026 02:30 AM\r\n1,1,None\r\n2,1,In the skipped hour\r\n");

    Process quillet(app.ExePath());
    ASSERT_TRUE(WaitForWindow(quillet.Id(), "TfrmMain", "Quillet"));
    Sleep(85'000); // past the first tick, still before the change
    EXPECT_FALSE(VisiblePopup(quillet.Id())) << "a reminder before the change";
    EXPECT_TRUE(WaitUntil([&] { return VisiblePopup(quillet.Id()) != nullptr; }, 90s))
        << "no reminder after the change";
}
