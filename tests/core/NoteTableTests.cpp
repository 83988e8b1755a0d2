#include "notes/NoteTable.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace quillet;

namespace {

using Note = std::tuple<std::string, std::string, std::string>;

// A table holding the notes in rows 1, 2, ...
NoteTable TableOf(const std::vector<Note>& notes) {
    NoteTable table;
    table.SetRowCount(int(notes.size()) + 1);
    for (int row = 1; const auto& [alarm, repeat, note] : notes) {
        table.SetCellText(ColAlarm, row, alarm);
        table.SetCellText(ColRepeat, row, repeat);
        table.SetCellText(ColNote, row++, note);
    }
    return table;
}

std::vector<std::string> Column(const NoteTable& table, int col) {
    std::vector<std::string> texts;
    for (int row = 1; row < table.RowCount(); ++row) texts.push_back(table.CellText(col, row));
    return texts;
}

std::vector<std::string> Sorted(std::vector<Note> notes, int col, SortDirection direction) {
    NoteTable table = TableOf(notes);
    table.SortRows(col, direction);
    return Column(table, col);
}

using Texts = std::vector<std::string>;
constexpr auto Asc = SortDirection::Ascending;
constexpr auto Desc = SortDirection::Descending;

} // namespace

TEST(NoteTable, StartsWithTheHeaderRowAndOneEmptyNoteRow) {
    const NoteTable table;
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.CellText(ColAlarm, 0), "Alarm");
    EXPECT_EQ(table.CellText(ColRepeat, 0), "Repeat");
    EXPECT_EQ(table.CellText(ColNote, 0), "Note");
    for (int col : {ColAlarm, ColRepeat, ColNote}) EXPECT_EQ(table.CellText(col, 1), "");
    EXPECT_EQ(table.SelectedRow(), 1);
    EXPECT_EQ(table.SortColumn(), ColAlarm);
    EXPECT_EQ(table.Direction(), Asc);
    EXPECT_EQ(table.ColWidth(0), 130);
    EXPECT_EQ(table.ColWidth(1), 84);
    EXPECT_EQ(table.ColWidth(2), 168);
}

TEST(NoteTable, AddFillsTheEmptyFirstRowThenAppends) {
    NoteTable table;
    EXPECT_EQ(table.AddNote({"12/09/2026 04:08 PM", "None", "Call"}), 1);
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.SelectedRow(), 1);
    EXPECT_EQ(table.AddNote({"12/10/2026 09:00 AM", "Daily", "Walk"}), 2);
    EXPECT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.SelectedRow(), 2);
    EXPECT_EQ(Column(table, ColAlarm), (Texts{"12/09/2026 04:08 PM", "12/10/2026 09:00 AM"}));
    EXPECT_EQ(Column(table, ColNote), (Texts{"Call", "Walk"}));
    table.AppendRow();
    EXPECT_EQ(table.SelectedRow(), 2) << "appending alone does not move the current row";
    EXPECT_EQ(table.CellText(ColNote, 3), "");
}

TEST(NoteTable, DeletingMovesTheSelectionToTheFollowingNoteOrTheNewLastRow) {
    NoteTable table = TableOf({{"a", "", ""}, {"b", "", ""}, {"c", "", ""}, {"d", "", ""}});
    table.SelectRow(2);
    table.DeleteSelectedNote();
    EXPECT_EQ(Column(table, ColAlarm), (Texts{"a", "c", "d"}));
    EXPECT_EQ(table.SelectedRow(), 2);
    table.SelectRow(3);
    table.DeleteSelectedNote();
    EXPECT_EQ(Column(table, ColAlarm), (Texts{"a", "c"}));
    EXPECT_EQ(table.SelectedRow(), 2);
}

TEST(NoteTable, DeletingTheOnlyNoteKeepsTheEmptyFirstRow) {
    NoteTable table = TableOf({{"12/09/2026 04:08 PM", "None", "Call"}});
    for (int i = 0; i < 2; ++i) {
        table.DeleteSelectedNote();
        EXPECT_EQ(table.RowCount(), 2);
        for (int col : {ColAlarm, ColRepeat, ColNote}) EXPECT_EQ(table.CellText(col, 1), "");
    }
    EXPECT_EQ(table.CellText(ColAlarm, 0), "Alarm");
}

TEST(NoteTable, EditingANoteWritesItsThreeCellsAndKeepsTheCellsPastThem) {
    NoteTable table = TableOf({{"a", "None", "x"}, {"b", "Daily", "y"}});
    table.SetStoredColCount(4);
    table.SetCellText(3, 2, "another tool's");
    table.SetNote(2, {"c", "Weekly", "z"});
    EXPECT_EQ(Column(table, ColAlarm), (Texts{"a", "c"}));
    EXPECT_EQ(Column(table, ColRepeat), (Texts{"None", "Weekly"}));
    EXPECT_EQ(Column(table, ColNote), (Texts{"x", "z"}));
    EXPECT_EQ(table.CellText(3, 2), "another tool's");
}

TEST(NoteTable, RowCountStaysWithinItsBounds) {
    NoteTable table = TableOf({{"a", "", ""}, {"b", "", ""}, {"c", "", ""}});
    table.SelectRow(3);
    table.SetRowCount(0);
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.SelectedRow(), 1);
    EXPECT_EQ(table.CellText(ColAlarm, 1), "a") << "shrinking keeps the rows that remain";
    table.SetRowCount(2'000'000'000);
    EXPECT_EQ(table.RowCount(), NoteTable::MaxRowCount);
    EXPECT_EQ(table.CellText(ColNote, NoteTable::MaxRowCount - 1), "");
    table.SelectRow(7);
    EXPECT_EQ(table.SelectedRow(), 7);
    table.SelectRow(0);
    EXPECT_EQ(table.SelectedRow(), 1) << "the header row is never current";
}

TEST(NoteTable, TextsSuggestTheirSortKind) {
    const std::pair<const char*, SortKind> cases[] = {
        {"12", SortKind::Number},
        {"-3.5", SortKind::Number},
        {"1.5e-3", SortKind::Number},
        {".5", SortKind::Number},
        {"1E6", SortKind::Number},
        {"12/09/2026 04:08 PM", SortKind::Moment},
        {"12/09/2026", SortKind::Moment},
        {"1/2", SortKind::Moment},
        {"9:30", SortKind::Time},
        {"04:08 PM", SortKind::Time},
        {"", SortKind::Text},
        {"-", SortKind::Text},
        {"1.2.3", SortKind::Text},
        {"--1", SortKind::Text},
        {"1e", SortKind::Text},
        {"12 apples", SortKind::Text},
        {"123/4", SortKind::Text}, // "/" at position 4
        {"a/1", SortKind::Text},
        {"12:", SortKind::Text}, // ":" as the last character
        {"Weekly", SortKind::Text},
    };
    for (const auto& [text, kind] : cases) EXPECT_EQ(SortKindOf(text), kind) << text;
}

TEST(NoteTable, AlarmsSortChronologicallyWithTiesBrokenToTheRight) {
    const std::vector<Note> notes = {
        {"01/01/2027 08:00 AM", "None", "c"},   {"12/31/2026 11:00 PM", "None", "b"},
        {"12/31/2026 11:00 AM", "Weekly", "a"}, {"12/31/2026 11:00 AM", "Daily", "z"},
        {"12/31/2026 11.00 AM", "Daily", "y"},  {"02/01/2026 12:00 AM", "None", "d"},
    };
    NoteTable table = TableOf(notes);
    table.SortRows(ColAlarm, Asc);
    EXPECT_EQ(Column(table, ColNote), (Texts{"d", "y", "z", "a", "b", "c"}));
    EXPECT_EQ(table.CellText(ColAlarm, 0), "Alarm") << "the header row stays first";
    table.SortRows(ColAlarm, Desc);
    EXPECT_EQ(Column(table, ColNote), (Texts{"c", "b", "a", "z", "y", "d"}));
    EXPECT_EQ(table.SortColumn(), ColAlarm);
    EXPECT_EQ(table.Direction(), Desc);
}

TEST(NoteTable, EachColumnSortsByTheKindOfItsTexts) {
    struct Case {
        int col;
        SortDirection direction;
        Texts texts, sorted;
    };
    const Case cases[] = {
        {ColRepeat,
         Asc,
         {"Weekly", "None", "Daily", "Annually", "Quarterly", "Bi-Weekly", "Hourly", "Monthly",
          "Bi-Monthly"},
         {"Annually", "Bi-Monthly", "Bi-Weekly", "Daily", "Hourly", "Monthly", "None", "Quarterly",
          "Weekly"}},
        {ColNote, Asc, {"b", "B", "", "ab", "a"}, {"", "B", "a", "ab", "b"}},
        {ColNote, Asc, {"\xe9t\xe9", "zoo"}, {"zoo", "\xe9t\xe9"}}, // bytes, not letters
        {ColNote, Asc, {"10", "9", "-2.5", "1e3", ""}, {"-2.5", "", "9", "10", "1e3"}},
        {ColNote, Desc, {"10", "9", "100"}, {"100", "10", "9"}},
        {ColNote, Asc, {"10:00 AM", "9:30", "12:00 AM"}, {"12:00 AM", "9:30", "10:00 AM"}},
        {ColNote,
         Asc,
         {"2/1/2026", "12/1/2025", "1/15/2026"},
         {"12/1/2025", "1/15/2026", "2/1/2026"}},
        // An alarm that does not read counts as the earliest moment, among chronological others.
        {ColAlarm,
         Asc,
         {"03/01/2026 09:00 AM", "tomorrow", "", "01/01/2026 09:00 AM"},
         {"tomorrow", "", "01/01/2026 09:00 AM", "03/01/2026 09:00 AM"}},
        // Before 30 December 1899 too: within a day, the morning first.
        {ColAlarm,
         Asc,
         {"01/01/1800 07:30 PM", "01/01/1800 04:30 AM", "12/31/1799 11:00 PM"},
         {"12/31/1799 11:00 PM", "01/01/1800 04:30 AM", "01/01/1800 07:30 PM"}},
        // Without a kind that most texts share, the column sorts as text.
        {ColNote, Asc, {"10", "9", "x", "y"}, {"10", "9", "x", "y"}},
    };
    for (const Case& c : cases) {
        std::vector<Note> notes;
        for (const auto& text : c.texts)
            notes.push_back(c.col == ColNote     ? Note{"", "", text}
                            : c.col == ColRepeat ? Note{"", text, ""}
                                                 : Note{text, "", ""});
        EXPECT_EQ(Sorted(notes, c.col, c.direction), c.sorted) << c.texts[0];
    }
}

TEST(NoteTable, SortingKeepsTheCurrentRowIndexAndMovesWholeRows) {
    NoteTable table = TableOf({{"12/31/2026 11:00 PM", "Daily", "late\r\nsecond line"},
                               {"01/01/2026 08:00 AM", "None", "early"}});
    table.SelectRow(2);
    table.SortRows(ColAlarm, Asc);
    EXPECT_EQ(table.SelectedRow(), 2);
    EXPECT_EQ(table.CellText(ColRepeat, 2), "Daily");
    EXPECT_EQ(table.CellText(ColNote, 2), "late\r\nsecond line");
    EXPECT_EQ(table.CellText(ColNote, 1), "early");
}

TEST(NoteTable, HeaderClickSortsOnlyWithTwoNotes) {
    NoteTable one = TableOf({{"x", "Weekly", "n"}});
    one.HeaderClick(ColRepeat);
    EXPECT_EQ(one.SortColumn(), ColAlarm);
    EXPECT_EQ(one.Direction(), Asc);

    NoteTable table = TableOf({{"01/02/2026 09:00 AM", "Daily", "b"},
                               {"01/01/2026 09:00 AM", "Weekly", "a"},
                               {"01/03/2026 09:00 AM", "Annually", "c"}});
    table.SortRows(ColAlarm, Asc); // as at start-up
    struct Step {
        int col;
        SortDirection direction;
        Texts notes;
    };
    const Step steps[] = {
        {ColAlarm, Desc, {"c", "b", "a"}},  // the start-up sort made Alarm the sort column
        {ColRepeat, Asc, {"c", "b", "a"}},  // another column: ascending
        {ColRepeat, Desc, {"a", "b", "c"}}, // the same column again: flipped
        {ColRepeat, Asc, {"c", "b", "a"}},  {ColAlarm, Asc, {"a", "b", "c"}},
    };
    for (const Step& step : steps) {
        table.HeaderClick(step.col);
        EXPECT_EQ(table.SortColumn(), step.col);
        EXPECT_EQ(table.Direction(), step.direction);
        EXPECT_EQ(Column(table, ColNote), step.notes);
    }
}
