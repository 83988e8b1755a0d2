#include "win32/GdiCanvas.h"

#include "win32/Text.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <vector>

namespace quillet::win32 {
namespace {

UINT FormatOf(unsigned flags) {
    UINT format = DT_SINGLELINE | DT_EXPANDTABS;
    if (flags & NoPrefix) format |= DT_NOPREFIX;
    return format;
}

} // namespace

GdiCanvas::GdiCanvas(HDC dc, const Font& font, std::optional<int> dpi)
    : dc_(dc), saved_(dc), dpi_(dpi.value_or(GetDeviceCaps(dc, LOGPIXELSY))) {
    SetBkMode(dc_, TRANSPARENT);
    SetFont(font);
}

void GdiCanvas::SetFont(const Font& font) {
    // Every cell and every piece of markup sets its font: the fonts made stay for the canvas's
    // life (a paint's), since making one is a call into the system each time.
    // The colour is the DC's, not the font's.
    const auto gdiPart = [](const Font& f) {
        return std::tie(f.face, f.height, f.bold, f.italic, f.underline, f.strikeOut, f.escapement);
    };
    auto made = std::find_if(fonts_.begin(), fonts_.end(), [&](const auto& entry) {
        return gdiPart(entry.first) == gdiPart(font);
    });
    if (made == fonts_.end()) {
        GdiFont created = CreateGdiFont(font);
        if (!created) return; // the font that is selected stays
        made = fonts_.insert(fonts_.end(), {font, std::move(created)});
    }
    SelectObject(dc_, made->second.get());
    SetTextColor(dc_, ToColorRef(font.color));
    font_ = font;
}

GdiFont GdiCanvas::CreateGdiFont(const Font& font) {
    LOGFONTW logical{};
    logical.lfHeight = -font.height; // negative: the character height, not the cell's
    logical.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logical.lfItalic = font.italic;
    logical.lfUnderline = font.underline;
    logical.lfStrikeOut = font.strikeOut;
    logical.lfEscapement = logical.lfOrientation = font.escapement;
    logical.lfCharSet = DEFAULT_CHARSET;
    logical.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logical.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logical.lfQuality = DEFAULT_QUALITY;
    const std::wstring face = Wide(font.face);
    const std::size_t length = std::min(face.size(), std::size(logical.lfFaceName) - 1);
    std::wmemcpy(logical.lfFaceName, face.data(), length);
    return GdiFont(CreateFontIndirectW(&logical));
}

void GdiCanvas::SetTextBackground(MaybeColor color) {
    SetBkMode(dc_, color ? OPAQUE : TRANSPARENT);
    if (color) SetBkColor(dc_, ToColorRef(*color));
    background_ = color;
}

int GdiCanvas::DrawSingleLine(std::string_view text, RECT& rect, UINT format) {
    std::wstring wide = Wide(text);
    return DrawTextExW(dc_, wide.data(), int(wide.size()), &rect, format, nullptr);
}

Extent GdiCanvas::TextExtent(std::string_view text, unsigned flags) {
    // Blanks at the end count: the markup renderer places the next piece of a line after
    // them. DT_CALCRECT only promises a rectangle that bounds the line's last character, so
    // they are measured apart, by GetTextExtentPoint32W, which counts every character.
    std::size_t kept = text.size();
    while (kept > 0 && text[kept - 1] == ' ') --kept;
    RECT rect{0, 0, 0, 0};
    DrawSingleLine(text.substr(0, kept), rect, FormatOf(flags) | DT_CALCRECT | DT_NOCLIP);
    Extent extent{int(rect.right - rect.left), int(rect.bottom - rect.top)};
    if (kept < text.size()) {
        SIZE blanks{};
        // Blanks are one byte and one UTF-16 unit each.
        const std::wstring trailing(text.size() - kept, L' ');
        GetTextExtentPoint32W(dc_, trailing.data(), int(trailing.size()), &blanks);
        extent.width += int(blanks.cx);
        extent.height = std::max(extent.height, int(blanks.cy));
    }
    return extent;
}

void GdiCanvas::TextRect(const Rect& cell, std::string_view text, unsigned flags) {
    RECT rect = ToRECT(cell);
    UINT format = FormatOf(flags) | DT_BOTTOM | DT_LEFT;
    if (flags & EndEllipsis) format |= DT_END_ELLIPSIS;
    DrawSingleLine(text, rect, format);
}

void GdiCanvas::FillRect(const Rect& rect, Color color) {
    const RECT r = ToRECT(rect);
    SetDCBrushColor(dc_, ToColorRef(color));
    ::FillRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void GdiCanvas::FrameRect(const Rect& rect, Color color) {
    const RECT r = ToRECT(rect);
    SetDCBrushColor(dc_, ToColorRef(color));
    ::FrameRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void GdiCanvas::Line(Point from, Point to, Color color) {
    SetDCPenColor(dc_, ToColorRef(color));
    Selection pen(dc_, GetStockObject(DC_PEN));
    MoveToEx(dc_, from.x, from.y, nullptr);
    LineTo(dc_, to.x, to.y);
}

void GdiCanvas::SetPixel(Point at, Color color) {
    SetPixelV(dc_, at.x, at.y, ToColorRef(color));
}

void GdiCanvas::FocusRect(const Rect& rect) {
    const RECT r = ToRECT(rect);
    DrawFocusRect(dc_, &r);
}

void GdiCanvas::DrawBitmap(const Bitmap& bitmap, const Rect& dest, MaybeColor transparent) {
    if (bitmap.width <= 0 || bitmap.height <= 0 || dest.Width() <= 0 || dest.Height() <= 0) return;
    const TopDownDib dib = CreateTopDownDib(dc_, bitmap.width, bitmap.height);
    if (!dib.pixels) return;
    for (std::size_t i = 0; i < bitmap.pixels.size(); ++i) dib.pixels[i] = bitmap.pixels[i].rgb;

    const MemoryDc memory(dc_);
    const Selection selected(memory.get(), dib.bitmap.get());
    if (transparent) {
        GdiTransparentBlt(dc_, dest.left, dest.top, dest.Width(), dest.Height(), memory.get(), 0, 0,
                          bitmap.width, bitmap.height, ToColorRef(*transparent));
    } else {
        SetStretchBltMode(dc_, COLORONCOLOR);
        StretchBlt(dc_, dest.left, dest.top, dest.Width(), dest.Height(), memory.get(), 0, 0,
                   bitmap.width, bitmap.height, SRCCOPY);
    }
}

void GdiCanvas::SetClipRect(std::optional<Rect> clip) {
    if (clip) {
        const GdiRegion region(CreateRectRgn(clip->left, clip->top, clip->right, clip->bottom));
        SelectClipRgn(dc_, region.get()); // the DC keeps a copy
    } else {
        SelectClipRgn(dc_, nullptr);
    }
    clip_ = clip;
}

namespace {

int SysColorIndex(DesktopColor which) {
    switch (which) {
    case DesktopColor::Background: return COLOR_BACKGROUND;
    case DesktopColor::ActiveCaption: return COLOR_ACTIVECAPTION;
    case DesktopColor::InactiveCaption: return COLOR_INACTIVECAPTION;
    case DesktopColor::Menu: return COLOR_MENU;
    case DesktopColor::Window: return COLOR_WINDOW;
    case DesktopColor::WindowFrame: return COLOR_WINDOWFRAME;
    case DesktopColor::MenuText: return COLOR_MENUTEXT;
    case DesktopColor::WindowText: return COLOR_WINDOWTEXT;
    case DesktopColor::CaptionText: return COLOR_CAPTIONTEXT;
    case DesktopColor::ActiveBorder: return COLOR_ACTIVEBORDER;
    case DesktopColor::InactiveBorder: return COLOR_INACTIVEBORDER;
    case DesktopColor::AppWorkspace: return COLOR_APPWORKSPACE;
    case DesktopColor::Highlight: return COLOR_HIGHLIGHT;
    case DesktopColor::HighlightText: return COLOR_HIGHLIGHTTEXT;
    case DesktopColor::BtnFace: return COLOR_BTNFACE;
    case DesktopColor::BtnShadow: return COLOR_BTNSHADOW;
    case DesktopColor::GrayText: return COLOR_GRAYTEXT;
    case DesktopColor::BtnText: return COLOR_BTNTEXT;
    case DesktopColor::InactiveCaptionText: return COLOR_INACTIVECAPTIONTEXT;
    case DesktopColor::BtnHighlight: return COLOR_BTNHIGHLIGHT;
    case DesktopColor::DkShadow3D: return COLOR_3DDKSHADOW;
    case DesktopColor::Light3D: return COLOR_3DLIGHT;
    case DesktopColor::InfoText: return COLOR_INFOTEXT;
    case DesktopColor::InfoBk: return COLOR_INFOBK;
    }
    return COLOR_WINDOWTEXT;
}

} // namespace

Color DesktopSystemColor(DesktopColor which) {
    const COLORREF c = GetSysColor(SysColorIndex(which));
    return Color::FromRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

Color GdiCanvas::SystemColor(DesktopColor which) const {
    return DesktopSystemColor(which);
}

int GdiCanvas::PixelsPerInch() const {
    return dpi_;
}

} // namespace quillet::win32
