// The note editor, shown for real and driven from inside its modal loop.
#include "DialogScript.h"
#include "app/AdvPanel.h"
#include "app/uNote.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

using namespace quillet;
using test::DialogScript;
using test::PressKey;

namespace {

SYSTEMTIME PickerValue(HWND dialog, int id) {
    SYSTEMTIME value{};
    SendMessageA(GetDlgItem(dialog, id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value));
    return value;
}

void SetPicker(HWND dialog, int id, SYSTEMTIME value) {
    SendMessageA(GetDlgItem(dialog, id), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&value));
}

std::string TextOf(HWND dialog, int id) {
    return win32::WindowText(GetDlgItem(dialog, id));
}

void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// The control's rectangle in its dialog's client coordinates.
RECT PlaceOf(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

const NoteFields Preset{EncodeDate(2009, 3, 5), EncodeTime(12, 5, 30), 2,
                        "First line\r\nSecond line"};

} // namespace

TEST(NoteEditor, ShowsItsPresetsAndOnOKGivesThemBackWithoutSeconds) {
    NoteFields fields = Preset;
    SYSTEMTIME date{}, time{};
    std::string repeat, note, shownDate, shownTime;
    bool focusOnDate = false;
    DialogScript script("Note", {[&](HWND dialog) {
                            date = PickerValue(dialog, IDC_NOTE_DATE);
                            time = PickerValue(dialog, IDC_NOTE_TIME);
                            shownDate = TextOf(dialog, IDC_NOTE_DATE);
                            shownTime = TextOf(dialog, IDC_NOTE_TIME);
                            repeat = TextOf(dialog, IDC_NOTE_REPEAT);
                            note = TextOf(dialog, IDC_NOTE_TEXT);
                            focusOnDate = GetFocus() == GetDlgItem(dialog, IDC_NOTE_DATE);
                            Click(dialog, IDC_NOTE_OK);
                        }});
    EXPECT_TRUE(ShowNoteEditor(nullptr, fields));
    EXPECT_TRUE(script.Completed());

    EXPECT_EQ((std::vector<int>{date.wYear, date.wMonth, date.wDay}),
              (std::vector<int>{2009, 3, 5}));
    EXPECT_EQ((std::vector<int>{time.wHour, time.wMinute, time.wSecond}),
              (std::vector<int>{12, 5, 30}));
    EXPECT_EQ(shownDate, "03/05/2009");
    EXPECT_EQ(shownTime, "12:05 PM");
    EXPECT_EQ(repeat, "Daily");
    EXPECT_EQ(note, "First line\r\nSecond line");
    EXPECT_TRUE(focusOnDate);
    EXPECT_EQ(NoteRowTexts(fields), (std::array<std::string, 3>{"03/05/2009 12:05 PM", "Daily",
                                                                "First line\r\nSecond line"}));
}

TEST(NoteEditor, OKReturnsWhatTheUserSetWithTheNoteMadeStorable) {
    NoteFields fields = Preset;
    DialogScript script("Note", {[](HWND dialog) {
                            SetPicker(dialog, IDC_NOTE_DATE, {2030, 4, 0, 7, 0, 0, 0, 0});
                            SetPicker(dialog, IDC_NOTE_TIME, {2030, 4, 0, 7, 17, 6, 59, 0});
                            SendMessageA(GetDlgItem(dialog, IDC_NOTE_REPEAT), CB_SETCURSEL, 5, 0);
                            SetWindowTextA(GetDlgItem(dialog, IDC_NOTE_TEXT),
                                           "one\ntwo\tthree\x01\r\n");
                            Click(dialog, IDC_NOTE_OK);
                        }});
    EXPECT_TRUE(ShowNoteEditor(nullptr, fields));
    EXPECT_TRUE(script.Completed());
    EXPECT_EQ(fields.repeatIndex, 5);
    EXPECT_EQ(NoteRowTexts(fields), (std::array<std::string, 3>{"04/07/2030 05:06 PM", "Monthly",
                                                                "one\r\ntwo three\r\n"}));
}

TEST(NoteEditor, NoRepeatSelectedShowsAnEmptyListAndStaysUnselected) {
    NoteFields fields = Preset;
    fields.repeatIndex = -1;
    std::string shown = "?";
    DialogScript script("Note", {[&](HWND dialog) {
                            shown = TextOf(dialog, IDC_NOTE_REPEAT);
                            Click(dialog, IDC_NOTE_OK);
                        }});
    EXPECT_TRUE(ShowNoteEditor(nullptr, fields));
    EXPECT_EQ(shown, "");
    EXPECT_EQ(fields.repeatIndex, -1);
    EXPECT_EQ(NoteRowTexts(fields)[1], "");
}

TEST(NoteEditor, KeepsADateBeforeTheCalendarsFirstDayUnlessAnotherIsPicked) {
    NoteFields fields = Preset;
    fields.date = EncodeDate(1700, 1, 1);
    DialogScript script("Note", {[](HWND dialog) { Click(dialog, IDC_NOTE_OK); }});
    EXPECT_TRUE(ShowNoteEditor(nullptr, fields));
    EXPECT_EQ(NoteRowTexts(fields)[0], "01/01/1700 12:05 PM");
}

TEST(NoteEditor, CancelTheCloseBoxAndTheEndOfTheApplicationLeaveTheFieldsAlone) {
    const struct {
        const char* how;
        void (*close)(HWND dialog);
    } closers[] = {
        {"Cancel", [](HWND dialog) { Click(dialog, IDC_NOTE_CANCEL); }},
        {"close box", [](HWND dialog) { SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"end of the application", [](HWND) { PostQuitMessage(0); }},
    };
    for (const auto& closer : closers) {
        SCOPED_TRACE(closer.how);
        NoteFields fields = Preset;
        DialogScript script("Note", {[&](HWND dialog) {
                                SendMessageA(GetDlgItem(dialog, IDC_NOTE_REPEAT), CB_SETCURSEL, 8,
                                             0);
                                SetWindowTextA(GetDlgItem(dialog, IDC_NOTE_TEXT), "changed");
                                closer.close(dialog);
                            }});
        EXPECT_FALSE(ShowNoteEditor(nullptr, fields));
        EXPECT_TRUE(script.Completed());
        EXPECT_EQ(fields.repeatIndex, 2);
        EXPECT_EQ(fields.note, Preset.note);
        EXPECT_EQ(fields.time, Preset.time);
    }
}

TEST(NoteEditor, EscDoesNothingAndEnterOnlyStartsALineInTheText) {
    NoteFields fields = Preset;
    DialogScript script("Note", {
                                    [](HWND dialog) {
                                        const HWND date = GetDlgItem(dialog, IDC_NOTE_DATE);
                                        PressKey(date, VK_ESCAPE);
                                        PressKey(date, VK_RETURN);
                                    },
                                    [](HWND dialog) {
                                        const HWND text = GetDlgItem(dialog, IDC_NOTE_TEXT);
                                        SetFocus(text);
                                        SetWindowTextA(text, "ab");
                                        SendMessageA(text, EM_SETSEL, 2, 2);
                                        PressKey(text, VK_ESCAPE);
                                        PressKey(text, VK_RETURN);
                                        PressKey(text, 'C');
                                    },
                                    // Still open after all these keys.
                                    [](HWND dialog) { Click(dialog, IDC_NOTE_OK); },
                                });
    EXPECT_TRUE(ShowNoteEditor(nullptr, fields));
    EXPECT_TRUE(script.Completed());
    EXPECT_EQ(fields.note, "ab\r\nc");
}

TEST(NoteEditor, LaysOutItsControlsAsDesignedCentredOnTheScreen) {
    const struct {
        int id;
        RECT place;
        const char* face;
        int height;
    } controls[] = {
        {IDC_NOTE_WHEN_LABEL, {38, 20, 89, 33}, "MS Sans Serif", -11},
        {IDC_NOTE_DATE, {99, 16, 184, 37}, "Tahoma", -11},
        {IDC_NOTE_TIME, {193, 16, 272, 37}, "Tahoma", -11},
        {IDC_NOTE_REPEAT_LABEL, {56, 48, 91, 61}, "MS Sans Serif", -11},
        {IDC_NOTE_REPEAT, {99, 44, 272, 65}, "Tahoma", -11},
        {IDC_NOTE_TEXT, {9, 76, 302, 215}, "Tahoma", -11},
        {IDC_NOTE_OK, {50, 236, 150, 266}, "Tahoma", -13},
        {IDC_NOTE_CANCEL, {160, 236, 260, 266}, "Tahoma", -13},
    };
    RECT client{}, frame{};
    std::vector<RECT> places;
    std::vector<LOGFONTA> fonts;
    std::vector<HWND> tabOrder, designedTabOrder;
    std::vector<std::string> items;
    std::vector<std::string> labels;
    DialogScript script(
        "Note", {[&](HWND dialog) {
            GetClientRect(dialog, &client);
            GetWindowRect(dialog, &frame);
            for (const auto& control : controls) {
                places.push_back(PlaceOf(dialog, control.id));
                LOGFONTA font{};
                GetObjectA(reinterpret_cast<HFONT>(
                               SendMessageA(GetDlgItem(dialog, control.id), WM_GETFONT, 0, 0)),
                           sizeof font, &font);
                fonts.push_back(font);
            }
            HWND control = GetDlgItem(dialog, IDC_NOTE_OK);
            for (int i = 0; i < 7; ++i) {
                tabOrder.push_back(control);
                control = GetNextDlgTabItem(dialog, control, FALSE);
            }
            const HWND list = GetDlgItem(dialog, IDC_NOTE_REPEAT);
            for (int i = 0; i < SendMessageA(list, CB_GETCOUNT, 0, 0); ++i) {
                char item[32]{};
                SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
                items.emplace_back(item);
            }
            labels = {TextOf(dialog, IDC_NOTE_WHEN_LABEL), TextOf(dialog, IDC_NOTE_REPEAT_LABEL),
                      TextOf(dialog, IDC_NOTE_OK), TextOf(dialog, IDC_NOTE_CANCEL)};
            for (const int id : {IDC_NOTE_OK, IDC_NOTE_CANCEL, IDC_NOTE_DATE, IDC_NOTE_TIME,
                                 IDC_NOTE_REPEAT, IDC_NOTE_TEXT, IDC_NOTE_OK})
                designedTabOrder.push_back(GetDlgItem(dialog, id));
            Click(dialog, IDC_NOTE_CANCEL);
        }});
    NoteFields fields = Preset;
    ShowNoteEditor(nullptr, fields);
    ASSERT_TRUE(script.Completed());

    EXPECT_EQ(client.right, 311);
    EXPECT_EQ(client.bottom, 276);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
    for (std::size_t i = 0; i < std::size(controls); ++i) {
        SCOPED_TRACE(controls[i].id);
        const RECT& want = controls[i].place;
        EXPECT_EQ(
            (std::vector<LONG>{places[i].left, places[i].top, places[i].right, places[i].bottom}),
            (std::vector<LONG>{want.left, want.top, want.right, want.bottom}));
        EXPECT_STREQ(fonts[i].lfFaceName, controls[i].face);
        EXPECT_EQ(fonts[i].lfHeight, controls[i].height);
    }
    EXPECT_EQ(tabOrder, designedTabOrder);
    EXPECT_EQ(items, (std::vector<std::string>{RepeatKinds.begin(), RepeatKinds.end()}));
    EXPECT_EQ(labels, (std::vector<std::string>{"Date/Time", "Repeat", "OK", "Cancel"}));
}

TEST(NoteEditor, PaintsTheLightBluePanelWithDarkBlueLabelsAndText) {
    Color top{}, bottom{}, besideLabel{}, panelThere{};
    int labelInk = 0, noteInk = 0;
    DialogScript script("Note", {[&](HWND dialog) {
                            const test::ClientPicture picture(dialog);
                            top = picture.At(2, 0);
                            bottom = picture.At(2, 275);
                            // The label's empty left end shows the panel as it is there.
                            besideLabel = picture.At(38, 22);
                            panelThere = picture.At(2, 22);
                            labelInk =
                                picture.Count(PlaceOf(dialog, IDC_NOTE_WHEN_LABEL), DarkBlue);
                            noteInk = picture.Count(PlaceOf(dialog, IDC_NOTE_TEXT), DarkBlue);
                            Click(dialog, IDC_NOTE_CANCEL);
                        }});
    NoteFields fields = Preset;
    ShowNoteEditor(nullptr, fields);
    ASSERT_TRUE(script.Completed());
    EXPECT_EQ(top, Color::FromRgb(233, 241, 250));
    EXPECT_EQ(bottom, Color::FromRgb(199, 216, 237));
    EXPECT_EQ(besideLabel, panelThere);
    EXPECT_GT(labelInk, 20);
    EXPECT_GT(noteInk, 20);
}

TEST(NoteEditor, BelongsToItsOwnerAndDisablesItMeanwhile) {
    const HWND window = CreateWindowExA(0, "STATIC", "Main", WS_POPUP | WS_VISIBLE, 10, 10, 200,
                                        100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND owner = nullptr;
    bool enabledMeanwhile = true;
    DialogScript script("Note", {[&](HWND dialog) {
                            owner = GetWindow(dialog, GW_OWNER);
                            enabledMeanwhile = IsWindowEnabled(window);
                            Click(dialog, IDC_NOTE_CANCEL);
                        }});
    NoteFields fields = Preset;
    ShowNoteEditor(window, fields);
    EXPECT_EQ(owner, window);
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(window));
    DestroyWindow(window);
}
