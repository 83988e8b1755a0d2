#pragma once
// Thin owners of GDI objects and device-context states: each says what it owns and gives it
// back when it goes.
#include <windows.h>

#include <utility>

namespace quillet::win32 {

// A font, brush, pen, bitmap or region, deleted with its owner.
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

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Bitmap = GdiObject<HBITMAP>;
using Region = GdiObject<HRGN>;

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

// Painting through a memory bitmap: draw onto dc(), and the destructor copies the whole
// picture onto the window in one step, so repaints and fades never flicker.
class BufferedPaint {
public:
    BufferedPaint(HDC target, int width, int height)
        : target_(target), width_(width), height_(height), dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, width, height)), selection_(dc_, bitmap_.get()) {}
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    ~BufferedPaint() {
        BitBlt(target_, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
        selection_.reset();
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }

private:
    // Deselects the bitmap before the DC goes.
    struct BitmapSelection {
        BitmapSelection(HDC dc, HBITMAP bitmap) : dc_(dc), old_(SelectObject(dc, bitmap)) {}
        void reset() {
            if (dc_) SelectObject(dc_, old_), dc_ = nullptr;
        }
        HDC dc_;
        HGDIOBJ old_;
    };
    HDC target_;
    int width_, height_;
    HDC dc_;
    Bitmap bitmap_;
    BitmapSelection selection_;
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

} // namespace quillet::win32
