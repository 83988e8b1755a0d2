#pragma once
// A canvas that draws nothing and records what is drawn on it, with fixed metrics so that
// tests can check positions exactly:
// - a shown character is (height / 2) pixels wide, one more in bold; a tab advances to the
//   next multiple of 8 characters;
// - a line of text is (height + height / 6) pixels high;
// where height is the font's character height, 12 when the font leaves it open. So the
// default font, Tahoma 12 pixels, gives characters 6 pixels wide (7 bold) and "gh" 14 pixels
// high, as on the desktop.
#include "base/Canvas.h"

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillet {

// Readable rectangles and colours in test failures.
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}
inline void PrintTo(const Color& c, std::ostream* os) {
    *os << "#" << std::hex << c.rgb << std::dec;
}

inline Font DefaultTestFont() {
    return {"Tahoma", 12, false, false, false, false, Color{0x000000}};
}

class RecordingCanvas : public Canvas {
public:
    enum class Op { Text, Fill, Frame, Line, Pixel, Focus, Bitmap };

    struct Call {
        Op op;
        Rect rect;          // Text: the cell; Line: from (left, top) to (right, bottom)
        std::string text;   // Text: as given, before prefix handling
        Font font;          // Text: the font it is drawn in
        MaybeColor color;   // the colour drawn in; Text: its background; Bitmap: transparent
        unsigned flags = 0; // Text
        std::optional<Rect> clip;
        Bitmap bitmap; // Bitmap: the picture drawn
    };

    std::vector<Call> calls;
    int pixelsPerInch = 96;

    explicit RecordingCanvas(Font font = DefaultTestFont()) : font_(std::move(font)) {}

    static int CharWidth(const Font& font) { return Height(font) / 2 + (font.bold ? 1 : 0); }
    static int LineHeight(const Font& font) { return Height(font) + Height(font) / 6; }

    // The text as shown: without NoPrefix, "&&" shows "&" and a single "&" is not shown.
    static std::string Shown(std::string_view text, unsigned flags) {
        if (flags & NoPrefix) return std::string(text);
        std::string shown;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '&')
                shown += text[i];
            else if (i + 1 < text.size() && text[i + 1] == '&')
                shown += text[++i];
        }
        return shown;
    }

    // The texts drawn, in order, as shown.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Call& call : calls)
            if (call.op == Op::Text) texts.push_back(Shown(call.text, call.flags));
        return texts;
    }
    // The first text call that shows `shown`, or null.
    const Call* FindText(std::string_view shown) const {
        for (const Call& call : calls)
            if (call.op == Op::Text && Shown(call.text, call.flags) == shown) return &call;
        return nullptr;
    }
    std::vector<Call> Of(Op op) const {
        std::vector<Call> found;
        for (const Call& call : calls)
            if (call.op == op) found.push_back(call);
        return found;
    }

    const Font& GetFont() const override { return font_; }
    void SetFont(const Font& font) override { font_ = font; }
    MaybeColor TextBackground() const override { return background_; }
    void SetTextBackground(MaybeColor color) override { background_ = color; }

    Extent TextExtent(std::string_view text, unsigned flags) override {
        const int w = CharWidth(font_);
        int x = 0;
        // One width per character, as many bytes as its UTF-8 takes.
        for (char c : Shown(text, flags))
            if ((c & 0xC0) != 0x80) x = c == '\t' ? (x / (8 * w) + 1) * (8 * w) : x + w;
        return {x, LineHeight(font_)};
    }
    void TextRect(const Rect& cell, std::string_view text, unsigned flags) override {
        calls.push_back({Op::Text, cell, std::string(text), font_, background_, flags, clip_, {}});
    }
    void FillRect(const Rect& rect, Color color) override { Record(Op::Fill, rect, color); }
    void FrameRect(const Rect& rect, Color color) override { Record(Op::Frame, rect, color); }
    void Line(Point from, Point to, Color color) override {
        Record(Op::Line, {from.x, from.y, to.x, to.y}, color);
    }
    void SetPixel(Point at, Color color) override {
        Record(Op::Pixel, {at.x, at.y, at.x + 1, at.y + 1}, color);
    }
    void FocusRect(const Rect& rect) override { Record(Op::Focus, rect, {}); }
    void DrawBitmap(const Bitmap& bitmap, const Rect& dest, MaybeColor transparent) override {
        Record(Op::Bitmap, dest, transparent);
        calls.back().bitmap = bitmap;
    }
    std::optional<Rect> ClipRect() const override { return clip_; }
    void SetClipRect(std::optional<Rect> clip) override { clip_ = clip; }
    // The n-th desktop colour (from 1) is 0x010101 * n, so tests can tell them apart.
    Color SystemColor(DesktopColor which) const override {
        return {0x010101u * (std::uint32_t(which) + 1)};
    }
    int PixelsPerInch() const override { return pixelsPerInch; }

private:
    static int Height(const Font& font) { return font.height > 0 ? font.height : 12; }
    void Record(Op op, const Rect& rect, MaybeColor color) {
        calls.push_back({op, rect, {}, {}, color, 0, clip_, {}});
    }

    Font font_;
    MaybeColor background_;
    std::optional<Rect> clip_;
};

} // namespace quillet
