#pragma once
// The main window frmMain: the table of notes under a small toolbar, the owner of every
// component of the program (the tick timer, the tray icon with its menu, the reminder popup)
// and the home of every command. It is normally hidden: the program lives in the
// notification area and the window shows when the tray icon is double-clicked.
#include "alarms/AlarmCheck.h"
#include "alarms/ThdTimer.h"
#include "alerts/AdvAlertWindow.h"
#include "alerts/NewReminders.h"
#include "alerts/SnoozedReminders.h"
#include "app/AdvStringGrid.h"
#include "app/Application.h"
#include "app/CoolTrayIcon.h"
#include "app/Dialogs.h"
#include "base/Dpi.h"
#include "notes/NotesDocument.h"
#include "win32/FolderWatch.h"
#include "win32/Handles.h"
#include "win32/LocalClock.h"
#include "win32/SystemAlertDesktop.h"
#include "win32/SystemFileSystem.h"
#include "win32/SystemReminderDesktop.h"
#include "win32/SystemThreadPriorities.h"
#include "win32/UiThreadWindow.h"
#include "win32/Window.h"

#include <optional>
#include <string>

namespace quillet {

// Where the window keeps its data: NotesFileName and SettingsFileName in the program, a
// folder of their own in tests.
struct MainWindowFiles {
    std::string notes;
    std::string settings;
};

// The command ids of the toolbar buttons and the tray menu's items.
enum MainCommand : UINT {
    cmdAdd = 100,
    cmdDelete,
    cmdEdit,
    cmdAlarm,
    cmdAbout,
    cmdHelp,
    cmdExit,     // the toolbar's, with a question
    cmdExitMenu, // the menu's, without one
    cmdStartWithWindows,
};

class TfrmMain final : public win32::Window {
public:
    // Design values at 96 pixels per inch, scaled to the window's density.
    static constexpr int DesignWidth = 420, DesignHeight = 320;
    static constexpr int DockHeight = 30; // the strip that holds the toolbar

    // Builds the window hidden, with all its components, and runs FormCreate; a failure
    // there is shown in the error box and leaves the window in its normal state.
    TfrmMain(Dialogs& dialogs, MainWindowFiles files);
    // Destroys the window without running its close handlers: nothing is written.
    ~TfrmMain() override;

    // What the message loop does as it starts: a window that FormCreate left minimised goes
    // to the tray without ever showing; any other shows, centred.
    void Start();
    // Key preview: the main loop shows the window every key meant for it or its controls
    // before they get it.
    void PreviewKey(const MSG& message);

    // The commands.
    void btnAddClick();
    void btnEditClick();
    void btnDeleteClick();
    void btnAlarmClick();
    void About1Click();
    void btnHelpClick();
    void btnExitClick();
    void Exit1Click();
    // Turns starting with Windows on or off: on points it at this executable.
    void StartWithWindows1Click();
    void CoolTrayIcon1DblClick();
    // The alarm check: once a minute, and at once when the computer resumes from sleep.
    void ThreadedTimer1Timer();
    void FormKeyDown(WORD key);
    // The font colour of a cell the grid is about to draw: past one-shot notes are grey.
    void gridNotesGetCellColor(int row, int col, Color& fontColor);
    // Closing the window: whether the close may go on, and what it does then.
    bool FormCloseQuery();
    void FormClose();

    bool SessionEnding() const { return sessionEnding_; }
    NotesDocument& Document() { return document_; }
    NoteTable& Notes() { return document_.Table(); }
    TAdvStringGrid& Grid() { return gridNotes; }
    TCoolTrayIcon& TrayIcon() { return CoolTrayIcon1; }
    TAdvAlertWindow& AlertWindow() { return AdvAlertWindow1; }
    HWND Toolbar() const { return AdvToolBar1; }
    HMENU PopupMenu() const { return AdvPopupMenu1.get(); }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void FormCreate();
    void BuildToolbar();
    void BuildPopupMenu();
    // Runs one command; what escapes it goes to the error box, and the program goes on.
    template <typename Command> void Run(Command command);
    void RunCommand(UINT id);
    void Close();
    void PaintBackground(HDC dc) const;
    // The grid fills the window below the dock strip.
    void LayOut();
    // Moved to a monitor of another density: everything is laid out for it, in the window
    // rectangle the system suggests there.
    void DpiChanged(std::optional<RECT> suggested) override;
    void RepaintGrid();
    // Takes in what another program wrote to notes.txt, unless a command (and so perhaps a
    // dialog on a note) is under way: then once it ends.
    void RefreshNotes();

    // The order of these matters: the hand-over window outlives every worker, and the timer
    // goes first.
    win32::UiThreadWindow uiThread_;
    win32::SystemThreadPriorities priorities_;
    win32::LocalClock clock_;
    AlarmCheck alarmCheck_;

    // Carries the taskbar button and owns this window; goes after it.
    TApplication application_;
    Dialogs& dialogs_;
    const MainWindowFiles files_;
    // Windows asked whether the session may end; from then on closing ends the program.
    bool sessionEnding_ = false;
    bool startMinimised_ = false;
    bool centred_ = false;        // centred on the screen when first shown
    int commandsRunning_ = 0;     // nested: a command's dialog may run a tray command
    bool refreshPending_ = false; // a look at notes.txt waits for the commands to end
    int unsettledLooks_ = 0;      // at a notes.txt that was being written, in a row

    win32::SystemFileSystem fileSystem_;
    NotesDocument document_;
    TAdvStringGrid gridNotes; // shows the document's table
    win32::ImageList glyphs_;
    HWND AdvToolBar1 = nullptr; // destroyed with the window
    win32::Menu AdvPopupMenu1;
    TCoolTrayIcon CoolTrayIcon1{*this, application_};
    win32::SystemAlertDesktop alertDesktop_{*this};
    TAdvAlertWindow AdvAlertWindow1{alertDesktop_, uiThread_};
    win32::SystemReminderDesktop reminderDesktop_;
    NewReminders reminders_{AdvAlertWindow1, reminderDesktop_};
    SnoozedReminders snoozed_;
    TThreadedTimer ThreadedTimer1{uiThread_, priorities_};
    std::optional<win32::FolderWatch> notesFolderWatch_; // once the window exists
};

} // namespace quillet
