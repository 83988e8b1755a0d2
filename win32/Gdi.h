#pragma once
// The one home of GDI ownership: thin owners of GDI objects, device contexts and their states,
// each giving back what it owns when it goes; the 32-bit top-down pictures the program reads
// and writes directly; and the conversions between the core's rectangles and colours and
// GDI's. The owners are named after GDI, so that they never read as the core's Font or Bitmap.
#include "base/Canvas.h"

#include <windows.h>

#include <cstdint>
#include <utility>

namespace quillet::win32 {

inline RECT ToRECT(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}
inline Rect FromRECT(const RECT& r) {
    return {int(r.left), int(r.top), int(r.right), int(r.bottom)};
}
inline COLORREF ToColorRef(Color color) {
    return RGB(color.Red(), color.Green(), color.Blue());
}

// A font, brush, bitmap or region, deleted with its owner.
template <typename Handle> class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~GdiObject() {
        if (handle_) DeleteObject(handle_);
    }
    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    Handle handle_ = nullptr;
};

using GdiFont = GdiObject<HFONT>;
using GdiBrush = GdiObject<HBRUSH>;
using GdiBitmap = GdiObject<HBITMAP>;
using GdiRegion = GdiObject<HRGN>;

// A memory device context like another one, deleted with its owner.
class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// A window's device context, for measuring outside painting; released with its owner.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() { ReleaseDC(hwnd_, dc_); }
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// An object selected into a device context for the lifetime of this scope.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The device context's whole state, saved now and restored with this scope.
class SavedDc {
public:
    explicit SavedDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;
    ~SavedDc() { RestoreDC(dc_, saved_); }

private:
    HDC dc_;
    int saved_;
};

// A picture drawn in memory first: draw onto dc(), then Show() copies it onto the target's
// top-left corner in one step, so repaints and fades never flicker. Not shown, it is dropped.
class BufferedPaint {
public:
    BufferedPaint(HDC target, int width, int height)
        : target_(target), width_(width), height_(height), memory_(target),
          bitmap_(CreateCompatibleBitmap(target, width, height)),
          selection_(memory_.get(), bitmap_.get()) {}
    HDC dc() const { return memory_.get(); }
    void Show() const { BitBlt(target_, 0, 0, width_, height_, memory_.get(), 0, 0, SRCCOPY); }

private:
    HDC target_;
    int width_, height_;
    MemoryDc memory_;
    GdiBitmap bitmap_;
    Selection selection_; // goes first: the bitmap is deselected before it and the DC go
};

// The painting of a window's invalid part, between BeginPaint and EndPaint.
class Painting {
public:
    explicit Painting(HWND hwnd) : hwnd_(hwnd) { BeginPaint(hwnd, &paint_); }
    Painting(const Painting&) = delete;
    Painting& operator=(const Painting&) = delete;
    ~Painting() { EndPaint(hwnd_, &paint_); }
    HDC dc() const { return paint_.hdc; }

private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
};

// The format of a 32-bit picture stored row by row from the top, as the core's Bitmap holds
// its pixels: in memory a pixel is blue, green, red and an unused byte, as a number 0x00RRGGBB.
inline BITMAPINFO TopDownFormat(int width, int height) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height; // negative: the rows run from the top
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    return format;
}

// A bitmap of that format whose pixels the program reads and writes in place; empty (no
// bitmap, no pixels) when the system cannot make it.
struct TopDownDib {
    GdiBitmap bitmap;
    std::uint32_t* pixels = nullptr;
};
inline TopDownDib CreateTopDownDib(HDC dc, int width, int height) {
    const BITMAPINFO format = TopDownFormat(width, height);
    void* bits = nullptr;
    GdiBitmap bitmap(CreateDIBSection(dc, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = bitmap ? static_cast<std::uint32_t*>(bits) : nullptr;
    return {std::move(bitmap), pixels};
}

} // namespace quillet::win32
