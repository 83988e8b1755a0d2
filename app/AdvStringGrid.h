#pragma once
// The grid of the main window, gridNotes: a child window that shows a NoteTable and repaints
// from it alone. A bold header row on a blue gradient, 21-pixel rows with grid lines, the
// current row as a blue bar (also without the focus), the sort mark, column widths dragged at
// the header's borders into the table, sorting by a header click, markup cells, scroll bars
// both ways when the table needs them, and the keys that move the current row. A screen reader
// reads it as the list "Notes": the header's columns, then one item per note, said as a person
// would say the row (AdvStringGridAccessible.cpp).
#include "base/Canvas.h"
#include "base/Dpi.h"
#include "grid/GridLayout.h"
#include "notes/NoteTable.h"
#include "win32/Accessible.h"
#include "win32/Window.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillet {

class TAdvStringGrid : public win32::Window, private win32::AccessibleSource {
public:
    // Asked for every cell the grid draws (header included), with the font colour it is about
    // to draw in: black. The current row is drawn in black whatever it answers.
    std::function<void(int row, int col, Color& fontColor)> OnGetCellColor;
    // A double-click anywhere in the grid; on a note row, once that row is current.
    std::function<void()> OnDblClick;

    // A child window with the control id `id`, placed by its parent (MoveWindow). It shows
    // `table`, which must outlive it.
    void Create(HWND parent, int id, NoteTable& table);
    // Shows the table as it is now, after it changed or when time greys rows: the scroll bars
    // fit it again and everything repaints. When its current row moved since the grid last
    // showed it (a note added, a row deleted), the grid scrolls to show that row.
    void Refresh();
    // It draws at its window's density (Dpi, SetDpi); the table's column widths stay design
    // values at 96, so that a notes file reads the same on any screen.

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    void DpiChanged(std::optional<RECT>) override;
    GridView View() const;
    void ScrollTo(int topRow, int scrollX);
    void FitScrollBar(int bar);
    void SelectRow(int row);
    void Press(Point point, bool doubleClick);
    void Release(Point point);
    void Drag(Point point);
    bool KeyDown(WPARAM key);

    void PaintRow(Canvas& canvas, const GridView& view, int row, int top);
    void PaintCell(Canvas& canvas, int row, int col, const Rect& cell);

    // What a screen reader reads: children 1 to ColCount are the header's columns, and the
    // note rows follow, row r as child ColCount + r.
    void Destroyed() override;
    int AccessibleChildCount() const override;
    win32::AccessibleElement AccessibleElementOf(int child) const override;
    std::optional<int> AccessibleChildAt(POINT screen) const override;
    std::optional<int> AccessibleFocus() const override;
    std::vector<int> AccessibleSelection() const override;
    bool AccessibleSelect(int child, long flags) override;
    bool AccessibleDoDefaultAction(int child) override;
    RECT OnScreen(const Rect& client) const;
    // Tells screen readers what changed since they last heard: the notes (their number, or
    // their order after a sort), the current row, its words.
    void NotifyChanges(bool reordered = false);

    // Posted to itself by a screen reader's default action on a row: the double-click's command.
    static constexpr UINT EditMessage = WM_APP;
    win32::AccessibleRoot accessible_{*this};
    // What screen readers last heard of.
    struct Spoken {
        int rows = 0, current = 0;
        std::string currentName;
    } spoken_;

    NoteTable* table_ = nullptr;
    int topRow_ = 1, scrollX_ = 0; // as asked for; View() holds them within the table
    int shownRow_ = 1;             // the current row when the grid last scrolled to it
    WheelScroll wheel_;
    // A press on a column's border in the header, until its release.
    struct Resize {
        int col, pressX, pressWidth;
    };
    std::optional<Resize> resizing_;
    int pressedHeader_ = -1; // the header cell pressed for sorting, until the release
};

} // namespace quillet
