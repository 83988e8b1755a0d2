#include "base/DateFormat.h"
#include "base/Errors.h"
#include "store/NoteFields.h"

#include <gtest/gtest.h>

using namespace quillet;

namespace {

NoteTable OneRow(const std::string& alarm, const std::string& repeat, const std::string& note) {
    NoteTable table;
    table.SetCellText(ColAlarm, 1, alarm);
    table.SetCellText(ColRepeat, 1, repeat);
    table.SetCellText(ColNote, 1, note);
    return table;
}

std::string ErrorOf(const NoteTable& table) {
    try {
        ReadNoteFields(table, 1);
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(NoteFields, ANewNoteStartsNowWithNone) {
    const TDateTime now = EncodeDate(2026, 12, 9) + EncodeTime(16, 8, 42);
    const NoteFields fields = NewNoteFields(now);
    EXPECT_EQ(NoteRowTexts(fields),
              (std::array<std::string, 3>{"12/09/2026 04:08 PM", "None", ""}));
}

TEST(NoteFields, AStoredRowReadsBackAndIsRewrittenWithoutSeconds) {
    const NoteFields fields = ReadNoteFields(OneRow("03/05/2009 12:05:30 PM", "daily", "a"), 1);
    EXPECT_EQ(fields.repeatIndex, 2);
    EXPECT_EQ(NoteRowTexts(fields),
              (std::array<std::string, 3>{"03/05/2009 12:05 PM", "Daily", "a"}));

    const struct {
        const char *alarm, *want;
    } times[] = {{"03/05/2009 12:05 AM", "12:05 AM"},
                 {"03/05/2009 12:00 PM", "12:00 PM"},
                 {"03/05/2009 01:30 PM", "01:30 PM"},
                 {"03/05/2009 01.30 PM", "01:30 PM"}};
    for (const auto& t : times)
        EXPECT_EQ(FormatTime(ReadNoteFields(OneRow(t.alarm, "None", ""), 1).time), t.want);
}

TEST(NoteFields, RepeatTextsMatchWithoutRegardToCase) {
    EXPECT_EQ(ReadNoteFields(OneRow("01/01/2027 09:00 AM", "BI-WEEKLY", ""), 1).repeatIndex, 4);
    for (const char* unknown : {"", "Yearly", "None "})
        EXPECT_EQ(ReadNoteFields(OneRow("01/01/2027 09:00 AM", unknown, ""), 1).repeatIndex, -1);
    NoteFields fields = ReadNoteFields(OneRow("01/01/2027 09:00 AM", "", ""), 1);
    EXPECT_EQ(NoteRowTexts(fields)[ColRepeat], "");
}

TEST(NoteFields, AlarmsThatDoNotConvertNameTheFailingText) {
    EXPECT_EQ(ErrorOf(OneRow("", "", "")), "'' is not a valid date");
    EXPECT_EQ(ErrorOf(OneRow("03/05/2009 17:05", "None", "")), "'' is not a valid time");
    EXPECT_EQ(ErrorOf(OneRow("03/05/2009", "None", "")), "'' is not a valid time");
    EXPECT_EQ(ErrorOf(OneRow("03/05/2009-12:05PM", "None", "")),
              "'03/05/2009-12:05PM' is not a valid date");
    EXPECT_EQ(ErrorOf(OneRow("13/05/2009 12:05 PM", "None", "")),
              "'13/05/2009' is not a valid date");
}

TEST(NoteFields, NoteTextsKeepOnlyWhatTheNotesFileCarries) {
    EXPECT_EQ(CleanNoteText("one\rtwo\nthree\r\nfour"), "one\r\ntwo\r\nthree\r\nfour");
    EXPECT_EQ(CleanNoteText("a\tb\x08"
                            "c\x01"
                            "d\x7f"),
              "a bcd");
    EXPECT_EQ(CleanNoteText("\r\n\r\n"), "\r\n\r\n");
    EXPECT_EQ(CleanNoteText("caf\xe9 & <b>milk</b>, eggs"), "caf\xe9 & <b>milk</b>, eggs");
    EXPECT_EQ(ReadNoteFields(OneRow("01/01/2027 09:00 AM", "None", "a\nb"), 1).note, "a\r\nb");
}
