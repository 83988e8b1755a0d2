// The program in Quillet's virtual desktop, as tools/run shows it, judged by the picture on
// the screen: what its windows paint must reach the display, not only their own memory.
#include "Harness.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

using namespace quillet::e2e;

namespace {

using Rgb = std::uint32_t; // 0xRRGGBB

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels; // row by row from the top

    Rgb At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    // The pixels of r that are in the picture.
    std::vector<Rgb> In(const RECT& r) const {
        std::vector<Rgb> found;
        for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, height); ++y)
            for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, width); ++x)
                found.push_back(At(x, y));
        return found;
    }
    // Whether the other picture appears within r, pixel for pixel.
    bool Shows(const Picture& other, const RECT& r) const {
        const auto at = [&](int left, int top) {
            for (int y = 0; y < other.height; ++y)
                for (int x = 0; x < other.width; ++x)
                    if (At(left + x, top + y) != other.At(x, y)) return false;
            return true;
        };
        for (int y = std::max<int>(r.top, 0); y + other.height <= std::min<int>(r.bottom, height);
             ++y)
            for (int x = std::max<int>(r.left, 0); x + other.width <= std::min<int>(r.right, width);
                 ++x)
                if (at(x, y)) return true;
        return false;
    }
};

// What draw() paints on a picture of that size.
Picture Paint(int width, int height, const std::function<void(HDC)>& draw) {
    const HDC memory = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    draw(memory);
    GdiFlush();
    Picture picture{width, height, std::vector<Rgb>(std::size_t(width) * height)};
    const auto* read = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = read[i] & 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return picture;
}

// The whole screen. Inside Wine's virtual desktop the screen's device context reads the X
// server's picture of the desktop window, every program's windows included: what a
// screenshot of the display, or a viewer on it, shows.
Picture Screenshot() {
    return Paint(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), [](HDC dc) {
        const HDC screen = GetDC(nullptr);
        BitBlt(dc, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), screen, 0, 0,
               SRCCOPY);
        ReleaseDC(nullptr, screen);
    });
}

// The program's small icon, as the notification area draws it on its face.
Picture TrayIcon(const std::string& exePath, Rgb face) {
    const HMODULE exe = LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const auto icon =
        static_cast<HICON>(LoadImageA(exe, MAKEINTRESOURCEA(IDI_QUILLET), IMAGE_ICON, 16, 16, 0));
    Picture picture = Paint(16, 16, [&](HDC dc) {
        const RECT all{0, 0, 16, 16};
        SetDCBrushColor(dc, RGB(face >> 16, face >> 8 & 0xFF, face & 0xFF));
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
    });
    DestroyIcon(icon);
    FreeLibrary(exe);
    return picture;
}

// The face GDI really uses for a font of that name and character set.
std::string FaceOf(const char* name, BYTE charset) {
    const HDC dc = CreateCompatibleDC(nullptr);
    const HFONT font =
        CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, 0, 0, 0, 0, name);
    const HGDIOBJ old = SelectObject(dc, font);
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return face;
}

RECT Inset(RECT r, int by) {
    InflateRect(&r, -by, -by);
    return r;
}

int Sum(Rgb c) {
    return int(c >> 16) + int(c >> 8 & 0xFF) + int(c & 0xFF);
}
bool IsBlack(Rgb c) {
    return c == 0;
}
bool IsDark(Rgb c) { // text in the window-text colour, black on this desktop
    return Sum(c) < 3 * 0x50;
}
bool IsLight(Rgb c) {
    return Sum(c) > 3 * 0xC0;
}

double Share(const std::vector<Rgb>& pixels, bool (*is)(Rgb)) {
    if (pixels.empty()) return 0;
    return double(std::count_if(pixels.begin(), pixels.end(), is)) / double(pixels.size());
}

// The colour most of the pixels have, and their share.
std::pair<Rgb, double> Dominant(const std::vector<Rgb>& pixels) {
    std::map<Rgb, int> counts;
    for (Rgb c : pixels) ++counts[c];
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](auto& a, auto& b) { return a.second < b.second; });
    if (most == counts.end()) return {0, 0};
    return {most->first, double(most->second) / double(pixels.size())};
}

// The editor on the screen, in the terms a user would check it by.
struct EditorOnScreen {
    explicit EditorOnScreen(HWND editor) {
        const Picture shot = Screenshot();
        blackShare = Share(shot.In(WindowRect(editor)), IsBlack);
        // The button's face fills it but for its edges and its caption.
        const auto ok = shot.In(Inset(WindowRect(GetDlgItem(editor, IDC_NOTE_OK)), 3));
        okFace = Dominant(ok);
        okCaption = Share(ok, IsDark);
        // The date picker's text, left of its drop-down button.
        RECT date = Inset(WindowRect(GetDlgItem(editor, IDC_NOTE_DATE)), 2);
        date.right -= GetSystemMetrics(SM_CXVSCROLL);
        dateText = Share(shot.In(date), IsDark);
    }
    bool Drawn() const {
        return blackShare < 0.05 && okFace.second > 0.8 && IsLight(okFace.first) && okCaption > 0 &&
               dateText > 0.02;
    }

    double blackShare = 1;
    std::pair<Rgb, double> okFace;
    double okCaption = 0, dateText = 0;
};

} // namespace

TEST(Desktop, CaptionButtonsHaveTheirSymbolFont) {
    // Wine draws the close box's cross as a letter of Marlett; in another face it is an "r".
    EXPECT_EQ(FaceOf("Marlett", SYMBOL_CHARSET), "Marlett");
}

TEST(Desktop, TheTrayIconShowsOnTheTaskbarAndTheEditorOpenedByInsertReachesTheScreen) {
    const HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    ASSERT_TRUE(taskbar && IsVisible(taskbar)) << "the desktop has no taskbar";
    const RECT bar = WindowRect(taskbar);
    EXPECT_EQ(bar.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(bar.right - bar.left, GetSystemMetrics(SM_CXSCREEN));
    // The notification area: the right end of the taskbar.
    const RECT area{bar.right - 60, bar.top, bar.right, bar.bottom};

    AppFolderCopy app;
    Process quillet(app.ExePath());
    const HWND mainWindow = WaitForWindow(quillet.Id(), MAIN_WINDOW_CLASS, "Quillet");
    const HWND handler = WaitForWindow(quillet.Id(), TRAY_WINDOW_CLASS);
    ASSERT_TRUE(mainWindow && handler);
    const Picture icon = TrayIcon(app.ExePath(), Dominant(Screenshot().In(area)).first);
    EXPECT_TRUE(WaitUntil([&] { return Screenshot().Shows(icon, area); }))
        << "the icon does not show in the notification area";

    TrayMouse(handler, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return IsVisible(mainWindow); }));
    PostKey(mainWindow, VK_INSERT);
    HWND editor = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND window : TopLevelWindows(quillet.Id(), DialogClass, "Note"))
            if (IsVisible(window)) editor = window;
        return editor != nullptr;
    })) << "Insert opened no editor";

    // The display may show the editor a moment after it is up.
    WaitUntil([&] { return EditorOnScreen(editor).Drawn(); });
    const EditorOnScreen seen(editor);
    EXPECT_LT(seen.blackShare, 0.05) << "the editor is black on the screen";
    EXPECT_GT(seen.okFace.second, 0.8) << "no face on the OK button";
    EXPECT_TRUE(IsLight(seen.okFace.first))
        << "the OK button's face is 0x" << std::hex << seen.okFace.first;
    EXPECT_GT(seen.okCaption, 0) << "no caption on the OK button";
    EXPECT_GT(seen.dateText, 0.02) << "no text in the date picker";
}
