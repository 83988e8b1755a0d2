#pragma once
// The renderer of the small HTML-like markup in which reminders and the About link are
// written: lays a text out in lines inside a rectangle, then draws it, or only measures it,
// or finds the link under a point.
//
// A note's markup never reaches outside the program: the only pictures it can show are those
// of an image list that the program itself attaches ("IDX:n"); pictures named by address,
// file or name draw nothing and take no room.
#include "base/Canvas.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

enum class MarkupMode {
    Draw,
    MeasureOnly, // nothing drawn; the text is not cut off at the rectangle's bottom
    HitTest,     // nothing drawn; finds the link under `point`
};

struct MarkupOptions {
    MarkupMode mode = MarkupMode::Draw;
    Point point = {}; // the point to hit-test
    // Entries of "IDX:n" pictures, each drawn with its bottom-left pixel's colour as
    // transparent.
    std::span<const Bitmap> images = {};
    int hoverLink = -1; // the 1-based number of the link under the pointer, -1 for none
    int shadowOffset = 0;
    bool selected = false;   // text and background colours are left as the canvas has them
    bool blinkPhase = true;  // false: <BLINK> text takes the canvas's text background colour
    bool hoverStyle = false; // true: only the hovered link is underlined and gets hover colours
    bool wordWrap = true;    // false: a line that does not fit ends in an ellipsis
    MaybeColor linkColor = {}, hoverBackground = {}, hoverTextColor = {}, shadowColor = {};

    // The rest of the renderer's interface, which nothing in this program sets: the link that
    // carries the focus rectangle (-1 for none), printing with pictures scaled by
    // resolutionFactor, and spacing added to every line's height.
    int focusLink = -1;
    bool print = false;
    double resolutionFactor = 1.0;
    int lineSpacing = 0;
};

struct MarkupResult {
    bool onLink = false;    // hit-test: the point lies on a link
    std::string linkTarget; // ... whose target this is
    int linkUnderPoint = -1;
    int height = 0; // sum of the line heights + 2

    // The rest of the renderer's interface, which nothing in this program reads: the text
    // without tags (a CR for every <BR>), the part of the link under the point on its line, the
    // focus link's target, the widest line + 2, and the number of links.
    std::string plainText;
    Rect linkRect;
    std::string focusTarget;
    int width = 0;
    int linkCount = 0;
};

// The canvas's font is the default font of the text. The canvas's font, text background and
// clip rectangle are as before when the call returns.
MarkupResult DrawMarkup(Canvas& canvas, std::string_view text, const Rect& rect,
                        const MarkupOptions& options = {});

// The text as a screen reader says it: the renderer's plain text of it (tags gone, entities
// resolved, a line for every <BR>; list items and paragraphs run on in it), its lines trimmed,
// empty ones dropped, runs of blanks made one, and the lines joined by lineSeparator.
std::string MarkupPlainText(std::string_view text, std::string_view lineSeparator);

// A link of a laid-out text: its words as a screen reader says them, its target, and where its
// first line shows it in the layout's rectangle, unscrolled.
struct MarkupLink {
    std::string text, target;
    Rect rect;
};

// A text laid out once, every line of it however far below the rectangle it reaches, to be
// drawn and hit-tested again and again without measuring anything: the popup lays its message
// out once, not at every paint and pointer move. It stays right as long as the text, the
// canvas's font, the rectangle's left, top and width and the options do; the options' images
// must outlive it. The options' mode and point play no part.
class MarkupLayout {
public:
    MarkupLayout(Canvas& canvas, std::string_view text, const Rect& rect,
                 const MarkupOptions& options);
    ~MarkupLayout();
    MarkupLayout(MarkupLayout&&) noexcept;
    MarkupLayout& operator=(MarkupLayout&&) noexcept;

    // As DrawMarkup measures the text (MeasureOnly): its size, plain text and links.
    const MarkupResult& Result() const;
    // Draws it as DrawMarkup draws into the rectangle moved scroll pixels up and ending at
    // bottom: the lines that fit whole above bottom, the first one always. One difference: a
    // <BODY> tag colours the background wherever it stands, also below the last line drawn,
    // where DrawMarkup, which stops reading there, never sees it.
    void Draw(Canvas& canvas, int scroll, int bottom) const;
    // The 1-based number of the link under point, -1 for none, as DrawMarkup's hit test finds
    // it in the rectangle ending at bottom.
    int LinkAt(Point point, int bottom) const;
    // Every link, in the order they are numbered.
    std::vector<MarkupLink> Links() const;

private:
    struct Laid;
    std::unique_ptr<Laid> laid_;
};

} // namespace quillet
