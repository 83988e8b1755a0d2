#include "markup/DrawMarkup.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <memory>

#include <map>
#include <sstream>

using namespace quillet;
using Op = RecordingCanvas::Op;

namespace {

constexpr Rect Area{4, 21, 276, 174}; // the reminder popup's text area
constexpr int h = 14;                 // "gh" in the test font
constexpr int cw = 6;                 // a character in the test font

struct Rendered {
    RecordingCanvas canvas;
    MarkupResult result;
};

Rendered Render(std::string_view text, MarkupOptions options = {}, Rect rect = Area) {
    Rendered r;
    r.result = DrawMarkup(r.canvas, text, rect, options);
    return r;
}

// The lines as shown: the texts drawn with the same cell top, joined.
std::vector<std::string> Lines(const RecordingCanvas& canvas) {
    std::map<int, std::string> byTop;
    for (const auto& call : canvas.Of(Op::Text))
        byTop[call.rect.top] += RecordingCanvas::Shown(call.text, call.flags);
    std::vector<std::string> lines;
    for (const auto& [top, text] : byTop) lines.push_back(text);
    return lines;
}

Bitmap Picture(int width, int height) {
    return {width, height, std::vector<Color>(std::size_t(width * height), Color{0x123456})};
}

} // namespace

TEST(Markup, WorkedExampleReminder) {
    const auto r = Render("Quillet<br>Date/Time: Daily 09:00 AM<hr><br>Call home");
    const auto& c = r.canvas;
    const struct {
        const char* text;
        Rect cell;
    } pieces[] = {
        {"Quillet", {5, 21, 276, 21 + h}},
        {"Date/Time: ", {5, 21 + h, 276, 21 + 2 * h}},
        {"AM", {5 + 23 * cw, 21 + h, 276, 21 + 2 * h}},
        {"Call ", {5, 21 + 3 * h, 276, 21 + 4 * h}},
        {"home", {5 + 5 * cw, 21 + 3 * h, 276, 21 + 4 * h}},
    };
    for (const auto& piece : pieces) {
        const auto* call = c.FindText(piece.text);
        ASSERT_NE(call, nullptr) << piece.text;
        EXPECT_EQ(call->rect, piece.cell) << piece.text;
    }
    EXPECT_EQ(Lines(c),
              (std::vector<std::string>{"Quillet", "Date/Time: Daily 09:00 AM", "Call home"}));
    // The rule: black, pixels 5 to 275, one below the second line's bottom.
    const auto rules = c.Of(Op::Line);
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].rect, (Rect{5, 21 + 2 * h + 1, 276, 21 + 2 * h + 1}));
    EXPECT_EQ(rules[0].color, Color{});
    EXPECT_EQ(r.result.height, 4 * h + 2);
    EXPECT_EQ(r.result.width, 25 * cw + 2);
    EXPECT_EQ(r.result.plainText, "Quillet\rDate/Time: Daily 09:00 AM\rCall home");

    const auto measured = Render("Quillet<br>Date/Time: Daily 09:00 AM<hr><br>Call home",
                                 {.mode = MarkupMode::MeasureOnly});
    EXPECT_TRUE(measured.canvas.calls.empty());
    EXPECT_EQ(measured.result.height, 4 * h + 2);
    EXPECT_EQ(measured.result.width, 25 * cw + 2);
}

TEST(Markup, LongNoteWrapsAtSpacesOntoLinesOfHeightH) {
    // 271 pixels hold "word " nine times (270 pixels).
    std::string note;
    for (int i = 0; i < 20; ++i) note += "word ";
    const auto r = Render("Quillet<hr>" + note);
    const auto lines = Lines(r.canvas);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "word word word word word word word word word ");
    EXPECT_EQ(r.canvas.FindText("word ")->rect.top, 21 + h);
    EXPECT_EQ(r.result.height, 4 * h + 2);
}

TEST(Markup, EdgeCasesShowAsTheyShould) {
    const struct {
        const char* text;
        std::vector<std::string> lines; // as shown
        bool noPrefix;
    } cases[] = {
        {"x < y and y > z", {"x  z"}, false},
        {"AT&T", {"ATT"}, false}, // the second T is underlined by the prefix mark
        {"Tom & Jerry", {"Tom & Jerry"}, true},
        {"Tom & Jerry &amp; Co", {"Tom & Jerry && Co"}, true},
        {"&amp;", {"&"}, false},
        {"&lt;b&gt;", {"<b>"}, false},
        {"&permil; &euro;&copy;", {"\u2030 \u20AC\u00A9"}, false},
        {"a<#b>c", {"a#bc"}, false},
        {"one\r\ntwo", {"one", "two"}, false},
        {"cut <b here", {"cut "}, false},       // an unclosed "<" swallows the rest
        {"a<xyz>b<>c<9 9>d<", {"abcd"}, false}, // unknown tags vanish
        {"<z>hidden</z>shown", {"shown"}, false},
    };
    for (const auto& c : cases) {
        const auto r = Render(c.text);
        EXPECT_EQ(Lines(r.canvas), c.lines) << c.text;
        for (const auto& call : r.canvas.Of(Op::Text))
            EXPECT_EQ((call.flags & NoPrefix) != 0, c.noPrefix) << c.text;
    }
    EXPECT_FALSE(Render("&lt;b&gt;x").canvas.FindText("<b>x")->font.bold);
    EXPECT_EQ(Render("<z>hidden</z>shown").result.plainText, "hiddenshown");
    // Entities are replaced as long as any is found: "&amp;" leaves an "&" that starts another.
    EXPECT_EQ(Render("&amp;amp;").result.plainText, "&&&");
}

TEST(Markup, EmptyTextIsOneLineHigh) {
    const auto r = Render("");
    EXPECT_TRUE(r.canvas.calls.empty());
    EXPECT_EQ(r.result.height, h + 2);
    EXPECT_EQ(r.result.width, 2);
    EXPECT_EQ(Render("<br>").result.height, h + 2);
    EXPECT_EQ(Render("a<br><br>").result.height, 2 * h + 2);
}

TEST(Markup, WordWrapKeepsWhatBelongsTogether) {
    const Rect narrow{0, 0, 31, 500}; // 30 pixels: five characters
    const struct {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"aa bb cc", {"aa ", "bb cc"}},
        {"a&nbsp;b&nbsp;c d", {"a b c ", "d"}},    // no break at &nbsp;
        {"<b>bold</b>text x", {"boldtext ", "x"}}, // no break where a tag touches a word
        {"a verylongword b", {"a ", "verylongword ", "b"}},
        {"verylongword", {"verylongword"}},
        // Characters of several bytes are measured and kept whole.
        {"\u65E5\u672C \u8A9E\u8A9E ab", {"\u65E5\u672C ", "\u8A9E\u8A9E ab"}},
        {"\U0001F44D\U0001F3FD \U0001F44D\U0001F3FD x",
         {"\U0001F44D\U0001F3FD ", "\U0001F44D\U0001F3FD x"}},
        // A combining mark after a blank stays with the blank: no break before it.
        {"ab \u0301cd ef", {"ab \u0301cd ", "ef"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Lines(Render(c.text, {}, narrow).canvas), c.lines) << c.text;

    // A word wider than the line stands alone and is cut at the rectangle's right edge.
    const auto r = Render("a verylongword b", {}, narrow);
    EXPECT_EQ(r.canvas.FindText("verylongword ")->rect, (Rect{1, h, 31, 2 * h}));
    EXPECT_EQ(r.result.width, 13 * cw - cw + 2); // its trailing space does not count
}

TEST(Markup, WithoutWordWrapLinesEndInAnEllipsisAndLaterLinesStay) {
    const Rect narrow{0, 0, 31, 500};
    const auto r = Render("<b>x</b> and more text<br>next", {.wordWrap = false}, narrow);
    EXPECT_EQ(Lines(r.canvas), (std::vector<std::string>{"x and more text", "next"}));
    for (const auto& call : r.canvas.Of(Op::Text)) {
        EXPECT_TRUE(call.flags & EndEllipsis);
        EXPECT_EQ(call.rect.right, 31);
    }
}

TEST(Markup, DrawingStopsAtTheBottomButMeasuringDoesNot) {
    const std::string text = "1<br>2<br>3<br>4";
    const Rect area{0, 0, 100, 3 * h - 1}; // the third line would not fit
    const auto drawn = Render(text, {}, area);
    EXPECT_EQ(Lines(drawn.canvas), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(drawn.result.height, 2 * h + 2);
    EXPECT_EQ(Render(text, {.mode = MarkupMode::MeasureOnly}, area).result.height, 4 * h + 2);
}

TEST(Markup, FontTagsAndColours) {
    const auto r =
        Render("<b>B</b><i>I</i><u>U</u><s>S</s>"
               "<font face=\"Arial\" size=\"5\" color=\"clRed\" bgcolor=\"#00FF00\">F</font>"
               "<font bgcolor=\"#123456\" color=\"#0000FF\">G</font>"
               "<font color=\"nonsense\" size=\"x\">H</font>"
               "<font color=\"clHighlight\">J</font>K");
    const auto& c = r.canvas;
    EXPECT_TRUE(c.FindText("B")->font.bold);
    EXPECT_TRUE(c.FindText("I")->font.italic);
    EXPECT_TRUE(c.FindText("U")->font.underline);
    EXPECT_TRUE(c.FindText("S")->font.strikeOut);
    const auto* f = c.FindText("F");
    EXPECT_EQ(f->font.face, "ARIAL"); // names reach the font system in upper case
    EXPECT_EQ(f->font.height, 21);    // 16 points at 96 dots per inch
    EXPECT_EQ(f->font.color, Color{0xFF0000});
    EXPECT_EQ(f->color, Color{0x00FF00});
    EXPECT_FALSE(f->font.bold || f->font.italic || f->font.underline || f->font.strikeOut);
    EXPECT_EQ(c.FindText("G")->font.color, Color{0x0000FF}); // not the value of BGCOLOR
    EXPECT_EQ(c.FindText("G")->color, Color{0x123456});
    EXPECT_EQ(c.FindText("H")->font.color, Color{}); // an unknown name is black
    EXPECT_EQ(c.FindText("H")->font.height, 0);      // a size that is no number: 0 points
    EXPECT_EQ(c.FindText("J")->font.color, c.SystemColor(DesktopColor::Highlight));
    const auto* k = c.FindText("K"); // the end tag returns to the default font
    EXPECT_EQ(k->font, DefaultTestFont());
    EXPECT_EQ(k->color, std::nullopt);
    EXPECT_EQ(c.GetFont(), DefaultTestFont()); // the canvas is as before
}

TEST(Markup, LinksAreNumberedColouredAndHitTested) {
    const std::string text = "see <a href=\"http://Example.com\">the site</a> or "
                             "<a href=\"mailto:me@example.com\">mail</a>";
    MarkupOptions options{.linkColor = Color{0x0000FF}};
    const auto r = Render(text, options);
    EXPECT_EQ(r.result.linkCount, 2);
    const auto* site = r.canvas.FindText("site");
    EXPECT_EQ(site->font.color, Color{0x0000FF});
    EXPECT_TRUE(site->font.underline);
    EXPECT_EQ(r.canvas.FindText(" ")->font, DefaultTestFont());

    // "see " 5..29, "the " 29..53, "site" 53..77, " or " 77..101, "mail" 101..125
    const struct {
        Point point;
        int link;
        const char* target;
        Rect rect;
    } hits[] = {
        {{30, 21}, 1, "http://Example.com", {29, 21, 77, 35}},
        {{76, 34}, 1, "http://Example.com", {29, 21, 77, 35}},
        {{101, 30}, 2, "mailto:me@example.com", {101, 21, 125, 35}},
        {{28, 30}, -1, "", {}},
        {{80, 30}, -1, "", {}},
        {{60, 35}, -1, "", {}},
    };
    for (const auto& hit : hits) {
        options.mode = MarkupMode::HitTest;
        options.point = hit.point;
        const auto t = Render(text, options);
        EXPECT_TRUE(t.canvas.Of(Op::Text).empty());
        EXPECT_EQ(t.result.onLink, hit.link > 0) << hit.point.x << "," << hit.point.y;
        EXPECT_EQ(t.result.linkUnderPoint, hit.link) << hit.point.x << "," << hit.point.y;
        EXPECT_EQ(t.result.linkTarget, hit.target);
        if (hit.link > 0) {
            EXPECT_EQ(t.result.linkRect, hit.rect);
        }
    }
}

TEST(Markup, LinkRectangleOnALaterLineStartsAtTheLineEdge) {
    const Rect narrow{0, 0, 61, 500}; // "see the " fits, "site" wraps
    const auto t = Render("see <a href=\"x\">the site</a>",
                          {.mode = MarkupMode::HitTest, .point = {10, 20}}, narrow);
    EXPECT_TRUE(t.result.onLink);
    EXPECT_EQ(t.result.linkRect, (Rect{1, h, 25, 2 * h}));
}

TEST(Markup, LinksHitOnlyInTheLowestBandOfALine) {
    // Size 5 is 21 pixels, its line 24 high; the band of one "gh" is its lowest 14 rows.
    const std::string text = "<font size=\"5\">Big</font> <a href=\"x\">link</a>";
    for (const auto& [y, hit] : {std::pair{21 + 24 - h - 1, false},
                                 {21 + 24 - h, true},
                                 {21 + 23, true},
                                 {21 + 24, false}}) {
        const auto t = Render(text, {.mode = MarkupMode::HitTest, .point = {50, y}});
        EXPECT_EQ(t.result.onLink, hit) << y;
    }
}

TEST(Markup, HoverStyleUnderlinesOnlyTheHoveredLink) {
    const auto r =
        Render("<a href=\"1\">one</a> <a href=\"2\">two</a>", {.hoverLink = 2,
                                                               .hoverStyle = true,
                                                               .linkColor = Color{0x0000FF},
                                                               .hoverBackground = Color{0xFFFF00},
                                                               .hoverTextColor = Color{0xFF0000}});
    const auto* one = r.canvas.FindText("one");
    const auto* two = r.canvas.FindText("two");
    EXPECT_FALSE(one->font.underline);
    EXPECT_EQ(one->font.color, Color{0x0000FF});
    EXPECT_EQ(one->color, std::nullopt);
    EXPECT_TRUE(two->font.underline);
    EXPECT_EQ(two->font.color, Color{0xFF0000});
    EXPECT_EQ(two->color, Color{0xFFFF00});

    const auto focus = Render("<a href=\"1\">one</a> <a href=\"2\">two</a>", {.focusLink = 2});
    EXPECT_EQ(focus.result.focusTarget, "2");
    ASSERT_EQ(focus.canvas.Of(Op::Focus).size(), 1u);
    EXPECT_EQ(focus.canvas.Of(Op::Focus)[0].rect, (Rect{5 + 4 * cw, 21, 5 + 7 * cw, 21 + h}));
}

TEST(Markup, ParagraphAlignmentIndentAndBackground) {
    const auto r = Render("<p align=\"center\">ab</p><p align=\"right\" indent=\"3\">cd</p>"
                          "<p align=\"left\" bgcolor=\"clYellow\" bgcolorto=\"clRed\">ef<br>gh</p>"
                          "ij");
    const auto& c = r.canvas;
    EXPECT_EQ(c.FindText("ab")->rect.left, 5 + (271 - 12) / 2);
    EXPECT_EQ(c.FindText("cd")->rect.left, 276 - 12 + 3);
    EXPECT_EQ(c.FindText("ef")->rect.left, 5 + 3);
    // The line of the tag gets a gradient of 64 bands, the next line a plain fill, then none.
    const auto fills = c.Of(Op::Fill);
    ASSERT_EQ(fills.size(), 65u);
    EXPECT_EQ(fills.front().rect, (Rect{4, 21 + 2 * h, 8, 21 + 3 * h}));
    EXPECT_EQ(fills.front().color, Color{0xFFFF00});
    EXPECT_EQ(fills[63].color, Color{0xFF0000});
    EXPECT_EQ(fills[63].rect.right, 276);
    EXPECT_EQ(fills[64].rect, (Rect{4, 21 + 3 * h, 276, 21 + 4 * h}));
    EXPECT_EQ(fills[64].color, Color{0xFFFF00});
    EXPECT_EQ(Lines(c).size(), 5u);
}

TEST(Markup, ListsIndentAndBullet) {
    const auto r = Render("<ul><li>one</li><li>two<li>three</li></ul>after");
    const auto& c = r.canvas;
    EXPECT_EQ(Lines(c),
              (std::vector<std::string>{"\u2022one", "\u2022two", "\u2022three", "after"}));
    const auto* one = c.FindText("one");
    EXPECT_EQ(one->rect.left, 5 + 12);
    const auto bullets = [&] {
        std::vector<RecordingCanvas::Call> found;
        for (const auto& call : c.Of(Op::Text))
            if (call.text == "\u2022") found.push_back(call);
        return found;
    }();
    ASSERT_EQ(bullets.size(), 3u);
    EXPECT_EQ(bullets[0].rect.left, 5);
    EXPECT_EQ(bullets[0].rect.top, one->rect.top);
    EXPECT_EQ(c.FindText("after")->rect.left, 5);
    // <ul> ends a line of its own; </li> and a second <li> end theirs.
    EXPECT_EQ(one->rect.top, 21 + h);
    EXPECT_EQ(c.FindText("three")->rect.top, 21 + 3 * h);
    // Even levels get an "o".
    EXPECT_EQ(Lines(Render("<ul><ul><li>x").canvas), std::vector<std::string>{"ox"});
}

TEST(Markup, DistancesGrowWithTheCanvasDensity) {
    // At 144 pixels per inch: the list's 12-pixel step is 18, a 24-pixel indent 36, a tab
    // stop at 100 is at 150, and a 10-point font 20 pixels high instead of 13.
    const auto at144 = [](std::string_view text) {
        auto r = std::make_unique<Rendered>();
        r->canvas.pixelsPerInch = 144;
        r->result = DrawMarkup(r->canvas, text, Area);
        return r;
    };
    EXPECT_EQ(at144("<ul><li>one")->canvas.FindText("one")->rect.left, 5 + 18);
    EXPECT_EQ(at144("<p indent=\"24\">two")->canvas.FindText("two")->rect.left, 5 + 36);
    EXPECT_EQ(at144("<ind x=\"100\">three")->canvas.FindText("three")->rect.left, 5 + 150 - 1);
    EXPECT_EQ(at144("<font size=\"2\">four")->canvas.FindText("four")->font.height, 20);
}

TEST(Markup, SubscriptSuperscriptAndRule) {
    // Quarter of 14 is 3: the line grows by 3 for each, and the rule follows its bottom less
    // the subscript extra.
    const auto r = Render("a<sub>b</sub><sup>c</sup><hr>d");
    const auto& c = r.canvas;
    const int bottom = 21 + h + 3; // top + height + superscript extra
    EXPECT_EQ(c.FindText("a")->rect.bottom, bottom);
    EXPECT_EQ(c.FindText("b")->rect.bottom, bottom + 3);
    EXPECT_EQ(c.FindText("c")->rect.bottom, bottom - 3);
    EXPECT_EQ(c.Of(Op::Line)[0].rect.top, 21 + h + 3 + 1);
    EXPECT_EQ(c.FindText("d")->rect.top, 21 + h + 6);
}

// Which names a tag is taken by: some only as written, most by their first letters, and an
// end tag may be taken by a wider rule than its start tag.
TEST(Markup, TagsAreTakenByTheirNameOrItsFirstLetters) {
    struct Case {
        std::string_view text; // ends in "x", whose font is checked
        bool bold, italic, underline, strikeOut;
        Color color;
    } cases[] = {
        {"<b>x", true, false, false, false, {}},
        {"<bold>x", false, false, false, false, {}},   // only "<B>" is bold
        {"<b>a</bx>x", true, false, false, false, {}}, // "</BX>" ends blinking, not bold
        {"<iX>x", false, false, false, false, {}},
        {"<u>a</ul>x", false, false, false, false, {}}, // no list is open: ends underlining
        {"<strike>x", false, false, false, false, {}},
        {"<fontish color=\"clred\">x", false, false, false, false, Color{0xFF0000}},
        {"<font color=\"clred\">a</f>x", false, false, false, false, {}},
        {"<anchor>a</Aside>x", false, false, false, false, {}}, // the link and its underline end
        {"<hi>a</h1>x", false, false, false, false, {}},
        {"<s>a</strike>x", false, false, false, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto r = Render(c.text);
        const auto* x = r.canvas.FindText("x");
        ASSERT_NE(x, nullptr);
        EXPECT_EQ(x->font.bold, c.bold);
        EXPECT_EQ(x->font.italic, c.italic);
        EXPECT_EQ(x->font.underline, c.underline);
        EXPECT_EQ(x->font.strikeOut, c.strikeOut);
        EXPECT_EQ(x->font.color, c.color);
    }
    // Start tags by their first two letters: "<BRK>" breaks the line, "<HRULE>" draws a rule,
    // "<OFFSET>" and "<INDENT>" move the text.
    EXPECT_EQ(Lines(Render("a<brk>b").canvas), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Render("a<hrule>b").canvas.Of(Op::Line).size(), 1u);
    EXPECT_EQ(Render("<offset x=\"30\">a").canvas.FindText("a")->rect.left, Area.left + 1 + 30);
    EXPECT_EQ(Render("<indent x=\"30\">a").canvas.FindText("a")->rect.left, Area.left + 30);
}

TEST(Markup, ShadowBlinkErrorHighlightAndRotation) {
    RecordingCanvas c;
    c.SetTextBackground(Color{0xEEEEEE});
    DrawMarkup(c, "<sh>s</sh><blink>b</blink><e>err</e><hi>h</hi><r a=\"90\">r</r>", Area,
               {.shadowOffset = 2, .blinkPhase = false, .shadowColor = Color{0x808080}});
    const auto texts = c.Of(Op::Text);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "s");
    EXPECT_EQ(texts[0].font.color, Color{0x808080});
    EXPECT_EQ(texts[0].rect, (Rect{7, 23, 278, 21 + h + 2}));
    EXPECT_EQ(texts[0].color, std::nullopt);
    EXPECT_EQ(texts[1].rect, (Rect{5, 21, 276, 21 + h}));
    EXPECT_EQ(c.FindText("b")->font.color, Color{0xEEEEEE}); // off phase: the background
    EXPECT_EQ(c.FindText("h")->font.color, c.SystemColor(DesktopColor::HighlightText));
    EXPECT_EQ(c.FindText("h")->color, c.SystemColor(DesktopColor::Highlight));
    EXPECT_EQ(c.FindText("r")->font.escapement, 900);
    EXPECT_EQ(c.FindText("r")->color, std::nullopt);
    const auto zigzag = c.Of(Op::Line);
    ASSERT_EQ(zigzag.size(), 9u); // 18 pixels in steps of 2
    EXPECT_EQ(zigzag[0].color, Color{0xFF0000});
    EXPECT_EQ(zigzag[0].rect.left, 5 + 2 * cw);
    EXPECT_EQ(c.TextBackground(), Color{0xEEEEEE});

    RecordingCanvas transparent; // no background to blink in: the text is not drawn
    DrawMarkup(transparent, "<blink>b</blink>x", Area, {.blinkPhase = false});
    EXPECT_EQ(Lines(transparent), std::vector<std::string>{"x"});
}

TEST(Markup, OnlyTheProgramsImageListGivesPictures) {
    const std::vector<Bitmap> images{Picture(16, 20)};
    const MarkupOptions options{.images = images};
    const auto r =
        Render("a<img src=\"idx:0\">b<img src=\"IDX:0\" width=\"8\" height=\"4\">c", options);
    const auto pictures = r.canvas.Of(Op::Bitmap);
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0].rect, (Rect{5 + cw, 21, 5 + cw + 16, 21 + 20}));
    EXPECT_EQ(pictures[0].color, Color{0x123456}); // its bottom-left pixel is transparent
    EXPECT_EQ(pictures[1].rect, (Rect{5 + 2 * cw + 16, 41 - 4, 5 + 2 * cw + 24, 41}));
    EXPECT_EQ(r.canvas.FindText("b")->rect, (Rect{5 + cw + 16, 21, 276, 41}));
    EXPECT_EQ(r.result.height, 20 + 2);

    // Sources outside the program draw nothing and take no room.
    for (const char* source : {"http://example.com/a.png", "SSYS:c:\\windows\\notepad.exe",
                               "LSYS:notes.txt", "picture", "IDX:1", "IDX:-1", "IDX:x"}) {
        const auto n = Render(std::string("a<img src=\"") + source + "\">b", options);
        EXPECT_TRUE(n.canvas.Of(Op::Bitmap).empty()) << source;
        EXPECT_EQ(n.canvas.FindText("b")->rect.left, 5 + cw) << source;
        EXPECT_EQ(n.result.height, h + 2) << source;
    }
}

TEST(Markup, BodyFillsTheRectangleBehindEverything) {
    const auto r = Render("text<body bgcolor=\"clWhite\">");
    ASSERT_FALSE(r.canvas.calls.empty());
    EXPECT_EQ(r.canvas.calls[0].op, Op::Fill);
    EXPECT_EQ(r.canvas.calls[0].rect, Area);

    const auto v = Render("<body bgcolor=\"#000000\" bgcolorto=\"#FFFFFF\" dir=\"v\">");
    const auto bands = v.canvas.Of(Op::Fill);
    ASSERT_EQ(bands.size(), 64u);
    EXPECT_EQ(bands[0].rect, (Rect{4, 21, 276, 23}));
    EXPECT_EQ(bands[63].color, Color{0xFFFFFF});

    const std::vector<Bitmap> images{Picture(100, 100)};
    RecordingCanvas c;
    c.SetClipRect(Rect{0, 0, 150, 150});
    DrawMarkup(c, "<body background=\"IDX:0\">", Area, {.images = images});
    const auto tiles = c.Of(Op::Bitmap);
    ASSERT_EQ(tiles.size(), 4u); // those reaching (4, 21)-(150, 150)
    EXPECT_EQ(tiles[3].rect, (Rect{104, 121, 204, 221}));
    EXPECT_EQ(tiles[0].clip, (Rect{4, 21, 150, 150}));
    EXPECT_EQ(c.ClipRect(), (Rect{0, 0, 150, 150}));
}

TEST(Markup, InAndOfMoveTheStartOfText) {
    const auto r = Render("a<in x=\"50\">b<br><of x=\"20\">c</of><br>d");
    EXPECT_EQ(r.canvas.FindText("b")->rect.left, 4 + 50);
    EXPECT_EQ(r.canvas.FindText("c")->rect.left, 5 + 20);
    EXPECT_EQ(r.canvas.FindText("d")->rect.left, 5);
}

TEST(Markup, LineSpacingAndSelectedColours) {
    const auto spaced = Render("a<br>b", {.lineSpacing = 3});
    EXPECT_EQ(spaced.canvas.FindText("b")->rect.top, 21 + h + 3);
    EXPECT_EQ(spaced.result.height, 2 * (h + 3) + 2);

    RecordingCanvas c;
    Font white = DefaultTestFont();
    white.color = Color{0xFFFFFF};
    c.SetFont(white);
    c.SetTextBackground(Color{0x000080});
    DrawMarkup(c, "<font color=\"clRed\">x</font><a href=\"y\">y</a>", Area,
               {.selected = true, .linkColor = Color{0x0000FF}});
    for (const auto& call : c.Of(Op::Text)) {
        EXPECT_EQ(call.font.color, Color{0xFFFFFF});
        EXPECT_EQ(call.color, Color{0x000080});
    }
}

TEST(Markup, PlainTextIsWhatAScreenReaderSays) {
    const struct {
        std::string text, spoken;
    } cases[] = {
        {"Quillet<br>Date/Time: Daily 09:00 AM<hr><br>Call home",
         "Quillet|Date/Time: Daily 09:00 AM|Call home"},
        {"<B>bold</B> &amp; <FONT color=\"#FF0000\">red</FONT>&nbsp;&lt;tag&gt;",
         "bold & red <tag>"},
        {"<A href=\"http://x\">a link</A>   after", "a link after"},
        {"  first\r\n\r\n<BR>second line  ", "first|second line"},
        // Long lines are not wrapped: a screen reader reads on.
        {std::string(500, 'w') + " " + std::string(500, 'v'),
         std::string(500, 'w') + " " + std::string(500, 'v')},
        {"", ""},
        {"<B></B>", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(MarkupPlainText(c.text, "|"), c.spoken) << c.text;
}

TEST(MarkupLayout, LinksAreListedWithTheirWordsTargetsAndPlaces) {
    RecordingCanvas canvas;
    const MarkupLayout layout(canvas,
                              "See <A href=\"http://a\">the <B>first</B> one</A> and<BR>"
                              "<A href=\"mailto:b\">second &amp; last</A>",
                              {0, 0, 300, 200}, {});
    const std::vector<MarkupLink> links = layout.Links();
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].text, "the first one");
    EXPECT_EQ(links[0].target, "http://a");
    EXPECT_EQ(links[1].text, "second & last");
    EXPECT_EQ(links[1].target, "mailto:b");
    // Where LinkAt finds them.
    for (int n = 1; n <= 2; ++n) {
        const Rect& r = links[n - 1].rect;
        EXPECT_EQ(layout.LinkAt({r.left + 1, r.bottom - 2}, 200), n);
        EXPECT_EQ(layout.LinkAt({r.right + 1, r.bottom - 2}, 200), -1) << n;
    }
}

TEST(Canvas, GradientBandsStepEvenlyAndCoverTheRectangle) {
    RecordingCanvas c;
    c.GradientBands({0, 0, 10, 5}, Color{0x000000}, Color{0xFF0000}, 4,
                    GradientDirection::Horizontal);
    const auto bands = c.Of(Op::Fill);
    ASSERT_EQ(bands.size(), 4u);
    EXPECT_EQ(bands[0].rect, (Rect{0, 0, 2, 5}));
    EXPECT_EQ(bands[1].rect, (Rect{2, 0, 5, 5}));
    EXPECT_EQ(bands[3].rect, (Rect{7, 0, 10, 5}));
    EXPECT_EQ(bands[1].color, Color{0x550000});
    EXPECT_EQ(bands[3].color, Color{0xFF0000});
    c.calls.clear();
    c.GradientBands({0, 0, 2, 2}, Color{}, Color{}, 16, GradientDirection::Vertical);
    EXPECT_EQ(c.Of(Op::Fill).size(), 2u); // empty bands are skipped
}

TEST(MarkupLayout, DrawsMeasuresAndHitTestsAsDrawMarkupAtEveryScroll) {
    const std::string text =
        "<body bgcolor=\"#FFEEDD\"><p bgcolor=\"#112233\">Quillet</p><br>Date/Time: Daily "
        "09:00 AM<hr><br>Call <a href=\"http://example.com\">home about the weekend</a> and "
        "book <b>the table</b> for eight<br><ul><li>milk<li>eggs</ul>see <a href=\"x\">the "
        "plan</a> before Friday, then <font size=\"5\">relax</font> a little";
    const MarkupOptions options{.hoverLink = 2,
                                .shadowOffset = 1,
                                .hoverStyle = true,
                                .linkColor = Color{0x0000FF},
                                .shadowColor = Color{0x808080}};
    const Rect narrow{4, 21, 120, 80}; // the text runs far below this
    RecordingCanvas canvas;
    const MarkupLayout layout(canvas, text, narrow, options);
    EXPECT_TRUE(canvas.calls.empty()) << "laying out draws nothing";

    MarkupOptions measuring = options;
    measuring.mode = MarkupMode::MeasureOnly;
    const MarkupResult measured = DrawMarkup(canvas, text, narrow, measuring);
    EXPECT_EQ(layout.Result().height, measured.height);
    EXPECT_EQ(layout.Result().width, measured.width);
    EXPECT_EQ(layout.Result().plainText, measured.plainText);
    EXPECT_EQ(layout.Result().linkCount, 2);

    // What each draws, call by call.
    auto drawn = [](const RecordingCanvas& c) {
        std::vector<std::string> calls;
        for (const auto& call : c.calls) {
            std::ostringstream line;
            line << int(call.op) << " " << call.rect.left << "," << call.rect.top << ","
                 << call.rect.right << "," << call.rect.bottom << " " << call.text << " "
                 << call.font.height << call.font.bold << call.font.underline << " "
                 << (call.color ? call.color->rgb : 1u << 31) << " " << call.flags;
            calls.push_back(line.str());
        }
        return calls;
    };
    int linksHit = 0;
    for (const int scroll : {0, 3, 14, 40, 75}) {
        for (const int bottom : {narrow.bottom, narrow.bottom + 37}) {
            SCOPED_TRACE("scroll " + std::to_string(scroll) + ", bottom " + std::to_string(bottom));
            RecordingCanvas once, each;
            layout.Draw(once, scroll, bottom);
            DrawMarkup(each, text, {narrow.left, narrow.top - scroll, narrow.right, bottom},
                       options);
            EXPECT_FALSE(once.calls.empty());
            EXPECT_EQ(drawn(once), drawn(each));

            for (int y = narrow.top; y < bottom; y += 4) {
                for (int x = narrow.left; x < narrow.right; x += 7) {
                    MarkupOptions hit = options;
                    hit.mode = MarkupMode::HitTest;
                    hit.point = {x, y};
                    const Rect shown{narrow.left, narrow.top - scroll, narrow.right, bottom};
                    const int link = layout.LinkAt({x, y + scroll}, bottom + scroll);
                    EXPECT_EQ(link, DrawMarkup(canvas, text, shown, hit).linkUnderPoint)
                        << x << "," << y;
                    linksHit += link > 0;
                }
            }
        }
    }
    EXPECT_GT(linksHit, 10);
}
