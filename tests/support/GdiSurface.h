#pragma once
// Windows-side test help: a picture in memory that windows and canvases paint on, read back
// pixel by pixel.
#include "base/Canvas.h"
#include "win32/Gdi.h"
#include "win32/GdiCanvas.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

inline constexpr Color kWhite{0xFFFFFF};

// A white 32-bit picture in memory to draw on and read back.
class Surface {
public:
    Surface(int width, int height)
        : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ =
            win32::GdiBitmap(CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
        old_ = SelectObject(dc_, bitmap_.get());
        Fill(kWhite);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    ~Surface() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }

    HDC dc() const { return dc_; }
    void Fill(Color color) {
        const RECT all{0, 0, width_, height_};
        SetDCBrushColor(dc_, win32::ToColorRef(color));
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    Color At(int x, int y) const {
        GdiFlush();
        return {static_cast<const std::uint32_t*>(bits_)[y * width_ + x] & 0xFFFFFF};
    }
    // The pixels of r that satisfy `is`.
    int Count(const Rect& r, const std::function<bool(Color)>& is) const {
        int n = 0;
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, height_); ++y)
            for (int x = std::max(r.left, 0); x < std::min(r.right, width_); ++x) n += is(At(x, y));
        return n;
    }
    int Ink(const Rect& r) const {
        return Count(r, [](Color c) { return c != kWhite; });
    }

private:
    int width_, height_;
    HDC dc_;
    void* bits_ = nullptr;
    win32::GdiBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
};

inline bool IsBlue(Color c) {
    return c.Blue() > 160 && c.Red() < 100 && c.Green() < 100;
}

// Text's ink on a light background, its smoothed edges included.
inline bool IsInk(Color c) {
    return c.Red() < 128 || c.Green() < 128 || c.Blue() < 128;
}

// The face GDI really uses for the font: another one when the system lacks it.
inline std::string FaceOf(const Font& font) {
    const win32::MemoryDc dc(nullptr);
    win32::GdiCanvas canvas(dc.get(), font);
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc.get(), LF_FACESIZE, face);
    return face;
}

// The columns of `band` that hold ink in any of its rows, left to right.
inline std::vector<int> InkColumns(const Rect& band, const std::function<Color(int, int)>& at) {
    std::vector<int> columns;
    for (int x = band.left; x < band.right; ++x)
        for (int y = band.top; y < band.bottom; ++y)
            if (IsInk(at(x, y))) {
                columns.push_back(x);
                break;
            }
    return columns;
}

// The blank columns between the ink that ends at column `end` and the next ink; -1 if none.
inline int BlankAfter(const std::vector<int>& ink, int end) {
    const auto next = std::upper_bound(ink.begin(), ink.end(), end);
    return next == ink.end() ? -1 : *next - end - 1;
}

// `line` drawn by GDI in one piece: where the ink of its first `words` ends, counted from the
// line's first ink, and the blank columns that follow.
struct BlankInLine {
    int wordsEnd = 0, blank = 0;
};
inline BlankInLine DrawnInOnePiece(const Font& font, std::string_view words,
                                   std::string_view line) {
    const auto ink = [&](std::string_view text) {
        Surface surface(400, 40);
        win32::GdiCanvas(surface.dc(), font).TextRect({10, 0, 400, 30}, text, NoPrefix);
        return InkColumns({0, 0, 400, 40}, [&](int x, int y) { return surface.At(x, y); });
    };
    const std::vector<int> lineInk = ink(line), wordsInk = ink(words);
    return {wordsInk.back() - lineInk.front(), BlankAfter(lineInk, wordsInk.back())};
}

} // namespace quillet
