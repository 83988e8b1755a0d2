// The markup renderer with real GDI, the GDI canvas, and the markup label, under Wine.
#include "alerts/DrawMarkup.h"
#include "app/HTMLabel.h"
#include "tests/support/GdiSurface.h"
#include "win32/Gdi.h"
#include "win32/GdiCanvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace quillet;

namespace {

const quillet::Font Tahoma12{"Tahoma", 12};
const std::string Reminder = "Quillet<br>Date/Time: Daily 09:00 AM<hr><br>Call home";
constexpr Rect TextArea{4, 21, 276, 174};
constexpr Color Black{0x000000};

} // namespace

TEST(MarkupGdi, WorkedExampleWithRealMetrics) {
    Surface surface(300, 200);
    win32::GdiCanvas canvas(surface.dc(), Tahoma12);
    const int h = canvas.TextExtent("gh", 0).height;
    EXPECT_EQ(h, 14);

    const MarkupResult result = DrawMarkup(canvas, Reminder, TextArea);
    EXPECT_EQ(result.height, 4 * h + 2);

    const int rule = 21 + 2 * h + 1;
    EXPECT_EQ(surface.Count({5, rule, 276, rule + 1}, [](Color c) { return c == Black; }), 271);
    EXPECT_EQ(surface.At(4, rule), kWhite);
    EXPECT_EQ(surface.At(276, rule), kWhite);

    // Each line's ink lies in its own band of h rows, from x 5 on; line 3 holds only the rule.
    EXPECT_EQ(surface.Ink({0, 0, 300, 21}), 0);
    EXPECT_GT(surface.Ink({5, 21, 276, 21 + h}), 0);
    EXPECT_GT(surface.Ink({5, 21 + h, 276, 21 + 2 * h}), 0);
    EXPECT_EQ(surface.Ink({0, 21 + 2 * h, 300, 21 + 3 * h}), 271);
    EXPECT_GT(surface.Ink({5, 21 + 3 * h, 276, 21 + 4 * h}), 0);
    EXPECT_EQ(surface.Ink({0, 21 + 4 * h, 300, 200}), 0);
    EXPECT_EQ(surface.Ink({0, 0, 5, 200}), 0);
    EXPECT_EQ(surface.Ink({276, 0, 300, 200}), 0);
}

TEST(MarkupGdi, BoldLinkRuleAndWrappedTextAreWhereTheyBelong) {
    Surface surface(300, 200);
    win32::GdiCanvas canvas(surface.dc(), Tahoma12);
    const int h = canvas.TextExtent("gh", 0).height;
    const std::string text = "<b>Bold</b> plain <a href=\"http://example.com\">link</a><hr>"
                             "one two three four five six seven eight nine ten eleven twelve "
                             "thirteen fourteen fifteen sixteen seventeen";
    const MarkupOptions options{.linkColor = Color{0x0000FF}};
    EXPECT_EQ(DrawMarkup(canvas, text, TextArea, options).height, 4 * h + 2);

    // Bold: more ink than the same word drawn plain.
    Surface bold(100, 30), plain(100, 30);
    win32::GdiCanvas boldCanvas(bold.dc(), Tahoma12), plainCanvas(plain.dc(), Tahoma12);
    DrawMarkup(boldCanvas, "<b>Bold</b>", {0, 0, 100, 30});
    DrawMarkup(plainCanvas, "Bold", {0, 0, 100, 30});
    EXPECT_GT(bold.Ink({0, 0, 100, 30}), plain.Ink({0, 0, 100, 30}) * 5 / 4);

    // The link: blue, and only where hit-testing finds it.
    MarkupOptions hit = options;
    hit.mode = MarkupMode::HitTest;
    hit.point = {200, 21 + h / 2};
    for (hit.point.x = 5; hit.point.x < 276; ++hit.point.x)
        if (DrawMarkup(canvas, text, TextArea, hit).onLink) break;
    const Rect link = DrawMarkup(canvas, text, TextArea, hit).linkRect;
    ASSERT_LT(hit.point.x, 276);
    EXPECT_EQ(link.top, 21);
    EXPECT_EQ(link.bottom, 21 + h);
    EXPECT_GT(surface.Count(link, IsBlue), 10);
    EXPECT_EQ(surface.Count({0, 0, 300, 200}, IsBlue), surface.Count(link, IsBlue));
    EXPECT_GT(surface.Ink({5, 21, link.left, 21 + h}), 0); // "Bold plain" before it

    // The rule under the first line, the note wrapped onto the next two lines within the area.
    EXPECT_EQ(surface.Count({5, 21 + h + 1, 276, 21 + h + 2}, [](Color c) { return c == Black; }),
              271);
    EXPECT_GT(surface.Ink({5, 21 + h + 2, 276, 21 + 2 * h}), 0);
    EXPECT_GT(surface.Ink({5, 21 + 2 * h, 276, 21 + 3 * h}), 0);
    EXPECT_GT(surface.Ink({5, 21 + 3 * h, 276, 21 + 4 * h}), 0);
    EXPECT_EQ(surface.Ink({276, 0, 300, 200}), 0);
}

TEST(GdiCanvas, PrimitivesDrawWhereTheySay) {
    Surface surface(40, 40);
    {
        win32::GdiCanvas canvas(surface.dc(), Tahoma12);
        canvas.Line({2, 1}, {6, 1}, Black); // the end point is not drawn
        canvas.FrameRect({10, 10, 14, 14}, Color{0xFF0000});
        canvas.SetPixel({20, 20}, Color{0x00FF00});
        // A 2 x 2 bitmap scaled into 8 x 8, its magenta quarter transparent.
        const Bitmap bitmap{
            2, 2, {Color{0xFF00FF}, Color{0x0000FF}, Color{0x0000FF}, Color{0x0000FF}}};
        canvas.DrawBitmap(bitmap, {24, 24, 32, 32}, Color{0xFF00FF});
        canvas.SetClipRect(Rect{0, 30, 10, 40});
        canvas.FillRect({0, 0, 40, 40}, Color{0x00FFFF});
        canvas.SetClipRect(std::nullopt);
        EXPECT_EQ(canvas.SystemColor(DesktopColor::Highlight),
                  Color::FromRgb(GetRValue(GetSysColor(COLOR_HIGHLIGHT)),
                                 GetGValue(GetSysColor(COLOR_HIGHLIGHT)),
                                 GetBValue(GetSysColor(COLOR_HIGHLIGHT))));
        EXPECT_EQ(canvas.PixelsPerInch(), 96);
    }
    EXPECT_EQ(surface.Ink({0, 0, 40, 3}), 4);
    EXPECT_EQ(surface.At(5, 1), Black);
    EXPECT_EQ(surface.At(6, 1), kWhite);
    EXPECT_EQ(surface.At(10, 13), Color{0xFF0000});
    EXPECT_EQ(surface.At(11, 11), kWhite);
    EXPECT_EQ(surface.At(20, 20), Color{0x00FF00});
    EXPECT_EQ(surface.At(25, 25), kWhite);
    EXPECT_EQ(surface.At(30, 25), Color{0x0000FF});
    EXPECT_EQ(surface.At(25, 30), Color{0x0000FF});
    EXPECT_EQ(surface.Count({0, 0, 40, 40}, [](Color c) { return c == Color{0x00FFFF}; }), 100);
    EXPECT_EQ(surface.At(5, 35), Color{0x00FFFF});
}

namespace {

// A top-level window at a known place to hold labels; it need not be shown.
class Host {
public:
    Host() {
        hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 100, 100, 300, 120,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    ~Host() { DestroyWindow(hwnd_); }
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_;
};

} // namespace

TEST(HTMLabel, OpensWebAndMailLinksAndHandsOtherTargetsToItsEvent) {
    Host host;
    THTMLabel label;
    label.HTMLText = "<a href=\"http://example.com\">web</a><br><a href=\"mailto:me@example.com\">"
                     "mail</a><br><a href=\"note\">note</a><br>plain";
    std::vector<std::string> opened, anchors;
    label.OpenLink = [&](const std::string& target) { opened.push_back(target); };
    label.OnAnchorClick = [&](const std::string& target) { anchors.push_back(target); };
    label.Create(host.get(), 10, 10, 200, 80);

    // Lines are 14 pixels high; each link starts at x 1.
    for (int line = 0; line < 4; ++line)
        SendMessageA(label.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 14 * line + 7));
    SendMessageA(label.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 7)); // beside "web"
    EXPECT_EQ(opened, (std::vector<std::string>{"http://example.com", "mailto:me@example.com"}));
    EXPECT_EQ(anchors, std::vector<std::string>{"note"});
}

TEST(HTMLabel, PointsWithAHandOverLinks) {
    Host host;
    THTMLabel label;
    label.HTMLText = "<a href=\"http://example.com\">web</a> plain";
    label.Create(host.get(), 10, 10, 200, 30);
    const auto cursorAt = [&](int x, int y) {
        POINT screen{x, y};
        ClientToScreen(label.Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageA(label.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(label.Handle()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(cursorAt(5, 7), LoadCursor(nullptr, IDC_HAND));
    EXPECT_EQ(cursorAt(150, 7), LoadCursor(nullptr, IDC_ARROW));
}

TEST(HTMLabel, PaintsItsMarkupOverItsParentsBackground) {
    Host host;
    THTMLabel label;
    label.HTMLText = "<p align=\"center\"><a href=\"http://example.com\">example.com</a></p>";
    label.Font.color = Color{0x083772};
    label.Create(host.get(), 10, 10, 112, 17);
    Surface surface(112, 17);
    SendMessageA(label.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()),
                 PRF_CLIENT);
    // The link is blue and centred; around it the parent's background shows.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const Color background = Color::FromRgb(GetRValue(face), GetGValue(face), GetBValue(face));
    EXPECT_EQ(surface.At(0, 0), background);
    EXPECT_EQ(surface.At(111, 16), background);
    EXPECT_GT(surface.Count({0, 0, 112, 17}, IsBlue), 10);
    EXPECT_EQ(surface.Count({0, 0, 10, 17}, IsBlue), 0);
    EXPECT_EQ(surface.Count({102, 0, 112, 17}, IsBlue), 0);
}
