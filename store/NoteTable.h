#pragma once
// The table of notes: header row 0 with the column titles and one row per note, three text
// columns. A note is nothing but the three texts of its row. The table is a model only: the
// grid that shows it repaints from it alone, column widths included.
//
// A notes file written by another tool may declare more columns. The table keeps their cells
// and widths, moves the cells with their rows, and the file is saved with them again; nothing
// else looks at them: the grid shows, sorts by and edits the three note columns only.
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

enum NoteColumn : int { ColAlarm = 0, ColRepeat = 1, ColNote = 2 };

enum class SortDirection { Ascending, Descending };

// How the texts of a column compare when sorting: by numeric value, as moments (a date with
// or without a time of day), as times of day, or byte by byte.
enum class SortKind { Number, Moment, Time, Text };

// The kind a text suggests: a number (digits with at most one leading "-", one "." and one
// exponent); a moment ("/" at position 2 or 3 between digits); a time (":" at position 2 or 3
// between digits); anything else, the empty text included, is text.
SortKind SortKindOf(std::string_view text);

class NoteTable {
public:
    // The note columns.
    static constexpr int ColCount = 3;
    static constexpr int DefaultColWidths[ColCount] = {130, 84, 168};
    // Columns beyond the note columns start this wide.
    static constexpr int DefaultExtraColWidth = 64;
    // Far more than any tool writes: it keeps a damaged size line from asking for more.
    static constexpr int MaxColCount = 100;
    // No real list of reminders comes near this (it would be four million pixels tall); it
    // keeps the size line of a damaged notes file from asking for more.
    static constexpr int MaxRowCount = 200'000;
    // Wider than any screen: a wider column can only come from a damaged file.
    static constexpr int MaxColWidth = 10'000;

    // The designed table: the header row and one empty note row, sorted by Alarm ascending.
    NoteTable();

    int RowCount() const { return int(rows_.size()); }
    // Every column, those beyond the note columns included: held within ColCount and
    // MaxColCount. New columns are empty; the cells of columns removed go with them.
    int StoredColCount() const { return int(colWidths_.size()); }
    void SetStoredColCount(int cols);
    // Held within 2 (the header and one note row) and MaxRowCount; new rows are empty, and the
    // current row stays a note row.
    void SetRowCount(int rows);

    // Any column below StoredColCount.
    const std::string& CellText(int col, int row) const;
    void SetCellText(int col, int row, std::string text);
    // Whether no cell of the row holds text; quick for the rows never written.
    bool IsEmptyRow(int row) const;

    // The current row, always a note row (1 to RowCount - 1).
    int SelectedRow() const { return selectedRow_; }
    void SelectRow(int row);

    // One empty row at the end; the current row does not move.
    void AppendRow();
    // Empties every cell of the row.
    void ClearRow(int row);
    // Later rows move up; the current row keeps its index, or becomes the new last row.
    void DeleteRow(int row);

    // Orders the note rows by the column, ties broken by the columns to its right. Each
    // column compares by the kind most of its texts suggest (text when no kind has the most);
    // a text that does not read as that kind, the empty one included, counts as 0. Rows that
    // compare equal keep their order. The current row keeps its index.
    void SortRows(int col, SortDirection direction);
    int SortColumn() const { return sortColumn_; }
    SortDirection Direction() const { return sortDirection_; }
    // A click on a column title: with at least two notes, sorts by that column, ascending, or
    // the other way round when it already is the sort column.
    void HeaderClick(int col);

    int ColWidth(int col) const { return colWidths_[col]; }
    void SetColWidth(int col, int width) { colWidths_[col] = width; }

private:
    struct Row {
        std::array<std::string, ColCount> notes;
        std::vector<std::string> beyond; // only as far as cells past the note columns are set
    };
    SortKind ColumnKind(int col) const;

    // An empty row is a null pointer: a table of many empty rows (a damaged size line) stays
    // small, and sorting moves pointers only.
    std::vector<std::unique_ptr<Row>> rows_;
    std::vector<int> colWidths_;
    int selectedRow_ = 1;
    int sortColumn_ = ColAlarm;
    SortDirection sortDirection_ = SortDirection::Ascending;
};

} // namespace quillet
