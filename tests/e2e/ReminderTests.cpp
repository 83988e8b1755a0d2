// A reminder as its user meets it: a note falls due, the popup comes up whatever else is open,
// and Show Alarms brings it back. The tick comes a minute after the start, so this waits.
#include "Harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

using namespace quillet::e2e;
using namespace std::chrono_literals;

namespace {

HWND WaitForQuestion(const Process& app, const std::string& text) {
    HWND box = nullptr;
    WaitUntil([&] {
        for (HWND window : TopLevelWindows(app.Id(), DialogClass, "Confirm"))
            if (IsVisible(window) && WindowText(GetDlgItem(window, MessageBoxTextId)) == text)
                box = window;
        return box != nullptr;
    });
    return box;
}

} // namespace

TEST(Reminders, ANoteDueComesUpWhileAQuestionIsOpenAndShowAlarmsBringsItBack) {
    // The first tick checks the minute it comes in. A start in the last seconds of a minute
    // could tick a minute too late, so such a start waits for the next minute.
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wSecond >= 45) Sleep((61 - now.wSecond) * 1000);
    AppFolderCopy app;
    const std::string notes = app.Folder() + "notes.txt";
    const std::string oneNote =
        "3,2\r\n0,1," + AlarmTextIn(1min) + "\r\n1,1,None\r\n" + "2,1,Call home\r\n";
    std::ofstream(notes, std::ios::binary) << oneNote;

    Process quillet(app.ExePath());
    const HWND mainWindow = WaitForWindow(quillet.Id(), MAIN_WINDOW_CLASS, "Quillet");
    const HWND handler = WaitForWindow(quillet.Id(), TRAY_WINDOW_CLASS);
    ASSERT_TRUE(mainWindow && handler);
    ASSERT_TRUE(WaitUntil(TrayIconShown));
    TrayMouse(handler, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return IsVisible(mainWindow); }));

    // The question stays open while the tick comes; the reminder comes up all the same.
    PostKey(mainWindow, VK_DELETE);
    const HWND question = WaitForQuestion(quillet, "Delete selected Note?");
    ASSERT_TRUE(question);
    HWND popup = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (popup = VisiblePopup(quillet.Id())) != nullptr; }, 100s))
        << "no reminder";
    EXPECT_TRUE(IsWindow(question) && IsVisible(question));
    PressButton(question, IDNO);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(question); }));

    // Closed with its close button, the popup comes back through Show Alarms.
    const RECT bounds = WindowRect(popup);
    ClickAt(popup, (bounds.right - bounds.left) - 11, 18);
    ASSERT_TRUE(WaitUntil([&] { return !IsVisible(popup); })) << "the popup did not close";
    const HWND toolbar = Toolbar(mainWindow);
    ASSERT_TRUE(toolbar);
    ClickToolbarButton(toolbar, 3);
    EXPECT_TRUE(WaitUntil([&] { return IsVisible(popup); })) << "Show Alarms brought nothing";

    // Exit from the toolbar asks first, and then ends the program without writing.
    ClickToolbarButton(toolbar, 6);
    const HWND exitQuestion = WaitForQuestion(quillet, "Exit Quillet?");
    ASSERT_TRUE(exitQuestion);
    PressButton(exitQuestion, IDYES);
    EXPECT_EQ(quillet.WaitForExit(), 0u);
    EXPECT_EQ(app.FileNames(), (std::vector<std::string>{"notes.txt", "quillet.exe"}));
}
