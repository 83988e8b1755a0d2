// The notes grid as a real window under Wine: what it paints, and what the mouse and the keys
// do to its table.
#include "app/AdvStringGrid.h"

#include "base/DateFormat.h"
#include "grid/RowColor.h"
#include "tests/support/GdiSurface.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

using namespace quillet;

namespace {

constexpr int GridWidth = 420, GridHeight = 200;

std::vector<std::string> Notes(const NoteTable& table) {
    std::vector<std::string> notes;
    for (int row = 1; row < table.RowCount(); ++row) notes.push_back(table.CellText(ColNote, row));
    return notes;
}

// A top-level window holding a grid on `table`, GridWidth x GridHeight outside. It is never
// shown: the grid paints, takes the focus and captures the mouse all the same.
class GridHost {
public:
    explicit GridHost(NoteTable& table) {
        hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 40, 40, GridWidth,
                                GridHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        grid.Create(hwnd_, 7, table);
        MoveWindow(grid.Handle(), 0, 0, GridWidth, GridHeight, TRUE);
        Pump();
    }
    GridHost(const GridHost&) = delete;
    GridHost& operator=(const GridHost&) = delete;
    ~GridHost() {
        DestroyWindow(grid.Handle());
        DestroyWindow(hwnd_);
    }

    static void Pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    void Mouse(UINT message, int x, int y) {
        const WPARAM buttons = message == WM_LBUTTONUP ? 0 : MK_LBUTTON;
        PostMessageA(grid.Handle(), message, buttons, MAKELPARAM(x, y));
        Pump();
    }
    void Click(int x, int y) {
        Mouse(WM_LBUTTONDOWN, x, y);
        Mouse(WM_LBUTTONUP, x, y);
    }
    void Key(WPARAM key) {
        PostMessageA(grid.Handle(), WM_KEYDOWN, key, 1);
        PostMessageA(grid.Handle(), WM_KEYUP, key, 0xC0000001);
        Pump();
    }
    int VerticalPosition() const {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_POS;
        GetScrollInfo(grid.Handle(), SB_VERT, &info);
        return info.nPos;
    }
    bool HasScrollBar(LONG style) const { return GetWindowLongA(grid.Handle(), GWL_STYLE) & style; }
    RECT Client() const {
        RECT client;
        GetClientRect(grid.Handle(), &client);
        return client;
    }

    TAdvStringGrid grid;

private:
    HWND hwnd_;
};

NoteTable TableOf(const std::vector<std::array<std::string, 3>>& notes) {
    NoteTable table;
    table.SetRowCount(int(notes.size()) + 1);
    for (int row = 1; const auto& texts : notes) {
        for (int col = 0; col < NoteTable::ColCount; ++col) table.SetCellText(col, row, texts[col]);
        ++row;
    }
    return table;
}

NoteTable ManyNotes(int count) {
    std::vector<std::array<std::string, 3>> notes;
    for (int i = 1; i <= count; ++i) notes.push_back({"", "Daily", std::to_string(i)});
    return TableOf(notes);
}

bool IsDark(Color c) {
    return c.Red() < 100 && c.Green() < 100 && c.Blue() < 100;
}

// Darker than silver in any channel: black text, or black text smoothed against white.
bool IsDarkerThanSilver(Color c) {
    return c.Red() < 192 || c.Green() < 192 || c.Blue() < 192;
}

// Row r's band between its grid lines, in the Note column (x 214 to 381).
Rect NoteBand(int row) {
    return {214, 21 * row, 381, 21 * row + 20};
}

} // namespace

TEST(AdvStringGrid, PaintsHeaderGradientSelectionBarAndGreyPastOneShotNotes) {
    NoteTable table = TableOf({
        {"12/01/2026 09:00 AM", "None", "Past one-shot"},
        {"01/05/2027 09:00 AM", "None", "Future one-shot"},
        {"12/01/2026 09:00 AM", "Daily", "Past daily"},
        {"12/01/2026 09:00 AM", "Daily", "<B>Markup</B> <a href=\"x\">link</a>"},
    });
    table.SelectRow(3);
    GridHost host(table);
    const TDateTime now = StrToDateTime("12/09/2026 11:00 AM");
    host.grid.OnGetCellColor = [&](int row, int, Color& color) {
        if (const MaybeColor rowColor = NoteRowColor(table, row, now)) color = *rowColor;
    };
    const auto paint = [&] {
        auto surface = std::make_unique<Surface>(GridWidth, GridHeight);
        SendMessageA(host.grid.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface->dc()),
                     PRF_CLIENT);
        return surface;
    };

    auto surface = paint();
    // The header: a gradient top to bottom in every column, its bold titles in black.
    for (int x : {60, 170, 300}) {
        EXPECT_EQ(surface->At(x, 0), Color::FromRgb(203, 225, 252)) << x;
        EXPECT_EQ(surface->At(x, 19), Color::FromRgb(125, 165, 224)) << x;
    }
    EXPECT_GT(surface->Count({0, 0, 129, 20}, IsDark), 10);
    // The current row: the selection's colour, black text.
    EXPECT_EQ(surface->At(1, 21 * 3 + 1), Color::FromRgb(182, 202, 234));
    EXPECT_EQ(surface->At(380, 21 * 3 + 19), Color::FromRgb(182, 202, 234));
    EXPECT_GT(surface->Count(NoteBand(3), IsDark), 10);
    // The past one-shot note in silver: ink, none of it darker; the future one in black.
    EXPECT_GT(surface->Ink(NoteBand(1)), 10);
    EXPECT_EQ(surface->Count(NoteBand(1), IsDarkerThanSilver), 0);
    EXPECT_GT(surface->Count(NoteBand(2), IsDark), 10);
    // Markup: bold text, and the link in blue.
    EXPECT_GT(surface->Count(NoteBand(4), IsBlue), 5);
    EXPECT_GT(surface->Count(NoteBand(4), IsDark), 10);

    // Made current, the past note's text is black on the bar.
    table.SelectRow(1);
    host.grid.Refresh();
    surface = paint();
    EXPECT_EQ(surface->At(1, 22), Color::FromRgb(182, 202, 234));
    EXPECT_GT(surface->Count(NoteBand(1), IsDark), 10);
}

TEST(AdvStringGrid, AMarkupCellKeepsTheBlankThatEndsAPiece) {
    const quillet::Font cellFont{"Tahoma", 11}; // the grid's
    // Without Tahoma GDI takes another face, whose blank may be two pixels wide.
    ASSERT_EQ(FaceOf(cellFont), "Tahoma");
    // "with " is a piece of its own: the colour tag ends it.
    NoteTable table = TableOf({{"", "Daily", "with <font color=\"#000080\">comma</font>"}});
    GridHost host(table);
    Surface surface(GridWidth, GridHeight);
    SendMessageA(host.grid.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()),
                 PRF_CLIENT);

    const std::vector<int> ink =
        InkColumns(NoteBand(1), [&](int x, int y) { return surface.At(x, y); });
    ASSERT_FALSE(ink.empty());
    const BlankInLine expected = DrawnInOnePiece(cellFont, "with", "with comma");
    // At least as wide as GDI draws it inside one line. Windows draws text with the widths it
    // measures, so there it is exactly as wide; Wine draws a piece a pixel or two narrower
    // than it measures it, which only widens the blank after it.
    EXPECT_GT(expected.blank, 0);
    EXPECT_GE(BlankAfter(ink, ink.front() + expected.wordsEnd), expected.blank);
}

TEST(AdvStringGrid, SortMarkPointsTheWayOfTheSortOnlyWithTwoNotes) {
    NoteTable table = ManyNotes(3);
    GridHost host(table);
    const Color mark = Color::FromRgb(51, 51, 51);
    // The mark's rows in the Alarm title's right end, top to bottom.
    const auto markRows = [&] {
        Surface surface(GridWidth, GridHeight);
        SendMessageA(host.grid.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()),
                     PRF_CLIENT);
        std::vector<int> rows;
        for (int y = 0; y < 20; ++y)
            if (int n = surface.Count({110, y, 129, y + 1}, [&](Color c) { return c == mark; }))
                rows.push_back(n);
        return rows;
    };
    EXPECT_EQ(markRows(), (std::vector<int>{1, 3, 5, 7}));
    table.SortRows(ColAlarm, SortDirection::Descending);
    host.grid.Refresh();
    EXPECT_EQ(markRows(), (std::vector<int>{7, 5, 3, 1}));
    table.SetRowCount(2);
    host.grid.Refresh();
    EXPECT_EQ(markRows(), std::vector<int>{});
}

TEST(AdvStringGrid, HeaderClickSortsAndTheSecondOneFlips) {
    NoteTable table = TableOf({{"01/02/2026 09:00 AM", "Weekly", "b"},
                               {"01/01/2026 09:00 AM", "Daily", "a"},
                               {"01/03/2026 09:00 AM", "Monthly", "c"}});
    GridHost host(table);
    host.Click(170, 10); // Repeat, its column from x 130 to 213
    EXPECT_EQ(table.SortColumn(), ColRepeat);
    EXPECT_EQ(table.Direction(), SortDirection::Ascending);
    EXPECT_EQ(Notes(table), (std::vector<std::string>{"a", "c", "b"}));
    host.Click(140, 3);
    EXPECT_EQ(table.Direction(), SortDirection::Descending);
    EXPECT_EQ(Notes(table), (std::vector<std::string>{"b", "c", "a"}));

    // The release must be in the header row too.
    host.Mouse(WM_LBUTTONDOWN, 170, 10);
    host.Mouse(WM_LBUTTONUP, 170, 30);
    EXPECT_EQ(table.SortColumn(), ColRepeat);
    EXPECT_EQ(table.Direction(), SortDirection::Descending);
    EXPECT_EQ(Notes(table), (std::vector<std::string>{"b", "c", "a"}));
    // Anywhere along it: the pressed column sorts, not the one released in.
    const struct {
        int pressX, releaseX;
        int col;
        SortDirection direction;
        std::vector<std::string> notes;
    } releases[] = {
        {170, 300, ColRepeat, SortDirection::Ascending, {"a", "c", "b"}},
        {300, 60, ColNote, SortDirection::Ascending, {"a", "b", "c"}},
        {300, 400, ColNote, SortDirection::Descending, {"c", "b", "a"}}, // beside the columns
    };
    for (const auto& r : releases) {
        host.Mouse(WM_LBUTTONDOWN, r.pressX, 10);
        host.Mouse(WM_LBUTTONUP, r.releaseX, 10);
        EXPECT_EQ(table.SortColumn(), r.col) << r.pressX << " to " << r.releaseX;
        EXPECT_EQ(table.Direction(), r.direction) << r.pressX << " to " << r.releaseX;
        EXPECT_EQ(Notes(table), r.notes) << r.pressX << " to " << r.releaseX;
    }
}

TEST(AdvStringGrid, APressNearABorderResizesTheColumnIntoTheTableInsteadOfSorting) {
    NoteTable table =
        TableOf({{"01/02/2026 09:00 AM", "Weekly", "b"}, {"01/01/2026 09:00 AM", "Daily", "a"}});
    GridHost host(table);
    host.Click(133, 10); // 4 pixels right of Alarm's border at x 129
    host.Click(209, 10); // 4 pixels left of Repeat's at x 213
    EXPECT_EQ(table.SortColumn(), ColAlarm);
    EXPECT_EQ(table.Direction(), SortDirection::Ascending);
    EXPECT_EQ(Notes(table), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(table.ColWidth(ColAlarm), 130);
    EXPECT_EQ(table.ColWidth(ColRepeat), 84);

    host.Mouse(WM_LBUTTONDOWN, 127, 10);
    host.Mouse(WM_MOUSEMOVE, 150, 12);
    host.Mouse(WM_MOUSEMOVE, 157, 30); // the drag may leave the header
    host.Mouse(WM_LBUTTONUP, 157, 30);
    EXPECT_EQ(table.ColWidth(ColAlarm), 160);
    EXPECT_EQ(table.ColWidth(ColRepeat), 84);
    EXPECT_EQ(Notes(table), (std::vector<std::string>{"b", "a"}));
    // Once released, moving drags nothing.
    host.Mouse(WM_MOUSEMOVE, 250, 10);
    EXPECT_EQ(table.ColWidth(ColAlarm), 160);

    // Wider than the window: the grid scrolls sideways.
    EXPECT_FALSE(host.HasScrollBar(WS_HSCROLL));
    host.Mouse(WM_LBUTTONDOWN, 410, 10); // Note's border, now at x 411
    host.Mouse(WM_MOUSEMOVE, 600, 10);
    host.Mouse(WM_LBUTTONUP, 600, 10);
    EXPECT_EQ(table.ColWidth(ColNote), 168 + 190);
    EXPECT_TRUE(host.HasScrollBar(WS_HSCROLL));
}

TEST(AdvStringGrid, ClicksAndKeysMoveTheCurrentRowIntoView) {
    NoteTable table = ManyNotes(30);
    GridHost host(table);
    ASSERT_TRUE(host.HasScrollBar(WS_VSCROLL));
    const int page = (host.Client().bottom - 21) / 21;

    host.Click(50, 21 * 3 + 5);
    EXPECT_EQ(table.SelectedRow(), 3);
    host.Key(VK_DOWN);
    EXPECT_EQ(table.SelectedRow(), 4);
    host.Key(VK_UP);
    host.Key(VK_UP);
    EXPECT_EQ(table.SelectedRow(), 2);
    host.Key(VK_NEXT);
    EXPECT_EQ(table.SelectedRow(), 2 + page);
    EXPECT_EQ(host.VerticalPosition(), 2); // row 3 on top: the new row is the last shown whole
    host.Key(VK_END);
    EXPECT_EQ(table.SelectedRow(), 30);
    EXPECT_EQ(host.VerticalPosition(), 30 - page);
    host.Key(VK_PRIOR);
    EXPECT_EQ(table.SelectedRow(), 30 - page);
    host.Key(VK_HOME);
    EXPECT_EQ(table.SelectedRow(), 1);
    EXPECT_EQ(host.VerticalPosition(), 0);
    // The main window's keys move nothing here.
    for (WPARAM key : {VK_INSERT, VK_DELETE, VK_F1}) host.Key(key);
    EXPECT_EQ(table.SelectedRow(), 1);

    // A row the main window makes current (a note added at the end) is scrolled to.
    table.AppendRow();
    table.SelectRow(31);
    host.grid.Refresh();
    EXPECT_EQ(host.VerticalPosition(), 31 - page);
}

TEST(AdvStringGrid, ADoubleClickAnywhereRaisesOnDblClickWithTheCurrentRow) {
    NoteTable table = ManyNotes(3);
    GridHost host(table);
    int doubleClicks = 0;
    host.grid.OnDblClick = [&] {
        EXPECT_EQ(table.SelectedRow(), 2);
        ++doubleClicks;
    };
    const auto doubleClick = [&](int x, int y) {
        host.Click(x, y);
        host.Mouse(WM_LBUTTONDBLCLK, x, y);
        host.Mouse(WM_LBUTTONUP, x, y);
    };
    doubleClick(300, 21 * 2 + 10);
    EXPECT_EQ(doubleClicks, 1);
    // Elsewhere it leaves the current row as it is. On the header, the first click has
    // sorted by Note, which keeps the rows in their order.
    doubleClick(300, 10);          // the header
    doubleClick(300, 21 * 4 + 10); // below the last row
    doubleClick(383, 10);          // a column border in the header
    EXPECT_EQ(doubleClicks, 4);
    EXPECT_EQ(table.ColWidth(ColNote), 168);
}

// A screen reader may hold the grid's object after the grid is gone: it then hears that the
// object is not connected, and nothing reads the grid's freed memory.
TEST(AdvStringGrid, ItsAccessibleObjectOutlivesItDisconnected) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    NoteTable table;
    table.SetRowCount(3);
    table.SetCellText(ColNote, 1, "first");
    table.SetCellText(ColNote, 2, "<B>second</B>");
    IAccessible* object = nullptr;
    {
        GridHost host(table);
        ASSERT_EQ(AccessibleObjectFromWindow(host.grid.Handle(), DWORD(OBJID_CLIENT),
                                             IID_IAccessible, reinterpret_cast<void**>(&object)),
                  S_OK);
        long count = 0;
        EXPECT_EQ(object->get_accChildCount(&count), S_OK);
        EXPECT_EQ(count, NoteTable::ColCount + 2);
        VARIANT row{};
        row.vt = VT_I4;
        row.lVal = NoteTable::ColCount + 2;
        BSTR name = nullptr;
        EXPECT_EQ(object->get_accName(row, &name), S_OK);
        EXPECT_STREQ(name, L"second");
        SysFreeString(name);
    }
    long count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    VARIANT self{};
    self.vt = VT_I4;
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(self, &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(object->accDoDefaultAction(self), CO_E_OBJNOTCONNECTED);
    object->Release();
    CoUninitialize();
}

TEST(AdvStringGrid, TheWheelScrollsTheUsersRowsPerNotchAndAddsUpPartsOfNotches) {
    NoteTable table = ManyNotes(60);
    GridHost host(table);
    const int page = (host.Client().bottom - 21) / 21;
    UINT saved = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &saved, 0);
    const auto wheel = [&](int delta) {
        SendMessageA(host.grid.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(50, 50));
    };
    // For this session only: nothing is stored in the prefix.
    const auto setRowsPerNotch = [](UINT rows) {
        SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, rows, nullptr, 0);
    };

    setRowsPerNotch(3);
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(host.VerticalPosition(), 3);
    // A precision touchpad's small turns: a quarter notch is three quarters of a row.
    wheel(-30);
    EXPECT_EQ(host.VerticalPosition(), 3);
    wheel(-30);
    wheel(-30);
    wheel(-30);
    EXPECT_EQ(host.VerticalPosition(), 6);

    setRowsPerNotch(5);
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(host.VerticalPosition(), 11);
    setRowsPerNotch(WHEEL_PAGESCROLL);
    wheel(WHEEL_DELTA);
    EXPECT_EQ(host.VerticalPosition(), 11 - page);

    setRowsPerNotch(saved);
}
