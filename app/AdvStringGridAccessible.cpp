// The grid as a screen reader reads it: the list "Notes", its header's columns with their sort
// direction, and one list item per note, said as a person would say the row, with the states
// the grid shows (the current row is selected, and focused while the grid has the focus).
#include "app/AdvStringGrid.h"

namespace quillet {
namespace {

constexpr int Columns = NoteTable::ColCount;

} // namespace

void TAdvStringGrid::Destroyed() {
    accessible_.Disconnect();
}

RECT TAdvStringGrid::OnScreen(const Rect& client) const {
    POINT corner{0, 0};
    ClientToScreen(Handle(), &corner);
    return {corner.x + client.left, corner.y + client.top, corner.x + client.right,
            corner.y + client.bottom};
}

int TAdvStringGrid::AccessibleChildCount() const {
    return Columns + table_->RowCount() - 1;
}

win32::AccessibleElement TAdvStringGrid::AccessibleElementOf(int child) const {
    const GridView view = View();
    const bool focused = GetFocus() == Handle();
    if (child == win32::AccessibleSelf)
        return {.name = "Notes",
                .role = ROLE_SYSTEM_LIST,
                .state = STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0),
                .location = OnScreen({0, 0, view.width, view.height})};

    const int rowHeight = RowHeight(view);
    if (child <= Columns) {
        const int col = child - 1;
        const int left = ColumnLeft(*table_, col, Dpi()) - view.scrollX;
        const Rect cell{left, 0, left + ColumnWidth(*table_, col, Dpi()), rowHeight};
        // As the header shows it: a sort mark only with two notes or more.
        std::string sorted;
        if (col == table_->SortColumn() && table_->RowCount() > 2)
            sorted = table_->Direction() == SortDirection::Ascending ? "Sorted ascending"
                                                                     : "Sorted descending";
        return {.name = table_->CellText(col, 0),
                .role = ROLE_SYSTEM_COLUMNHEADER,
                .state = cell.right <= 0 || cell.left >= view.width ? STATE_SYSTEM_OFFSCREEN : 0,
                .location = OnScreen(cell),
                .description = sorted,
                .defaultAction = "Sort"};
    }

    const int row = child - Columns;
    const bool current = row == table_->SelectedRow();
    const int top = (row - view.topRow + 1) * rowHeight;
    const bool shown = row >= view.topRow && top < view.height;
    return {.name = SpokenRow(*table_, row),
            .role = ROLE_SYSTEM_LISTITEM,
            .state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE |
                     (current ? STATE_SYSTEM_SELECTED : 0) |
                     (current && focused ? STATE_SYSTEM_FOCUSED : 0) |
                     (shown ? 0 : STATE_SYSTEM_OFFSCREEN),
            .location = OnScreen(
                {-view.scrollX, top, ColumnsWidth(*table_, Dpi()) - view.scrollX, top + rowHeight}),
            .defaultAction = "Edit"};
}

std::optional<int> TAdvStringGrid::AccessibleChildAt(POINT screen) const {
    POINT client = screen;
    ScreenToClient(Handle(), &client);
    const GridView view = View();
    if (client.x < 0 || client.y < 0 || client.x >= view.width || client.y >= view.height)
        return std::nullopt;
    const GridHit hit = HitTest(*table_, view, {client.x, client.y});
    switch (hit.area) {
    case GridArea::HeaderCell:
    case GridArea::ColumnBorder: return hit.col + 1;
    case GridArea::NoteCell: return Columns + hit.row;
    case GridArea::Nothing: break;
    }
    return win32::AccessibleSelf;
}

std::optional<int> TAdvStringGrid::AccessibleFocus() const {
    if (GetFocus() != Handle()) return std::nullopt;
    return Columns + table_->SelectedRow();
}

std::vector<int> TAdvStringGrid::AccessibleSelection() const {
    return {Columns + table_->SelectedRow()};
}

bool TAdvStringGrid::AccessibleSelect(int child, long flags) {
    if (child <= Columns) return false;
    // One row is always current: selecting a row makes it the current one.
    if (flags & (SELFLAG_TAKESELECTION | SELFLAG_ADDSELECTION | SELFLAG_EXTENDSELECTION))
        SelectRow(child - Columns);
    if (flags & SELFLAG_TAKEFOCUS) {
        SelectRow(child - Columns);
        // Taking the focus tells of the row itself (WM_SETFOCUS); already there, it is told here.
        if (GetFocus() == Handle())
            win32::NotifyAccessible(Handle(), EVENT_OBJECT_FOCUS, child);
        else
            SetFocus(Handle());
    }
    return true;
}

bool TAdvStringGrid::AccessibleDoDefaultAction(int child) {
    if (child == win32::AccessibleSelf) return false;
    if (child <= Columns) {
        table_->HeaderClick(child - 1);
        ScrollTo(topRow_, scrollX_);
        NotifyChanges(true);
        return true;
    }
    // As a double-click on the row: it becomes current, and the editor opens on it. The
    // editor is modal: the screen reader's call returns once it is open, not when it closes.
    SelectRow(child - Columns);
    PostMessageW(Handle(), EditMessage, 0, 0);
    return true;
}

void TAdvStringGrid::NotifyChanges(bool reordered) {
    const int rows = table_->RowCount(), current = table_->SelectedRow();
    std::string name = SpokenRow(*table_, current);
    const int child = Columns + current;
    const bool restructured = reordered || rows != spoken_.rows;
    if (restructured) win32::NotifyAccessible(Handle(), EVENT_OBJECT_REORDER);
    if (restructured || current != spoken_.current) {
        if (GetFocus() == Handle()) win32::NotifyAccessible(Handle(), EVENT_OBJECT_FOCUS, child);
        win32::NotifyAccessible(Handle(), EVENT_OBJECT_SELECTION, child);
    } else if (name != spoken_.currentName) {
        win32::NotifyAccessible(Handle(), EVENT_OBJECT_NAMECHANGE, child);
    }
    spoken_ = {rows, current, std::move(name)};
}

} // namespace quillet
