#pragma once
// The canvas on a GDI device context. Text, UTF-8 like every text of the program, goes through
// DrawTextExW as single lines aligned to the bottom of their cell with tabs expanded; blanks at
// a text's end are measured by GetTextExtentPoint32W. The device context is as before when the
// canvas goes.
#include "base/Canvas.h"
#include "win32/Gdi.h"

#include <utility>
#include <vector>

namespace quillet::win32 {

// The desktop's current colour of that name.
Color DesktopSystemColor(DesktopColor which);

class GdiCanvas final : public Canvas {
public:
    // Draws on dc, starting in `font` with text drawn transparently, for a window of `dpi`
    // pixels per inch (none: the device context's own).
    GdiCanvas(HDC dc, const Font& font, std::optional<int> dpi = {});

    const Font& GetFont() const override { return font_; }
    void SetFont(const Font& font) override;
    MaybeColor TextBackground() const override { return background_; }
    void SetTextBackground(MaybeColor color) override;

    Extent TextExtent(std::string_view text, unsigned flags) override;
    void TextRect(const Rect& cell, std::string_view text, unsigned flags) override;
    void FillRect(const Rect& rect, Color color) override;
    void FrameRect(const Rect& rect, Color color) override;
    void Line(Point from, Point to, Color color) override;
    void SetPixel(Point at, Color color) override;
    void FocusRect(const Rect& rect) override;
    void DrawBitmap(const Bitmap& bitmap, const Rect& dest, MaybeColor transparent) override;
    std::optional<Rect> ClipRect() const override { return clip_; }
    void SetClipRect(std::optional<Rect> clip) override;
    Color SystemColor(DesktopColor which) const override;
    int PixelsPerInch() const override;

private:
    int DrawSingleLine(std::string_view text, RECT& rect, UINT format);
    static GdiFont CreateGdiFont(const Font& font);

    HDC dc_;
    // Declared before the saved state, so the state (with the DC's own font) comes back first
    // and the fonts are deleted once none is selected any more.
    std::vector<std::pair<Font, GdiFont>> fonts_;
    SavedDc saved_;
    Font font_;
    MaybeColor background_;
    std::optional<Rect> clip_;
    int dpi_;
};

} // namespace quillet::win32
