#include "app/uMain.h"

#include "app/AppFolder.h"
#include "app/SettingsFile.h"
#include "app/StartWithWindows.h"
#include "base/AppFolder.h"
#include "grid/RowColor.h"
#include "notes/NoteFields.h"
#include "notes/NotesFile.h"
#include "res/resource.h"
#include "win32/BitmapResource.h"
#include "win32/Dpi.h"
#include "win32/Gdi.h"
#include "win32/GdiCanvas.h"
#include "win32/MessageLoop.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace quillet {

namespace {

constexpr const char* SettingsSection = "General";
constexpr int GridId = 1;

// The folder watch's message, and the timer that waits for notes.txt to settle after it: a
// program writing the file changes it many times in a row, and is done when that stops.
constexpr UINT NotesFolderChanged = WM_APP;
constexpr UINT_PTR SettleTimer = 1;
constexpr UINT SettleDelay = 300;      // ms
constexpr int MostUnsettledLooks = 20; // then the next change or tick looks again

constexpr const char* ChangedOutside =
    "The note was changed or removed outside Quillet, so nothing was saved.\r\nThe list now "
    "shows the notes as notes.txt holds them.";

// The dock strip behind the toolbar, light at the top.
constexpr Color DockTop{0xF3F2E7};
constexpr Color DockBottom{0xCED6AA};

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

} // namespace

TfrmMain::TfrmMain(Dialogs& dialogs, MainWindowFiles files)
    : dialogs_(dialogs), files_(std::move(files)), document_(files_.notes, fileSystem_) {
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    ClassStyle classStyle;
    classStyle.icon = LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_QUILLET));
    // No minimise box: the program is minimised through its taskbar button, which is the
    // application window's.
    Create(MAIN_WINDOW_CLASS, classStyle, 0,
           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, "Quillet", 0,
           0, DesignWidth, DesignHeight, application_.Handle());
    // The window's density is known once it exists: the monitor's it was made on.
    SetWindowPos(Handle(), nullptr, 0, 0, Scaled(DesignWidth), Scaled(DesignHeight),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    application_.MainWindow = Handle();
    application_.OnMinimize = [this] { CoolTrayIcon1.MinimizeToTray(); };
    application_.OnRestore = [this] { Run([this] { CoolTrayIcon1DblClick(); }); };
    BuildToolbar();
    gridNotes.Create(Handle(), GridId, document_.Table());
    gridNotes.SetDpi(Dpi());
    gridNotes.OnGetCellColor = [this](int row, int col, Color& fontColor) {
        gridNotesGetCellColor(row, col, fontColor);
    };
    gridNotes.OnDblClick = [this] { Run([this] { btnEditClick(); }); };
    LayOut();
    BuildPopupMenu();

    // The notification area shows icons at the small-icon size of the desktop's density:
    // 16, 20, 24 or 32 pixels, each drawn in the icon file.
    const int iconSize = GetSystemMetrics(SM_CXSMICON);
    CoolTrayIcon1.Icon = static_cast<HICON>(LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_QUILLET),
                                                       IMAGE_ICON, iconSize, iconSize, LR_SHARED));
    CoolTrayIcon1.Hint = "Quillet";
    CoolTrayIcon1.PopupMenu = AdvPopupMenu1.get();
    CoolTrayIcon1.OnDblClick = [this] { Run([this] { CoolTrayIcon1DblClick(); }); };

    // Every size: the popup takes the one for its own monitor.
    AdvAlertWindow1.GlyphClose = win32::LoadPictureSizes(IDB_CLOSE);
    AdvAlertWindow1.GlyphPrev = win32::LoadPictureSizes(IDB_PREV);
    AdvAlertWindow1.GlyphNext = win32::LoadPictureSizes(IDB_NEXT);
    AdvAlertWindow1.GlyphDelete = win32::LoadPictureSizes(IDB_DELETE);
    AdvAlertWindow1.GlyphSnooze = win32::LoadPictureSizes(IDB_SNOOZE);
    AdvAlertWindow1.OnSnooze = [this](const std::string& text, int minutes) {
        snoozed_.Add(text, minutes, clock_.Read());
    };
    AdvAlertWindow1.OnSnoozeChosen = [this](int minutes) {
        SettingsFile(files_.settings).WriteInteger(SettingsSection, "SnoozeMinutes", minutes);
    };

    ThreadedTimer1.SetEnabled(true);
    ThreadedTimer1.SetInterval(60000);
    ThreadedTimer1.OnTimer = [this](TThreadedTimer&) { ThreadedTimer1Timer(); };
    ThreadedTimer1.SetThreadPriority(tpTimeCritical);

    try {
        FormCreate();
    } catch (const std::exception& e) {
        dialogs_.ShowError(e.what());
    }
    gridNotes.Refresh();
    notesFolderWatch_.emplace(AppFolderOf(files_.notes), Handle(), NotesFolderChanged);
}

TfrmMain::~TfrmMain() {
    // The window and its controls go while the components they report to still exist.
    DestroyWindow(Handle());
}

void TfrmMain::FormCreate() {
    sessionEnding_ = false;
    // The date and time formats are fixed (base/DateFormat.h) and the help file is
    // HelpFileName: neither needs setting here.
    document_.Load(win32::ProcessMessagesNowAndThen{}); // sorted by alarm
    // The stored size is in design units, pixels at 96 per inch, like the notes file's
    // column widths: the window keeps its size on any screen.
    const SettingsFile settings(files_.settings);
    const int height = settings.ReadInteger(SettingsSection, "Height", DesignHeight);
    const int width = settings.ReadInteger(SettingsSection, "Width", DesignWidth);
    SetWindowPos(Handle(), nullptr, 0, 0, Scaled(width), Scaled(height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A key of its own, which an older copy passes over; anything but a time of the snooze
    // menu is the default.
    const int snooze = settings.ReadInteger(SettingsSection, "SnoozeMinutes", DefaultSnoozeMinutes);
    AdvAlertWindow1.SnoozeMinutes = IsSnoozeChoice(snooze) ? snooze : DefaultSnoozeMinutes;
    startMinimised_ = true;
}

void TfrmMain::BuildToolbar() {
    // Built anew for a new density: its buttons, pictures and place all change.
    if (AdvToolBar1) DestroyWindow(AdvToolBar1);
    AdvToolBar1 = CreateWindowExW(
        0, TOOLBARCLASSNAMEW, L"",
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | TBSTYLE_TRANSPARENT |
            CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
        Scaled(3), Scaled(1), Scaled(181), Scaled(28), Handle(), nullptr, Instance(), nullptr);
    if (!AdvToolBar1)
        throw std::system_error(int(GetLastError()), std::system_category(), "toolbar");

    struct Button {
        UINT command;
        int glyph;
        const wchar_t* hint;
    };
    static constexpr Button buttons[] = {
        {cmdAdd, IDB_ADD, L"Add Note"},       {cmdDelete, IDB_DELETE_NOTE, L"Delete Note"},
        {cmdEdit, IDB_EDIT, L"Edit Note"},    {cmdAlarm, IDB_ALARM, L"Show Alarms"},
        {cmdAbout, IDB_ABOUT, L"About"},      {cmdHelp, IDB_HELP, L"Help"},
        {cmdExit, IDB_EXIT, L"Exit Quillet"},
    };
    const int glyphSize = Scaled(16);
    glyphs_.reset(
        ImageList_Create(glyphSize, glyphSize, ILC_COLOR24 | ILC_MASK, std::size(buttons), 0));
    TBBUTTON added[std::size(buttons)]{};
    for (int i = 0; i < int(std::size(buttons)); ++i) {
        const win32::GdiBitmap glyph = win32::LoadPicture(buttons[i].glyph, 16, Dpi());
        ImageList_AddMasked(glyphs_.get(), glyph.get(), GLYPH_TRANSPARENT_COLOR);
        added[i].iBitmap = i;
        added[i].idCommand = int(buttons[i].command);
        added[i].fsState = TBSTATE_ENABLED;
        added[i].fsStyle = BTNS_BUTTON;
        // The text is the button's hint: with no text rows it shows as the tooltip only.
        added[i].iString = reinterpret_cast<INT_PTR>(buttons[i].hint);
    }
    SendMessageW(AdvToolBar1, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(AdvToolBar1, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(glyphs_.get()));
    SendMessageW(AdvToolBar1, TB_SETINDENT, Scaled(9), 0);
    SendMessageW(AdvToolBar1, TB_ADDBUTTONSW, std::size(buttons), reinterpret_cast<LPARAM>(added));
    SendMessageW(AdvToolBar1, TB_SETMAXTEXTROWS, 0, 0);
    SendMessageW(AdvToolBar1, TB_SETBITMAPSIZE, 0, MAKELPARAM(glyphSize, glyphSize));
    SendMessageW(AdvToolBar1, TB_SETBUTTONSIZE, 0, MAKELPARAM(Scaled(24), Scaled(24)));
}

void TfrmMain::BuildPopupMenu() {
    AdvPopupMenu1.reset(::CreatePopupMenu());
    const HMENU menu = AdvPopupMenu1.get();
    AppendMenuW(menu, MF_STRING, cmdAbout, L"About");
    AppendMenuW(menu, MF_STRING, cmdAlarm, L"Show Alarms");
    AppendMenuW(menu, MF_STRING, cmdHelp, L"Help\tF1");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    // Checked as the menu opens (WM_INITMENUPOPUP): the registry may change meanwhile.
    AppendMenuW(menu, MF_STRING, cmdStartWithWindows, L"Start with Windows");
    AppendMenuW(menu, MF_STRING, cmdExitMenu, L"Exit");
}

void TfrmMain::Start() {
    // Said before anything else shows: every change would fail and be lost at exit.
    if (const std::string folder = AppFolderOf(files_.notes); !win32::CanCreateFilesIn(folder))
        dialogs_.Inform("Quillet cannot save your notes in the folder it was started from:\r\n" +
                        folder +
                        "\r\n\r\nNotes you add or change there are lost when Quillet ends. Move "
                        "Quillet to a folder of your own, such as Documents, and start it from "
                        "there.");
    if (startMinimised_)
        CoolTrayIcon1.MinimizeToTray();
    else
        CoolTrayIcon1.ShowFromTray();
}

void TfrmMain::PreviewKey(const MSG& message) {
    if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
        (message.hwnd == Handle() || IsChild(Handle(), message.hwnd)))
        Run([&] { FormKeyDown(WORD(message.wParam)); });
}

template <typename Command> void TfrmMain::Run(Command command) {
    ++commandsRunning_;
    try {
        command();
    } catch (const std::exception& e) {
        dialogs_.ShowError(e.what());
    }
    // Also after a failed save: the table may have changed before it.
    RepaintGrid();
    if (--commandsRunning_ == 0 && std::exchange(refreshPending_, false)) RefreshNotes();
}

void TfrmMain::RunCommand(UINT id) {
    // While one of its dialogs is open the window is disabled. A command that would open
    // another (the tray menu's About is at hand then) brings the open one to the front.
    const bool opensDialog =
        id != cmdAlarm && id != cmdHelp && id != cmdExitMenu && id != cmdStartWithWindows;
    if (opensDialog && !IsWindowEnabled(Handle())) {
        if (const HWND open = win32::InputWindow(Handle()); IsWindowVisible(open))
            SetForegroundWindow(open);
        return;
    }
    switch (id) {
    case cmdAdd: Run([this] { btnAddClick(); }); break;
    case cmdDelete: Run([this] { btnDeleteClick(); }); break;
    case cmdEdit: Run([this] { btnEditClick(); }); break;
    case cmdAlarm: Run([this] { btnAlarmClick(); }); break;
    case cmdAbout: Run([this] { About1Click(); }); break;
    case cmdHelp: Run([this] { btnHelpClick(); }); break;
    case cmdExit: Run([this] { btnExitClick(); }); break;
    case cmdExitMenu: Run([this] { Exit1Click(); }); break;
    case cmdStartWithWindows: Run([this] { StartWithWindows1Click(); }); break;
    }
}

void TfrmMain::FormKeyDown(WORD key) {
    switch (key) {
    case VK_INSERT: btnAddClick(); break;
    case VK_DELETE: btnDeleteClick(); break;
    case VK_F1: btnHelpClick(); break;
    }
}

// The document applies each change to what notes.txt holds when it is made, and finds the
// note by its texts: notes.txt may have changed while the dialog was open.
void TfrmMain::btnAddClick() {
    NoteFields fields = NewNoteFields(clock_.Now());
    if (dialogs_.EditNote(fields)) document_.Add(NoteRowTexts(fields));
}

void TfrmMain::btnEditClick() {
    const int row = Notes().SelectedRow();
    const NotesDocument::NoteTexts was = document_.NoteAt(row);
    NoteFields fields = ReadNoteFields(Notes(), row);
    if (dialogs_.EditNote(fields) && !document_.Edit(was, NoteRowTexts(fields)))
        dialogs_.Inform(ChangedOutside);
}

void TfrmMain::btnDeleteClick() {
    const NotesDocument::NoteTexts was = document_.NoteAt(Notes().SelectedRow());
    if (dialogs_.Confirm("Delete selected Note?") && !document_.Delete(was))
        dialogs_.Inform(ChangedOutside);
}

void TfrmMain::btnAlarmClick() {
    reminders_.ShowAll();
}

void TfrmMain::ThreadedTimer1Timer() {
    // The notes as notes.txt holds them, should a change have gone unnoticed.
    RefreshNotes();
    alarmCheck_.Tick(Notes(), clock_, reminders_);
    snoozed_.Tick(clock_.Read(), reminders_);
    reminders_.EndTick();
}

void TfrmMain::About1Click() {
    dialogs_.About();
}

void TfrmMain::btnHelpClick() {
    dialogs_.Help(HELP_FINDER, 0);
}

void TfrmMain::btnExitClick() {
    if (dialogs_.Confirm("Exit Quillet?")) Exit1Click();
}

void TfrmMain::Exit1Click() {
    // The loop ends and the window goes without its close handlers: nothing is written.
    PostQuitMessage(0);
}

void TfrmMain::StartWithWindows1Click() {
    const std::string exe = ExecutablePath();
    SetStartWithWindows(exe, !StartsWithWindows(exe));
}

void TfrmMain::CoolTrayIcon1DblClick() {
    CoolTrayIcon1.ShowFromTray();
    CoolTrayIcon1.SetIconVisible(false);
}

bool TfrmMain::FormCloseQuery() {
    if (sessionEnding_) return true;
    CoolTrayIcon1.SetIconVisible(true);
    CoolTrayIcon1.HideToTray();
    return false;
}

void TfrmMain::FormClose() {
    // The size the window has when it is shown, whether it is minimised now or not.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(Handle(), &placement);
    const RECT& bounds = placement.rcNormalPosition;
    const SettingsFile settings(files_.settings);
    settings.WriteInteger(SettingsSection, "Height", Unscale(bounds.bottom - bounds.top, Dpi()));
    settings.WriteInteger(SettingsSection, "Width", Unscale(bounds.right - bounds.left, Dpi()));
    CoolTrayIcon1.SetIconVisible(false);
}

void TfrmMain::Close() {
    if (!FormCloseQuery()) return;
    FormClose(); // a failure here stops the close: the program goes on
    PostQuitMessage(0);
}

void TfrmMain::RepaintGrid() {
    gridNotes.Refresh();
}

void TfrmMain::RefreshNotes() {
    if (commandsRunning_ > 0) {
        refreshPending_ = true;
        return;
    }
    switch (document_.Refresh()) {
    case NotesDocument::Outside::Reloaded: RepaintGrid(); [[fallthrough]];
    case NotesDocument::Outside::Unchanged: unsettledLooks_ = 0; break;
    case NotesDocument::Outside::Unsettled:
        if (++unsettledLooks_ < MostUnsettledLooks)
            SetTimer(Handle(), SettleTimer, SettleDelay, nullptr);
        else
            unsettledLooks_ = 0;
        break;
    }
}

void TfrmMain::gridNotesGetCellColor(int row, int, Color& fontColor) {
    if (const MaybeColor color = NoteRowColor(Notes(), row, clock_.Now())) fontColor = *color;
}

void TfrmMain::LayOut() {
    RECT client;
    GetClientRect(Handle(), &client);
    const int dock = Scaled(DockHeight);
    MoveWindow(gridNotes.Handle(), 0, dock, client.right, std::max(0L, client.bottom - dock), TRUE);
}

void TfrmMain::DpiChanged(std::optional<RECT> suggested) {
    BuildToolbar();
    gridNotes.SetDpi(Dpi());
    // Laid out again even where the size stays: the dock strip's height has changed.
    if (suggested)
        SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut();
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TfrmMain::PaintBackground(HDC dc) const {
    RECT client;
    GetClientRect(Handle(), &client);
    const int dock = Scaled(DockHeight);
    win32::GdiCanvas canvas(dc, {}, Dpi());
    // One band per pixel row.
    canvas.GradientBands({0, 0, client.right, dock}, DockTop, DockBottom, dock,
                         GradientDirection::Vertical);
    canvas.FillRect({0, dock, client.right, client.bottom},
                    canvas.SystemColor(DesktopColor::BtnFace));
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    CoolTrayIcon1.OwnerMessage(message, wParam, lParam);
    switch (message) {
    case WM_COMMAND:
        // Menu items and toolbar buttons; notifications of other controls are not commands.
        if (HIWORD(wParam) == 0 || HIWORD(wParam) == BN_CLICKED) RunCommand(LOWORD(wParam));
        return 0;
    case WM_CLOSE: Run([this] { Close(); }); return 0;
    case WM_QUERYENDSESSION: sessionEnding_ = true; return TRUE;
    case WM_ENDSESSION:
        // The session ends now and the process with it, without the close handlers.
        if (wParam) {
            CoolTrayIcon1.SetIconVisible(false);
            ExitProcess(0);
        }
        return 0;
    case WM_SHOWWINDOW:
        if (wParam && !std::exchange(centred_, true)) win32::CentreOnScreen(Handle());
        break;
    case WM_POWERBROADCAST:
        // Back from sleep: the tick's wait may not have counted the time asleep, so the check
        // runs now. It checks each minute once, so the next tick finds nothing twice.
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            ThreadedTimer1Timer();
        break;
    case WM_INITMENUPOPUP:
        if (reinterpret_cast<HMENU>(wParam) == AdvPopupMenu1.get())
            CheckMenuItem(AdvPopupMenu1.get(), cmdStartWithWindows,
                          StartsWithWindows(ExecutablePath()) ? MF_CHECKED : MF_UNCHECKED);
        break;
    case WM_ERASEBKGND: PaintBackground(reinterpret_cast<HDC>(wParam)); return 1;
    // Each change in the folder starts the wait for notes.txt to settle anew.
    case NotesFolderChanged: SetTimer(Handle(), SettleTimer, SettleDelay, nullptr); return 0;
    case WM_TIMER:
        if (wParam != SettleTimer) break;
        KillTimer(Handle(), SettleTimer);
        RefreshNotes();
        return 0;
    case WM_SIZE: LayOut(); break;
    // The grid takes the keys while the window is active.
    case WM_SETFOCUS: SetFocus(gridNotes.Handle()); return 0;
    case WM_NOTIFY:
        // A toolbar button's tooltip asks for its hint: the button's hidden text.
        if (auto* tip = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            tip->hdr.code == TTN_GETDISPINFOW) {
            SendMessageW(AdvToolBar1, TB_GETBUTTONTEXTW, tip->hdr.idFrom,
                         reinterpret_cast<LPARAM>(tip->szText));
            tip->lpszText = tip->szText;
            return 0;
        }
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

} // namespace quillet
