// The reminder popup: how it comes up, where its parts stand, what it paints, and how it
// answers the pointer, with a fake desktop and the recording canvas (characters 6 pixels wide,
// lines 14 high). The fade's worker hands its steps to a user-interface thread that nobody runs
// here, so each popup stays in its fade-in; the fade itself is tested in threads/.
#include "alerts/AdvAlertWindow.h"
#include "tests/core/FakeAlertDesktop.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace quillet;
using Op = RecordingCanvas::Op;

namespace {

constexpr Color Key{0xFF00FF}, Ink{0x262626};
const std::string Reminder = "Quillet<br>Date/Time: Daily 09:00 AM<hr><br>Call home";

// A 16 x 16 glyph on the key colour with one row of ink.
Bitmap Glyph(Color ink = Ink) {
    Bitmap glyph{16, 16, std::vector<Color>(256, Key)};
    for (int x = 2; x < 14; ++x) glyph.pixels[8 * 16 + x] = ink;
    return glyph;
}

// The centre of a rectangle.
Point Centre(const Rect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

struct AlertWindowTest : testing::Test {
    FakeAlertDesktop desktop;
    UiThread ui; // never run: the fade stays at its first step
    TAdvAlertWindow alert{desktop, ui};

    AlertWindowTest() {
        alert.GlyphClose = Glyph();
        alert.GlyphPrev = Glyph();
        alert.GlyphNext = Glyph();
        alert.GlyphDelete = Glyph();
    }

    // What the alarm check does for each of `texts`, then Show and LastMessage.
    void Remind(const std::vector<std::string>& texts) {
        for (const std::string& text : texts) alert.AlertMessages().Add().SetText(text);
        alert.Show();
        alert.LastMessage();
    }
    void Remind(int count) { Remind(std::vector<std::string>(std::size_t(count), Reminder)); }

    FakePopupHost& host() { return *desktop.host; }
    TAlertWindow& popup() { return *alert.Popup(); }
    AlertLayout layout() { return popup().Layout(); }

    void Click(Point at) {
        popup().PointerMoved(at);
        popup().PointerPressed(at);
        popup().PointerReleased(at);
    }
    void Click(AlertButton button) { Click(Centre(popup().Part(button).rect)); }

    RecordingCanvas Paint() {
        RecordingCanvas canvas;
        popup().Paint(canvas);
        return canvas;
    }
};

// The index of the first call that satisfies `is`, or the number of calls.
template <typename Pred> std::size_t IndexOf(const RecordingCanvas& canvas, Pred is) {
    const auto found = std::find_if(canvas.calls.begin(), canvas.calls.end(), is);
    return std::size_t(found - canvas.calls.begin());
}

std::vector<RecordingCanvas::Call> Within(const RecordingCanvas& canvas, Op op, const Rect& area) {
    std::vector<RecordingCanvas::Call> found;
    for (const auto& call : canvas.Of(op))
        if (call.rect.left >= area.left && call.rect.top >= area.top &&
            call.rect.right <= area.right && call.rect.bottom <= area.bottom)
            found.push_back(call);
    return found;
}

} // namespace

TEST(AlertStyle, ThemeChoosesTheStyleAndTheStyleItsColours) {
    const struct {
        std::optional<std::string> scheme;
        TAdvAlertWindowStyle style;
    } cases[] = {{"NormalColor", asOffice2003Blue},    {"HomeStead", asOffice2003Olive},
                 {"Metallic", asOffice2003Silver},     {"Blue", asOffice2003Classic},
                 {"normalcolor", asOffice2003Classic}, {std::nullopt, asOffice2003Classic}};
    for (const auto& c : cases)
        EXPECT_EQ(StyleForTheme(c.scheme), c.style) << c.scheme.value_or("(none)");

    const Color caption{0x123456};
    const AlertColors blue = StyleColors(asOffice2003Blue, caption);
    EXPECT_EQ(blue.WindowColor, Color{0xC4DAFA});
    EXPECT_EQ(blue.CaptionColorTo, Color{0x002D96});
    EXPECT_EQ(blue.BorderColor, Color{0x002D96});
    EXPECT_EQ(blue.BtnHoverColorTo, Color{0xF7C05B});
    const AlertColors classic = StyleColors(asOffice2003Classic, caption);
    EXPECT_EQ(classic.WindowColorTo, Color{0xD5D1C9});
    EXPECT_EQ(classic.BorderColor, caption);
    EXPECT_EQ(classic.BtnDownColor, Color{0x8592B5});
    EXPECT_EQ(StyleColors(asOffice2003Olive, caption).BorderColor, Color{0x608058});
    EXPECT_EQ(StyleColors(asOffice2003Silver, caption).WindowColor, Color{0xF3F3F7});
    EXPECT_EQ(StyleColors(asOffice2007Luna, caption).CaptionColor, Color{0xE3EFFF});
}

TEST(AlertStyle, GreyGlyphKeepsItsTransparentColour) {
    Bitmap bitmap{2, 2, {Color{0x262626}, Color{0xFFFFFF}, Key, Color{0xC86400}}};
    const ButtonGlyph glyph(bitmap);
    EXPECT_EQ(glyph.Normal().pixels, bitmap.pixels);
    // ((R + G + B) div 3) div 2 + 128
    EXPECT_EQ(glyph.Greyed().pixels,
              (std::vector<Color>{Color{0x939393}, Color{0xFFFFFF}, Key, Color{0xB2B2B2}}));
}

TEST_F(AlertWindowTest, ComesUpInOrderWithoutTakingTheFocus) {
    alert.Show();
    EXPECT_EQ(desktop.host, nullptr); // nothing to show: no window
    EXPECT_EQ(desktop.log, (std::vector<std::string>{"remember focus", "restore focus"}));

    desktop.log.clear();
    Remind(1);
    // Opacity 0 before it shows, so that it fades in from nothing.
    EXPECT_EQ(desktop.log,
              (std::vector<std::string>{"remember focus", "create", "bounds 722,548 300x200",
                                        "opacity 0", "show topmost", "restore focus"}));
    EXPECT_TRUE(alert.Visible());
    EXPECT_TRUE(alert.Fading());
    // Wine's theme, "Blue": the classic style, bordered in the active caption's colour.
    EXPECT_EQ(alert.Style(), asOffice2003Classic);
    EXPECT_EQ(alert.Colors().BorderColor, desktop.SystemColor(DesktopColor::ActiveCaption));
    EXPECT_EQ(alert.Font.color, desktop.SystemColor(DesktopColor::WindowText));

    // Visible: only the messages are taken again; no new place, style or fade.
    desktop.log.clear();
    desktop.colorScheme = "NormalColor";
    Remind({"second"});
    EXPECT_EQ(desktop.log, (std::vector<std::string>{"remember focus", "restore focus"}));
    EXPECT_EQ(alert.Style(), asOffice2003Classic);
    EXPECT_EQ(alert.PositionText(), "2 of 2");

    // Hidden again: the next showing takes the theme anew.
    Click(AlertButton::Close);
    Remind({"third"});
    EXPECT_EQ(alert.Style(), asOffice2003Blue);
    EXPECT_EQ(alert.Colors().BorderColor, Color{0x002D96});
    EXPECT_EQ(alert.PositionText(), "3 of 3");
}

TEST_F(AlertWindowTest, StandsAtTheBottomRightOfTheWorkArea) {
    const struct {
        Rect workArea;
        int marginX, marginY;
        Rect expected;
    } cases[] = {
        {{0, 0, 1024, 748}, 0, 0, {722, 548, 1022, 748}},    // taskbar at the bottom
        {{0, 0, 994, 768}, 0, 0, {692, 568, 992, 768}},      // taskbar on the right
        {{0, 30, 1280, 1024}, 0, 0, {978, 824, 1278, 1024}}, // taskbar at the top
        {{0, 0, 1024, 748}, 10, 5, {712, 543, 1012, 743}},   // extra margins
    };
    for (const auto& c : cases) {
        desktop.workArea = c.workArea;
        alert.ScreenMarginX = c.marginX;
        alert.ScreenMarginY = c.marginY;
        Remind(1);
        EXPECT_EQ(host().bounds, c.expected);
        Click(AlertButton::Close);
    }
}

TEST_F(AlertWindowTest, SizedAndLaidOutForTheDensityOfTheWorkAreasMonitor) {
    // At 192 pixels per inch everything doubles: 600 x 400, 4 pixels from the right edge.
    desktop.workAreaDpi = 192;
    Remind(3);
    EXPECT_EQ(host().bounds, (Rect{1024 - 600 - 4, 748 - 400, 1020, 748}));
    EXPECT_EQ(alert.Popup()->Dpi(), 192);
    const AlertLayout l = alert.Popup()->Layout();
    EXPECT_EQ(l.close, (Rect{600 - 42, 16, 599, 56}));
    EXPECT_EQ(l.text, (Rect{8, 2 + 40, 600 - 8 - 40, 400 - 2 - 50}));

    // Moved to a monitor of 120 pixels per inch: the bounds suggested there, laid out anew.
    alert.Popup()->DpiChanged(120, {10, 20, 10 + 375, 20 + 250});
    EXPECT_EQ(host().bounds, (Rect{10, 20, 385, 270}));
    EXPECT_EQ(alert.Popup()->Layout().close, (Rect{375 - 26, 10, 374, 35}));
}

TEST(AlertStyle, GlyphTakesTheSizeDrawnNearestTheButtons) {
    const auto square = [](int size) {
        return Bitmap{size, size, std::vector<Color>(std::size_t(size * size), Key)};
    };
    const ButtonGlyph glyph(std::vector<Bitmap>{square(16), square(20), square(24), square(32)});
    const struct {
        int size, drawn;
    } cases[] = {{16, 16}, {20, 20}, {22, 24}, {28, 32}, {40, 32}, {8, 16}};
    for (const auto& c : cases) {
        EXPECT_EQ(glyph.Normal(c.size).width, c.drawn) << c.size;
        EXPECT_EQ(glyph.Greyed(c.size).width, c.drawn) << c.size;
    }
}

TEST_F(AlertWindowTest, ClosedWhileFadingInComesUpForTheNextReminder) {
    Remind(1);
    ASSERT_TRUE(alert.Fading());
    Click(AlertButton::Close);
    EXPECT_FALSE(alert.Visible());
    EXPECT_FALSE(alert.Fading());

    desktop.log.clear();
    Remind({"the next reminder"});
    EXPECT_TRUE(alert.Visible());
    EXPECT_TRUE(alert.Fading());
    EXPECT_EQ(std::count(desktop.log.begin(), desktop.log.end(), "show topmost"), 1);
    EXPECT_EQ(alert.PositionText(), "2 of 2");
}

TEST(AlertLayout, PartsStandWhereTheTableSays) {
    // 301 wide with a position text 45 wide: both halves are rounded down, 150 and 22.
    const AlertLayout odd = LayOutAlert(301, 200, 4, 1, 45, 2, true);
    EXPECT_EQ(odd.prev, (Rect{108, 174, 128, 199}));
    EXPECT_EQ(odd.next, (Rect{172, 174, 192, 199}));
    EXPECT_EQ(odd.close, (Rect{280, 8, 300, 28}));
    // Without the delete button and with one message the text reaches down to the bottom.
    EXPECT_EQ(LayOutAlert(300, 200, 4, 1, 44, 1, false).text, (Rect{4, 21, 276, 199}));
    EXPECT_EQ(LayOutAlert(300, 200, 4, 1, 44, 2, false).text, (Rect{4, 21, 276, 174}));
}

TEST_F(AlertWindowTest, GeometryFollowsTheNumberOfMessages) {
    const struct {
        int count;
        Rect prev, next, del; // prev and next only with two or more
    } cases[] = {
        {1, {}, {}, {140, 174, 160, 199}},
        {2, {108, 174, 128, 199}, {172, 174, 192, 199}, {192, 174, 212, 199}},  // "1 of 2": 36 + 8
        {5, {108, 174, 128, 199}, {172, 174, 192, 199}, {192, 174, 212, 199}},  // "4 of 5"
        {10, {105, 174, 125, 199}, {175, 174, 195, 199}, {195, 174, 215, 199}}, // "9 of 10"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        while (alert.AlertMessages().Count() > 0) alert.DeleteMessage(0);
        Remind(c.count);
        const AlertLayout l = layout();
        EXPECT_EQ(l.grip, (Rect{1, 1, 299, 7}));
        EXPECT_EQ(l.close, (Rect{279, 8, 299, 28}));
        EXPECT_EQ(l.text, (Rect{4, 21, 276, 174}));
        EXPECT_EQ(l.scrollUp, (Rect{284, 32, 296, 44}));
        EXPECT_EQ(l.scrollDown, (Rect{284, 160, 296, 172}));
        EXPECT_EQ(l.del, c.del);
        if (c.count < 2) continue;
        EXPECT_EQ(l.prev, c.prev);
        EXPECT_EQ(l.next, c.next);
    }
}

TEST_F(AlertWindowTest, PaintsEveryPartInOrder) {
    Remind(3); // 3 of 3, classic style
    const AlertColors& colors = alert.Colors();
    const RecordingCanvas canvas = Paint();
    const auto& calls = canvas.calls;

    // Background: 80 bands from top to bottom over the whole popup, then the border.
    for (std::size_t i = 0; i < 80; ++i) {
        ASSERT_EQ(calls[i].op, Op::Fill);
        EXPECT_EQ(calls[i].rect.left, 0);
        EXPECT_EQ(calls[i].rect.right, 300);
    }
    EXPECT_EQ(calls[0].rect.top, 0);
    EXPECT_EQ(calls[0].color, colors.WindowColor);
    EXPECT_EQ(calls[79].rect.bottom, 200);
    EXPECT_EQ(calls[79].color, colors.WindowColorTo);
    EXPECT_EQ(calls[80].op, Op::Frame);
    EXPECT_EQ(calls[80].rect, (Rect{0, 0, 300, 200}));
    EXPECT_EQ(calls[80].color, colors.BorderColor);

    // The grip bar, its last row in the darker caption colour, and its nine dots, the first at
    // x = (300 - 34) div 2 = 133.
    const auto grip = Within(canvas, Op::Fill, {1, 1, 299, 7});
    ASSERT_EQ(grip.size(), 6u + 18u); // a band for each row, then the dots
    EXPECT_EQ(grip[0].rect, (Rect{1, 1, 299, 2}));
    EXPECT_EQ(grip[5].rect, (Rect{1, 6, 299, 7}));
    EXPECT_EQ(grip[5].color, colors.CaptionColorTo);
    const auto white = IndexOf(canvas, [](auto& c) { return c.rect == Rect{134, 3, 136, 5}; });
    const auto black = IndexOf(canvas, [](auto& c) { return c.rect == Rect{133, 2, 135, 4}; });
    const auto lastBlack = IndexOf(canvas, [](auto& c) { return c.rect == Rect{165, 2, 167, 4}; });
    ASSERT_LT(lastBlack, calls.size());
    EXPECT_EQ(calls[white].color, Color{0xFFFFFF});
    EXPECT_EQ(calls[black].color, Color{0x000000});
    EXPECT_LT(white, black);
    const auto pixels = canvas.Of(Op::Pixel);
    ASSERT_EQ(pixels.size(), 9u);
    EXPECT_EQ(pixels.front().rect, (Rect{134, 3, 135, 4}));
    EXPECT_EQ(pixels.front().color, colors.CaptionColorTo);

    // Then the close button, the message in the text area, and the bottom row from left to
    // right: previous, "3 of 3" centred, next (grey on the last message), delete.
    const auto bitmapAt = [&](Rect dest) {
        return IndexOf(canvas, [&](auto& c) { return c.op == Op::Bitmap && c.rect == dest; });
    };
    const auto close = bitmapAt({281, 10, 297, 26});
    const auto message = IndexOf(canvas, [](auto& c) { return c.op == Op::Text; });
    const auto prev = bitmapAt({110, 178, 126, 194});
    const auto position = IndexOf(canvas, [](auto& c) { return c.text == "3 of 3"; });
    const auto next = bitmapAt({174, 178, 190, 194});
    const auto del = bitmapAt({194, 178, 210, 194});
    ASSERT_LT(del, calls.size());
    EXPECT_LT(lastBlack, close);
    EXPECT_LT(close, message);
    EXPECT_LT(message, prev);
    EXPECT_LT(prev, position);
    EXPECT_LT(position, next);
    EXPECT_LT(next, del);

    EXPECT_EQ(calls[close].color, Key); // transparent: the bottom-left pixel's colour
    EXPECT_EQ(calls[prev].bitmap.pixels, alert.GlyphPrev.Normal().pixels);
    EXPECT_EQ(calls[next].bitmap.pixels, alert.GlyphNext.Greyed().pixels);
    EXPECT_EQ(calls[position].rect, (Rect{132, 181, 168, 195}));
    EXPECT_EQ(calls[position].font, alert.Font);

    const RecordingCanvas::Call* first = canvas.FindText("Quillet");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->rect.left, 5);
    EXPECT_EQ(first->rect.bottom, 35);
    EXPECT_EQ(first->clip, (Rect{4, 21, 276, 174}));
    EXPECT_EQ(canvas.Of(Op::Line).size(), 1u); // the message's rule; no scroll buttons
}

TEST_F(AlertWindowTest, OneMessageShowsOnlyTheDeleteButtonCentred) {
    Remind(1);
    const RecordingCanvas canvas = Paint();
    const auto bitmaps = canvas.Of(Op::Bitmap);
    ASSERT_EQ(bitmaps.size(), 2u); // close and delete
    EXPECT_EQ(bitmaps[1].rect, (Rect{142, 178, 158, 194}));
    EXPECT_EQ(canvas.FindText("1 of 1"), nullptr);

    alert.ShowDelete = false;
    EXPECT_EQ(Paint().Of(Op::Bitmap).size(), 1u);
}

TEST_F(AlertWindowTest, MessageColoursReplaceTheBackground) {
    Remind(1);
    // 0xRRGGBB as every colour of the core: red is red, not the desktop's blue.
    alert.AlertMessages()[0].SetColor(Color{0xFF0000});
    alert.AlertMessages()[0].SetColorTo(Color{0x0000FF});
    RecordingCanvas canvas = Paint();
    EXPECT_EQ(canvas.calls[0].color, Color{0xFF0000});
    EXPECT_EQ(canvas.calls[79].color, Color{0x0000FF});

    alert.AlertMessages()[0].SetColorTo(std::nullopt); // one colour: the body is plain
    canvas = Paint();
    EXPECT_EQ(canvas.calls[79].color, Color{0xFF0000});
}

TEST_F(AlertWindowTest, ButtonsLookHoveredAndPressedAndHintOnlyWhenUsable) {
    Remind(3);
    alert.PrevMessage(); // 2 of 3: both directions open
    const AlertLayout l = layout();
    const AlertColors& colors = alert.Colors();
    const Rect face{279, 8, 299, 27}; // the close button less its bottom row

    popup().PointerMoved(Centre(l.close));
    EXPECT_TRUE(popup().Hovered(AlertButton::Close));
    EXPECT_EQ(host().hint, "Close");
    RecordingCanvas canvas = Paint();
    auto fills = Within(canvas, Op::Fill, face);
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(fills.front().color, colors.BtnHoverColor);
    EXPECT_EQ(Within(canvas, Op::Frame, face).front().color, Color{0x000000});

    popup().PointerPressed(Centre(l.close));
    EXPECT_TRUE(popup().Pressed(AlertButton::Close));
    EXPECT_EQ(host().ownerFocused, 1);
    canvas = Paint();
    EXPECT_EQ(Within(canvas, Op::Fill, face).front().color, colors.BtnDownColor);

    // Moving off drops both looks and the hint; each button brings its own hint.
    const struct {
        AlertButton button;
        std::string hint;
    } hints[] = {{AlertButton::Prev, "Previous"},
                 {AlertButton::Next, "Next"},
                 {AlertButton::Delete, "Delete"}};
    for (const auto& h : hints) {
        popup().PointerMoved(Centre(popup().Part(h.button).rect));
        EXPECT_FALSE(popup().Hovered(AlertButton::Close));
        EXPECT_FALSE(popup().Pressed(AlertButton::Close));
        EXPECT_TRUE(popup().Hovered(h.button));
        EXPECT_EQ(host().hint, h.hint);
    }
    popup().PointerMoved(Centre(l.text));
    EXPECT_EQ(host().hint, "");

    // On the first message the previous button is grey: no look, no hint, no press.
    alert.PrevMessage();
    popup().PointerMoved(Centre(l.prev));
    EXPECT_FALSE(popup().Hovered(AlertButton::Prev));
    EXPECT_EQ(host().hint, "");
    popup().PointerPressed(Centre(l.prev));
    EXPECT_FALSE(popup().Pressed(AlertButton::Prev));
}

TEST_F(AlertWindowTest, ReleaseActsForThePressedButtonWhereverItComes) {
    const struct {
        int position; // shown before, of 3
        AlertButton button;
        std::string after; // position text after, or "hidden"
    } cases[] = {
        {3, AlertButton::Prev, "2 of 3"},   {1, AlertButton::Next, "2 of 3"},
        {1, AlertButton::Prev, "1 of 3"},   {3, AlertButton::Next, "3 of 3"}, // grey: nothing
        {2, AlertButton::Delete, "2 of 2"}, {3, AlertButton::Delete, "2 of 2"},
        {2, AlertButton::Close, "hidden"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << " " << int(c.button));
        while (alert.AlertMessages().Count() > 0) alert.DeleteMessage(0);
        Remind({"one", "two", "three"});
        while (alert.Scroller().Position() > c.position) alert.PrevMessage();

        const Point at = Centre(popup().Part(c.button).rect);
        popup().PointerMoved(at);
        popup().PointerPressed(at);
        popup().PointerReleased({20, 60}); // on the text
        EXPECT_EQ(alert.Visible() ? alert.PositionText() : "hidden", c.after);
        EXPECT_FALSE(popup().Pressed(c.button));
    }
    // Closing keeps every message; the next Show brings them back on the last one.
    EXPECT_EQ(alert.AlertMessages().Count(), 3);
    alert.Show();
    alert.LastMessage();
    EXPECT_EQ(alert.PositionText(), "3 of 3");

    // Deleting the only message closes the popup.
    while (alert.AlertMessages().Count() > 1) alert.DeleteMessage(0);
    Click(AlertButton::Delete);
    EXPECT_FALSE(alert.Visible());
    EXPECT_EQ(alert.AlertMessages().Count(), 0);

    // A press elsewhere and its release do nothing; nor does a press that the pointer moved
    // off before the release.
    Remind({"one"});
    Click(Point{20, 60});
    popup().PointerPressed(Centre(layout().close));
    popup().PointerMoved({20, 60});
    EXPECT_FALSE(popup().Pressed(AlertButton::Close));
    popup().PointerReleased({20, 60});
    EXPECT_TRUE(alert.Visible());
    EXPECT_EQ(alert.AlertMessages().Count(), 1);
}

TEST_F(AlertWindowTest, LongMessageScrollsWithinItsLimits) {
    // 20 lines of 14 pixels: 282 high in a text area 153 high.
    std::string tall = "L1";
    for (int i = 2; i <= 20; ++i) tall += "<br>L" + std::to_string(i);
    Remind({tall, "short"});
    alert.PrevMessage();
    const AlertLayout l = layout();
    EXPECT_FALSE(popup().CanScrollUp());
    EXPECT_TRUE(popup().CanScrollDown());
    RecordingCanvas canvas = Paint();
    EXPECT_EQ(Within(canvas, Op::Line, l.scrollDown).size(), 4u); // the downward triangle
    EXPECT_TRUE(Within(canvas, Op::Line, l.scrollUp).empty());

    // Held down, it scrolls 4 pixels a tick until the end of the text is in view.
    popup().PointerMoved(Centre(l.scrollDown));
    popup().PointerPressed(Centre(l.scrollDown));
    EXPECT_TRUE(host().scrollRepeat);
    for (int tick = 0; tick < 100; ++tick) popup().ScrollRepeat();
    EXPECT_EQ(popup().ScrollOffset(), 132); // 132 + 153 >= 282
    EXPECT_FALSE(popup().CanScrollDown());
    EXPECT_TRUE(popup().CanScrollUp());
    popup().PointerReleased(Centre(l.scrollDown));
    EXPECT_FALSE(host().scrollRepeat);
    EXPECT_EQ(popup().ScrollOffset(), 132);

    // The text is drawn shifted up, clipped to the area.
    canvas = Paint();
    const RecordingCanvas::Call* first = canvas.FindText("L1");
    const RecordingCanvas::Call* last = canvas.FindText("L20");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(first->rect.bottom, 21 - 132 + 14); // above the area: clipped away
    EXPECT_EQ(last->rect.bottom, 21 - 132 + 20 * 14);
    EXPECT_EQ(last->clip, l.text);
    EXPECT_EQ(Within(canvas, Op::Line, l.scrollUp).size(), 4u);

    // One click up, then all the way up; never below 0.
    Click(AlertButton::ScrollUp);
    EXPECT_EQ(popup().ScrollOffset(), 128);
    popup().PointerPressed(Centre(l.scrollUp));
    for (int tick = 0; tick < 100; ++tick) popup().ScrollRepeat();
    EXPECT_EQ(popup().ScrollOffset(), 0);
    popup().PointerReleased(Centre(l.scrollUp));

    // Another message starts unscrolled; a short one shows no scroll buttons.
    popup().PointerPressed(Centre(l.scrollDown));
    popup().ScrollRepeat();
    popup().PointerReleased(Centre(l.scrollDown));
    EXPECT_EQ(popup().ScrollOffset(), 8);
    Click(AlertButton::Next);
    EXPECT_EQ(popup().ScrollOffset(), 0);
    EXPECT_FALSE(popup().CanScrollDown());
    canvas = Paint();
    EXPECT_TRUE(Within(canvas, Op::Line, l.scrollDown).empty());
}

TEST_F(AlertWindowTest, DraggedPopupStaysWhereTheUserLeftIt) {
    Remind(1);
    popup().PointerPressed({150, 4}); // on the grip bar
    EXPECT_TRUE(popup().Dragging());
    EXPECT_TRUE(host().captured);
    popup().PointerMoved({100, -50}); // the grabbed point follows: 50 left, 54 up
    EXPECT_EQ(host().bounds, (Rect{672, 494, 972, 694}));
    popup().PointerMoved({150, 4}); // the pointer is on the grabbed point again: no move
    EXPECT_EQ(host().bounds, (Rect{672, 494, 972, 694}));
    popup().PointerReleased({150, 4});
    EXPECT_FALSE(popup().Dragging());
    EXPECT_FALSE(host().captured);
    EXPECT_EQ(alert.WindowPosition, wpPreset);
    EXPECT_EQ(alert.PopupLeft, 672);
    EXPECT_EQ(alert.PopupTop, 494);

    // Shown again where it was left, whatever the work area says.
    Click(AlertButton::Close);
    desktop.workArea = {0, 0, 800, 600};
    Remind({"again"});
    EXPECT_EQ(host().bounds, (Rect{672, 494, 972, 694}));

    // A drag that ends by the pointer leaving is not recorded.
    popup().PointerPressed({150, 4});
    popup().PointerMoved({160, 14});
    popup().PointerLeft();
    EXPECT_FALSE(popup().Dragging());
    EXPECT_FALSE(host().captured);
    EXPECT_EQ(host().bounds, (Rect{682, 504, 982, 704}));
    EXPECT_EQ(alert.PopupLeft, 672);
    EXPECT_EQ(alert.PopupTop, 494);
}

TEST_F(AlertWindowTest, PointerMakesItOpaqueAndLeavingRestsItAt180) {
    Remind(2);
    EXPECT_EQ(host().opacities, (std::vector<int>{0}));
    popup().PointerMoved({20, 60});
    EXPECT_TRUE(alert.PointerInside());
    EXPECT_EQ(alert.Opacity(), 255);
    popup().PointerMoved({30, 60});
    EXPECT_EQ(host().opacities, (std::vector<int>{0, 255}));

    popup().PointerMoved(Centre(layout().close));
    popup().PointerLeft();
    EXPECT_FALSE(alert.PointerInside());
    EXPECT_EQ(host().opacities, (std::vector<int>{0, 255, 180}));
    EXPECT_FALSE(popup().Hovered(AlertButton::Close));
    EXPECT_EQ(host().hint, "");

    // A press whose release came outside the popup does not act on a later click.
    popup().PointerMoved(Centre(layout().close));
    popup().PointerPressed(Centre(layout().close));
    popup().PointerLeft();
    Click(Point{20, 60});
    EXPECT_TRUE(alert.Visible());

    Click(AlertButton::Close);
    EXPECT_FALSE(alert.Visible());
    EXPECT_FALSE(alert.PointerInside());
}

TEST_F(AlertWindowTest, LinksPointAndUnderlineButOpenNothing) {
    Remind({"Call <a href=\"http://example.com\">home</a> now"});
    // "Call " is 30 pixels from x 5: the link runs from 35 to 59 on the first line.
    popup().PointerMoved({40, 28});
    EXPECT_TRUE(host().pointingHand);
    EXPECT_EQ(popup().HoverLink(), 1);
    EXPECT_EQ(host().repaints.back(), layout().text);
    const RecordingCanvas hovered = Paint();
    const RecordingCanvas::Call* link = hovered.FindText("home");
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->font.underline);
    EXPECT_EQ(link->font.color, alert.URLColor);

    popup().PointerPressed({40, 28});
    popup().PointerReleased({40, 28});
    EXPECT_TRUE(alert.Visible());
    EXPECT_EQ(alert.AlertMessages().Count(), 1);

    popup().PointerMoved({100, 28});
    EXPECT_FALSE(host().pointingHand);
    EXPECT_EQ(popup().HoverLink(), -1);
    const RecordingCanvas plain = Paint();
    ASSERT_NE(plain.FindText("home"), nullptr);
    EXPECT_FALSE(plain.FindText("home")->font.underline);
}

TEST_F(AlertWindowTest, OnlyALinkTheTextAreaShowsIsUnderThePointer) {
    // 100 lines of 14 pixels, each a link: 1402 high, scrolled far down.
    std::string links;
    for (int i = 1; i <= 100; ++i) links += "<a href=\"" + std::to_string(i) + "\">line</a><br>";
    Remind({links});
    const AlertLayout l = layout();
    popup().PointerPressed(Centre(l.scrollDown));
    for (int tick = 0; tick < 300; ++tick) popup().ScrollRepeat();
    popup().PointerReleased(Centre(l.scrollDown));
    ASSERT_EQ(popup().ScrollOffset(), 1204); // 300 ticks and the release, 4 pixels each

    // Line 88 shows at the area's top, from 21 + 87 * 14 - 1204 = 35 to 49.
    popup().PointerMoved({10, 40});
    EXPECT_TRUE(host().pointingHand);
    EXPECT_EQ(popup().HoverLink(), 88);
    // Above the area, on the grip, the lines scrolled out above are not there.
    popup().PointerMoved({10, 5});
    EXPECT_FALSE(host().pointingHand);
    EXPECT_EQ(popup().HoverLink(), -1);
}
