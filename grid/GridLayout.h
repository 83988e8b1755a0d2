#pragma once
// The grid that shows the NoteTable, apart from its window: where its rows and columns lie,
// what a point in it hits, how far it scrolls, where the keys move the current row, and what
// a cell shows of its text. The window only asks these and draws.
#include "base/Canvas.h"
#include "base/Dpi.h"
#include "notes/NoteTable.h"

#include <string>
#include <string_view>

namespace quillet {

// Design values at 96 pixels per inch, as the table's column widths are: a grid on a denser
// screen scales them all.
inline constexpr int GridRowHeight = 21;
// A press in the header this near a column's border resizes the column instead of sorting.
inline constexpr int ResizeGrip = 4;

// What a grid window shows of its table. The header row stays on top; the note rows scroll
// under it row by row; header and notes scroll sideways together, by pixels. A column's grid
// line is its own last pixel, as is a row's.
struct GridView {
    int width = 0, height = 0; // the client area
    int topRow = 1;            // the note row right under the header
    int scrollX = 0;           // pixels of the columns scrolled off to the left
    int dpi = DesignDpi;       // the window's pixels per inch
};

// A row's height in pixels at the view's density.
int RowHeight(const GridView& view);
// A column's width, and its left edge counted from the first column's left edge whatever the
// scrolling, in pixels at `dpi`.
int ColumnWidth(const NoteTable& table, int col, int dpi = DesignDpi);
int ColumnLeft(const NoteTable& table, int col, int dpi = DesignDpi);
int ColumnsWidth(const NoteTable& table, int dpi = DesignDpi);

// The note rows shown whole under the header; at least 1, so that paging always moves.
int PageRows(const GridView& view);
// As far as the view scrolls: the last note row at the bottom, the last column's right end at
// the right edge.
int MaxTopRow(const NoteTable& table, const GridView& view);
int MaxScrollX(const NoteTable& table, const GridView& view);
// The view scrolled back within those bounds, after the table or the window changed.
GridView Clamped(const NoteTable& table, GridView view);
// The top row that shows `row` whole, scrolling as little as possible.
int TopRowShowing(const GridView& view, int row);

enum class GridArea {
    Nothing,
    HeaderCell,   // far enough from the column's borders to sort by it
    ColumnBorder, // the right border of `col`, within ResizeGrip in the header
    NoteCell,
};
struct GridHit {
    GridArea area = GridArea::Nothing;
    int row = -1, col = -1;
    friend bool operator==(const GridHit&, const GridHit&) = default;
};
// What lies under a point of the client area.
GridHit HitTest(const NoteTable& table, const GridView& view, Point point);
// Whether a point of the client area is level with the header row. A press on a header cell
// sorts by its column once released there too, wherever along the row: in another column or
// beside the columns, it is still the pressed column that sorts.
bool InHeaderRow(Point point, int dpi = DesignDpi);

// The width of a column whose border was pressed at pressX while it was pressWidth wide, with
// the pointer now at x. A column may shrink to nothing: its border can still be pulled open.
// Widths are the table's design values, pointer positions pixels at `dpi`.
int DraggedWidth(int pressWidth, int pressX, int x, int dpi = DesignDpi);

// The wheel: a notch is a turn of 120, and a precision touchpad or a free-spinning wheel sends
// parts of one. The parts add up between messages, so that four turns of 30 scroll as far as
// one notch; a turn the other way starts afresh.
class WheelScroll {
public:
    // The rows to scroll for a turn of delta (away from the user is positive, and scrolls up,
    // so the result is then negative), at rowsPerNotch rows a notch (the user's setting).
    int Rows(int delta, int rowsPerNotch);

private:
    long long rest_ = 0; // of earlier turns, in rows times 120
};

enum class GridKey { Up, Down, PageUp, PageDown, Home, End };
// The current row after a key, within the note rows.
int RowAfterKey(const NoteTable& table, const GridView& view, GridKey key);

// A cell whose text holds "</", "<B" or "<I" (case-sensitive) is drawn as markup.
bool IsMarkupText(std::string_view text);
// What a one-line cell `width` pixels wide shows of a plain text, measured on the canvas in
// its current font: the first line, wrapped at the last blank that lets it fit. When even the
// first word is too wide, the whole line comes, for the cell to cut.
std::string_view FirstShownLine(std::string_view text, int width, Canvas& canvas);

// A note row as a person would say it, for a screen reader: its cells as they read, joined by
// ", " ("12/09/2026 09:00 AM, Daily, Call home"); a markup cell as plain text, a cell of several
// lines as one, empty cells left out.
std::string SpokenRow(const NoteTable& table, int row);

} // namespace quillet
