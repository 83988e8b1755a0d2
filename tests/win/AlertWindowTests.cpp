// The reminder popup for real, under Wine: where and how it appears, its fade-in, the pointer
// and mouse input, its hints, and a screenshot of it.
#include "alerts/AdvAlertWindow.h"
#include "res/resource.h"
#include "tests/support/GdiSurface.h"
#include "tests/win/DialogScript.h"
#include "win32/AlertWindowHost.h"
#include "win32/BitmapResource.h"
#include "win32/GdiCanvas.h"
#include "win32/SystemAlertDesktop.h"
#include "win32/UiThreadWindow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace quillet;
using namespace std::chrono_literals;

namespace {

// A plain top-level window: the main window that owns the popup (hidden, as in the tray), or
// another program's window.
class PlainWindow : public win32::Window {
public:
    PlainWindow(const char* title, bool visible) {
        Create("QuilletTestPlain", {}, 0, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), title,
               400, 40, 300, 200, nullptr);
    }
};

// Dispatches this thread's messages, the fade's hand-overs among them, until done() holds;
// false if it does not within `limit`. Limits are generous, so a fault fails instead of hanging.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 20s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

void PumpFor(std::chrono::milliseconds span) {
    PumpUntil([] { return false; }, span);
}

Point Centre(const Rect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

LPARAM PointParam(Point p) {
    return MAKELPARAM(WORD(short(p.x)), WORD(short(p.y)));
}

struct PopupTest : testing::Test {
    win32::UiThreadWindow ui;
    PlainWindow owner{"Quillet", false};
    win32::SystemAlertDesktop desktop{owner};
    TAdvAlertWindow alert{desktop, ui};

    PopupTest() {
        alert.GlyphClose = win32::LoadBitmapResource(IDB_CLOSE);
        alert.GlyphPrev = win32::LoadBitmapResource(IDB_PREV);
        alert.GlyphNext = win32::LoadBitmapResource(IDB_NEXT);
        alert.GlyphDelete = win32::LoadBitmapResource(IDB_DELETE);
        alert.GlyphSnooze = win32::LoadBitmapResource(IDB_SNOOZE);
        // The pointer far from the popup, so that nothing is hovered unless a test says so.
        SetCursorPos(10, 10);
    }

    void Remind(const std::vector<std::string>& texts) {
        for (const std::string& text : texts) alert.AlertMessages().Add().SetText(text);
        alert.Show();
        alert.LastMessage();
        PumpFor(100ms);
    }
    win32::AlertWindowHost& host() {
        return static_cast<win32::AlertWindowHost&>(alert.Popup()->Host());
    }
    HWND popup() { return host().Handle(); }
    AlertLayout layout() { return alert.Popup()->Layout(); }
    Point OnScreen(Point client) {
        POINT p{client.x, client.y};
        ClientToScreen(popup(), &p);
        return {p.x, p.y};
    }
    // The pointer to a point of the popup for real, then the mouse messages posted there.
    void Post(UINT message, Point client) {
        const Point screen = OnScreen(client);
        SetCursorPos(screen.x, screen.y);
        PostMessageA(popup(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                     PointParam(client));
        PumpFor(50ms);
    }
    void Click(const Rect& button) {
        Post(WM_MOUSEMOVE, Centre(button));
        Post(WM_LBUTTONDOWN, Centre(button));
        Post(WM_LBUTTONUP, Centre(button));
    }
    // The popup's opacity as the desktop has it.
    int Opacity() {
        BYTE alpha = 0;
        DWORD flags = 0;
        COLORREF key = 0;
        if (!GetLayeredWindowAttributes(popup(), &key, &alpha, &flags) || !(flags & LWA_ALPHA))
            return -1;
        return alpha;
    }
};

const std::string Reminder = "Quillet<br>Date/Time: Daily 09:00 AM<hr><br>Call home";

} // namespace

TEST_F(PopupTest, AppearsBottomRightOnTopWithoutTakingTheFocusAndFadesTo180) {
    PlainWindow other("Another program", true);
    const HWND edit =
        CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 24,
                        other.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other.Handle());
    SetFocus(edit);
    PumpFor(200ms);
    ASSERT_EQ(GetFocus(), edit);

    Remind({Reminder});
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT bounds{};
    GetWindowRect(popup(), &bounds);
    EXPECT_EQ(bounds.right, work.right - 2);
    EXPECT_EQ(bounds.bottom, work.bottom);
    EXPECT_EQ(bounds.right - bounds.left, 300);
    EXPECT_EQ(bounds.bottom - bounds.top, 200);

    EXPECT_TRUE(IsWindowVisible(popup()));
    const LONG style = GetWindowLongA(popup(), GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_EX_TOPMOST);
    EXPECT_TRUE(style & WS_EX_LAYERED);
    EXPECT_TRUE(style & WS_EX_TOOLWINDOW); // no taskbar button
    EXPECT_TRUE(style & WS_EX_NOACTIVATE);
    EXPECT_FALSE(style & WS_EX_APPWINDOW);
    EXPECT_EQ(GetWindow(popup(), GW_OWNER), owner.Handle());
    EXPECT_TRUE(GetClassLongA(popup(), GCL_STYLE) & CS_DROPSHADOW);
    EXPECT_LT(Opacity(), 180); // still fading in

    ASSERT_TRUE(PumpUntil([&] { return !alert.Fading(); }));
    EXPECT_EQ(Opacity(), 180);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(GetForegroundWindow(), other.Handle());
    // Wine's theme, "Blue": the classic style with the active caption's colour as border.
    EXPECT_EQ(alert.Style(), asOffice2003Classic);
}

TEST_F(PopupTest, PointerOverMakesItOpaqueAndLeavingRestsItAt180) {
    Remind({Reminder});
    Post(WM_MOUSEMOVE, Centre(layout().text));
    ASSERT_TRUE(PumpUntil([&] { return Opacity() == 255; }));
    EXPECT_TRUE(alert.PointerInside());

    SetCursorPos(10, 10); // off the popup: the desktop reports the pointer leaving
    ASSERT_TRUE(PumpUntil([&] { return !alert.PointerInside(); }));
    EXPECT_EQ(Opacity(), 180);
    PumpUntil([&] { return !alert.Fading(); });
    EXPECT_EQ(Opacity(), 180); // the fade did not resume
}

TEST_F(PopupTest, MouseInputStepsDeletesAndCloses) {
    Remind({"one", "two", "three"});
    ASSERT_EQ(alert.PositionText(), "3 of 3");

    Click(layout().prev);
    EXPECT_EQ(alert.PositionText(), "2 of 3");
    Click(layout().prev);
    EXPECT_EQ(alert.PositionText(), "1 of 3");
    Click(layout().next);
    EXPECT_EQ(alert.PositionText(), "2 of 3");

    // Pressed on the delete button, released over the text: the shown message goes.
    Post(WM_MOUSEMOVE, Centre(layout().del));
    Post(WM_LBUTTONDOWN, Centre(layout().del));
    PostMessageA(popup(), WM_LBUTTONUP, 0, PointParam(Centre(layout().text)));
    PumpFor(50ms);
    EXPECT_EQ(alert.PositionText(), "2 of 2");
    EXPECT_EQ(alert.ShownMessage()->DisplayText(), "three");

    Click(layout().close);
    EXPECT_FALSE(IsWindowVisible(popup()));
    EXPECT_EQ(alert.AlertMessages().Count(), 2);

    // Show Alarms brings both back, on the last one.
    alert.Show();
    alert.LastMessage();
    PumpFor(50ms);
    EXPECT_TRUE(IsWindowVisible(popup()));
    EXPECT_EQ(alert.PositionText(), "2 of 2");
}

TEST_F(PopupTest, TheSnoozeButtonPutsTheReminderAwayAndItsMenuChoosesTheTime) {
    std::vector<std::pair<std::string, int>> snoozed;
    std::vector<int> kept;
    alert.OnSnooze = [&](const std::string& text, int minutes) {
        snoozed.emplace_back(text, minutes);
    };
    alert.OnSnoozeChosen = [&](int minutes) { kept.push_back(minutes); };
    Remind({"one", "two"});
    Click(layout().snooze);
    EXPECT_EQ(snoozed, (std::vector<std::pair<std::string, int>>{{"two", 10}}));
    EXPECT_EQ(alert.AlertMessages().Count(), 1);

    // The right button opens the menu of times, read from inside its loop; the fourth item
    // is chosen with the keyboard.
    static std::vector<std::string> items;
    static int ticked, ticks;
    items.clear();
    ticked = -1;
    ticks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        const HWND menu = test::FindShownWindow("#32768");
        if (menu && items.empty()) {
            const auto handle = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
            for (int i = 0; i < GetMenuItemCount(handle); ++i) {
                char text[64]{};
                GetMenuStringA(handle, i, text, sizeof text, MF_BYPOSITION);
                items.push_back(text);
                if (GetMenuState(handle, i, MF_BYPOSITION) & MF_CHECKED) ticked = i;
            }
            for (int i = 0; i < 4; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        }
        if (++ticks > 200) EndMenu();
    });
    Post(WM_MOUSEMOVE, Centre(layout().snooze));
    Post(WM_RBUTTONDOWN, Centre(layout().snooze));
    Post(WM_RBUTTONUP, Centre(layout().snooze));
    KillTimer(nullptr, timer);
    EXPECT_EQ(items, (std::vector<std::string>{"5 minutes", "10 minutes", "15 minutes",
                                               "30 minutes", "1 hour", "Tomorrow at this time"}));
    EXPECT_EQ(ticked, 1);
    EXPECT_EQ(snoozed.back(), (std::pair<std::string, int>{"one", 30}));
    EXPECT_EQ(kept, std::vector<int>{30});
    EXPECT_FALSE(IsWindowVisible(popup()));
}

TEST_F(PopupTest, HoldingTheScrollButtonRepeatsUntilReleased) {
    std::string tall = "line 1";
    for (int i = 2; i <= 30; ++i) tall += "<br>line " + std::to_string(i);
    Remind({tall});
    ASSERT_TRUE(alert.Popup()->CanScrollDown());
    const Point button = Centre(layout().scrollDown);
    Post(WM_MOUSEMOVE, button);
    Post(WM_LBUTTONDOWN, button);
    // Held: the timer scrolls on by itself.
    ASSERT_TRUE(PumpUntil([&] { return alert.Popup()->ScrollOffset() >= 12; }));
    Post(WM_LBUTTONUP, button);
    const int released = alert.Popup()->ScrollOffset();
    PumpFor(300ms);
    EXPECT_EQ(alert.Popup()->ScrollOffset(), released);
}

TEST_F(PopupTest, DraggedByItsGripBarAndShownThereAgain) {
    Remind({Reminder});
    RECT before{};
    GetWindowRect(popup(), &before);
    Post(WM_MOUSEMOVE, {150, 4});
    Post(WM_LBUTTONDOWN, {150, 4});
    EXPECT_EQ(GetCapture(), popup());
    PostMessageA(popup(), WM_MOUSEMOVE, MK_LBUTTON, PointParam({50, -96}));
    PumpFor(50ms);
    PostMessageA(popup(), WM_LBUTTONUP, 0, PointParam({150, 4}));
    PumpFor(50ms);
    EXPECT_EQ(GetCapture(), nullptr);
    RECT after{};
    GetWindowRect(popup(), &after);
    EXPECT_EQ(after.left, before.left - 100);
    EXPECT_EQ(after.top, before.top - 100);
    EXPECT_EQ(alert.WindowPosition, wpPreset);
    EXPECT_EQ(alert.PopupLeft, after.left);

    Click(layout().close);
    Remind({"later"});
    RECT again{};
    GetWindowRect(popup(), &again);
    EXPECT_EQ(again.left, after.left);
    EXPECT_EQ(again.top, after.top);
}

TEST_F(PopupTest, HintsShowAfterTheUsualDelayButNotOnAGreyButton) {
    Remind({"one", "two", "three"}); // 3 of 3: the next button is grey
    const HWND tooltip = host().Tooltip();
    const auto hintOnShow = [&]() -> std::string {
        if (!IsWindowVisible(tooltip)) return "";
        char text[80]{};
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = popup();
        tool.uId = reinterpret_cast<UINT_PTR>(popup());
        tool.lpszText = text;
        SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
        return text;
    };
    const auto hover = [&](const Rect& button) {
        const Point at = OnScreen(Centre(button));
        SetCursorPos(at.x, at.y);
    };

    hover(layout().close);
    ASSERT_TRUE(PumpUntil([&] { return !hintOnShow().empty(); }, 5s));
    EXPECT_EQ(hintOnShow(), "Close");

    hover(layout().next);
    PumpFor(2s);
    EXPECT_EQ(hintOnShow(), "");
    EXPECT_FALSE(alert.Popup()->Hovered(AlertButton::Next));

    hover(layout().prev);
    ASSERT_TRUE(PumpUntil([&] { return !hintOnShow().empty(); }, 5s));
    EXPECT_EQ(hintOnShow(), "Previous");
}

namespace {

// The whole X display as the X server shows it, taken with ImageMagick, which Wine starts like
// Windows programs; `png` gets the part `crop` of it. An empty picture where it cannot run.
Bitmap ReadScreen(const std::string& png, const Rect& crop) {
    DeleteFileA("screen.ppm");
    const std::string geometry = std::to_string(crop.Width()) + "x" +
                                 std::to_string(crop.Height()) + "+" + std::to_string(crop.left) +
                                 "+" + std::to_string(crop.top);
    std::string command = "/bin/sh -c \"import -display $DISPLAY -window root -depth 8 shot.ppm && "
                          "convert shot.ppm -crop " +
                          geometry + " +repage " + png + " && mv shot.ppm screen.ppm\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process))
        return {};
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Its end cannot be waited for: the picture's arrival tells.
    for (int i = 0; i < 300 && GetFileAttributesA("screen.ppm") == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(100);

    std::ifstream in("screen.ppm", std::ios::binary);
    // The header's fields, each perhaps after comment lines.
    const auto field = [&in] {
        std::string word;
        while (in >> word && word[0] == '#') std::getline(in, word);
        return word;
    };
    const std::string magic = field(), width = field(), height = field(), maxValue = field();
    if (magic != "P6" || maxValue != "255") return {};
    in.get();
    Bitmap screen{std::stoi(width), std::stoi(height), {}};
    screen.pixels.resize(std::size_t(screen.width) * std::size_t(screen.height));
    std::vector<unsigned char> rgb(screen.pixels.size() * 3);
    if (!in.read(reinterpret_cast<char*>(rgb.data()), std::streamsize(rgb.size()))) return {};
    for (std::size_t i = 0; i < screen.pixels.size(); ++i)
        screen.pixels[i] = Color::FromRgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    in.close();
    DeleteFileA("screen.ppm");
    return screen;
}

// As ReadScreen, once the X server shows `window` at `crop`: on a busy machine it may show a
// window's picture a moment after the window has painted it, so a crop that is still all black
// (the bare screen) is read again, for a few seconds at most, with the window painted anew in
// between in case the server dropped the first picture. What it saw then goes to the log.
Bitmap Screenshot(const std::string& png, HWND window, const Rect& crop) {
    for (int attempt = 1;; ++attempt) {
        Bitmap screen = ReadScreen(png, crop);
        if (screen.pixels.empty()) return screen;
        const bool black = [&] {
            for (int y = crop.top; y < crop.bottom; ++y)
                for (int x = crop.left; x < crop.right; ++x)
                    if (screen.At(x, y) != Color{}) return false;
            return true;
        }();
        if (!black) return screen;
        if (attempt == 20) {
            std::fprintf(stderr, "the screen stays black where the window stands: visible %d\n",
                         IsWindowVisible(window));
            return screen;
        }
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(250ms);
    }
}

bool IsDark(Color c) {
    return c.Red() + c.Green() + c.Blue() < 3 * 100;
}

} // namespace

TEST_F(PopupTest, ScreenshotShowsThePositionTextAndTheButtonsWhereTheyBelong) {
    Remind({Reminder, "Quillet<br>Date/Time: 12/09/2026 10:30 AM<hr><br>Dentist, bring the card",
            "Quillet<br>Date/Time: Weekly 04:15 PM<hr><br>Water the plants and <b>take out the "
            "bins</b> before the <a href=\"rota\">rota</a> changes"});
    // Xvfb has no compositor: the popup shows fully opaque at any opacity.
    PumpFor(300ms);
    RECT b{};
    GetWindowRect(popup(), &b);
    const Rect bounds{b.left, b.top, b.right, b.bottom};
    const Bitmap screen = Screenshot("popup.png", popup(), bounds);
    if (screen.pixels.empty()) GTEST_SKIP() << "no ImageMagick to take a screenshot with";
    const auto at = [&](Point client) {
        return screen.At(bounds.left + client.x, bounds.top + client.y);
    };

    // Where the table puts the buttons, with the position text measured in Tahoma.
    const win32::MemoryDc dc(nullptr);
    win32::GdiCanvas canvas(dc.get(), alert.Font);
    const int positionWidth = canvas.TextExtent("2 of 3", NoPrefix).width + 8;
    const AlertLayout l = LayOutAlert(300, 200, 4, 1, positionWidth, 3, true);

    // Each glyph's pixels, at offset (2, 2) in the close button and (2, 4) in the others; the
    // next button's in grey, since 3 of 3 is the last message.
    const struct {
        Rect button;
        Point offset;
        const Bitmap& glyph;
    } glyphs[] = {{l.close, {2, 2}, alert.GlyphClose.Normal()},
                  {l.prev, {2, 4}, alert.GlyphPrev.Normal()},
                  {l.next, {2, 4}, alert.GlyphNext.Greyed()},
                  {l.del, {2, 4}, alert.GlyphDelete.Normal()},
                  {l.snooze, {2, 4}, alert.GlyphSnooze.Normal()}};
    for (const auto& g : glyphs) {
        ASSERT_EQ(g.glyph.width, 16);
        const Color key = g.glyph.At(0, 15);
        int drawn = 0, matching = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                if (g.glyph.At(x, y) == key) continue;
                ++drawn;
                const Point p{g.button.left + g.offset.x + x, g.button.top + g.offset.y + y};
                matching += at(p) == g.glyph.At(x, y);
            }
        EXPECT_GT(drawn, 20);
        EXPECT_EQ(matching, drawn) << "button at " << g.button.left << ", " << g.button.top;
    }

    // "3 of 3" centred above the bottom edge: its ink where the same text drawn alone has ink.
    const Extent text = canvas.TextExtent("3 of 3", NoPrefix);
    const int gt = canvas.TextExtent("gt", NoPrefix).height;
    const Point origin{150 - text.width / 2, 200 - gt - 5};
    const win32::MemoryDc plainDc(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof info.bmiHeader, text.width, -text.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const win32::GdiBitmap plain(
        CreateDIBSection(plainDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    {
        const win32::Selection selected(plainDc.get(), plain.get());
        const RECT all{0, 0, text.width, text.height};
        FillRect(plainDc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        win32::GdiCanvas plainCanvas(plainDc.get(), alert.Font);
        plainCanvas.TextRect({0, 0, text.width, text.height}, "3 of 3", NoPrefix);
        GdiFlush();
    }
    int ink = 0, same = 0, stray = 0;
    for (int y = 0; y < text.height; ++y)
        for (int x = 0; x < text.width; ++x) {
            const Color expected{static_cast<const std::uint32_t*>(bits)[y * text.width + x] &
                                 0xFFFFFF};
            const bool shown = IsDark(at({origin.x + x, origin.y + y}));
            ink += IsDark(expected);
            same += IsDark(expected) && shown;
            stray += !IsDark(expected) && shown;
        }
    EXPECT_GT(ink, 30);
    EXPECT_EQ(same, ink);
    EXPECT_EQ(stray, 0);
    // Nothing dark between the previous button and the text, or the text and the next button.
    int between = 0;
    for (int y = l.prev.top; y < l.prev.bottom; ++y) {
        for (int x = l.prev.right; x < origin.x; ++x) between += IsDark(at({x, y}));
        for (int x = origin.x + text.width; x < l.next.left; ++x) between += IsDark(at({x, y}));
    }
    EXPECT_EQ(between, 0);
}

TEST_F(PopupTest, OnTheScreenTheBlankAfterDateTimeStays) {
    // Without Tahoma GDI takes another face, whose blank may be two pixels wide.
    ASSERT_EQ(FaceOf(alert.Font), "Tahoma");
    Remind({"Quillet<br>Date/Time: 12/10/2026 10:31 AM<hr><br>Call home"});
    PumpFor(300ms);
    RECT b{};
    GetWindowRect(popup(), &b);
    const Bitmap screen =
        Screenshot("one-time-popup.png", popup(), {b.left, b.top, b.right, b.bottom});
    if (screen.pixels.empty()) GTEST_SKIP() << "no ImageMagick to take a screenshot with";

    // The second line of the text area.
    const win32::MemoryDc dc(nullptr);
    const int gh = win32::GdiCanvas(dc.get(), alert.Font).TextExtent("gh", 0).height;
    const Rect text = layout().text;
    const Rect line{b.left + text.left, b.top + text.top + gh, b.left + text.right,
                    b.top + text.top + 2 * gh};
    const std::vector<int> ink = InkColumns(line, [&](int x, int y) { return screen.At(x, y); });
    ASSERT_FALSE(ink.empty());
    const BlankInLine expected =
        DrawnInOnePiece(alert.Font, "Date/Time:", "Date/Time: 12/10/2026 10:31 AM");
    // At least as wide as GDI draws it inside one line. Windows draws text with the widths it
    // measures, so there it is exactly as wide; Wine draws a piece a pixel or two narrower
    // than it measures it, which only widens the blank after it.
    EXPECT_GT(expected.blank, 0);
    EXPECT_GE(BlankAfter(ink, ink.front() + expected.wordsEnd), expected.blank);
}
