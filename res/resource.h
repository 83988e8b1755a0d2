#pragma once
// Resource ids of quillet.rc, shared by the resource script and the code, and the names and
// numbers by which the end-to-end tests find the program's windows and speak to them.

#define IDI_QUILLET 1 // the yellow note: tray, window and file icon

// Every picture below comes in four sizes, for screens scaled to 100, 125, 150 and 200 %
// (96, 120, 144 and 192 pixels per inch): the one for scale k, 0 to 3, has the id of the 100 %
// picture plus k * PICTURE_SCALE_STEP. The sizes given below are those at 100 %.
#define PICTURE_SCALE_STEP 1000

// The colour that the logo and the toolbar buttons show where they are transparent: magenta.
#define GLYPH_TRANSPARENT_COLOR RGB(255, 0, 255)

#define IDB_LOGO 100 // About dialog, 48 x 48, GLYPH_TRANSPARENT_COLOR as transparent colour

// Toolbar buttons, 16 x 16, GLYPH_TRANSPARENT_COLOR as transparent colour.
#define IDB_ADD 110
#define IDB_DELETE_NOTE 111
#define IDB_EDIT 112
#define IDB_ALARM 113
#define IDB_ABOUT 114
#define IDB_HELP 115
#define IDB_EXIT 116

// Reminder popup buttons, 16 x 16; the bottom-left pixel's colour is transparent.
#define IDB_CLOSE 120
#define IDB_PREV 121
#define IDB_NEXT 122
#define IDB_DELETE 123
#define IDB_SNOOZE 124

// Note editor (frmNote) controls. Neither button is IDOK or IDCANCEL: those are what Enter
// and Esc send to a dialog, and in the editor neither key ends it.
#define IDC_NOTE_OK 200
#define IDC_NOTE_CANCEL 201
#define IDC_NOTE_DATE 202
#define IDC_NOTE_TIME 203
#define IDC_NOTE_REPEAT 204
#define IDC_NOTE_TEXT 205
#define IDC_NOTE_WHEN_LABEL 206
#define IDC_NOTE_REPEAT_LABEL 207
// Hidden labels that name the time picker and the note's text box for screen readers.
#define IDC_NOTE_TIME_LABEL 208
#define IDC_NOTE_TEXT_LABEL 209

// About dialog (frmAbout) controls; its OK button is IDOK.
#define IDC_ABOUT_NAME 210
#define IDC_ABOUT_VERSION 211
#define IDC_ABOUT_RIGHTS 212
#define IDC_ABOUT_LINK 213

// The tray icon: its id, and the message with which the shell reports to the tray window what
// happens on it (wParam the icon's id, lParam the mouse message).
#define TRAY_ICON_ID 1
#define WM_TRAY_ICON 0x0800

// Window classes of the program's top-level windows.
#define MAIN_WINDOW_CLASS "TfrmMain"
#define TRAY_WINDOW_CLASS "TTrayIconHandler"
#define ALERT_WINDOW_CLASS "QuilletAlertWindow"
