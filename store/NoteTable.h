#pragma once
// The table of notes: header row 0 with the column titles and one row per note, three text
// columns. A note is nothing but the three texts of its row. The table is a model only: the
// grid that shows it repaints from it alone, column widths included.
#include <array>
#include <string>
#include <vector>

namespace quillet {

enum NoteColumn : int { ColAlarm = 0, ColRepeat = 1, ColNote = 2 };

enum class SortDirection { Ascending, Descending };

class NoteTable {
public:
    static constexpr int ColCount = 3;
    static constexpr int DefaultColWidths[ColCount] = {130, 84, 168};

    // The designed table: the header row and one empty note row, sorted by Alarm ascending.
    NoteTable();

    int RowCount() const { return int(rows_.size()); }
    const std::string& CellText(int col, int row) const { return rows_[row][col]; }
    void SetCellText(int col, int row, std::string text) { rows_[row][col] = std::move(text); }

    // The current row, always a note row (1 to RowCount - 1).
    int SelectedRow() const { return selectedRow_; }
    void SelectRow(int row);

    // One empty row at the end; the current row does not move.
    void AppendRow();
    void ClearRow(int row);
    // Later rows move up; the current row keeps its index, or becomes the new last row.
    void DeleteRow(int row);

    void SortRows(int col, SortDirection direction);
    int SortColumn() const { return sortColumn_; }
    SortDirection Direction() const { return sortDirection_; }

    int ColWidth(int col) const { return colWidths_[col]; }
    void SetColWidth(int col, int width) { colWidths_[col] = width; }

private:
    using Row = std::array<std::string, ColCount>;
    std::vector<Row> rows_;
    std::array<int, ColCount> colWidths_;
    int selectedRow_ = 1;
    int sortColumn_ = ColAlarm;
    SortDirection sortDirection_ = SortDirection::Ascending;
};

} // namespace quillet
