#include "app/AdvStringGrid.h"

#include "base/Dpi.h"
#include "markup/DrawMarkup.h"
#include "win32/GdiCanvas.h"

#include <algorithm>

namespace quillet {
namespace {

// Sizes here are design values at 96 pixels per inch, scaled to the grid's density.
const Font CellFont{"Tahoma", 11};
const Font HeaderFont{"Tahoma", 11, true};

constexpr Color Background{0xFFFFFF};
constexpr Color HeaderTop{0xCBE1FC};
constexpr Color HeaderBottom{0x7DA5E0};
constexpr Color HeaderLine{0x658BC4};
constexpr Color GridLine{0xC0C0C0};
constexpr Color Selection{0xB6CAEA};
constexpr Color Black{0x000000};
constexpr Color SortMark{0x333333};
constexpr Color Link{0x0000FF};

constexpr int TextMargin = 3;  // between a cell's left edge and its text
constexpr int ScrollStep = 20; // pixels sideways per arrow of the scroll bar

// Where a scroll bar's request moves its position; the caller keeps it within the bar.
int Scrolled(WORD request, int position, int line, int page, int last, int track) {
    switch (request) {
    case SB_LINEUP: return position - line;
    case SB_LINEDOWN: return position + line;
    case SB_PAGEUP: return position - page;
    case SB_PAGEDOWN: return position + page;
    case SB_TOP: return 0;
    case SB_BOTTOM: return last;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return track;
    default: return position;
    }
}

int TrackPosition(HWND hwnd, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(hwnd, bar, &info);
    return info.nTrackPos;
}

// The text of a cell, vertically centred in it: markup when it says so, else its first line.
void PaintText(Canvas& canvas, const std::string& text, const Rect& inside, bool current) {
    const int lineHeight = canvas.TextExtent("gh", 0).height;
    const int top = inside.top + (inside.Height() - lineHeight) / 2;
    const int left = inside.left + Scale(TextMargin, canvas.PixelsPerInch());
    if (IsMarkupText(text)) {
        // The renderer starts a line 1 pixel in, and stops before a second line that would
        // not fit the cell. In the current row its colours give way to the bar's black.
        DrawMarkup(canvas, text, {left - 1, top, inside.right, inside.bottom},
                   {.selected = current, .linkColor = Link});
        return;
    }
    const Rect line{left, top, inside.right, top + lineHeight};
    canvas.TextRect(line, FirstShownLine(text, line.Width(), canvas), NoPrefix);
}

// A small triangle at the right end of a header cell: up for ascending, down for descending.
void PaintSortMark(Canvas& canvas, const Rect& inside, SortDirection direction) {
    const int dpi = canvas.PixelsPerInch();
    const int height = Scale(4, dpi);
    const int centre = inside.right - Scale(8, dpi),
              top = inside.top + (inside.Height() - height) / 2;
    for (int i = 0; i < height; ++i) {
        const int half = direction == SortDirection::Ascending ? i : height - 1 - i;
        canvas.Line({centre - half, top + i}, {centre + half + 1, top + i}, SortMark);
    }
}

} // namespace

void TAdvStringGrid::Create(HWND parent, int id, NoteTable& table) {
    table_ = &table;
    shownRow_ = table.SelectedRow();
    Window::Create("QuilletGrid", {.style = CS_DBLCLKS, .paints = true}, WS_EX_CLIENTEDGE,
                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL,
                   "", 0, 0, 0, 0, parent, reinterpret_cast<HMENU>(INT_PTR(id)));
    Refresh();
}

void TAdvStringGrid::DpiChanged(std::optional<RECT>) {
    Refresh();
}

void TAdvStringGrid::Refresh() {
    if (table_->SelectedRow() != shownRow_) {
        shownRow_ = table_->SelectedRow();
        topRow_ = TopRowShowing(View(), shownRow_);
    }
    ScrollTo(topRow_, scrollX_);
    NotifyChanges();
}

GridView TAdvStringGrid::View() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    return Clamped(*table_, {client.right, client.bottom, topRow_, scrollX_, Dpi()});
}

void TAdvStringGrid::ScrollTo(int topRow, int scrollX) {
    topRow_ = topRow;
    scrollX_ = scrollX;
    const GridView view = View();
    topRow_ = view.topRow;
    scrollX_ = view.scrollX;
    FitScrollBar(SB_VERT);
    FitScrollBar(SB_HORZ);
    InvalidateRect(Handle(), nullptr, FALSE);
}

// A bar shows only when its page is smaller than its range. Showing or hiding one changes the
// client area, which comes back here through WM_SIZE: each bar is set from the client area
// as it is at that moment.
void TAdvStringGrid::FitScrollBar(int bar) {
    const GridView view = View();
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (bar == SB_VERT) { // by rows: position 0 is note row 1 at the top
        info.nMax = table_->RowCount() - 2;
        info.nPage = UINT(PageRows(view));
        info.nPos = view.topRow - 1;
    } else { // by pixels
        info.nMax = ColumnsWidth(*table_, Dpi()) - 1;
        info.nPage = UINT(std::max(view.width, 0));
        info.nPos = view.scrollX;
    }
    SetScrollInfo(Handle(), bar, &info, TRUE);
}

void TAdvStringGrid::SelectRow(int row) {
    table_->SelectRow(row);
    shownRow_ = table_->SelectedRow();
    ScrollTo(TopRowShowing(View(), shownRow_), scrollX_);
    NotifyChanges();
}

void TAdvStringGrid::Press(Point point, bool doubleClick) {
    SetFocus(Handle());
    const GridHit hit = HitTest(*table_, View(), point);
    if (hit.area == GridArea::NoteCell) SelectRow(hit.row);
    // A double-click anywhere (a note, the header, below the last row) is the command on the
    // current row; its second press starts no sort and no resize.
    if (doubleClick) {
        if (OnDblClick) OnDblClick();
        return;
    }
    switch (hit.area) {
    case GridArea::ColumnBorder:
        resizing_ = Resize{hit.col, point.x, table_->ColWidth(hit.col)};
        SetCapture(Handle());
        break;
    case GridArea::HeaderCell:
        // Sorting waits for the release: a press that ends outside the cell sorts nothing.
        pressedHeader_ = hit.col;
        SetCapture(Handle());
        break;
    case GridArea::NoteCell:
    case GridArea::Nothing: break;
    }
}

void TAdvStringGrid::Drag(Point point) {
    if (!resizing_) return;
    table_->SetColWidth(resizing_->col,
                        DraggedWidth(resizing_->pressWidth, resizing_->pressX, point.x));
    ScrollTo(topRow_, scrollX_);
}

void TAdvStringGrid::Release(Point point) {
    const int pressed = pressedHeader_;
    if (GetCapture() == Handle()) ReleaseCapture(); // ends the press through WM_CAPTURECHANGED
    resizing_.reset();
    pressedHeader_ = -1;
    if (pressed >= 0 && InHeaderRow(point, Dpi())) {
        table_->HeaderClick(pressed);
        ScrollTo(topRow_, scrollX_);
        NotifyChanges(true);
    }
}

bool TAdvStringGrid::KeyDown(WPARAM key) {
    const GridView view = View();
    switch (key) {
    case VK_UP: SelectRow(RowAfterKey(*table_, view, GridKey::Up)); return true;
    case VK_DOWN: SelectRow(RowAfterKey(*table_, view, GridKey::Down)); return true;
    case VK_PRIOR: SelectRow(RowAfterKey(*table_, view, GridKey::PageUp)); return true;
    case VK_NEXT: SelectRow(RowAfterKey(*table_, view, GridKey::PageDown)); return true;
    case VK_HOME: SelectRow(RowAfterKey(*table_, view, GridKey::Home)); return true;
    case VK_END: SelectRow(RowAfterKey(*table_, view, GridKey::End)); return true;
    // The whole row is current: sideways, the keys only scroll.
    case VK_LEFT: ScrollTo(topRow_, view.scrollX - Scaled(ScrollStep)); return true;
    case VK_RIGHT: ScrollTo(topRow_, view.scrollX + Scaled(ScrollStep)); return true;
    default: return false; // Insert, Delete, F1 and the rest are the window's
    }
}

void TAdvStringGrid::Paint(HDC dc) {
    const GridView view = View();
    win32::GdiCanvas canvas(dc, Scaled(CellFont), Dpi());
    canvas.FillRect({0, 0, view.width, view.height}, Background);
    const int rowHeight = RowHeight(view);
    for (int row = view.topRow, top = rowHeight; row < table_->RowCount() && top < view.height;
         ++row, top += rowHeight)
        PaintRow(canvas, view, row, top);
    PaintRow(canvas, view, 0, 0);
}

void TAdvStringGrid::PaintRow(Canvas& canvas, const GridView& view, int row, int top) {
    for (int col = 0, left = -view.scrollX; col < NoteTable::ColCount;
         left += ColumnWidth(*table_, col++, view.dpi)) {
        const Rect cell{left, top, left + ColumnWidth(*table_, col, view.dpi),
                        top + RowHeight(view)};
        if (cell.Width() > 0 && cell.right > 0 && cell.left < view.width)
            PaintCell(canvas, row, col, cell);
    }
}

void TAdvStringGrid::PaintCell(Canvas& canvas, int row, int col, const Rect& cell) {
    const bool header = row == 0, current = row == table_->SelectedRow();
    // A cell's last column and row of pixels are its grid lines.
    const Rect inside{cell.left, cell.top, cell.right - 1, cell.bottom - 1};
    if (header)
        canvas.GradientBands(inside, HeaderTop, HeaderBottom, inside.Height(),
                             GradientDirection::Vertical);
    else if (current)
        canvas.FillRect(inside, Selection);

    Font font = Scaled(header ? HeaderFont : CellFont);
    if (OnGetCellColor) OnGetCellColor(row, col, font.color);
    if (current) font.color = Black;
    canvas.SetFont(font);
    canvas.SetClipRect(inside);
    PaintText(canvas, table_->CellText(col, row), inside, current);
    // With fewer than two notes a sort means nothing, and shows nothing.
    if (header && col == table_->SortColumn() && table_->RowCount() > 2)
        PaintSortMark(canvas, inside, table_->Direction());
    canvas.SetClipRect(std::nullopt);

    const Color line = header ? HeaderLine : GridLine;
    canvas.Line({inside.right, cell.top}, {inside.right, cell.bottom}, line);
    canvas.Line({cell.left, inside.bottom}, {inside.right, inside.bottom}, line);
}

LRESULT TAdvStringGrid::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: ScrollTo(topRow_, scrollX_); return 0;
    case WM_VSCROLL: {
        const GridView view = View();
        const int position =
            Scrolled(LOWORD(wParam), view.topRow - 1, 1, PageRows(view),
                     MaxTopRow(*table_, view) - 1, TrackPosition(Handle(), SB_VERT));
        ScrollTo(position + 1, scrollX_);
        return 0;
    }
    case WM_HSCROLL: {
        const GridView view = View();
        ScrollTo(topRow_, Scrolled(LOWORD(wParam), view.scrollX, Scaled(ScrollStep), view.width,
                                   MaxScrollX(*table_, view), TrackPosition(Handle(), SB_HORZ)));
        return 0;
    }
    case WM_MOUSEWHEEL: {
        // The user's rows per notch, read every time: the setting may change while we run.
        UINT lines = 3;
        SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        const GridView view = View();
        const int perNotch =
            lines == WHEEL_PAGESCROLL ? PageRows(view) : int(std::min(lines, 10000u));
        ScrollTo(view.topRow + wheel_.Rows(GET_WHEEL_DELTA_WPARAM(wParam), perNotch), scrollX_);
        return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_KEYDOWN:
        if (KeyDown(wParam)) return 0;
        break;
    case WM_LBUTTONDOWN: Press(win32::PointOf(lParam), false); return 0;
    case WM_LBUTTONDBLCLK: Press(win32::PointOf(lParam), true); return 0;
    case WM_MOUSEMOVE: Drag(win32::PointOf(lParam)); return 0;
    case WM_LBUTTONUP: Release(win32::PointOf(lParam)); return 0;
    case WM_CAPTURECHANGED:
        resizing_.reset();
        pressedHeader_ = -1;
        return 0;
    case WM_SETFOCUS:
        // The current row is what has the focus inside.
        win32::NotifyAccessible(Handle(), EVENT_OBJECT_FOCUS,
                                NoteTable::ColCount + table_->SelectedRow());
        return 0;
    case WM_GETOBJECT:
        if (const auto object = accessible_.GetObject(Handle(), wParam, lParam)) return *object;
        break;
    case EditMessage:
        if (OnDblClick) OnDblClick();
        return 0;
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT) break;
        const bool onBorder =
            resizing_ || HitTest(*table_, View(), PointerPosition()).area == GridArea::ColumnBorder;
        SetCursor(LoadCursor(nullptr, onBorder ? IDC_SIZEWE : IDC_ARROW));
        return TRUE;
    }
    default: break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

} // namespace quillet
