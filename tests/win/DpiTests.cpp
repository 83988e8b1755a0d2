// Screen density: every window laid out from its 96-DPI design values at the density it is
// on. tests/win/run-at-dpis.sh runs the suite "Dpi" once for each common density (Wine's
// LogPixels 96, 120, 144 and 192) and names the expected one in QUILLET_EXPECTED_DPI; the
// ordinary run sees the prefix's own density. A window is also told of a move to a monitor
// of another density (WM_DPICHANGED) and must follow.
#include "alerts/AdvAlertWindow.h"
#include "app/Dialogs.h"
#include "app/uAbout.h"
#include "app/uMain.h"
#include "app/uNote.h"
#include "base/Dpi.h"
#include "res/resource.h"
#include "tests/support/GdiSurface.h"
#include "tests/win/DialogScript.h"
#include "win32/AlertWindowHost.h"
#include "win32/BitmapResource.h"
#include "win32/Dpi.h"
#include "win32/SystemAlertDesktop.h"
#include "win32/UiThreadWindow.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

using namespace quillet;
namespace fs = std::filesystem;

namespace {

// The density the run is for: the one the prefix was set to, or this desktop's.
int ExpectedDpi() {
    if (const char* named = std::getenv("QUILLET_EXPECTED_DPI")) return std::atoi(named);
    return win32::WindowDpi(GetDesktopWindow());
}

// Another density to move to: twice as dense, or half at the largest.
int OtherDpi(int dpi) {
    return dpi >= 192 ? 96 : 2 * dpi;
}

RECT Scaled(const RECT& design, int dpi) {
    return {Scale(int(design.left), dpi), Scale(int(design.top), dpi),
            Scale(int(design.right), dpi), Scale(int(design.bottom), dpi)};
}

// A control's rectangle in its parent's client coordinates.
RECT PlaceOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string Text(const RECT& r) {
    return " {" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + "}";
}

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

SIZE OuterSize(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// The character height of the font a control was given.
int FontHeight(HWND control) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return int(font.lfHeight);
}

// The bounding box of the ink inside `area`.
Rect InkBox(const Surface& surface, const Rect& area) {
    Rect box{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (IsInk(surface.At(x, y)))
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                       std::max(box.bottom, y + 1)};
    return box;
}

// The size of the ink of `text` as GDI draws it in `font`.
SIZE InkOf(const std::string& text, const Font& font) {
    Surface surface(600, 200);
    win32::GdiCanvas(surface.dc(), font).TextRect({10, 10, 600, 190}, text, NoPrefix);
    const Rect box = InkBox(surface, {0, 0, 600, 200});
    return {box.Width(), box.Height()};
}

// The window's client area as it paints it.
std::unique_ptr<Surface> Painted(HWND window) {
    const SIZE size = ClientSize(window);
    auto surface = std::make_unique<Surface>(size.cx, size.cy);
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface->dc()), PRF_CLIENT);
    return surface;
}

// Tells a window that it now stands on a monitor of `dpi`, in `suggested`.
void MoveToDpi(HWND window, int dpi, RECT suggested) {
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

struct NoDialogs final : Dialogs {
    bool Confirm(const std::string&) override { return false; }
    void ShowError(const std::string& message) override { ADD_FAILURE() << message; }
    void Inform(const std::string& text) override { ADD_FAILURE() << text; }
    bool EditNote(NoteFields&) override { return false; }
    void About() override {}
    void Help(UINT, ULONG_PTR) override {}
};

class Dpi : public testing::Test {
protected:
    const int dpi = ExpectedDpi();
    int S(int designValue) const { return Scale(designValue, dpi); }

    fs::path folder =
        fs::temp_directory_path() / ("quillet-dpi-" + std::to_string(std::random_device{}()));
    MainWindowFiles files{(folder / "notes.txt").string(), (folder / "quillet.ini").string()};
    NoDialogs dialogs;

    void SetUp() override {
        fs::create_directories(folder);
        TCoolTrayIcon::NotifyIcon = [](DWORD, const NOTIFYICONDATAW&) {};
    }
    void TearDown() override {
        TCoolTrayIcon::NotifyIcon = {};
        fs::remove_all(folder);
    }
};

// The main window at a density, its stored size in design units both ways.
void CheckMainWindow(TfrmMain& frmMain, int dpi, SIZE designSize) {
    const auto S = [dpi](int v) { return Scale(v, dpi); };
    EXPECT_EQ(frmMain.Dpi(), dpi);
    const SIZE outer = OuterSize(frmMain.Handle());
    EXPECT_EQ(outer.cx, S(designSize.cx));
    EXPECT_EQ(outer.cy, S(designSize.cy));

    const HWND toolbar = frmMain.Toolbar();
    const RECT bar = PlaceOf(toolbar);
    EXPECT_EQ(bar.left, S(3));
    EXPECT_EQ(bar.top, S(1));
    EXPECT_EQ(bar.right - bar.left, S(181));
    EXPECT_EQ(bar.bottom - bar.top, S(28));
    const LRESULT button = SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0);
    EXPECT_EQ(LOWORD(button), S(24));
    EXPECT_EQ(HIWORD(button), S(24));
    int glyphWidth = 0, glyphHeight = 0;
    ImageList_GetIconSize(
        reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0)), &glyphWidth,
        &glyphHeight);
    EXPECT_EQ(glyphWidth, S(16));
    EXPECT_EQ(glyphHeight, S(16));

    const RECT grid = PlaceOf(frmMain.Grid().Handle());
    EXPECT_EQ(grid.top, S(30));
    EXPECT_EQ(grid.bottom, ClientSize(frmMain.Handle()).cy);
    EXPECT_EQ(frmMain.Grid().Dpi(), dpi);
}

// Two notes, both "Call home": sorting them by their (empty) alarms changes nothing.
constexpr char TwoNotes[] = "3,3\r\ncw 0,130\r\ncw 1,84\r\ncw 2,168\r\n"
                            "1,1,None\r\n2,1,Call home\r\n1,2,None\r\n2,2,Call home\r\n";

// The ink of `text` drawn on the screen against GDI's own drawing of it in `font`: as wide and
// as high, give or take the one pixel that a tinted background may add to smoothed edges.
void ExpectDrawnIn(const Surface& picture, const Rect& area, const std::string& text,
                   const Font& font) {
    const Rect ink = InkBox(picture, area);
    const SIZE expected = InkOf(text, font);
    EXPECT_NEAR(ink.Width(), expected.cx, 1) << text << " in " << font.height;
    EXPECT_NEAR(ink.Height(), expected.cy, 1) << text << " in " << font.height;
}

// The grid's rows, column borders and text at its density: the second note's cell holds
// "Call home" in Tahoma of the scaled height.
void CheckGrid(TAdvStringGrid& grid, int dpi) {
    const auto S = [dpi](int v) { return Scale(v, dpi); };
    const auto picture = Painted(grid.Handle());
    constexpr Color HeaderLine{0x658BC4}, GridLine{0xC0C0C0};
    // The header's border after the Alarm column (130 wide), and the first note row's line.
    EXPECT_EQ(picture->At(S(130) - 1, S(21) / 2), HeaderLine);
    EXPECT_EQ(picture->At(S(130) + S(84) / 2, 2 * S(21) - 1), GridLine);

    const int left = S(130) + S(84), top = 2 * S(21);
    ExpectDrawnIn(*picture, {left, top, left + S(168) - 1, top + S(21) - 1}, "Call home",
                  {"Tahoma", S(11)});
}

} // namespace

TEST(Scaling, RoundsAsTheDesktopDoesAndComesBackFromStoredUnits) {
    for (const int dpi : {72, 96, 108, 120, 144, 168, 192, 240, 288})
        for (int v = -300; v <= 300; ++v) {
            ASSERT_EQ(Scale(v, dpi), MulDiv(v, dpi, 96)) << v << " at " << dpi;
            ASSERT_EQ(Unscale(v, dpi), MulDiv(v, 96, dpi)) << v << " at " << dpi;
            // A size stored on a denser screen reads back the same.
            if (dpi >= 96) {
                ASSERT_EQ(Unscale(Scale(v, dpi), dpi), v) << v << " at " << dpi;
            }
        }
}

TEST_F(Dpi, WineHonoursTheDensityAndTheProgramSeesIt) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    EXPECT_EQ(win32::WindowDpi(window), dpi);
    EXPECT_EQ(win32::PrimaryMonitorDpi(), dpi);
    // The tray's icon size, 16, 20, 24 or 32: the icon file has each.
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), S(16));
    DestroyWindow(window);
}

TEST_F(Dpi, MainWindowToolbarAndGridScaleAndTheStoredSizeStaysInDesignUnits) {
    std::ofstream(files.settings, std::ios::binary) << "[General]\r\nHeight=400\r\nWidth=500\r\n";
    std::ofstream(files.notes, std::ios::binary) << TwoNotes;
    {
        TfrmMain frmMain(dialogs, files);
        CheckMainWindow(frmMain, dpi, {500, 400});
        CheckGrid(frmMain.Grid(), dpi);
        frmMain.FormClose(); // stores the size
    }
    std::ifstream in(files.settings, std::ios::binary);
    const std::string stored{std::istreambuf_iterator<char>(in), {}};
    EXPECT_NE(stored.find("Height=400\r\n"), std::string::npos) << stored;
    EXPECT_NE(stored.find("Width=500\r\n"), std::string::npos) << stored;
}

TEST_F(Dpi, MainWindowFollowsAMoveToAnotherDensity) {
    std::ofstream(files.notes, std::ios::binary) << TwoNotes;
    TfrmMain frmMain(dialogs, files);
    const int other = OtherDpi(dpi);
    const RECT suggested{50, 60, 50 + Scale(420, other), 60 + Scale(320, other)};
    MoveToDpi(frmMain.Handle(), other, suggested);

    CheckMainWindow(frmMain, other, {420, 320});
    RECT r{};
    GetWindowRect(frmMain.Handle(), &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    CheckGrid(frmMain.Grid(), other);
}

TEST_F(Dpi, EditorControlsAndFontsScaleAndFollowAMove) {
    const int other = OtherDpi(dpi);
    NoteFields fields{EncodeDate(2026, 12, 9), EncodeTime(9, 0, 0), 0, "Call home"};
    const auto check = [](HWND dialog, int at) {
        const auto S = [at](int v) { return Scale(v, at); };
        const SIZE client = ClientSize(dialog);
        EXPECT_EQ(client.cx, S(311));
        EXPECT_EQ(client.cy, S(276));
        const struct {
            int id;
            RECT design;
        } controls[] = {{IDC_NOTE_OK, {50, 236, 150, 266}},
                        {IDC_NOTE_CANCEL, {160, 236, 260, 266}},
                        {IDC_NOTE_DATE, {99, 16, 184, 37}},
                        {IDC_NOTE_TEXT, {9, 76, 302, 215}}};
        for (const auto& c : controls) {
            const RECT place = PlaceOf(GetDlgItem(dialog, c.id)), expected = Scaled(c.design, at);
            EXPECT_TRUE(EqualRect(&place, &expected)) << c.id << " at " << at << Text(place);
        }
        // The closed drop-down list is 21 pixels high at 96.
        const RECT repeat = PlaceOf(GetDlgItem(dialog, IDC_NOTE_REPEAT));
        EXPECT_EQ(repeat.bottom - repeat.top, S(21));
        // 8-point Tahoma in the fields, 10-point on the buttons.
        EXPECT_EQ(FontHeight(GetDlgItem(dialog, IDC_NOTE_TEXT)), -MulDiv(8, at, 72));
        EXPECT_EQ(FontHeight(GetDlgItem(dialog, IDC_NOTE_OK)), -MulDiv(10, at, 72));
    };
    test::DialogScript script("Note", {[&](HWND dialog) { check(dialog, dpi); },
                                       [&](HWND dialog) {
                                           RECT r{};
                                           GetWindowRect(dialog, &r);
                                           MoveToDpi(dialog, other, r);
                                           check(dialog, other);
                                           SendMessageA(GetDlgItem(dialog, IDC_NOTE_CANCEL),
                                                        BM_CLICK, 0, 0);
                                       }});
    EXPECT_FALSE(ShowNoteEditor(nullptr, fields));
    EXPECT_TRUE(script.Completed());
}

TEST_F(Dpi, AboutDialogLaysOutItsLinkAndButton) {
    test::DialogScript script("About", {[&](HWND dialog) {
                                  const SIZE client = ClientSize(dialog);
                                  EXPECT_EQ(client.cx, S(273));
                                  EXPECT_EQ(client.cy, S(146));
                                  const RECT link = PlaceOf(GetDlgItem(dialog, IDC_ABOUT_LINK)),
                                             ok = PlaceOf(GetDlgItem(dialog, IDOK));
                                  const RECT wantLink = Scaled({81, 77, 193, 94}, dpi),
                                             wantOk = Scaled({90, 106, 190, 136}, dpi);
                                  EXPECT_TRUE(EqualRect(&link, &wantLink)) << Text(link);
                                  EXPECT_TRUE(EqualRect(&ok, &wantOk)) << Text(ok);
                                  EXPECT_EQ(FontHeight(GetDlgItem(dialog, IDC_ABOUT_NAME)),
                                            -MulDiv(18, dpi, 72));
                                  SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
                              }});
    ShowAbout(nullptr);
    EXPECT_TRUE(script.Completed());
}

TEST_F(Dpi, PopupTakesItsMonitorsDensityAndFollowsAMove) {
    win32::UiThreadWindow ui;
    TfrmMain owner(dialogs, files);
    win32::SystemAlertDesktop desktop{owner};
    TAdvAlertWindow alert{desktop, ui};
    alert.GlyphClose = win32::LoadPictureSizes(IDB_CLOSE);
    alert.AlphaStart = alert.AlphaEnd = 255; // no fade: nothing left running
    SetCursorPos(0, 0);
    for (const char* text : {"Reminder", "Quillet", "Quillet"})
        alert.AlertMessages().Add().SetText(text);
    alert.Show();

    TAlertWindow& popup = *alert.Popup();
    const auto check = [&](int at) {
        const auto S = [at](int v) { return Scale(v, at); };
        EXPECT_EQ(popup.Dpi(), at);
        const Rect bounds = popup.Host().Bounds();
        EXPECT_EQ(bounds.Width(), S(300));
        EXPECT_EQ(bounds.Height(), S(200));
        const AlertLayout layout = popup.Layout();
        EXPECT_EQ(layout.close, (Rect{S(300) - S(21), S(8), S(300) - 1, S(28)}));
        EXPECT_EQ(layout.text.top, S(1) + S(20));
        // The message in 12-pixel Tahoma at 96 (one word: Wine draws the pieces of a line a
        // little narrower than it measures them, see docs/architecture.md), and the close
        // button's picture at its size: its cross 8 pixels wide at 96.
        const auto picture = Painted(static_cast<win32::AlertWindowHost&>(popup.Host()).Handle());
        ExpectDrawnIn(*picture, layout.text, "Reminder", {"Tahoma", S(12)});
        const Rect glyph{layout.close.left + S(2), layout.close.top + S(2),
                         layout.close.left + S(18), layout.close.top + S(18)};
        const Rect cross = InkBox(*picture, glyph);
        EXPECT_GE(cross.Width(), S(8));
        EXPECT_GE(cross.Height(), S(8));
    };
    check(dpi);
    const Rect work = desktop.WorkArea();
    const Rect bounds = popup.Host().Bounds();
    EXPECT_EQ(bounds.right, work.right - S(2));
    EXPECT_EQ(bounds.bottom, work.bottom);

    const int other = OtherDpi(dpi);
    const RECT suggested{100, 100, 100 + Scale(300, other), 100 + Scale(200, other)};
    MoveToDpi(static_cast<win32::AlertWindowHost&>(popup.Host()).Handle(), other, suggested);
    check(other);
    EXPECT_EQ(popup.Host().Bounds().left, 100);
    alert.Close();
}
