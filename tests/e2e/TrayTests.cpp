// The program as its user meets it: hidden in the tray, opened by the icon, sent back by
// closing, and ended from the tray menu or by the end of the session.
#include "Harness.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace quillet::e2e;

namespace {

constexpr char NoNotes[] = "3,2\r\ncw 0,130\r\ncw 1,84\r\ncw 2,168\r\n"
                           "0,0,Alarm\r\n1,0,Repeat\r\n2,0,Note\r\n";

// The confirmation box of the program, once it is up.
HWND WaitForConfirmation(const Process& app) {
    HWND box = nullptr;
    WaitUntil([&] {
        for (HWND window : TopLevelWindows(app.Id(), DialogClass, "Confirm"))
            if (IsVisible(window)) box = window;
        return box != nullptr;
    });
    return box;
}

// Deletes the current note through the Delete key and the answer given.
void DeleteWithAnswer(const Process& app, HWND mainWindow, int answer) {
    PostKey(mainWindow, VK_DELETE);
    const HWND box = WaitForConfirmation(app);
    ASSERT_TRUE(box) << "no confirmation";
    EXPECT_EQ(WindowText(GetDlgItem(box, MessageBoxTextId)), "Delete selected Note?");
    PressButton(box, answer);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
}

} // namespace

TEST(Tray, TheWindowOpensFromTheIconSortedAndClosesBackToIt) {
    AppFolderCopy app;
    const std::string notes = app.Folder() + "notes.txt";
    const std::string twoNotes = "3,3\r\ncw 0,130\r\ncw 1,84\r\ncw 2,168\r\n"
                                 "0,1,12/09/2026 09:00 AM\r\n1,1,None\r\n2,1,Later\r\n"
                                 "0,2,01/05/2026 09:00 AM\r\n1,2,None\r\n2,2,Earlier\r\n";
    Put(notes, twoNotes);
    Process quillet(app.ExePath());
    const HWND mainWindow = WaitForWindow(quillet.Id(), MAIN_WINDOW_CLASS, "Quillet");
    const HWND handler = WaitForWindow(quillet.Id(), TRAY_WINDOW_CLASS);
    ASSERT_TRUE(mainWindow && handler);
    ASSERT_TRUE(WaitUntil(TrayIconShown)) << "no tray icon";
    EXPECT_FALSE(IsVisible(mainWindow));

    TrayMouse(handler, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return IsVisible(mainWindow); })) << "the window did not open";
    EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); })) << "the icon stayed";
    EXPECT_EQ(GetForegroundWindow(), mainWindow);
    const RECT bounds = WindowRect(mainWindow);
    EXPECT_EQ(bounds.right - bounds.left, 420);
    EXPECT_EQ(bounds.bottom - bounds.top, 320);
    EXPECT_TRUE(CentredOnScreen(bounds));

    // No changes nothing; Yes deletes the current row, the first after the sort by Alarm.
    DeleteWithAnswer(quillet, mainWindow, IDNO);
    EXPECT_EQ(Content(notes), twoNotes);
    // Wine may refuse to open the file for a moment while the save puts the new one in its
    // place: a read that finds nothing is no answer yet.
    const auto saved = [&](const std::string& before) {
        std::string now;
        WaitUntil([&] { return !(now = Content(notes)).empty() && now != before; });
        return now;
    };
    DeleteWithAnswer(quillet, mainWindow, IDYES);
    EXPECT_EQ(saved(twoNotes), "3,2\r\ncw 0,130\r\ncw 1,84\r\ncw 2,168\r\n"
                               "0,0,Alarm\r\n1,0,Repeat\r\n2,0,Note\r\n"
                               "0,1,12/09/2026 09:00 AM\r\n1,1,None\r\n2,1,Later\r\n");
    // The last note leaves an empty row and a file without notes.
    DeleteWithAnswer(quillet, mainWindow, IDYES);
    EXPECT_TRUE(WaitUntil([&] { return Content(notes) == NoNotes; }));

    // Insert opens the editor; its OK puts the preset note into the empty row and saves.
    PostKey(mainWindow, VK_INSERT);
    const HWND editor = WaitForWindow(quillet.Id(), DialogClass, "Note");
    ASSERT_TRUE(editor) << "no editor";
    HWND ok = nullptr;
    for (const Child& child : Children(editor))
        if (child.className == "Button" && WindowText(child.window) == "OK") ok = child.window;
    ASSERT_TRUE(ok);
    PostMessageA(ok, BM_CLICK, 0, 0);
    const std::string added = saved(NoNotes);
    EXPECT_TRUE(added.starts_with("3,2\r\n")) << added;
    EXPECT_NE(added.find("\r\n1,1,None\r\n"), std::string::npos) << added;

    // Closing hides the window and brings the icon back; the program runs on.
    AskToClose(mainWindow);
    EXPECT_TRUE(WaitUntil([&] { return !IsVisible(mainWindow) && TrayIconShown(); }));
    EXPECT_TRUE(quillet.Running());

    // Exit from the menu writes nothing: no settings file, the notes as they were.
    ExitFromTrayMenu(quillet.Id(), handler);
    EXPECT_EQ(quillet.WaitForExit(), 0u);
    EXPECT_FALSE(TrayIconShown());
    EXPECT_EQ(app.FileNames(), (std::vector<std::string>{"notes.txt", "quillet.exe"}));
    EXPECT_EQ(Content(notes), added);
}

TEST(Tray, ANotesFileThatCannotBeOpenedGivesOneErrorThenTheWindow) {
    AppFolderCopy app;
    const std::string notes = app.Folder() + "notes.txt";
    Put(notes, "3,2\r\n");
    Put(app.Folder() + "quillet.ini", "[General]\r\nHeight=400\r\nWidth=600\r\n");
    // Held open without sharing, the file cannot be opened by the program.
    Handle locked(CreateFileA(notes.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(locked.get(), INVALID_HANDLE_VALUE);

    Process quillet(app.ExePath());
    const HWND box = WaitForWindow(quillet.Id(), DialogClass, "Quillet");
    ASSERT_TRUE(box) << "no error box";
    EXPECT_EQ(WindowText(GetDlgItem(box, MessageBoxTextId)), "Cannot open file " + notes + ".");
    const HWND mainWindow = WaitForWindow(quillet.Id(), MAIN_WINDOW_CLASS, "Quillet");
    EXPECT_FALSE(IsVisible(mainWindow));
    PressButton(box, IDOK);

    // The rest of the start was skipped: the designed size, shown at once, and no icon.
    ASSERT_TRUE(WaitUntil([&] { return IsVisible(mainWindow); }));
    const RECT bounds = WindowRect(mainWindow);
    EXPECT_EQ(bounds.right - bounds.left, 420);
    EXPECT_EQ(bounds.bottom - bounds.top, 320);
    EXPECT_TRUE(CentredOnScreen(bounds));
    EXPECT_FALSE(TrayIconShown());
    EXPECT_EQ(TopLevelWindows(quillet.Id(), DialogClass).size(), 0u);

    // The end of the session ends the program at once, without writing the settings.
    DWORD_PTR answer = 0;
    ASSERT_TRUE(
        SendMessageTimeoutA(mainWindow, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, DWORD_PTR(TRUE));
    PostMessageA(mainWindow, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(quillet.WaitForExit(), 0u);
    EXPECT_EQ(Content(app.Folder() + "quillet.ini"), "[General]\r\nHeight=400\r\nWidth=600\r\n");
}

TEST(Tray, TheStoredSizeIsTheWindowsAndClosingAtTheSessionEndStoresItAgain) {
    AppFolderCopy app;
    const std::string settings = app.Folder() + "quillet.ini";
    Put(settings, "[General]\r\nHeight=400\r\nWidth=600\r\n");
    Process quillet(app.ExePath());
    const HWND mainWindow = WaitForWindow(quillet.Id(), MAIN_WINDOW_CLASS, "Quillet");
    const HWND handler = WaitForWindow(quillet.Id(), TRAY_WINDOW_CLASS);
    ASSERT_TRUE(mainWindow && handler);
    ASSERT_TRUE(WaitUntil(TrayIconShown));
    TrayMouse(handler, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return IsVisible(mainWindow); }));
    const RECT bounds = WindowRect(mainWindow);
    EXPECT_EQ(bounds.right - bounds.left, 600);
    EXPECT_EQ(bounds.bottom - bounds.top, 400);
    EXPECT_TRUE(CentredOnScreen(bounds));

    // Once Windows has asked to end the session, closing ends the program and stores the size:
    // the window's normal size, although it was minimised before the close.
    DWORD_PTR answer = 0;
    ASSERT_TRUE(
        SendMessageTimeoutA(mainWindow, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, DWORD_PTR(TRUE));
    SetWindowPos(mainWindow, nullptr, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER);
    PostMessageA(mainWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsVisible(mainWindow) && TrayIconShown(); }));
    AskToClose(mainWindow);
    EXPECT_EQ(quillet.WaitForExit(), 0u);
    EXPECT_EQ(Content(settings), "[General]\r\nHeight=480\r\nWidth=640\r\n");
    EXPECT_EQ(app.FileNames(), (std::vector<std::string>{"quillet.exe", "quillet.ini"}));
}

TEST(Tray, TheTaskbarButtonMinimisesTheProgramToTheTrayAndRestoresIt) {
    AppFolderCopy app;
    Process quillet(app.ExePath());
    const HWND mainWindow = WaitForWindow(quillet.Id(), MAIN_WINDOW_CLASS, "Quillet");
    const HWND handler = WaitForWindow(quillet.Id(), TRAY_WINDOW_CLASS);
    ASSERT_TRUE(mainWindow && handler);
    ASSERT_TRUE(WaitUntil(TrayIconShown));
    EXPECT_TRUE(TaskbarWindows(quillet.Id()).empty());

    // Open: one entry, the window that owns the main window, which can be minimised.
    TrayMouse(handler, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return IsVisible(mainWindow) && !TrayIconShown(); }));
    const std::vector<HWND> entries = TaskbarWindows(quillet.Id());
    ASSERT_EQ(entries.size(), 1u);
    const HWND button = entries[0];
    EXPECT_EQ(GetWindow(mainWindow, GW_OWNER), button);
    EXPECT_EQ(WindowText(button), "Quillet");
    EXPECT_TRUE(GetWindowLongA(button, GWL_STYLE) & WS_MINIMIZEBOX);
    EXPECT_FALSE(GetWindowLongA(mainWindow, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    // What the taskbar sends for a click on the active program's button.
    PostMessageA(button, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsVisible(mainWindow) && TrayIconShown(); }));
    EXPECT_TRUE(TaskbarWindows(quillet.Id()).empty());

    PostMessageA(button, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsVisible(mainWindow) && !TrayIconShown(); }));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == mainWindow; }));
    EXPECT_EQ(TaskbarWindows(quillet.Id()), std::vector<HWND>{button});

    ExitFromTrayMenu(quillet.Id(), handler);
    EXPECT_EQ(quillet.WaitForExit(), 0u);
    EXPECT_EQ(app.FileNames(), std::vector<std::string>{"quillet.exe"});
}

TEST(Tray, AboutFromTheTrayOpensOnceAndKeepsTheWindowDisabledBehindIt) {
    AppFolderCopy app;
    Process quillet(app.ExePath());
    const HWND mainWindow = WaitForWindow(quillet.Id(), MAIN_WINDOW_CLASS, "Quillet");
    const HWND handler = WaitForWindow(quillet.Id(), TRAY_WINDOW_CLASS);
    ASSERT_TRUE(mainWindow && handler);
    ASSERT_TRUE(WaitUntil(TrayIconShown));
    const auto visibleAbouts = [&] {
        std::vector<HWND> shown;
        for (HWND window : TopLevelWindows(quillet.Id(), DialogClass, "About"))
            if (IsVisible(window)) shown.push_back(window);
        return shown;
    };

    ChooseFromTrayMenu(quillet.Id(), handler, VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return visibleAbouts().size() == 1; })) << "no About";
    const HWND about = visibleAbouts()[0];
    EXPECT_EQ(GetWindow(about, GW_OWNER), mainWindow);
    EXPECT_FALSE(IsWindowEnabled(mainWindow));
    EXPECT_EQ(TaskbarWindows(quillet.Id()).size(), 1u); // the program's button, for the dialog

    // About again from the tray menu, which the icon still offers, then the icon's
    // double-click: one About, in front of the main window, which stays disabled.
    ChooseFromTrayMenu(quillet.Id(), handler, VK_DOWN);
    EXPECT_TRUE(WaitUntil([&] {
        for (HWND window : TopLevelWindows(quillet.Id(), "#32768"))
            if (IsVisible(window)) return false;
        return true;
    }));
    TrayMouse(handler, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return IsVisible(mainWindow); }));
    EXPECT_EQ(visibleAbouts(), std::vector<HWND>{about});
    EXPECT_FALSE(IsWindowEnabled(mainWindow));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == about; }));
    EXPECT_EQ(TaskbarWindows(quillet.Id()).size(), 1u);

    PressButton(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(mainWindow); }));
    ExitFromTrayMenu(quillet.Id(), handler);
    EXPECT_EQ(quillet.WaitForExit(), 0u);
}
