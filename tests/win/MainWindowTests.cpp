// The main window's commands, start-up and closing, driven with fake dialogs: nobody clicks,
// and the tray's calls are recorded instead of reaching the shell.
#include "app/AppFolder.h"
#include "app/SettingsFile.h"
#include "app/uMain.h"
#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/Errors.h"
#include "notes/AlarmText.h"
#include "notes/NotesDocument.h"
#include "notes/NotesFile.h"
#include "res/resource.h"
#include "tests/support/TaskbarEntry.h"
#include "tests/win/DialogScript.h"
#include "win32/MessageLoop.h"
#include "win32/SystemFileSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <vector>

using namespace quillet;
namespace fs = std::filesystem;

namespace {

struct FakeDialogs final : Dialogs {
    std::deque<bool> answers; // to the questions, in order; No when none is left
    std::vector<std::string> questions, errors, notices;
    // The editor: called with the preset values; its answer is the dialog's result.
    std::function<bool(NoteFields&)> editor = [](NoteFields&) { return false; };
    std::vector<NoteFields> edited; // the presets the editor was opened with
    int abouts = 0;
    std::vector<std::pair<UINT, ULONG_PTR>> helps;

    bool Confirm(const std::string& question) override {
        questions.push_back(question);
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowError(const std::string& message) override { errors.push_back(message); }
    void Inform(const std::string& text) override { notices.push_back(text); }
    bool EditNote(NoteFields& fields) override {
        edited.push_back(fields);
        return editor(fields);
    }
    void About() override { ++abouts; }
    void Help(UINT command, ULONG_PTR data) override { helps.emplace_back(command, data); }
};

struct TrayCall {
    DWORD message;
    NOTIFYICONDATAW data;
};

class MainWindow : public testing::Test {
protected:
    fs::path folder =
        fs::temp_directory_path() / ("quillet-main-" + std::to_string(std::random_device{}()));
    MainWindowFiles files{(folder / "notes.txt").string(), (folder / "quillet.ini").string()};
    FakeDialogs dialogs;
    std::vector<TrayCall> trayCalls;

    void SetUp() override {
        fs::create_directories(folder);
        TCoolTrayIcon::NotifyIcon = [this](DWORD message, const NOTIFYICONDATAW& data) {
            trayCalls.push_back({message, data});
        };
    }
    void TearDown() override {
        TCoolTrayIcon::NotifyIcon = {};
        fs::remove_all(folder);
        // A quit request left by a test must not end the next one's loops.
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    static void Put(const std::string& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }
    static std::string Content(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // The messages of the tray calls made so far that add, change or remove the icon (each
    // add is followed by the notification version, which one test looks at).
    std::vector<DWORD> TrayMessages() const {
        std::vector<DWORD> messages;
        for (const TrayCall& call : trayCalls)
            if (call.message != NIM_SETVERSION) messages.push_back(call.message);
        return messages;
    }
    static bool QuitRequested() {
        MSG quit;
        return PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    static SIZE OuterSize(HWND window) {
        RECT r;
        GetWindowRect(window, &r);
        return {r.right - r.left, r.bottom - r.top};
    }
};

// Handles messages as a message loop would until `done` holds or a few seconds pass.
template <typename Predicate> bool HandleMessagesUntil(Predicate done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        win32::ProcessMessages();
        Sleep(10);
    }
    return true;
}

constexpr char TwoNotes[] = "3,3\r\n"
                            "cw 0,130\r\ncw 1,84\r\ncw 2,168\r\n"
                            "0,1,12/09/2026 09:00 AM\r\n1,1,Daily\r\n2,1,Later\r\n"
                            "0,2,01/05/2026 09:00 AM\r\n1,2,None\r\n2,2,Earlier\r\n";

// TwoNotes with a third note after them, as another program would write it.
std::string WithThirdNote(const std::string& alarm, const std::string& note) {
    return "3,4\r\n" + std::string(TwoNotes).substr(5) + "0,3," + alarm + "\r\n1,3,None\r\n2,3," +
           note + "\r\n";
}

// What the shell reports of the icon `id`, in the notification version the program asks for:
// the event and the icon in lParam, the place on the screen in wParam.
void TrayEvent(HWND handler, UINT event, UINT id = TRAY_ICON_ID, POINT at = {500, 700}) {
    SendMessageA(handler, WM_TRAY_ICON, MAKEWPARAM(at.x, at.y), MAKELPARAM(event, id));
}

NoteFields Fields(TDateTime date, TDateTime time, int repeat, std::string note) {
    return {date, time, repeat, std::move(note)};
}

// The windows of this thread that the taskbar and Alt+Tab list.
std::vector<HWND> TaskbarEntries() {
    std::vector<HWND> entries;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            if (test::HasTaskbarEntry(window))
                reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&entries));
    return entries;
}

// The state of an item of a window's window menu as the open menu shows it: opened as
// Alt+Space opens it, read from inside the menu's loop, closed again. Nothing when the menu
// did not open.
std::optional<UINT> WindowMenuState(HWND window, UINT item) {
    static UINT wanted, state;
    static int ticks;
    wanted = item;
    state = ~0u;
    ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND menu, LPARAM) -> BOOL {
                char className[16]{};
                GetClassNameA(menu, className, sizeof className);
                if (std::string(className) != "#32768" || !IsWindowVisible(menu)) return TRUE;
                const auto items = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
                state = GetMenuState(items, wanted, MF_BYCOMMAND);
                return FALSE;
            },
            0);
        if (state != ~0u || ++ticks > 100) EndMenu();
    });
    SendMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    KillTimer(nullptr, timer);
    win32::ProcessMessages(); // what the menu's end left
    if (state == ~0u) return std::nullopt;
    return state;
}

} // namespace

TEST_F(MainWindow, NormalStartLoadsSortsSizesAndGoesToTheTrayUnseen) {
    Put(files.notes, TwoNotes);
    Put(files.settings, "[General]\r\nHeight=400\r\nWidth=600\r\n");
    TfrmMain frmMain(dialogs, files);
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(frmMain.Notes().CellText(ColNote, 1), "Earlier");
    EXPECT_EQ(frmMain.Notes().CellText(ColNote, 2), "Later");
    const SIZE size = OuterSize(frmMain.Handle());
    EXPECT_EQ(size.cx, 600);
    EXPECT_EQ(size.cy, 400);

    frmMain.Start();
    EXPECT_FALSE(IsWindowVisible(frmMain.Handle()));
    ASSERT_EQ(trayCalls.size(), 2u);
    EXPECT_EQ(trayCalls[0].message, DWORD(NIM_ADD));
    // Every add asks for the current notification version, which the shell forgets with the
    // icon; the record is the whole of the current structure, which that version reads.
    EXPECT_EQ(trayCalls[1].message, DWORD(NIM_SETVERSION));
    EXPECT_EQ(trayCalls[1].data.uVersion, UINT(NOTIFYICON_VERSION_4));
    const NOTIFYICONDATAW& data = trayCalls[0].data;
    EXPECT_EQ(data.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(data.hWnd, frmMain.TrayIcon().HandlerWindow());
    EXPECT_EQ(data.uID, TRAY_ICON_ID);
    EXPECT_EQ(data.uFlags, 7u);
    EXPECT_EQ(data.uCallbackMessage, 0x800u);
    EXPECT_NE(data.hIcon, nullptr);
    EXPECT_STREQ(data.szTip, L"Quillet");
    // The file and the settings are read, never written, by a start.
    EXPECT_EQ(Content(files.notes), TwoNotes);
}

TEST_F(MainWindow, AFailedLoadShowsOneErrorAndTheWindowOpensNormallyCentred) {
    fs::create_directory(files.notes); // exists, but cannot be opened as a file
    Put(files.settings, "[General]\r\nHeight=400\r\nWidth=600\r\n");
    TfrmMain frmMain(dialogs, files);
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"Cannot open file " + files.notes});

    frmMain.Start();
    EXPECT_TRUE(IsWindowVisible(frmMain.Handle()));
    EXPECT_FALSE(IsIconic(frmMain.Handle()));
    EXPECT_TRUE(trayCalls.empty());
    RECT r;
    GetWindowRect(frmMain.Handle(), &r);
    // The rest of the start was skipped: the designed size, not the stored one.
    EXPECT_EQ(r.right - r.left, 420);
    EXPECT_EQ(r.bottom - r.top, 320);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 420) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 320) / 2);
}

TEST_F(MainWindow, StoredSizesReadLeniently) {
    const struct {
        const char* content;
        SIZE size;
    } cases[] = {
        {"", {420, 320}},
        {"[General]\r\nHeight=400\r\n", {420, 400}},
        {"[General]\r\nHeight=4x0\r\nWidth=\r\n", {420, 320}},
        {"[General]\r\nHeight=+300\r\nWidth=99999999999\r\n", {420, 300}},
        {"[Other]\r\nHeight=400\r\nWidth=600\r\n", {420, 320}},
    };
    for (const auto& c : cases) {
        Put(files.settings, c.content);
        TfrmMain frmMain(dialogs, files);
        const SIZE size = OuterSize(frmMain.Handle());
        EXPECT_EQ(size.cx, c.size.cx) << c.content;
        EXPECT_EQ(size.cy, c.size.cy) << c.content;
    }
}

TEST_F(MainWindow, DeleteAsksAndOnYesDeletesTheCurrentRowAndSaves) {
    Put(files.notes, TwoNotes);
    TfrmMain frmMain(dialogs, files);
    NoteTable& notes = frmMain.Notes();

    dialogs.answers = {false};
    frmMain.btnDeleteClick();
    EXPECT_EQ(dialogs.questions, std::vector<std::string>{"Delete selected Note?"});
    EXPECT_EQ(notes.RowCount(), 3);
    EXPECT_EQ(Content(files.notes), TwoNotes); // nothing written

    notes.SelectRow(2);
    dialogs.answers = {true};
    frmMain.btnDeleteClick();
    ASSERT_EQ(notes.RowCount(), 2);
    EXPECT_EQ(notes.CellText(ColNote, 1), "Earlier");

    // The last note: the row stays, empty, and the file holds no notes.
    dialogs.answers = {true};
    frmMain.btnDeleteClick();
    EXPECT_EQ(notes.RowCount(), 2);
    for (int col = 0; col < NoteTable::ColCount; ++col) EXPECT_EQ(notes.CellText(col, 1), "");
    EXPECT_EQ(Content(files.notes), "3,2\r\ncw 0,130\r\ncw 1,84\r\ncw 2,168\r\n"
                                    "0,0,Alarm\r\n1,0,Repeat\r\n2,0,Note\r\n");
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(MainWindow, AddPresetsNowFillsTheEmptyFirstRowThenAppendsAndSelects) {
    TfrmMain frmMain(dialogs, files);
    NoteTable& notes = frmMain.Notes();

    // Cancel: nothing changes and nothing is written.
    frmMain.btnAddClick();
    ASSERT_EQ(dialogs.edited.size(), 1u);
    EXPECT_EQ(dialogs.edited[0].repeatIndex, 0);
    EXPECT_EQ(dialogs.edited[0].note, "");
    EXPECT_GT(dialogs.edited[0].date, EncodeDate(2020, 1, 1));
    EXPECT_FALSE(fs::exists(files.notes));

    dialogs.editor = [](NoteFields& f) {
        f = Fields(EncodeDate(2009, 3, 5), EncodeTime(0, 5, 59, 0), 2, "First");
        return true;
    };
    frmMain.btnAddClick();
    ASSERT_EQ(notes.RowCount(), 2);
    EXPECT_EQ(notes.CellText(ColAlarm, 1), "03/05/2009 12:05 AM");
    EXPECT_EQ(notes.CellText(ColRepeat, 1), "Daily");
    EXPECT_EQ(notes.CellText(ColNote, 1), "First");
    EXPECT_EQ(notes.SelectedRow(), 1);

    dialogs.editor = [](NoteFields& f) {
        f = Fields(EncodeDate(2001, 1, 1), EncodeTime(13, 30, 0, 0), -1, "Two\r\nlines");
        return true;
    };
    frmMain.btnAddClick();
    ASSERT_EQ(notes.RowCount(), 3);
    EXPECT_EQ(notes.CellText(ColAlarm, 2), "01/01/2001 01:30 PM");
    EXPECT_EQ(notes.CellText(ColRepeat, 2), "");
    EXPECT_EQ(notes.SelectedRow(), 2); // the new note stays at the bottom, unsorted

    NoteTable saved;
    LoadNotesFile(saved, files.notes);
    EXPECT_EQ(saved.RowCount(), 3);
    EXPECT_EQ(saved.CellText(ColNote, 2), "Two\r\nlines");
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(MainWindow, EditOpensOnTheCurrentRowAndWritesItBack) {
    Put(files.notes, TwoNotes);
    TfrmMain frmMain(dialogs, files);
    NoteTable& notes = frmMain.Notes();
    notes.SelectRow(2);
    dialogs.editor = [](NoteFields& f) {
        f.repeatIndex = 3;
        f.note = "Changed";
        return true;
    };
    frmMain.btnEditClick();
    ASSERT_EQ(dialogs.edited.size(), 1u);
    EXPECT_EQ(dialogs.edited[0].date, EncodeDate(2026, 12, 9));
    EXPECT_EQ(dialogs.edited[0].time, EncodeTime(9, 0, 0, 0));
    EXPECT_EQ(dialogs.edited[0].repeatIndex, 2);
    EXPECT_EQ(dialogs.edited[0].note, "Later");
    EXPECT_EQ(notes.CellText(ColAlarm, 2), "12/09/2026 09:00 AM");
    EXPECT_EQ(notes.CellText(ColRepeat, 2), "Weekly");
    EXPECT_EQ(notes.CellText(ColNote, 2), "Changed");
    EXPECT_EQ(notes.SelectedRow(), 2);
    NoteTable saved;
    LoadNotesFile(saved, files.notes);
    EXPECT_EQ(saved.CellText(ColNote, 2), "Changed");
}

TEST_F(MainWindow, CommandFailuresGoToTheErrorBoxAndKeepWhatChanged) {
    TfrmMain frmMain(dialogs, files);
    // Editing the blank first row fails on its date before the editor opens.
    SendMessageA(frmMain.Handle(), WM_COMMAND, cmdEdit, 0);
    EXPECT_TRUE(dialogs.edited.empty());
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"'' is not a valid date"});

    // A save that fails leaves the new texts in the table.
    dialogs.errors.clear();
    fs::create_directory(files.notes);
    dialogs.editor = [](NoteFields& f) {
        f.note = "Kept";
        return true;
    };
    SendMessageA(frmMain.Handle(), WM_COMMAND, cmdAdd, 0);
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"Cannot Create " + files.notes});
    EXPECT_EQ(frmMain.Notes().CellText(ColNote, 1), "Kept");
}

TEST_F(MainWindow, ToolbarAndMenuReachTheirCommands) {
    TfrmMain frmMain(dialogs, files);
    const HWND toolbar = frmMain.Toolbar();
    RECT bar;
    GetWindowRect(toolbar, &bar);
    MapWindowPoints(nullptr, frmMain.Handle(), reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(bar.left, 3);
    EXPECT_EQ(bar.top, 1);
    EXPECT_EQ(bar.right - bar.left, 181);
    EXPECT_EQ(bar.bottom - bar.top, 28);

    const struct {
        UINT command;
        const char* hint;
    } buttons[] = {{cmdAdd, "Add Note"},      {cmdDelete, "Delete Note"}, {cmdEdit, "Edit Note"},
                   {cmdAlarm, "Show Alarms"}, {cmdAbout, "About"},        {cmdHelp, "Help"},
                   {cmdExit, "Exit Quillet"}};
    ASSERT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 7);
    for (int i = 0; i < 7; ++i) {
        TBBUTTON button{};
        SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(UINT(button.idCommand), buttons[i].command);
        // The hidden text is the tooltip's and, on Windows, the name a screen reader reads.
        char hint[64]{};
        SendMessageA(toolbar, TB_GETBUTTONTEXTA, button.idCommand, reinterpret_cast<LPARAM>(hint));
        EXPECT_STREQ(hint, buttons[i].hint);
        RECT r;
        SendMessageA(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        EXPECT_EQ(r.left, 9 + 24 * i) << buttons[i].hint;
        EXPECT_EQ(r.right - r.left, 24) << buttons[i].hint;
        EXPECT_EQ(r.bottom - r.top, 24) << buttons[i].hint;
    }

    const struct {
        const char* caption;
        UINT command;
    } items[] = {{"About", cmdAbout},
                 {"Show Alarms", cmdAlarm},
                 {"Help\tF1", cmdHelp},
                 {"", 0},
                 {"Start with Windows", cmdStartWithWindows},
                 {"Exit", cmdExitMenu}};
    const HMENU menu = frmMain.PopupMenu();
    ASSERT_EQ(GetMenuItemCount(menu), int(std::size(items)));
    for (int i = 0; i < int(std::size(items)); ++i) {
        char caption[64]{};
        GetMenuStringA(menu, i, caption, sizeof caption, MF_BYPOSITION);
        EXPECT_STREQ(caption, items[i].caption);
        EXPECT_EQ(GetMenuItemID(menu, i), items[i].command);
    }
    EXPECT_EQ(GetMenuState(menu, 3, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));

    // A click on a button arrives as a command from the toolbar.
    const auto click = [&](UINT command) {
        SendMessageA(frmMain.Handle(), WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                     reinterpret_cast<LPARAM>(toolbar));
    };
    click(cmdAbout);
    EXPECT_EQ(dialogs.abouts, 1);
    click(cmdHelp);
    EXPECT_EQ(dialogs.helps, (std::vector<std::pair<UINT, ULONG_PTR>>{{HELP_FINDER, 0}}));
    click(cmdAdd);
    EXPECT_EQ(dialogs.edited.size(), 1u);

    // Exit from the toolbar asks first; from the menu it does not.
    click(cmdExit);
    EXPECT_EQ(dialogs.questions, std::vector<std::string>{"Exit Quillet?"});
    EXPECT_FALSE(QuitRequested());
    dialogs.answers = {true};
    click(cmdExit);
    EXPECT_TRUE(QuitRequested());
    SendMessageA(frmMain.Handle(), WM_COMMAND, cmdExitMenu, 0);
    EXPECT_TRUE(QuitRequested());
    EXPECT_EQ(dialogs.questions.size(), 2u);
    EXPECT_FALSE(fs::exists(files.notes));
    EXPECT_FALSE(fs::exists(files.settings));
}

TEST_F(MainWindow, InsertDeleteAndF1WhateverTheModifiersReachTheWindowFirst) {
    TfrmMain frmMain(dialogs, files);
    const auto key = [&](UINT message, WPARAM vk, HWND to) {
        frmMain.PreviewKey(MSG{to, message, vk, 0, 0, {}});
    };
    key(WM_KEYDOWN, VK_INSERT, frmMain.Handle());
    key(WM_SYSKEYDOWN, VK_INSERT, frmMain.Toolbar()); // Alt held, on a control of the window
    EXPECT_EQ(dialogs.edited.size(), 2u);
    key(WM_KEYDOWN, VK_DELETE, frmMain.Handle());
    EXPECT_EQ(dialogs.questions, std::vector<std::string>{"Delete selected Note?"});
    key(WM_KEYDOWN, VK_F1, frmMain.Handle());
    EXPECT_EQ(dialogs.helps.size(), 1u);

    // Other keys, key releases and other windows' keys are not the window's.
    key(WM_KEYDOWN, VK_RETURN, frmMain.Handle());
    key(WM_KEYUP, VK_INSERT, frmMain.Handle());
    key(WM_KEYDOWN, VK_INSERT, frmMain.TrayIcon().HandlerWindow());
    EXPECT_EQ(dialogs.edited.size(), 2u);
    EXPECT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.helps.size(), 1u);
}

TEST_F(MainWindow, TrayDoubleClickOpensTheWindowAndClosingHidesItAgain) {
    TfrmMain frmMain(dialogs, files);
    frmMain.Start();
    const HWND window = frmMain.Handle();
    const HWND handler = frmMain.TrayIcon().HandlerWindow();
    char className[64];
    GetClassNameA(handler, className, sizeof className);
    EXPECT_STREQ(className, TRAY_WINDOW_CLASS);
    EXPECT_EQ(GetParent(handler), nullptr);
    EXPECT_FALSE(IsWindowVisible(handler));

    // A single click does nothing.
    TrayEvent(handler, WM_LBUTTONDOWN);
    TrayEvent(handler, WM_LBUTTONUP);
    EXPECT_FALSE(IsWindowVisible(window));
    // Another icon's double-click is not this one's.
    TrayEvent(handler, WM_LBUTTONDBLCLK, TRAY_ICON_ID + 1);
    EXPECT_FALSE(IsWindowVisible(window));

    TrayEvent(handler, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_EQ(TrayMessages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 420) / 2);

    // Closing hides the window to the tray and writes nothing.
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(TrayMessages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE, NIM_ADD}));
    EXPECT_FALSE(QuitRequested());

    // So does minimising it.
    TrayEvent(handler, WM_LBUTTONDBLCLK);
    ShowWindow(window, SW_MINIMIZE);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(TrayMessages().back(), DWORD(NIM_ADD));
    TrayEvent(handler, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_FALSE(fs::exists(files.settings));
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(MainWindow, TheTaskbarButtonIsTheApplicationWindowsAndMinimisesTheProgramToTheTray) {
    TfrmMain frmMain(dialogs, files);
    frmMain.Start();
    const HWND window = frmMain.Handle();
    const HWND handler = frmMain.TrayIcon().HandlerWindow();
    const auto doubleClick = [&] { TrayEvent(handler, WM_LBUTTONDBLCLK); };
    // The main window is owned, so it has no button; the window that owns it has.
    const HWND application = GetWindow(window, GW_OWNER);
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(GetWindow(application, GW_OWNER), nullptr);
    EXPECT_EQ(win32::WindowText(application), "Quillet");
    EXPECT_TRUE(GetWindowLongA(application, GWL_STYLE) & WS_MINIMIZEBOX);
    EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(TaskbarEntries(), std::vector<HWND>{}); // in the tray: none

    doubleClick();
    EXPECT_EQ(TaskbarEntries(), std::vector<HWND>{application});
    // The taskbar minimises a window only through its minimise box, which also enables
    // Minimize in its window menu: the button's window has it, the main window does not.
    EXPECT_EQ(WindowMenuState(window, SC_MINIMIZE), UINT(MF_GRAYED));
    EXPECT_EQ(WindowMenuState(application, SC_MINIMIZE), UINT(MF_ENABLED));

    // What a click on the button of the active program and Minimize in its menu send.
    trayCalls.clear();
    SendMessageA(application, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(TrayMessages(), std::vector<DWORD>{NIM_ADD});
    EXPECT_EQ(TaskbarEntries(), std::vector<HWND>{});

    // Restore brings the program back as the icon's double-click does.
    SendMessageA(application, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_FALSE(IsIconic(application));
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_EQ(TrayMessages(), (std::vector<DWORD>{NIM_ADD, NIM_DELETE}));
    EXPECT_EQ(TaskbarEntries(), std::vector<HWND>{application});

    // Activating the button's window (a click on the button, Alt+Tab) activates the main window.
    SetForegroundWindow(application);
    win32::ProcessMessages();
    EXPECT_EQ(GetForegroundWindow(), window);
    // The button's Close is the main window's: back to the tray.
    SendMessageA(application, WM_CLOSE, 0, 0);
    win32::ProcessMessages();
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindow(application));
    EXPECT_EQ(TrayMessages().back(), DWORD(NIM_ADD));
    EXPECT_FALSE(QuitRequested());
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(MainWindow, WhileADialogIsOpenTheTrayOpensNoOtherAndTheWindowStaysDisabledBehindIt) {
    ApplicationDialogs real;
    TfrmMain frmMain(real, files);
    real.Owner = frmMain.Handle();
    frmMain.Start();
    const HWND window = frmMain.Handle(), application = GetWindow(window, GW_OWNER);
    const HWND handler = frmMain.TrayIcon().HandlerWindow();
    const auto doubleClick = [&] { TrayEvent(handler, WM_LBUTTONDBLCLK); };
    const auto aboutDialogs = [] {
        int count = 0;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM count) -> BOOL {
                *reinterpret_cast<int*>(count) += win32::WindowText(w) == "About";
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&count));
        return count;
    };
    test::DialogScript script("About", {[&](HWND about) {
                                  // From the tray: the dialog belongs to the hidden main window,
                                  // which it disables, and the program's button stands for it.
                                  EXPECT_EQ(GetWindow(about, GW_OWNER), window);
                                  EXPECT_FALSE(IsWindowVisible(window));
                                  EXPECT_FALSE(IsWindowEnabled(window));
                                  EXPECT_EQ(TaskbarEntries(), std::vector<HWND>{application});

                                  // About from the tray menu again: the open one comes to the
                                  // front, no second opens.
                                  SendMessageA(window, WM_COMMAND, cmdAbout, 0);
                                  EXPECT_EQ(aboutDialogs(), 1);
                                  EXPECT_EQ(GetForegroundWindow(), about);

                                  // The icon's double-click shows the main window disabled, behind
                                  // the dialog.
                                  doubleClick();
                                  EXPECT_TRUE(IsWindowVisible(window));
                                  EXPECT_FALSE(IsWindowEnabled(window));
                                  EXPECT_EQ(GetForegroundWindow(), about);
                                  EXPECT_EQ(TaskbarEntries(), std::vector<HWND>{application});

                                  // Minimised, the program takes its dialog to the tray and brings
                                  // it back.
                                  SendMessageA(application, WM_SYSCOMMAND, SC_MINIMIZE, 0);
                                  EXPECT_FALSE(IsWindowVisible(about));
                                  EXPECT_FALSE(IsWindowVisible(window));
                                  EXPECT_EQ(TaskbarEntries(), std::vector<HWND>{});
                                  doubleClick();
                                  EXPECT_TRUE(IsWindowVisible(about));
                                  EXPECT_EQ(GetForegroundWindow(), about);
                                  PostMessageA(about, WM_COMMAND, IDOK, 0);
                              }});
    SendMessageA(window, WM_COMMAND, cmdAbout, 0); // as the tray menu sends it
    EXPECT_TRUE(script.Completed());
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(aboutDialogs(), 0);
}

TEST_F(MainWindow, ClosingStoresTheNormalSizeWhateverStateTheWindowIsIn) {
    const struct {
        const char* state;
        std::function<void(HWND window)> enter;
    } states[] = {
        {"minimised", [](HWND window) { ShowWindow(window, SW_MINIMIZE); }},
        {"maximised", [](HWND window) { ShowWindow(window, SW_MAXIMIZE); }},
        {"minimised from the taskbar",
         [](HWND window) {
             SendMessageA(GetWindow(window, GW_OWNER), WM_SYSCOMMAND, SC_MINIMIZE, 0);
         }},
    };
    for (const auto& s : states) {
        fs::remove(files.settings);
        TfrmMain frmMain(dialogs, files);
        frmMain.CoolTrayIcon1DblClick();
        SendMessageA(frmMain.Handle(), WM_QUERYENDSESSION, 0, 0);
        SetWindowPos(frmMain.Handle(), nullptr, 0, 0, 500, 350, SWP_NOMOVE | SWP_NOZORDER);
        s.enter(frmMain.Handle());
        SendMessageA(frmMain.Handle(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(QuitRequested()) << s.state;
        const SettingsFile settings(files.settings);
        EXPECT_EQ(settings.ReadInteger("General", "Height", 0), 350) << s.state;
        EXPECT_EQ(settings.ReadInteger("General", "Width", 0), 500) << s.state;
    }
}

TEST_F(MainWindow, OnceTheSessionEndsClosingWritesTheSizeAndEndsTheProgram) {
    Put(files.settings, "; kept\r\n[Other]\r\nKey=1\r\n[General]\r\nHeight=300\r\n");
    TfrmMain frmMain(dialogs, files);
    frmMain.Start();
    EXPECT_EQ(SendMessageA(frmMain.Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_TRUE(frmMain.SessionEnding());
    SetWindowPos(frmMain.Handle(), nullptr, 0, 0, 500, 350, SWP_NOMOVE | SWP_NOZORDER);
    trayCalls.clear();

    SendMessageA(frmMain.Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(QuitRequested());
    EXPECT_EQ(TrayMessages(), std::vector<DWORD>{NIM_DELETE});
    const SettingsFile settings(files.settings);
    EXPECT_EQ(settings.ReadInteger("General", "Height", 0), 350);
    EXPECT_EQ(settings.ReadInteger("General", "Width", 0), 500);
    EXPECT_EQ(settings.ReadInteger("Other", "Key", 0), 1);
    EXPECT_NE(Content(files.settings).find("; kept"), std::string::npos);
}

TEST_F(MainWindow, ASettingsFileThatCannotBeWrittenStopsTheClose) {
    fs::create_directory(files.settings);
    TfrmMain frmMain(dialogs, files);
    frmMain.CoolTrayIcon1DblClick();
    SendMessageA(frmMain.Handle(), WM_QUERYENDSESSION, 0, 0);
    trayCalls.clear();
    SendMessageA(frmMain.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"Unable to write to " + files.settings});
    EXPECT_FALSE(QuitRequested());
    EXPECT_TRUE(IsWindowVisible(frmMain.Handle()));
    EXPECT_TRUE(trayCalls.empty()); // the icon is not hidden
}

TEST_F(MainWindow, TheTrayHandlerNeverVetoesNorClosesAndBringsTheIconBackAfterTheShell) {
    TfrmMain frmMain(dialogs, files);
    TCoolTrayIcon& icon = frmMain.TrayIcon();
    const HWND handler = icon.HandlerWindow();
    EXPECT_NE(SendMessageA(handler, WM_QUERYENDSESSION, 0, 0), 0);
    SendMessageA(handler, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(handler));

    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    SendMessageA(handler, taskbarCreated, 0, 0); // no icon shown: none comes back
    EXPECT_TRUE(trayCalls.empty());
    frmMain.Start();
    SendMessageA(handler, taskbarCreated, 0, 0);
    EXPECT_EQ(TrayMessages(), (std::vector<DWORD>{NIM_ADD, NIM_ADD}));

    // The shell shows at most 127 characters of the tooltip, never half of one.
    icon.Hint = std::string(200, 'x');
    icon.SetIconVisible(true);
    EXPECT_EQ(std::wstring(trayCalls.back().data.szTip), std::wstring(127, L'x'));
    icon.Hint = std::string(126, 'x') + "\U0001F600"; // an emoji is two UTF-16 units
    icon.SetIconVisible(true);
    EXPECT_EQ(std::wstring(trayCalls.back().data.szTip), std::wstring(126, L'x'));
}

// The tray menu as an event on the icon opens it: read from inside the menu's own loop, which
// then closes it (or after a while, so that a test cannot hang). Nothing when no menu opened.
struct OpenedMenu {
    RECT bounds;
    std::vector<std::string> items; // "-" for a separator, "[x] " before a checked item
};
std::optional<OpenedMenu> TrayMenu(HWND handler, UINT event, POINT at = {500, 700}) {
    static std::optional<OpenedMenu> seen;
    static int ticks;
    seen.reset();
    ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        if (const HWND menu = test::FindShownWindow("#32768")) {
            OpenedMenu opened{};
            GetWindowRect(menu, &opened.bounds);
            const auto items = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
            for (int i = 0; i < GetMenuItemCount(items); ++i) {
                char text[64]{};
                GetMenuStringA(items, i, text, sizeof text, MF_BYPOSITION);
                const UINT state = GetMenuState(items, i, MF_BYPOSITION);
                opened.items.push_back(state & MF_SEPARATOR ? "-"
                                       : state & MF_CHECKED ? std::string("[x] ") + text
                                                            : text);
            }
            seen = opened;
        }
        if (seen || ++ticks > 200) EndMenu();
    });
    TrayEvent(handler, event, TRAY_ICON_ID, at);
    KillTimer(nullptr, timer);
    win32::ProcessMessages(); // what the menu's end left
    return seen;
}

TEST_F(MainWindow, TheTrayMenuOpensOnTheRightButtonDownOrFromTheKeyboardAndOnceAClick) {
    TfrmMain frmMain(dialogs, files);
    frmMain.Start();
    const HWND handler = frmMain.TrayIcon().HandlerWindow();
    const auto menu = TrayMenu(handler, WM_RBUTTONDOWN);
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->items, (std::vector<std::string>{"About", "Show Alarms", "Help\tF1", "-",
                                                     "Start with Windows", "Exit"}));
    // The shell follows the click's release with WM_CONTEXTMENU: no second menu.
    EXPECT_FALSE(TrayMenu(handler, WM_RBUTTONUP));
    EXPECT_FALSE(TrayMenu(handler, WM_CONTEXTMENU));
    // Asked for from the keyboard (the menu key on the selected icon), it opens.
    EXPECT_TRUE(TrayMenu(handler, WM_CONTEXTMENU));
    // A click elsewhere on the icon in between forgets the right button.
    ASSERT_TRUE(TrayMenu(handler, WM_RBUTTONDOWN));
    TrayEvent(handler, WM_MOUSEMOVE);
    EXPECT_TRUE(TrayMenu(handler, WM_CONTEXTMENU));
}

TEST_F(MainWindow, TheTrayMenuOpensAboveThePointOnTheSideTheUserSettingSays) {
    TfrmMain frmMain(dialogs, files);
    frmMain.Start();
    BOOL rightAligned = FALSE;
    SystemParametersInfoA(SPI_GETMENUDROPALIGNMENT, 0, &rightAligned, 0);
    const POINT at{500, 700};
    for (const BOOL right : {TRUE, FALSE}) {
        // For this session only: nothing is stored in the prefix.
        SystemParametersInfoA(SPI_SETMENUDROPALIGNMENT, right, nullptr, 0);
        const auto menu = TrayMenu(frmMain.TrayIcon().HandlerWindow(), WM_CONTEXTMENU, at);
        ASSERT_TRUE(menu);
        EXPECT_EQ(right ? menu->bounds.right : menu->bounds.left, at.x) << right;
        EXPECT_EQ(menu->bounds.bottom, at.y) << right;
    }
    SystemParametersInfoA(SPI_SETMENUDROPALIGNMENT, rightAligned, nullptr, 0);
}

TEST_F(MainWindow, WorkWaitingWhenTheTrayMenuOpensRunsOnlyOnceTheMenuIsUp) {
    TfrmMain frmMain(dialogs, files);
    frmMain.Start();
    // A message waiting in the queue stands for a tick or a command handed over: handled
    // before TrackPopupMenu, it would run inside the icon's notification, before the menu.
    static std::optional<bool> menuWasUp;
    menuWasUp.reset();
    const UINT_PTR timer = SetTimer(nullptr, 0, 0, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        menuWasUp = test::FindShownWindow("#32768") != nullptr;
    });
    Sleep(20); // the timer is due before the icon reports
    ASSERT_TRUE(TrayMenu(frmMain.TrayIcon().HandlerWindow(), WM_RBUTTONDOWN));
    KillTimer(nullptr, timer);
    ASSERT_TRUE(menuWasUp);
    EXPECT_TRUE(*menuWasUp);
}

TEST_F(MainWindow, TheGridFillsTheWindowBelowTheStripAndADoubleClickEditsTheNote) {
    Put(files.notes, TwoNotes);
    TfrmMain frmMain(dialogs, files);
    const HWND grid = frmMain.Grid().Handle();
    EXPECT_EQ(GetParent(grid), frmMain.Handle());
    RECT client, bounds;
    GetClientRect(frmMain.Handle(), &client);
    GetWindowRect(grid, &bounds);
    MapWindowPoints(nullptr, frmMain.Handle(), reinterpret_cast<POINT*>(&bounds), 2);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, TfrmMain::DockHeight);
    EXPECT_EQ(bounds.right, client.right);
    EXPECT_EQ(bounds.bottom, client.bottom);

    // On the second note row: the header is 21 pixels high, and so is every row.
    const LPARAM at = MAKELPARAM(100, 21 * 2 + 10);
    SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(grid, WM_LBUTTONUP, 0, at);
    SendMessageA(grid, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(grid, WM_LBUTTONUP, 0, at);
    ASSERT_EQ(dialogs.edited.size(), 1u);
    EXPECT_EQ(dialogs.edited[0].note, "Later");
}

// Windows tells every top-level window that the computer resumed (WM_POWERBROADCAST, as
// sent here: PBT_APMRESUMEAUTOMATIC on every resume, then PBT_APMRESUMESUSPEND when a user is
// there); Wine never does. Either runs the alarm check at once, and a minute is checked once
// however often they come.
TEST_F(MainWindow, ResumingFromSleepChecksAtOnceAndEachMinuteOnce) {
    const win32::LocalClock clock;
    // A check on a minute boundary would read the next minute: then a new window tries again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        TfrmMain frmMain(dialogs, files);
        frmMain.Start();
        const TAdvAlertWindow& alerts = frmMain.AlertWindow();
        frmMain.Notes().SetCellText(ColAlarm, 1, FormatAlarm(clock.Now()));
        frmMain.Notes().SetCellText(ColRepeat, 1, "None");
        frmMain.Notes().SetCellText(ColNote, 1, "Call home");
        SendMessageA(frmMain.Handle(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
        EXPECT_EQ(alerts.AlertMessages().Count(), 0) << "checked on the way to sleep";
        SendMessageA(frmMain.Handle(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
        if (alerts.AlertMessages().Count() == 0 && attempt == 0) continue;
        ASSERT_EQ(alerts.AlertMessages().Count(), 1);
        EXPECT_TRUE(alerts.Visible());
        SendMessageA(frmMain.Handle(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
        frmMain.ThreadedTimer1Timer();
        EXPECT_EQ(alerts.AlertMessages().Count(), 1);
        return;
    }
}

TEST_F(MainWindow, ATickRemindsOfTheNoteDueNowAndShowAlarmsBringsTheReminderBack) {
    TfrmMain frmMain(dialogs, files);
    frmMain.Start();
    TAdvAlertWindow& alerts = frmMain.AlertWindow();
    // Show Alarms without reminders shows nothing.
    SendMessageA(frmMain.Handle(), WM_COMMAND, cmdAlarm, 0);
    EXPECT_FALSE(alerts.Visible());

    // A tick on a minute boundary would read the next minute: then the note is made again.
    const win32::LocalClock clock;
    for (int attempt = 0; attempt < 2 && alerts.AlertMessages().Count() == 0; ++attempt) {
        frmMain.Notes().SetCellText(ColAlarm, 1, FormatAlarm(clock.Now()));
        frmMain.Notes().SetCellText(ColRepeat, 1, "None");
        frmMain.Notes().SetCellText(ColNote, 1, "Call home \u2615 \u65E5\u672C");
        frmMain.ThreadedTimer1Timer();
    }
    ASSERT_EQ(alerts.AlertMessages().Count(), 1);
    EXPECT_NE(alerts.ShownMessage()->DisplayText().find("Call home \u2615 \u65E5\u672C"),
              std::string::npos);
    EXPECT_TRUE(alerts.Visible());
    EXPECT_FALSE(IsWindowVisible(frmMain.Handle())); // the window stays in the tray

    alerts.Close();
    SendMessageA(frmMain.Handle(), WM_COMMAND, cmdAlarm, 0);
    EXPECT_TRUE(alerts.Visible());
    EXPECT_EQ(alerts.AlertMessages().Count(), 1);
}

// Another program rewrites notes.txt while Quillet runs: the folder's change notification
// brings the new notes into the grid, and the next change is made to them.
TEST_F(MainWindow, AnOutsideRewriteShowsInTheGridAndSurvivesTheNextAdd) {
    Put(files.notes, TwoNotes);
    TfrmMain frmMain(dialogs, files);
    frmMain.Start();
    Put(files.notes, WithThirdNote("03/01/2026 10:00 AM", "Written elsewhere"));
    ASSERT_TRUE(HandleMessagesUntil([&] { return frmMain.Notes().RowCount() == 4; }));
    EXPECT_EQ(frmMain.Notes().CellText(ColNote, 2), "Written elsewhere") << "sorted by alarm";

    dialogs.editor = [](NoteFields& f) {
        f.note = "Added";
        return true;
    };
    frmMain.btnAddClick();
    NoteTable saved;
    LoadNotesFile(saved, files.notes);
    ASSERT_EQ(saved.RowCount(), 5);
    EXPECT_EQ(saved.CellText(ColNote, 2), "Written elsewhere");
    EXPECT_EQ(saved.CellText(ColNote, 4), "Added");
}

// While the editor is open nothing moves under it: a change to notes.txt is taken in when the
// change is saved, and the edit goes to the same note, wherever it now stands.
TEST_F(MainWindow, AReloadWaitsForTheEditorAndTheEditGoesToTheSameNote) {
    Put(files.notes, TwoNotes);
    TfrmMain frmMain(dialogs, files);
    frmMain.Start();
    frmMain.Notes().SelectRow(1); // Earlier
    dialogs.editor = [&](NoteFields& f) {
        Put(files.notes, WithThirdNote("01/01/2026 10:00 AM", "Now first"));
        // The modal loop goes on meanwhile, the folder's notice and the settle timer with it.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (std::chrono::steady_clock::now() < until) {
            win32::ProcessMessages();
            Sleep(10);
        }
        EXPECT_EQ(frmMain.Notes().RowCount(), 3) << "reloaded under the open editor";
        f.note = "Earlier, edited";
        return true;
    };
    SendMessageA(frmMain.Handle(), WM_COMMAND, cmdEdit, 0);
    NoteTable& notes = frmMain.Notes();
    ASSERT_EQ(notes.RowCount(), 4);
    EXPECT_EQ(notes.CellText(ColNote, 1), "Now first");
    EXPECT_EQ(notes.CellText(ColNote, 2), "Earlier, edited");
    EXPECT_EQ(notes.SelectedRow(), 2);
    EXPECT_TRUE(dialogs.notices.empty());
}

TEST_F(MainWindow, AnEditOrDeleteOfANoteRemovedOutsideSaysSoAndWritesNothing) {
    Put(files.notes, TwoNotes);
    TfrmMain frmMain(dialogs, files);
    frmMain.Notes().SelectRow(1);
    const std::string outside = "3,2\r\n0,1,12/09/2026 09:00 AM\r\n1,1,Daily\r\n2,1,Later\r\n";
    dialogs.editor = [&](NoteFields& f) {
        Put(files.notes, outside);
        f.note = "Lost cause";
        return true;
    };
    SendMessageA(frmMain.Handle(), WM_COMMAND, cmdEdit, 0);
    ASSERT_EQ(dialogs.notices.size(), 1u);
    EXPECT_NE(dialogs.notices[0].find("changed or removed outside Quillet"), std::string::npos);
    EXPECT_EQ(Content(files.notes), outside);
    EXPECT_EQ(frmMain.Notes().RowCount(), 2) << "the grid shows the file";

    Put(files.notes, TwoNotes);
    ASSERT_TRUE(HandleMessagesUntil([&] { return frmMain.Notes().RowCount() == 3; }));
    frmMain.Notes().SelectRow(1);
    dialogs.answers = {true};
    dialogs.notices.clear();
    // Another program removes the note, and Quillet has not yet looked.
    Put(files.notes, outside);
    frmMain.btnDeleteClick();
    EXPECT_EQ(dialogs.notices.size(), 1u);
    EXPECT_EQ(Content(files.notes), outside);
}

// A file another program holds open without sharing, as while it writes, is not read; the
// table stays as it was until the file can be read.
TEST_F(MainWindow, ANotesFileHeldOpenByItsWriterIsReadOnceItIsFree) {
    Put(files.notes, TwoNotes);
    win32::SystemFileSystem system;
    NotesDocument document(files.notes, system);
    document.Load();
    Put(files.notes, "3,2\r\n0,1,01/01/2026 10:00 AM\r\n1,1,None\r\n2,1,Half\r\n");
    {
        const auto held =
            win32::OwnedFile(CreateFileA(files.notes.c_str(), GENERIC_WRITE, 0, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(document.Refresh(), NotesDocument::Outside::Unsettled);
        EXPECT_EQ(document.Table().RowCount(), 3);
        EXPECT_THROW(document.Add({"01/01/2026 11:00 AM", "None", "x"}), EAdvGridError);
        EXPECT_EQ(document.Table().RowCount(), 3) << "nothing added to a table that is not current";
    }
    EXPECT_EQ(document.Refresh(), NotesDocument::Outside::Reloaded);
    EXPECT_EQ(document.Table().CellText(ColNote, 1), "Half");
}

// A start that could not read notes.txt (another program held it) shows the error and no
// notes; a change made then never saves over the notes the file holds.
TEST_F(MainWindow, AChangeAfterAFailedLoadKeepsTheNotesOfTheFile) {
    Put(files.notes, TwoNotes);
    std::optional<TfrmMain> frmMain;
    {
        const auto held =
            win32::OwnedFile(CreateFileA(files.notes.c_str(), GENERIC_WRITE, 0, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        frmMain.emplace(dialogs, files);
        ASSERT_EQ(dialogs.errors, std::vector<std::string>{"Cannot open file " + files.notes});
        EXPECT_EQ(frmMain->Notes().CellText(ColNote, 1), "");
        dialogs.editor = [](NoteFields& f) {
            f.note = "Added";
            return true;
        };
        // While the file is still held, the change waits, then fails: nothing is written.
        SendMessageA(frmMain->Handle(), WM_COMMAND, cmdAdd, 0);
        ASSERT_EQ(dialogs.errors.size(), 2u);
    }
    EXPECT_EQ(Content(files.notes), TwoNotes);
    // Once the file can be read, the change is made to its notes.
    frmMain->btnAddClick();
    NoteTable saved;
    LoadNotesFile(saved, files.notes);
    ASSERT_EQ(saved.RowCount(), 4);
    EXPECT_EQ(saved.CellText(ColNote, 3), "Added");
}

// Copied into a folder it cannot write to (Program Files), Quillet says so once as it starts.
TEST_F(MainWindow, AFolderThatTakesNoNewFileIsNamedInOneNoticeAtStart) {
    {
        TfrmMain frmMain(dialogs, files);
        frmMain.Start();
        EXPECT_TRUE(dialogs.notices.empty());
    }
    const fs::path missing = folder / "not-there";
    TfrmMain frmMain(dialogs,
                     {(missing / "notes.txt").string(), (missing / "quillet.ini").string()});
    frmMain.Start();
    ASSERT_EQ(dialogs.notices.size(), 1u);
    EXPECT_NE(dialogs.notices[0].find(missing.string()), std::string::npos);
    EXPECT_NE(dialogs.notices[0].find("Documents"), std::string::npos);
}

namespace {

constexpr const char* RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Run key's value "Quillet" in the test's own prefix; none when it is missing.
std::optional<std::string> RunValue() {
    char value[1024]{};
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, RunKey, "Quillet", RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

void SetRunValue(const std::string& value) {
    RegSetKeyValueA(HKEY_CURRENT_USER, RunKey, "Quillet", REG_SZ, value.c_str(),
                    DWORD(value.size() + 1));
}

} // namespace

TEST_F(MainWindow, StartWithWindowsPointsTheRunKeyHereAndOffRemovesIt) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, RunKey, "Quillet");
    TfrmMain frmMain(dialogs, files);
    frmMain.Start();
    const HWND handler = frmMain.TrayIcon().HandlerWindow();
    const auto item = [&] {
        const auto menu = TrayMenu(handler, WM_CONTEXTMENU);
        return menu ? menu->items.at(4) : "no menu";
    };
    const auto choose = [&] { SendMessageA(frmMain.Handle(), WM_COMMAND, cmdStartWithWindows, 0); };
    const std::string here = '"' + ExecutablePath() + '"';

    // Starting and opening the menu write nothing: the program stays portable.
    EXPECT_EQ(item(), "Start with Windows");
    EXPECT_EQ(RunValue(), std::nullopt);

    choose();
    EXPECT_EQ(RunValue(), here);
    EXPECT_EQ(item(), "[x] Start with Windows");
    choose();
    EXPECT_EQ(RunValue(), std::nullopt);
    EXPECT_EQ(item(), "Start with Windows");

    // A value that points to where the program was before it moved: unchecked, and choosing
    // points it here.
    SetRunValue("\"C:\\Old place\\quillet.exe\"");
    EXPECT_EQ(item(), "Start with Windows");
    choose();
    EXPECT_EQ(RunValue(), here);
    // The same path in other letters' case is the same file.
    std::string upper = here;
    for (char& c : upper) c = char(toupper(static_cast<unsigned char>(c)));
    SetRunValue(upper);
    EXPECT_EQ(item(), "[x] Start with Windows");
    EXPECT_TRUE(dialogs.errors.empty());

    RegDeleteKeyValueA(HKEY_CURRENT_USER, RunKey, "Quillet");
}

TEST_F(MainWindow, AReminderHeldDuringAPresentationShowsWithItsSoundWhenItEnds) {
    struct Hooks {
        decltype(win32::SystemReminderDesktop::QueryNotificationState) query =
            win32::SystemReminderDesktop::QueryNotificationState;
        decltype(win32::SystemReminderDesktop::PlaySystemSound) play =
            win32::SystemReminderDesktop::PlaySystemSound;
        ~Hooks() {
            win32::SystemReminderDesktop::QueryNotificationState = query;
            win32::SystemReminderDesktop::PlaySystemSound = play;
        }
    } restored;
    static QUERY_USER_NOTIFICATION_STATE state;
    static std::vector<std::wstring> sounds;
    state = QUNS_PRESENTATION_MODE;
    sounds.clear();
    win32::SystemReminderDesktop::QueryNotificationState = [](QUERY_USER_NOTIFICATION_STATE* s) {
        *s = state;
        return S_OK;
    };
    win32::SystemReminderDesktop::PlaySystemSound = [](LPCWSTR sound, DWORD) {
        sounds.emplace_back(sound);
        return TRUE;
    };

    TfrmMain frmMain(dialogs, files);
    frmMain.Start();
    TAdvAlertWindow& alerts = frmMain.AlertWindow();
    const win32::LocalClock clock;
    for (int attempt = 0; attempt < 2 && alerts.AlertMessages().Count() == 0; ++attempt) {
        frmMain.Notes().SetCellText(ColAlarm, 1, FormatAlarm(clock.Now()));
        frmMain.Notes().SetCellText(ColRepeat, 1, "None");
        frmMain.Notes().SetCellText(ColNote, 1, "Call home");
        frmMain.ThreadedTimer1Timer();
    }
    // Held: in the list, but no popup on the screen and no sound.
    ASSERT_EQ(alerts.AlertMessages().Count(), 1);
    EXPECT_FALSE(alerts.Visible());
    const auto popupShown = [] {
        const HWND popup = FindWindowA(ALERT_WINDOW_CLASS, nullptr);
        return popup && IsWindowVisible(popup);
    };
    EXPECT_FALSE(popupShown());
    frmMain.ThreadedTimer1Timer();
    EXPECT_FALSE(alerts.Visible());
    EXPECT_TRUE(sounds.empty());

    // The presentation ends: the next tick shows it, with the sound, once.
    state = QUNS_ACCEPTS_NOTIFICATIONS;
    frmMain.ThreadedTimer1Timer();
    EXPECT_TRUE(alerts.Visible());
    EXPECT_TRUE(popupShown());
    EXPECT_EQ(alerts.PositionText(), "1 of 1");
    EXPECT_EQ(sounds, std::vector<std::wstring>{L"Notification.Reminder"});
    alerts.Close();
    frmMain.ThreadedTimer1Timer();
    EXPECT_FALSE(alerts.Visible());
    EXPECT_EQ(sounds.size(), 1u);
}

TEST_F(MainWindow, TheSnoozeTimeIsKeptInTheSettingsUnderAKeyOfItsOwn) {
    const struct {
        const char* stored;
        int read;
    } cases[] = {{"15", 15}, {"1440", 1440}, {"7", 10}, {"ten", 10}, {nullptr, 10}};
    for (const auto& c : cases) {
        std::string settings = "[General]\r\nHeight=400\r\nWidth=600\r\n";
        if (c.stored) settings += std::string("SnoozeMinutes=") + c.stored + "\r\n";
        Put(files.settings, settings);
        TfrmMain frmMain(dialogs, files);
        EXPECT_EQ(frmMain.AlertWindow().SnoozeMinutes, c.read) << (c.stored ? c.stored : "none");
    }

    // A time chosen in the snooze menu is written at once; the window's keys stay as they are.
    TfrmMain frmMain(dialogs, files);
    frmMain.AlertWindow().OnSnoozeChosen(60);
    const SettingsFile stored(files.settings);
    EXPECT_EQ(stored.ReadInteger("General", "SnoozeMinutes", 0), 60);
    EXPECT_EQ(stored.ReadInteger("General", "Height", 0), 400);
    EXPECT_EQ(stored.ReadInteger("General", "Width", 0), 600);
}
