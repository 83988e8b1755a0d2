#include "app/uNote.h"

#include "app/AdvPanel.h"
#include "res/resource.h"
#include "win32/Dialog.h"

#include <commctrl.h>

namespace quillet {
namespace {

SYSTEMTIME PickerValue(HWND picker) {
    SYSTEMTIME value{};
    SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value));
    return value;
}

void SetPicker(HWND picker, const SYSTEMTIME& value) {
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&value));
}

void SetPickerDate(HWND picker, TDateTime date) {
    const std::chrono::year_month_day day = DecodeDate(date);
    SYSTEMTIME value{};
    value.wYear = WORD(int(day.year()));
    value.wMonth = WORD(unsigned(day.month()));
    value.wDay = WORD(unsigned(day.day()));
    SetPicker(picker, value);
}

// The time of day only: the picker keeps a date of its own, one it can show.
void SetPickerTime(HWND picker, TDateTime time) {
    const TimeOfDay clock = DecodeTime(time);
    SYSTEMTIME value = PickerValue(picker);
    value.wHour = WORD(clock.hour);
    value.wMinute = WORD(clock.minute);
    value.wSecond = WORD(clock.second);
    value.wMilliseconds = 0;
    SetPicker(picker, value);
}

bool SameDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

// A closed drop-down list's height follows its selection field's, which is what can be set;
// how the field's height is counted differs between systems, so the list is measured and
// corrected until it fits.
void FitHeight(HWND list, int height) {
    LRESULT field = SendMessageW(list, CB_GETITEMHEIGHT, WPARAM(-1), 0);
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT box{};
        GetWindowRect(list, &box);
        const int excess = box.bottom - box.top - height;
        if (excess == 0) return;
        field -= excess;
        SendMessageW(list, CB_SETITEMHEIGHT, WPARAM(-1), field);
    }
}

// A multi-line text box in a dialog closes the dialog on Esc (it posts WM_CLOSE); in the
// editor Esc does nothing, so the box never sees the key.
LRESULT CALLBACK IgnoreEscape(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                              DWORD_PTR) {
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) return 0;
    if (message == WM_NCDESTROY) RemoveWindowSubclass(box, IgnoreEscape, id);
    return DefSubclassProc(box, message, wParam, lParam);
}

class TfrmNote final : public win32::ModalDialog {
public:
    explicit TfrmNote(const NoteFields& fields) : fields_(fields) {}

    // Whether the user ended the dialog with OK; Fields() then holds its values.
    bool ShowModal(HWND owner) {
        return ModalDialog::ShowModal(owner, "Note", 311, 276) == IDC_NOTE_OK;
    }
    const NoteFields& Fields() const { return fields_; }

private:
    void Init() override;
    void DpiChanged() override;
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void btnOKClick();
    // A label that never shows, for the field created right after it.
    void HiddenLabel(const char* text, int id);

    NoteFields fields_;
    TAdvPanel AdvPanel1;
    HWND edtDate = nullptr, edtTime = nullptr, cboRepeat = nullptr, memoNote = nullptr;
    // The date picker's calendar begins on 14 September 1752 and shows an earlier date as that
    // day. Such a date, possible in a hand-edited notes file, is kept unless the user picks
    // another, rather than being moved to the calendar's first day by an unrelated change.
    SYSTEMTIME shownDate_{};
};

constexpr win32::FontSpec FieldFont{"Tahoma", 8}, LabelFont{"MS Sans Serif", 8},
    ButtonFont{"Tahoma", 10};
constexpr int RepeatHeight = 21; // the closed drop-down list's

void TfrmNote::HiddenLabel(const char* text, int id) {
    ShowWindow(AddControl(WC_STATICW, text, SS_NOPREFIX, id, 0, 0, 0, 0, LabelFont), SW_HIDE);
}

void TfrmNote::Init() {
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_DATE_CLASSES};
    InitCommonControlsEx(&classes);
    AdvPanel1.Create(Handle());

    // Created in the tab order. Each field comes right after its label, which is how Windows
    // names a field for a screen reader (labels take no tab stop, so the order stays); the
    // time picker and the note's text box show none, and get a hidden one.
    AddControl(WC_BUTTONW, "OK", WS_TABSTOP | BS_PUSHBUTTON, IDC_NOTE_OK, 50, 236, 100, 30,
               ButtonFont);
    AddControl(WC_BUTTONW, "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDC_NOTE_CANCEL, 160, 236, 100, 30,
               ButtonFont);
    AddControl(WC_STATICW, "Date/Time", SS_RIGHT | SS_NOPREFIX, IDC_NOTE_WHEN_LABEL, 38, 20, 51, 13,
               LabelFont);
    edtDate = AddControl(DATETIMEPICK_CLASSW, "", WS_TABSTOP | DTS_SHORTDATEFORMAT, IDC_NOTE_DATE,
                         99, 16, 85, 21, FieldFont, WS_EX_CLIENTEDGE);
    HiddenLabel("Time", IDC_NOTE_TIME_LABEL);
    edtTime = AddControl(DATETIMEPICK_CLASSW, "", WS_TABSTOP | DTS_TIMEFORMAT | DTS_UPDOWN,
                         IDC_NOTE_TIME, 193, 16, 79, 21, FieldFont, WS_EX_CLIENTEDGE);
    AddControl(WC_STATICW, "Repeat", SS_RIGHT | SS_NOPREFIX, IDC_NOTE_REPEAT_LABEL, 56, 48, 35, 13,
               LabelFont);
    // The height given is the open list's; the closed box is made 21 pixels high below.
    cboRepeat = AddControl(WC_COMBOBOXW, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                           IDC_NOTE_REPEAT, 99, 44, 173, 200, FieldFont);
    HiddenLabel("Note", IDC_NOTE_TEXT_LABEL);
    memoNote = AddControl(WC_EDITW, "", WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL,
                          IDC_NOTE_TEXT, 9, 76, 293, 139, FieldFont, WS_EX_CLIENTEDGE);

    // Fixed formats, whatever the regional settings say.
    SendMessageW(edtDate, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"MM/dd/yyyy"));
    SendMessageW(edtTime, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"hh:mm tt"));
    SetPickerDate(edtDate, fields_.date);
    shownDate_ = PickerValue(edtDate);
    SetPickerTime(edtTime, fields_.time);

    for (const std::string_view kind : RepeatKinds)
        SendMessageW(cboRepeat, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(win32::Wide(kind).c_str()));
    SendMessageW(cboRepeat, CB_SETCURSEL, WPARAM(fields_.repeatIndex), 0); // -1: none, empty
    FitHeight(cboRepeat, Scaled(RepeatHeight));

    // No limit but memory: a long note must come back from the box whole.
    SendMessageW(memoNote, EM_SETLIMITTEXT, 0, 0);
    win32::SetText(memoNote, fields_.note);
    SetWindowSubclass(memoNote, IgnoreEscape, 0, 0);

    SetFocus(edtDate);
}

void TfrmNote::DpiChanged() {
    AdvPanel1.Create(Handle());
    FitHeight(cboRepeat, Scaled(RepeatHeight));
}

std::optional<LRESULT> TfrmNote::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto result = AdvPanel1.HandleMessage(message, wParam, lParam)) return result;
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_NOTE_OK: btnOKClick(); return 0;
        case IDC_NOTE_CANCEL: End(IDC_NOTE_CANCEL); return 0;
        default: break;
        }
    }
    return ModalDialog::HandleMessage(message, wParam, lParam);
}

void TfrmNote::btnOKClick() {
    const SYSTEMTIME date = PickerValue(edtDate), time = PickerValue(edtTime);
    if (!SameDay(date, shownDate_)) fields_.date = EncodeDate(date.wYear, date.wMonth, date.wDay);
    fields_.time = EncodeTime(time.wHour, time.wMinute, time.wSecond);
    fields_.repeatIndex = int(SendMessageW(cboRepeat, CB_GETCURSEL, 0, 0)); // CB_ERR is -1
    fields_.note = CleanNoteText(win32::WindowText(memoNote));
    End(IDC_NOTE_OK);
}

} // namespace

bool ShowNoteEditor(HWND owner, NoteFields& fields) {
    TfrmNote frmNote(fields);
    if (!frmNote.ShowModal(owner)) return false;
    fields = frmNote.Fields();
    return true;
}

} // namespace quillet
