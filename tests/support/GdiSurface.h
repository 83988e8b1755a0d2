#pragma once
// Windows-side test help: a picture in memory that windows and canvases paint on, read back
// pixel by pixel.
#include "base/Canvas.h"
#include "win32/Gdi.h"
#include "win32/GdiCanvas.h"

#include <algorithm>
#include <cstdint>
#include <functional>

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

} // namespace quillet
