// A reminder as its user meets it: a note falls due, the popup comes up whatever else is open,
// and Show Alarms brings it back. The tick comes a minute after the start, so this waits.
#include "Harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>

using namespace quillet::e2e;
using namespace std::chrono_literals;

namespace {

// The local time a minute from now as an Alarm text, "mm/dd/yyyy HH:nn AM/PM".
std::string AlarmTextInAMinute() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME file;
    SystemTimeToFileTime(&now, &file);
    ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
    ticks.QuadPart += 60ull * 10'000'000; // 100-ns steps
    file = {ticks.LowPart, ticks.HighPart};
    SYSTEMTIME then;
    FileTimeToSystemTime(&file, &then);
    const int hour = then.wHour % 12 == 0 ? 12 : then.wHour % 12;
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d %s", then.wMonth, then.wDay,
                  then.wYear, hour, then.wMinute, then.wHour < 12 ? "AM" : "PM");
    return text;
}

// The program's reminder popup, once it is visible.
HWND VisiblePopup(DWORD processId) {
    for (HWND window : TopLevelWindows(processId, "QuilletAlertWindow"))
        if (IsVisible(window)) return window;
    return nullptr;
}

// A click of the mouse at a point of a window's client area.
void ClickAt(HWND window, int x, int y) {
    POINT screen{x, y};
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    const LPARAM at = MAKELPARAM(x, y);
    PostMessageA(window, WM_MOUSEMOVE, 0, at);
    Sleep(50);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Sleep(50);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
}

HWND Toolbar(HWND mainWindow) {
    for (const Child& child : Children(mainWindow))
        if (child.className == "ToolbarWindow32") return child.window;
    return nullptr;
}

// The toolbar's buttons are 24 pixels wide, the first 9 pixels in.
void ClickToolbarButton(HWND toolbar, int index) {
    ClickAt(toolbar, 9 + 24 * index + 12, 14);
}

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
        "3,2\r\n0,1," + AlarmTextInAMinute() + "\r\n1,1,None\r\n" + "2,1,Call home\r\n";
    std::ofstream(notes, std::ios::binary) << oneNote;

    Process quillet(app.ExePath());
    const HWND mainWindow = WaitForWindow(quillet.Id(), "TfrmMain", "Quillet");
    const HWND handler = WaitForWindow(quillet.Id(), "TTrayIconHandler");
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
