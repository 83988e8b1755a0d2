#include "grid/GridLayout.h"

#include "base/DateFormat.h"
#include "grid/RowColor.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <string>

using namespace quillet;

namespace {

NoteTable TableWithNotes(int notes) {
    NoteTable table;
    table.SetRowCount(notes + 1);
    for (int row = 1; row <= notes; ++row) table.SetCellText(ColNote, row, std::to_string(row));
    return table;
}

} // namespace

// Readable hits in test failures.
namespace quillet {
static void PrintTo(const GridHit& hit, std::ostream* os) {
    *os << "area " << int(hit.area) << " row " << hit.row << " col " << hit.col;
}
} // namespace quillet

// Default widths 130, 84 and 168: the grid lines, each column's last pixel, lie at x 129, 213
// and 381.
TEST(GridLayout, HitTestKeepsSortingFourPixelsAwayFromColumnBorders) {
    const NoteTable table = TableWithNotes(3);
    const GridView view{500, 200};
    struct Case {
        Point point;
        GridHit hit;
    };
    const Case cases[] = {
        {{3, 10}, {}}, // the grid's own left edge: neither sort nor resize
        {{4, 10}, {GridArea::HeaderCell, 0, 0}},
        {{124, 10}, {GridArea::HeaderCell, 0, 0}},
        {{125, 10}, {GridArea::ColumnBorder, 0, 0}},
        {{133, 10}, {GridArea::ColumnBorder, 0, 0}},
        {{134, 10}, {GridArea::HeaderCell, 0, 1}},
        {{209, 20}, {GridArea::ColumnBorder, 0, 1}},
        {{385, 0}, {GridArea::ColumnBorder, 0, 2}}, // beyond the last column, still its grip
        {{386, 10}, {}},
        {{10, 21}, {GridArea::NoteCell, 1, 0}},
        {{381, 83}, {GridArea::NoteCell, 3, 2}},
        {{382, 30}, {}}, // beside the columns
        {{10, 84}, {}},  // below the last row
        {{-1, 10}, {}},
        {{10, 200}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitTest(table, view, c.point), c.hit) << c.point.x << ", " << c.point.y;
}

TEST(GridLayout, HitTestFollowsTheScrollingAndReopensACollapsedColumn) {
    NoteTable table = TableWithNotes(30);
    const GridView view{200, 200, 11, 100};
    EXPECT_EQ(HitTest(table, view, {29, 10}), (GridHit{GridArea::ColumnBorder, 0, 0}));
    EXPECT_EQ(HitTest(table, view, {50, 21}), (GridHit{GridArea::NoteCell, 11, 1}));
    EXPECT_EQ(HitTest(table, view, {50, 62}), (GridHit{GridArea::NoteCell, 12, 1}));

    // Repeat dragged to nothing: its border lies on Alarm's, and is the one pressed.
    table.SetColWidth(ColRepeat, 0);
    EXPECT_EQ(HitTest(table, {500, 200}, {129, 10}), (GridHit{GridArea::ColumnBorder, 0, 1}));
}

TEST(GridLayout, ScrollingStopsAtTheLastRowAndTheLastColumn) {
    const NoteTable table = TableWithNotes(30);
    // 200 pixels: the header and 8 whole rows of 21.
    GridView view{300, 200};
    EXPECT_EQ(PageRows(view), 8);
    EXPECT_EQ(MaxTopRow(table, view), 23); // rows 23 to 30
    EXPECT_EQ(MaxScrollX(table, view), 82);
    view.topRow = 40;
    view.scrollX = -5;
    EXPECT_EQ(Clamped(table, view).topRow, 23);
    EXPECT_EQ(Clamped(table, view).scrollX, 0);

    // Everything fits: no scrolling at all; a window lower than two rows still pages by one.
    const GridView big{800, 900, 5, 10};
    EXPECT_EQ(Clamped(table, big).topRow, 1);
    EXPECT_EQ(Clamped(table, big).scrollX, 0);
    EXPECT_EQ(PageRows({100, 30}), 1);
}

TEST(GridLayout, KeysMoveTheCurrentRowAndTheViewFollowsIt) {
    NoteTable table = TableWithNotes(30);
    const GridView view{300, 200, 5}; // rows 5 to 12 shown
    struct Case {
        int from;
        GridKey key;
        int to;
    };
    const Case cases[] = {
        {5, GridKey::Down, 6},    {30, GridKey::Down, 30},    {5, GridKey::Up, 4},
        {1, GridKey::Up, 1},      {5, GridKey::PageDown, 13}, {27, GridKey::PageDown, 30},
        {12, GridKey::PageUp, 4}, {3, GridKey::PageUp, 1},    {17, GridKey::Home, 1},
        {17, GridKey::End, 30},
    };
    for (const Case& c : cases) {
        table.SelectRow(c.from);
        EXPECT_EQ(RowAfterKey(table, view, c.key), c.to) << c.from << " key " << int(c.key);
    }
    EXPECT_EQ(TopRowShowing(view, 8), 5);
    EXPECT_EQ(TopRowShowing(view, 13), 6);
    EXPECT_EQ(TopRowShowing(view, 30), 23);
    EXPECT_EQ(TopRowShowing(view, 2), 2);
}

TEST(GridLayout, TheWheelScrollsByWholeRowsAndKeepsTheRestOfSmallTurns) {
    struct Case {
        const char* what;
        std::vector<int> deltas;
        int rowsPerNotch;
        std::vector<int> rows; // after each turn
    };
    const Case cases[] = {
        {"a notch each way", {120, -120, -240}, 3, {-3, 3, 6}},
        // Four quarters scroll a notch's three rows, row by row as they add up.
        {"a touchpad's quarter notches", {30, 30, 30, 30, 30}, 3, {0, -1, -1, -1, 0}},
        {"quarters at one row a notch", {-40, -40, -40}, 1, {0, 0, 1}},
        {"a turn back starts afresh", {90, -90, -30}, 1, {0, 0, 1}},
        {"rows that do not divide a notch", {24, 24, 24, 24, 24}, 5, {-1, -1, -1, -1, -1}},
        {"no rows a notch", {120, 120}, 0, {0, 0}},
        {"a page a notch", {-120}, 12, {12}},
    };
    for (const Case& c : cases) {
        WheelScroll wheel;
        std::vector<int> rows;
        for (const int delta : c.deltas) rows.push_back(wheel.Rows(delta, c.rowsPerNotch));
        EXPECT_EQ(rows, c.rows) << c.what;
    }
}

TEST(GridLayout, ScalesRowsColumnsAndGripsToTheDensityWhileWidthsStayDesignValues) {
    // At 144 pixels per inch: rows 32 high (21 at 96), the columns 195, 126 and 252 wide, so
    // the first border lies at x 194, and the grip reaches 6 pixels (4 at 96).
    const NoteTable table = TableWithNotes(10);
    const GridView view{800, 200, 1, 0, 144};
    EXPECT_EQ(RowHeight(view), 32);
    EXPECT_EQ(PageRows(view), 5);
    EXPECT_EQ(ColumnLeft(table, ColNote, 144), 195 + 126);
    EXPECT_EQ(ColumnsWidth(table, 144), 195 + 126 + 252);
    EXPECT_EQ(HitTest(table, view, {188, 10}), (GridHit{GridArea::ColumnBorder, 0, ColAlarm}));
    EXPECT_EQ(HitTest(table, view, {187, 10}), (GridHit{GridArea::HeaderCell, 0, ColAlarm}));
    EXPECT_EQ(HitTest(table, view, {10, 31}), (GridHit{GridArea::HeaderCell, 0, ColAlarm}));
    EXPECT_EQ(HitTest(table, view, {10, 32}), (GridHit{GridArea::NoteCell, 1, ColAlarm}));
    EXPECT_EQ(HitTest(table, view, {10, 64}), (GridHit{GridArea::NoteCell, 2, ColAlarm}));
    EXPECT_FALSE(InHeaderRow({10, 32}, 144));
    // Dragged by 30 pixels, a column grows by 20 design units: the notes file's widths read the
    // same on any screen.
    EXPECT_EQ(DraggedWidth(130, 194, 224, 144), 150);
    EXPECT_EQ(DraggedWidth(130, 194, 194, 144), 130);
}

TEST(GridLayout, DraggedWidthFollowsThePointerWithinTheTablesBounds) {
    EXPECT_EQ(DraggedWidth(130, 129, 159), 160);
    EXPECT_EQ(DraggedWidth(130, 129, 100), 101);
    EXPECT_EQ(DraggedWidth(130, 129, -500), 0);
    EXPECT_EQ(DraggedWidth(130, 129, 50'000), NoteTable::MaxColWidth);
}

TEST(GridLayout, MarkupCellsAreToldByThreeMarksCaseSensitively) {
    for (const char* text : {"a</b", "<B>bold", "<I>x", "<BR>", "line<br>end</a>"})
        EXPECT_TRUE(IsMarkupText(text)) << text;
    for (const char* text : {"", "x < y", "<b>bold", "<i>x", "<u>under", "a<br>b", "<"})
        EXPECT_FALSE(IsMarkupText(text)) << text;
}

// The recording canvas's default font draws 6 pixels per character.
TEST(GridLayout, ACellShowsTheFirstLineWrappedAtItsWidth) {
    RecordingCanvas canvas;
    struct Case {
        std::string text;
        int width;
        std::string shown;
    };
    const Case cases[] = {
        {"Call home", 54, "Call home"},
        {"Call home", 53, "Call"},
        {"one two three", 60, "one two"},
        {"first\r\nsecond", 500, "first"},
        {"first\nsecond", 500, "first"},
        {"Supercalifragilistic and more", 30, "Supercalifragilistic and more"}, // the cell cuts it
        {" leading blank here", 50, " leading"},
        {"", 10, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstShownLine(c.text, c.width, canvas), c.shown) << c.text << " in " << c.width;
}

TEST(GridLayout, ARowIsSpokenAsItsCellsReadJoinedByCommas) {
    NoteTable table;
    table.SetRowCount(2);
    const struct {
        std::string alarm, repeat, note, spoken;
    } cases[] = {
        {"12/09/2026 09:00 AM", "Daily", "Call home", "12/09/2026 09:00 AM, Daily, Call home"},
        // Markup is read as it shows; a plain cell as it stands, "&lt;" and "<b>" included.
        {"12/09/2026 09:00 AM", "Once", "<B>Pay</B> rent &amp; <U>gas</U>",
         "12/09/2026 09:00 AM, Once, Pay rent & gas"},
        {"01/02/2027 10:30 PM", "Weekly", "a &lt; b <b>c",
         "01/02/2027 10:30 PM, Weekly, a &lt; b <b>c"},
        // Lines run on as one; empty cells and empty lines say nothing.
        {"", "Hourly", "first\r\n\r\n  second  ", "Hourly, first second"},
        {"x", "", "<I>one</I><BR><BR>two", "x, one two"},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        table.SetCellText(ColAlarm, 1, c.alarm);
        table.SetCellText(ColRepeat, 1, c.repeat);
        table.SetCellText(ColNote, 1, c.note);
        EXPECT_EQ(SpokenRow(table, 1), c.spoken) << c.note;
    }
}

// The examples are on 12/09/2026.
TEST(RowColor, OneShotNotesTurnSilverOnceTheirMinuteHasPassed) {
    NoteTable table = TableWithNotes(6);
    const std::pair<std::string, std::string> rows[] = {
        {"01/05/2027 09:00 AM", "None"},  {"12/09/2026 01:00 PM", "None"},
        {"12/01/2026 01:00 PM", "Daily"}, {"not a moment", "None"},
        {"12/01/2026 01:00 PM", "none"},  {"", ""},
    };
    for (int row = 1; const auto& [alarm, repeat] : rows) {
        table.SetCellText(ColAlarm, row, alarm);
        table.SetCellText(ColRepeat, row++, repeat);
    }
    constexpr Color black{0x000000};
    const auto colorAt = [&](int row, const char* now) {
        return NoteRowColor(table, row, StrToDateTime(now) + 59.0 / 86400);
    };
    EXPECT_EQ(colorAt(1, "12/09/2026 11:00 AM"), black);
    EXPECT_EQ(colorAt(2, "12/09/2026 11:00 AM"), black);
    EXPECT_EQ(colorAt(2, "12/09/2026 01:00 PM"), black); // its own minute, to its last second
    EXPECT_EQ(colorAt(2, "12/09/2026 01:01 PM"), PastNoteColor);
    table.SetCellText(ColAlarm, 2, "12/09/2026 01.00 PM"); // written with "." as separator
    EXPECT_EQ(colorAt(2, "12/09/2026 01:00 PM"), black);
    EXPECT_EQ(colorAt(2, "12/09/2026 01:01 PM"), PastNoteColor);
    EXPECT_EQ(colorAt(3, "12/09/2026 01:01 PM"), std::nullopt); // repeating: never grey
    EXPECT_EQ(colorAt(4, "12/09/2026 01:01 PM"), black);
    EXPECT_EQ(colorAt(5, "12/09/2026 01:01 PM"), std::nullopt); // "None" exactly
    EXPECT_EQ(colorAt(6, "12/09/2026 01:01 PM"), std::nullopt); // an empty row

    // The header never, even should a hand-edited file title the column "None".
    table.SetCellText(ColRepeat, 0, "None");
    table.SetCellText(ColAlarm, 0, "01/01/2000 01:00 AM");
    EXPECT_EQ(colorAt(0, "12/09/2026 01:01 PM"), std::nullopt);
}
