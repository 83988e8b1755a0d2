#include "notes/NoteTable.h"

#include "base/DateFormat.h"
#include "base/Errors.h"
#include "notes/AlarmText.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <iterator>
#include <numeric>

namespace quillet {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsNumber(std::string_view t) {
    std::size_t i = t.starts_with('-') ? 1 : 0;
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        if (IsDigit(t[i]))
            digits = true;
        else if (t[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (!digits) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        if (++i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        const std::size_t exponent = i;
        while (i < t.size() && IsDigit(t[i])) ++i;
        if (i == exponent) return false;
    }
    return i == t.size();
}

// The separator at position 2 or 3 with a digit on either side.
bool SeparatorNearStart(std::string_view t, char separator) {
    for (std::size_t i : {1, 2})
        if (i + 1 < t.size() && t[i] == separator && IsDigit(t[i - 1]) && IsDigit(t[i + 1]))
            return true;
    return false;
}

// What a text counts as under a kind other than Text; unreadable is 0.
double SortValue(SortKind kind, const std::string& text) {
    if (text.empty()) return 0;
    try {
        switch (kind) {
        case SortKind::Number: return IsNumber(text) ? std::strtod(text.c_str(), nullptr) : 0;
        case SortKind::Moment: {
            std::string moment = text; // an AlarmText written with "." reads as well
            NormalizeAlarmText(moment);
            // By the minute the text names: before 30 December 1899 the moment's value runs
            // backwards within a day (its time of day is still added), so 07:30 PM would
            // come before 04:30 AM.
            return double(MinuteOf(StrToDateTime(moment)));
        }
        case SortKind::Time: return StrToTime(text);
        case SortKind::Text: break;
        }
    } catch (const EConvertError&) {}
    return 0;
}

} // namespace

SortKind SortKindOf(std::string_view text) {
    if (IsNumber(text)) return SortKind::Number;
    if (SeparatorNearStart(text, '/')) return SortKind::Moment;
    if (SeparatorNearStart(text, ':')) return SortKind::Time;
    return SortKind::Text;
}

NoteTable::NoteTable() : colWidths_(std::begin(DefaultColWidths), std::end(DefaultColWidths)) {
    rows_.push_back(std::make_unique<Row>(Row{{"Alarm", "Repeat", "Note"}, {}}));
    rows_.emplace_back();
}

void NoteTable::SetStoredColCount(int cols) {
    cols = std::clamp(cols, int(ColCount), int(MaxColCount));
    if (cols < StoredColCount())
        for (const auto& row : rows_)
            if (row && int(row->beyond.size()) > cols - ColCount)
                row->beyond.resize(std::size_t(cols - ColCount));
    colWidths_.resize(std::size_t(cols), DefaultExtraColWidth);
}

void NoteTable::SetRowCount(int rows) {
    rows_.resize(std::clamp(rows, 2, MaxRowCount));
    selectedRow_ = std::min(selectedRow_, RowCount() - 1);
}

const std::string& NoteTable::CellText(int col, int row) const {
    static const std::string empty;
    const Row* cells = rows_[row].get();
    if (!cells) return empty;
    if (col < ColCount) return cells->notes[col];
    return col - ColCount < int(cells->beyond.size()) ? cells->beyond[col - ColCount] : empty;
}

bool NoteTable::IsEmptyRow(int row) const {
    const Row* cells = rows_[row].get();
    return !cells || (std::ranges::all_of(cells->notes, &std::string::empty) &&
                      std::ranges::all_of(cells->beyond, &std::string::empty));
}

void NoteTable::SetCellText(int col, int row, std::string text) {
    if (!rows_[row]) rows_[row] = std::make_unique<Row>();
    Row& cells = *rows_[row];
    if (col < ColCount) {
        cells.notes[col] = std::move(text);
        return;
    }
    if (col - ColCount >= int(cells.beyond.size()))
        cells.beyond.resize(std::size_t(col - ColCount) + 1);
    cells.beyond[col - ColCount] = std::move(text);
}

void NoteTable::SelectRow(int row) {
    selectedRow_ = std::clamp(row, 1, RowCount() - 1);
}

void NoteTable::AppendRow() {
    rows_.emplace_back();
}

void NoteTable::ClearRow(int row) {
    rows_[row].reset();
}

void NoteTable::DeleteRow(int row) {
    rows_.erase(rows_.begin() + row);
    if (selectedRow_ > RowCount() - 1) selectedRow_ = RowCount() - 1;
}

int NoteTable::AddNote(const NoteTexts& texts) {
    const bool intoFirstRow = CellText(ColAlarm, 1).empty();
    if (!intoFirstRow) AppendRow();
    const int row = intoFirstRow ? 1 : RowCount() - 1;
    SetNote(row, texts);
    if (!intoFirstRow) SelectRow(row);
    return row;
}

void NoteTable::SetNote(int row, const NoteTexts& texts) {
    for (int col = 0; col < ColCount; ++col) SetCellText(col, row, texts[col]);
}

void NoteTable::DeleteSelectedNote() {
    if (RowCount() == 2)
        ClearRow(1);
    else
        DeleteRow(SelectedRow());
}

// A quicksort that decides the kind from each range's pivot text gives this same order
// whenever a column's texts are all of one kind, as the Alarm and Repeat columns are; where
// they are mixed, the kind of most texts is what most pivots would have chosen. Deciding once
// per column lets every key be read once instead of on every comparison.
SortKind NoteTable::ColumnKind(int col) const {
    std::array<int, 4> votes{};
    for (int r = 1; r < RowCount(); ++r)
        if (const std::string& text = CellText(col, r); !text.empty())
            ++votes[std::size_t(SortKindOf(text))];
    const auto most = std::max_element(votes.begin(), votes.end());
    if (*most == 0 || std::count(votes.begin(), votes.end(), *most) > 1) return SortKind::Text;
    return SortKind(most - votes.begin());
}

void NoteTable::SortRows(int col, SortDirection direction) {
    sortColumn_ = col;
    sortDirection_ = direction;

    struct Key {
        int col;
        SortKind kind;
        std::vector<double> values; // by row index, for every kind but Text
    };
    std::vector<Key> keys;
    for (int c = col; c < ColCount; ++c) {
        Key key{c, ColumnKind(c), {}};
        if (key.kind != SortKind::Text) {
            key.values.resize(rows_.size());
            for (int r = 1; r < RowCount(); ++r)
                key.values[r] = SortValue(key.kind, CellText(c, r));
        }
        keys.push_back(std::move(key));
    }
    auto compare = [&](int a, int b) {
        for (const Key& key : keys) {
            const int order =
                key.kind == SortKind::Text
                    ? CellText(key.col, a).compare(CellText(key.col, b))
                    : (key.values[a] > key.values[b]) - (key.values[a] < key.values[b]);
            if (order != 0) return order;
        }
        return 0;
    };

    std::vector<int> order(RowCount() - 1);
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = compare(a, b);
        return direction == SortDirection::Ascending ? c < 0 : c > 0;
    });
    std::vector<std::unique_ptr<Row>> sorted;
    sorted.reserve(rows_.size());
    sorted.push_back(std::move(rows_[0]));
    for (int r : order) sorted.push_back(std::move(rows_[r]));
    rows_ = std::move(sorted);
}

void NoteTable::HeaderClick(int col) {
    if (RowCount() <= 2) return;
    const bool descending = col == sortColumn_ && sortDirection_ == SortDirection::Ascending;
    SortRows(col, descending ? SortDirection::Descending : SortDirection::Ascending);
}

} // namespace quillet
