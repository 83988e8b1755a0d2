#include "grid/GridLayout.h"

#include "markup/DrawMarkup.h"

#include <algorithm>
#include <cstdlib>

namespace quillet {

namespace {

// The column under x in the columns' own coordinates, -1 beside them.
int ColumnUnder(const NoteTable& table, int x, int dpi) {
    for (int col = 0, left = 0; col < NoteTable::ColCount; left += ColumnWidth(table, col++, dpi))
        if (x >= left && x < left + ColumnWidth(table, col, dpi)) return col;
    return -1;
}

} // namespace

int RowHeight(const GridView& view) {
    return Scale(GridRowHeight, view.dpi);
}

int ColumnWidth(const NoteTable& table, int col, int dpi) {
    return Scale(table.ColWidth(col), dpi);
}

// The sum of the columns' scaled widths, so that every border lies where its cells end.
int ColumnLeft(const NoteTable& table, int col, int dpi) {
    int left = 0;
    for (int c = 0; c < col; ++c) left += ColumnWidth(table, c, dpi);
    return left;
}

int ColumnsWidth(const NoteTable& table, int dpi) {
    return ColumnLeft(table, NoteTable::ColCount, dpi);
}

int PageRows(const GridView& view) {
    return std::max(1, (view.height - RowHeight(view)) / RowHeight(view));
}

int WheelScroll::Rows(int delta, int rowsPerNotch) {
    constexpr int Notch = 120;
    if ((delta > 0 && rest_ < 0) || (delta < 0 && rest_ > 0)) rest_ = 0;
    rest_ += static_cast<long long>(delta) * rowsPerNotch;
    const long long rows = rest_ / Notch; // towards zero: the rest keeps the turn's sign
    rest_ -= rows * Notch;
    return -static_cast<int>(rows);
}

int MaxTopRow(const NoteTable& table, const GridView& view) {
    return std::max(1, table.RowCount() - PageRows(view));
}

int MaxScrollX(const NoteTable& table, const GridView& view) {
    return std::max(0, ColumnsWidth(table, view.dpi) - view.width);
}

GridView Clamped(const NoteTable& table, GridView view) {
    view.topRow = std::clamp(view.topRow, 1, MaxTopRow(table, view));
    view.scrollX = std::clamp(view.scrollX, 0, MaxScrollX(table, view));
    return view;
}

int TopRowShowing(const GridView& view, int row) {
    if (row < view.topRow) return row;
    if (row >= view.topRow + PageRows(view)) return row - PageRows(view) + 1;
    return view.topRow;
}

GridHit HitTest(const NoteTable& table, const GridView& view, Point point) {
    if (point.x < 0 || point.y < 0 || point.x >= view.width || point.y >= view.height) return {};
    const int x = point.x + view.scrollX, grip = Scale(ResizeGrip, view.dpi);
    if (InHeaderRow(point, view.dpi)) {
        // From the right: a column dragged to nothing shares its border with the one before
        // it, and must still be pulled open again.
        for (int col = NoteTable::ColCount - 1; col >= 0; --col) {
            const int border =
                ColumnLeft(table, col, view.dpi) + ColumnWidth(table, col, view.dpi) - 1;
            if (std::abs(x - border) <= grip) return {GridArea::ColumnBorder, 0, col};
        }
        // Near any other left border the border test took it already; the grid's own left
        // edge sorts nothing and resizes nothing.
        const int col = ColumnUnder(table, x, view.dpi);
        if (col < 0 || x - ColumnLeft(table, col, view.dpi) < grip) return {};
        return {GridArea::HeaderCell, 0, col};
    }
    const int row = view.topRow + (point.y - RowHeight(view)) / RowHeight(view);
    const int col = ColumnUnder(table, x, view.dpi);
    if (row >= table.RowCount() || col < 0) return {};
    return {GridArea::NoteCell, row, col};
}

bool InHeaderRow(Point point, int dpi) {
    return point.y >= 0 && point.y < Scale(GridRowHeight, dpi);
}

int DraggedWidth(int pressWidth, int pressX, int x, int dpi) {
    const int pixels = Scale(pressWidth, dpi) + x - pressX;
    return std::clamp(Unscale(pixels, dpi), 0, NoteTable::MaxColWidth);
}

int RowAfterKey(const NoteTable& table, const GridView& view, GridKey key) {
    const int row = table.SelectedRow(), last = table.RowCount() - 1;
    int next = row;
    switch (key) {
    case GridKey::Up: next = row - 1; break;
    case GridKey::Down: next = row + 1; break;
    case GridKey::PageUp: next = row - PageRows(view); break;
    case GridKey::PageDown: next = row + PageRows(view); break;
    case GridKey::Home: next = 1; break;
    case GridKey::End: next = last; break;
    }
    return std::clamp(next, 1, last);
}

bool IsMarkupText(std::string_view text) {
    for (std::string_view mark : {"</", "<B", "<I"})
        if (text.find(mark) != std::string_view::npos) return true;
    return false;
}

std::string_view FirstShownLine(std::string_view text, int width, Canvas& canvas) {
    const std::string_view line = text.substr(0, text.find_first_of("\r\n"));
    if (canvas.TextExtent(line, NoPrefix).width <= width) return line;
    // Word by word from the start, so that a long note costs only what the cell shows.
    std::string_view fits;
    for (std::size_t end = line.find(' ', 1); end != std::string_view::npos;
         end = line.find(' ', end + 1)) {
        const std::string_view start = line.substr(0, end);
        if (canvas.TextExtent(start, NoPrefix).width > width) break;
        fits = start;
    }
    return fits.empty() ? line : fits;
}

std::string SpokenRow(const NoteTable& table, int row) {
    std::string spoken;
    for (int col = 0; col < NoteTable::ColCount; ++col) {
        const std::string& text = table.CellText(col, row);
        // A plain cell is read as it stands: "&lt;" is what it shows, not "<".
        std::string cell;
        if (IsMarkupText(text)) {
            cell = MarkupPlainText(text, " ");
        } else {
            for (const char c : text) {
                const bool blank = c == ' ' || c == '\r' || c == '\n' || c == '\t';
                if (!blank)
                    cell += c;
                else if (!cell.empty() && cell.back() != ' ')
                    cell += ' ';
            }
            if (!cell.empty() && cell.back() == ' ') cell.pop_back();
        }
        if (cell.empty()) continue;
        if (!spoken.empty()) spoken += ", ";
        spoken += cell;
    }
    return spoken;
}

} // namespace quillet
