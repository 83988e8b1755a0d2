// The note editor as its user meets it: Add and Edit through the real dialog, and what each
// leaves in the notes file.
#include "Harness.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <tuple>

using namespace quillet::e2e;
using namespace std::chrono_literals;

namespace {

constexpr char Head[] =
    "cw 0,130\r\ncw 1,84\r\ncw 2,168\r\n0,0,Alarm\r\n1,0,Repeat\r\n2,0,Note\r\n";
constexpr int EditButton = 2;

// The program started on its folder, with its window opened from the tray icon.
struct OpenApp {
    explicit OpenApp(const AppFolderCopy& folder) : process(folder.ExePath()) {
        mainWindow = WaitForWindow(process.Id(), MAIN_WINDOW_CLASS, "Quillet");
        handler = WaitForWindow(process.Id(), TRAY_WINDOW_CLASS);
        if (!mainWindow || !handler || !WaitUntil(TrayIconShown)) return;
        TrayMouse(handler, WM_LBUTTONDBLCLK);
        if (WaitUntil([&] { return IsVisible(mainWindow); })) toolbar = Toolbar(mainWindow);
    }
    bool Ready() const { return toolbar != nullptr; }
    HWND WaitForEditor() const { return WaitForShownWindow(process.Id(), DialogClass, "Note"); }
    bool EditorGone() const {
        return WaitUntil(
            [&] { return TopLevelWindows(process.Id(), DialogClass, "Note").empty(); });
    }

    Process process;
    HWND mainWindow = nullptr, handler = nullptr, toolbar = nullptr;
};

SYSTEMTIME Moment(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME value{};
    value.wYear = WORD(year);
    value.wMonth = WORD(month);
    value.wDay = WORD(day);
    value.wHour = WORD(hour);
    value.wMinute = WORD(minute);
    value.wSecond = WORD(second);
    return value;
}

// Sets the editor's fields as a user would and confirms with OK.
void FillAndConfirm(HWND editor, const SYSTEMTIME& when, int repeatIndex, const std::string& note) {
    SetPickerValue(GetDlgItem(editor, IDC_NOTE_DATE), when);
    SetPickerValue(GetDlgItem(editor, IDC_NOTE_TIME), when);
    SendMessageA(GetDlgItem(editor, IDC_NOTE_REPEAT), CB_SETCURSEL, WPARAM(repeatIndex), 0);
    SendMessageA(GetDlgItem(editor, IDC_NOTE_TEXT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(note.c_str()));
    PressButton(editor, IDC_NOTE_OK);
}

LRESULT RepeatSelection(HWND editor) {
    return SendMessageA(GetDlgItem(editor, IDC_NOTE_REPEAT), CB_GETCURSEL, 0, 0);
}

} // namespace

TEST(Editor, AddFillsTheEmptyRowThenAppendsAndCancelWritesNothingAndLinesComeBack) {
    AppFolderCopy folder;
    const std::string notes = folder.Folder() + "notes.txt";
    std::string expected;
    {
        OpenApp app(folder);
        ASSERT_TRUE(app.Ready());

        // Add on the empty table: preset to today, "None" and no text; OK fills row 1. The
        // seconds are dropped, not rounded, and the two lines are stored as TAB BS.
        PostKey(app.mainWindow, VK_INSERT);
        HWND editor = app.WaitForEditor();
        ASSERT_TRUE(editor) << "no editor";
        SYSTEMTIME today;
        GetLocalTime(&today);
        const SYSTEMTIME preset = PickerValue(GetDlgItem(editor, IDC_NOTE_DATE));
        EXPECT_EQ(std::tuple(preset.wYear, preset.wMonth, preset.wDay),
                  std::tuple(today.wYear, today.wMonth, today.wDay));
        EXPECT_EQ(RepeatSelection(editor), 0);
        EXPECT_EQ(WindowText(GetDlgItem(editor, IDC_NOTE_TEXT)), "");
        FillAndConfirm(editor, Moment(2009, 3, 5, 0, 5, 59), 0, "Team meeting\r\nBring the report");
        expected =
            std::string("3,2\r\n") + Head +
            "0,1,03/05/2009 12:05 AM\r\n1,1,None\r\n2,1,Team meeting\t\bBring the report\r\n";
        EXPECT_TRUE(WaitUntil([&] { return Content(notes) == expected; })) << Content(notes);
        ASSERT_TRUE(app.EditorGone());

        // Add again appends row 2.
        PostKey(app.mainWindow, VK_INSERT);
        editor = app.WaitForEditor();
        ASSERT_TRUE(editor);
        FillAndConfirm(editor, Moment(2009, 3, 5, 23, 59, 0), 2, "Second");
        const std::string two = std::string("3,3\r\n") + Head +
                                "0,1,03/05/2009 12:05 AM\r\n1,1,None\r\n"
                                "2,1,Team meeting\t\bBring the report\r\n"
                                "0,2,03/05/2009 11:59 PM\r\n1,2,Daily\r\n2,2,Second\r\n";
        EXPECT_TRUE(WaitUntil([&] { return Content(notes) == two; })) << Content(notes);
        ASSERT_TRUE(app.EditorGone());

        // It is selected: Edit opens on it. Cancel, and the close box, write nothing.
        ClickToolbarButton(app.toolbar, EditButton);
        editor = app.WaitForEditor();
        ASSERT_TRUE(editor);
        EXPECT_EQ(WindowText(GetDlgItem(editor, IDC_NOTE_TEXT)), "Second");
        EXPECT_EQ(RepeatSelection(editor), 2);
        PressButton(editor, IDC_NOTE_CANCEL);
        ASSERT_TRUE(app.EditorGone());
        PostKey(app.mainWindow, VK_INSERT);
        editor = app.WaitForEditor();
        ASSERT_TRUE(editor);
        AskToClose(editor);
        ASSERT_TRUE(app.EditorGone());
        EXPECT_EQ(Content(notes), two);
        expected = two;

        AskToClose(app.mainWindow);
        ASSERT_TRUE(WaitUntil(TrayIconShown));
        ExitFromTrayMenu(app.process.Id(), app.handler);
        EXPECT_EQ(app.process.WaitForExit(), 0u);
    }

    // After a restart the first note, sorted first, opens with both its lines.
    OpenApp app(folder);
    ASSERT_TRUE(app.Ready());
    ClickToolbarButton(app.toolbar, EditButton);
    const HWND editor = app.WaitForEditor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(WindowText(GetDlgItem(editor, IDC_NOTE_TEXT)), "Team meeting\r\nBring the report");
    PressButton(editor, IDC_NOTE_CANCEL);
    ASSERT_TRUE(app.EditorGone());
    EXPECT_EQ(Content(notes), expected);
}

TEST(Editor, EditReadsTheStoredRowAndANoteDueComesUpWhileTheEditorIsOpen) {
    // The first tick checks the minute it comes in. A start in the last seconds of a minute
    // could tick a minute too late, so such a start waits for the next minute.
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (now.wSecond >= 45) Sleep((61 - now.wSecond) * 1000);
    AppFolderCopy folder;
    const std::string notes = folder.Folder() + "notes.txt";
    const std::string due = "0,2," + AlarmTextIn(1min) + "\r\n1,2,None\r\n2,2,Call home\r\n";
    Put(notes, std::string("3,3\r\n") + Head +
                   "0,1,03/05/2009 12:05:30 PM\r\n1,1,daily\r\n2,1,Seconds\r\n" + due);
    OpenApp app(folder);
    ASSERT_TRUE(app.Ready());

    // The stored row shows as it reads: the date, the time with its seconds, "Daily" for
    // 'daily'.
    ClickToolbarButton(app.toolbar, EditButton);
    const HWND editor = app.WaitForEditor();
    ASSERT_TRUE(editor);
    const SYSTEMTIME date = PickerValue(GetDlgItem(editor, IDC_NOTE_DATE));
    const SYSTEMTIME time = PickerValue(GetDlgItem(editor, IDC_NOTE_TIME));
    EXPECT_EQ(std::tuple(date.wYear, date.wMonth, date.wDay), std::tuple(2009, 3, 5));
    EXPECT_EQ(std::tuple(time.wHour, time.wMinute, time.wSecond), std::tuple(12, 5, 30));
    EXPECT_EQ(RepeatSelection(editor), 2);

    // The alarm check runs on while the editor is open.
    EXPECT_TRUE(WaitUntil([&] { return VisiblePopup(app.process.Id()) != nullptr; }, 100s))
        << "no reminder";
    ASSERT_TRUE(IsWindow(editor) && IsVisible(editor));

    // OK writes the row back without its seconds and with the list's own text.
    PressButton(editor, IDC_NOTE_OK);
    const std::string expected = std::string("3,3\r\n") + Head +
                                 "0,1,03/05/2009 12:05 PM\r\n1,1,Daily\r\n2,1,Seconds\r\n" + due;
    EXPECT_TRUE(WaitUntil([&] { return Content(notes) == expected; })) << Content(notes);
}

TEST(Editor, AnAlarmWithoutAMarkerGivesTheTimeErrorAndNoEditor) {
    AppFolderCopy folder;
    const std::string notes = folder.Folder() + "notes.txt";
    const std::string stored =
        std::string("3,2\r\n") + Head + "0,1,03/05/2009 17:05\r\n1,1,None\r\n2,1,Five\r\n";
    Put(notes, stored);
    OpenApp app(folder);
    ASSERT_TRUE(app.Ready());

    // Without an "M" the time text is empty.
    ClickToolbarButton(app.toolbar, EditButton);
    const HWND box = WaitForWindow(app.process.Id(), DialogClass, "Quillet");
    ASSERT_TRUE(box) << "no error box";
    EXPECT_EQ(WindowText(GetDlgItem(box, MessageBoxTextId)), "'' is not a valid time.");
    EXPECT_TRUE(TopLevelWindows(app.process.Id(), DialogClass, "Note").empty());
    PressButton(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(Content(notes), stored);
}

// Another program (a sync client, an editor) rewrites notes.txt while the window is open: its
// notes are kept by the next Add, and an Edit of a note it removed writes nothing and says so.
TEST(Editor, OutsideChangesToTheNotesFileAreNeverWrittenOver) {
    AppFolderCopy folder;
    const std::string notes = folder.Folder() + "notes.txt";
    const std::string first = "0,1,03/05/2009 12:05 PM\r\n1,1,None\r\n2,1,First\r\n";
    Put(notes, std::string("3,2\r\n") + Head + first);
    OpenApp app(folder);
    ASSERT_TRUE(app.Ready());

    const std::string outside = std::string("3,3\r\n") + Head + first +
                                "0,2,04/05/2009 09:00 AM\r\n1,2,Daily\r\n2,2,From elsewhere\r\n";
    Put(notes, outside);
    Sleep(1000); // taken in by now; the Add would take it in all the same
    PostKey(app.mainWindow, VK_INSERT);
    HWND editor = app.WaitForEditor();
    ASSERT_TRUE(editor);
    FillAndConfirm(editor, Moment(2009, 5, 5, 10, 0, 0), 0, "Added");
    const std::string three = std::string("3,4\r\n") + Head + first +
                              "0,2,04/05/2009 09:00 AM\r\n1,2,Daily\r\n2,2,From elsewhere\r\n"
                              "0,3,05/05/2009 10:00 AM\r\n1,3,None\r\n2,3,Added\r\n";
    EXPECT_TRUE(WaitUntil([&] { return Content(notes) == three; })) << Content(notes);
    ASSERT_TRUE(app.EditorGone());

    // The added note is the current one. While it is open in the editor, another program
    // removes it.
    ClickToolbarButton(app.toolbar, EditButton);
    editor = app.WaitForEditor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(WindowText(GetDlgItem(editor, IDC_NOTE_TEXT)), "Added");
    Put(notes, outside);
    FillAndConfirm(editor, Moment(2009, 5, 5, 10, 0, 0), 0, "Added, then edited");
    const HWND box = WaitForWindow(app.process.Id(), DialogClass, "Information");
    ASSERT_TRUE(box) << "no notice";
    EXPECT_NE(
        WindowText(GetDlgItem(box, MessageBoxTextId)).find("changed or removed outside Quillet"),
        std::string::npos);
    PressButton(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(Content(notes), outside);
}

namespace {

// A note with characters from outside every 8-bit code page: accents, a symbol, Greek, Japanese,
// a dash, an emoji with its skin tone (two UTF-16 units each).
const std::string Worldwide = "Caf\u00E9 \u2615 \u03A9\u03BC\u03AD\u03B3\u03B1 \u65E5\u672C "
                              "\u2014 na\u00EFve \U0001F44D\U0001F3FD";

} // namespace

// Typed as a user types them, characters of any script reach notes.txt as UTF-8 and come back
// whole in the editor after a restart.
TEST(Editor, TypedCharactersOfAnyScriptAreSavedAndComeBackWhole) {
    AppFolderCopy folder;
    const std::string notes = folder.Folder() + "notes.txt";
    {
        OpenApp app(folder);
        ASSERT_TRUE(app.Ready());
        PostKey(app.mainWindow, VK_INSERT);
        const HWND editor = app.WaitForEditor();
        ASSERT_TRUE(editor);
        const HWND memo = GetDlgItem(editor, IDC_NOTE_TEXT);
        PostMessageW(editor, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(memo), TRUE);
        ASSERT_TRUE(
            WaitUntil([&] { return GetFocus() == memo || GetForegroundWindow() == editor; }));
        Sleep(200);
        TypeText(Worldwide);
        EXPECT_TRUE(WaitUntil([&] { return WindowText(memo) == Worldwide; }))
            << "typed: " << WindowText(memo);
        PressButton(editor, IDC_NOTE_OK);
        EXPECT_TRUE(WaitUntil([&] {
            return Content(notes).find("2,1," + Worldwide + "\r\n") != std::string::npos;
        })) << Content(notes);
        ASSERT_TRUE(app.EditorGone());
        AskToClose(app.mainWindow);
        ASSERT_TRUE(WaitUntil(TrayIconShown));
        ExitFromTrayMenu(app.process.Id(), app.handler);
        EXPECT_EQ(app.process.WaitForExit(), 0u);
    }
    OpenApp app(folder);
    ASSERT_TRUE(app.Ready());
    ClickToolbarButton(app.toolbar, EditButton);
    const HWND editor = app.WaitForEditor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(WindowText(GetDlgItem(editor, IDC_NOTE_TEXT)), Worldwide);
    PressButton(editor, IDC_NOTE_CANCEL);
}

// Quillet started from a folder named in a script outside the code page finds its notes
// there and saves them there.
TEST(Editor, AFolderNamedInAnyScriptHoldsTheNotes) {
    for (const std::string name : {"-\u0417\u0430\u043C\u0435\u0442\u043A\u0438", // Заметки
                                   "-\u30E1\u30E2"}) {                            // メモ
        SCOPED_TRACE(name);
        AppFolderCopy folder(name);
        const std::string notes = folder.Folder() + "notes.txt";
        Put(notes, std::string("3,2\r\n") + Head + "0,1,03/05/2009 12:05 PM\r\n1,1,None\r\n2,1," +
                       Worldwide + "\r\n");
        OpenApp app(folder);
        ASSERT_TRUE(app.Ready());
        ClickToolbarButton(app.toolbar, EditButton);
        const HWND editor = app.WaitForEditor();
        ASSERT_TRUE(editor);
        EXPECT_EQ(WindowText(GetDlgItem(editor, IDC_NOTE_TEXT)), Worldwide) << "not loaded";
        FillAndConfirm(editor, Moment(2009, 3, 5, 12, 5, 0), 2, "Saved here");
        EXPECT_TRUE(WaitUntil([&] {
            return Content(notes).find("1,1,Daily\r\n2,1,Saved here\r\n") != std::string::npos;
        })) << Content(notes);
        EXPECT_TRUE(TopLevelWindows(app.process.Id(), DialogClass, "Quillet").empty())
            << "an error box";
    }
}
