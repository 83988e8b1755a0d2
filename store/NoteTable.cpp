#include "store/NoteTable.h"

#include <algorithm>

namespace quillet {

NoteTable::NoteTable()
    : rows_{Row{"Alarm", "Repeat", "Note"}, Row{}}, colWidths_{DefaultColWidths[0],
                                                               DefaultColWidths[1],
                                                               DefaultColWidths[2]} {}

void NoteTable::SelectRow(int row) {
    selectedRow_ = std::clamp(row, 1, RowCount() - 1);
}

void NoteTable::AppendRow() {
    rows_.emplace_back();
}

void NoteTable::ClearRow(int row) {
    rows_[row] = Row{};
}

void NoteTable::DeleteRow(int row) {
    rows_.erase(rows_.begin() + row);
    if (selectedRow_ > RowCount() - 1) selectedRow_ = RowCount() - 1;
}

} // namespace quillet
