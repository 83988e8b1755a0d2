#pragma once
// The drawing surface that the markup renderer and the reminder popup paint on. The desktop
// implements it with GDI; tests hand in a recording canvas with fixed metrics.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// An RGB colour, written 0xRRGGBB as in "#RRGGBB".
struct Color {
    std::uint32_t rgb = 0;

    constexpr int Red() const { return int(rgb >> 16 & 0xFF); }
    constexpr int Green() const { return int(rgb >> 8 & 0xFF); }
    constexpr int Blue() const { return int(rgb & 0xFF); }
    static constexpr Color FromRgb(int r, int g, int b) {
        return {std::uint32_t(r & 0xFF) << 16 | std::uint32_t(g & 0xFF) << 8 |
                std::uint32_t(b & 0xFF)};
    }
    friend constexpr bool operator==(Color, Color) = default;
};

// A colour that may be "none" (not set).
using MaybeColor = std::optional<Color>;

// The desktop's own colours, as the user's colour scheme sets them.
enum class DesktopColor {
    Background,
    ActiveCaption,
    InactiveCaption,
    Menu,
    Window,
    WindowFrame,
    MenuText,
    WindowText,
    CaptionText,
    ActiveBorder,
    InactiveBorder,
    AppWorkspace,
    Highlight,
    HighlightText,
    BtnFace,
    BtnShadow,
    GrayText,
    BtnText,
    InactiveCaptionText,
    BtnHighlight,
    DkShadow3D,
    Light3D,
    InfoText,
    InfoBk
};

struct Point {
    int x = 0, y = 0;
    friend constexpr bool operator==(Point, Point) = default;
};

// Right and bottom are exclusive.
struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

struct Extent {
    int width = 0, height = 0;
};

struct Font {
    std::string face;
    int height = 0; // character height in pixels; 0 leaves it to the font system
    bool bold = false, italic = false, underline = false, strikeOut = false;
    Color color = {};
    int escapement = 0; // tenths of a degree, counter-clockwise
    friend bool operator==(const Font&, const Font&) = default;
};

// A picture held in memory, rows from the top.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<Color> pixels;

    Color At(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + x]; }
};

// How a piece of text is measured and drawn. Without NoPrefix, "&" is not shown and
// underlines the next character, and "&&" shows one ampersand.
enum TextFlags : unsigned {
    NoPrefix = 1,
    EndEllipsis = 2, // text that does not fit its cell ends in "..."
};

enum class GradientDirection { Horizontal, Vertical };

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual const Font& GetFont() const = 0;
    virtual void SetFont(const Font& font) = 0;
    // The colour that fills the cells of drawn text; none draws text transparently.
    virtual MaybeColor TextBackground() const = 0;
    virtual void SetTextBackground(MaybeColor color) = 0;

    // Text is one line with tabs expanded, in the current font.
    virtual Extent TextExtent(std::string_view text, unsigned flags) = 0;
    // Draws text from the cell's left edge with its bottom on the cell's bottom, clipped to the
    // cell.
    virtual void TextRect(const Rect& cell, std::string_view text, unsigned flags) = 0;

    virtual void FillRect(const Rect& rect, Color color) = 0;
    // A 1-pixel frame just inside the rectangle.
    virtual void FrameRect(const Rect& rect, Color color) = 0;
    // A 1-pixel line from `from` up to, not including, `to`.
    virtual void Line(Point from, Point to, Color color) = 0;
    virtual void SetPixel(Point at, Color color) = 0;
    virtual void FocusRect(const Rect& rect) = 0;
    // The bitmap scaled into dest; pixels of the transparent colour are left alone.
    virtual void DrawBitmap(const Bitmap& bitmap, const Rect& dest, MaybeColor transparent) = 0;

    // Drawing outside the clip rectangle has no effect; none clips nothing.
    virtual std::optional<Rect> ClipRect() const = 0;
    virtual void SetClipRect(std::optional<Rect> clip) = 0;

    virtual Color SystemColor(DesktopColor which) const = 0;
    virtual int PixelsPerInch() const = 0;

    // Fills rect with `bands` bands that step evenly from `from` to `to`.
    void GradientBands(const Rect& rect, Color from, Color to, int bands,
                       GradientDirection direction);
};

} // namespace quillet
