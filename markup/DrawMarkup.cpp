#include "markup/DrawMarkup.h"

#include "base/Dpi.h"
#include "base/Utf8.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// The text is laid out once into lines of placed pieces; drawing replays them and
// hit-testing searches them, so what is measured is what is drawn. Positions into the text
// only ever move forward and every search is bounded by the next tag, so the cost grows
// linearly with the text.
//
// In this file, in order:
// - Preparing the text: entities, "<#...>", line ends as <BR>.
// - Tags and attributes: attribute values and colour names.
// - Layout: the text cut into pieces and lines (Layout::Run, RunLine, TakePiece).
// - The tags: Layout::TagRules, every tag the renderer knows, which names it takes and what
//   its start and end tags do; the longer actions follow it.
// - Drawing and hit-testing: Painter, HitTest, then DrawMarkup and MarkupLayout.

namespace quillet {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// Numbers in markup are kept to what a screen can show, so no sum of them overflows.
constexpr int NumberLimit = 10000;
constexpr int MaxFontPoints = 1000;
constexpr int GradientBandCount = 64;
constexpr int ListStep = 12; // list indent per level, and the bullet's distance from the text

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}
bool IsAlnum(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::string ToUpper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = Upper(c);
    return u;
}

// An integer, saturated at NumberLimit; none when the text is not one.
std::optional<int> ParseInt(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    const bool negative = !s.empty() && s.front() == '-';
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
    if (s.empty()) return std::nullopt;
    int value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        value = std::min(NumberLimit, value * 10 + (c - '0'));
    }
    return negative ? -value : value;
}

int ToInt(std::string_view s) {
    return ParseInt(s).value_or(0);
}

// x moves right by widths the canvas measures; a whole long note without a place to break on
// one line must not overflow it.
int Advance(int x, int width) {
    return int(std::min<long long>((long long)x + width, INT_MAX / 2));
}

// --- Preparing the text ---------------------------------------------------------------------

// Their characters in UTF-8: § ‰ ® © ¶ ™ €.
constexpr std::pair<std::string_view, std::string_view> Entities[] = {
    {"&amp;", "&&"},
    {"&quot;", "\""},
    {"&sect;", "\xC2\xA7"},
    {"&permil;", "\xE2\x80\xB0"},
    {"&reg;", "\xC2\xAE"},
    {"&copy;", "\xC2\xA9"},
    {"&para;", "\xC2\xB6"},
    {"&trade;", "\xE2\x84\xA2"},
    {"&euro;", "\xE2\x82\xAC"},
};

// Entities are replaced as long as any is found: the "&&" of "&amp;" may start a new entity
// with the text after it ("&amp;amp;"). Replacing at the end of the output as each ";"
// arrives finds every such entity in one pass.
std::string ReplaceEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c != ';') continue;
        for (const auto& [entity, replacement] : Entities) {
            if (std::string_view(out).ends_with(entity)) {
                out.resize(out.size() - entity.size());
                out += replacement;
                break;
            }
        }
    }
    return out;
}

std::string Prepare(std::string_view text) {
    std::string s = text.find('&') == npos ? std::string(text) : ReplaceEntities(text);
    if (const auto hash = s.find("<#"); hash != npos) {
        s.erase(hash, 1);
        if (const auto close = s.find('>', hash); close != npos) s.erase(close, 1);
    }
    if (s.find_first_of("\r\n") == npos) return s;
    std::string out;
    out.reserve(s.size() + s.size() / 8);
    for (char c : s) {
        if (c == '\r')
            out += "<BR>";
        else if (c != '\n')
            out += c;
    }
    return out;
}

// Appends a piece to the plain text with its own entities replaced; these come after the
// piece is cut, so they never start a tag and "&nbsp;" never breaks a line.
void AppendPiece(std::string& out, std::string_view raw) {
    std::size_t i = 0;
    for (std::size_t amp; (amp = raw.find('&', i)) != npos;) {
        out.append(raw, i, amp - i);
        const std::string_view rest = raw.substr(amp);
        if (rest.starts_with("&nbsp;"))
            out += ' ', i = amp + 6;
        else if (rest.starts_with("&lt;"))
            out += '<', i = amp + 4;
        else if (rest.starts_with("&gt;"))
            out += '>', i = amp + 4;
        else
            out += '&', i = amp + 1;
    }
    out.append(raw, i);
}

// --- Tags and attributes --------------------------------------------------------------------

// Where the word `name` ends in the tag, after the tag's own name; quoted values are skipped.
std::size_t FindWord(std::string_view tag, std::string_view name) {
    std::size_t i = 0;
    while (i < tag.size() && IsAlnum(tag[i])) ++i;
    while (i < tag.size()) {
        if (tag[i] == '"') {
            const auto close = tag.find('"', i + 1);
            if (close == npos) return npos;
            i = close + 1;
        } else if (IsAlnum(tag[i])) {
            const std::size_t begin = i;
            while (i < tag.size() && IsAlnum(tag[i])) ++i;
            if (tag.substr(begin, i - begin) == name) return i;
        } else {
            ++i;
        }
    }
    return npos;
}

struct Span {
    std::size_t begin, length;
};

// The value of an attribute: the text between the first pair of double quotes after its name.
std::optional<Span> FindAttr(std::string_view tag, std::string_view name) {
    const auto end = FindWord(tag, name);
    if (end == npos) return std::nullopt;
    const auto open = tag.find('"', end);
    if (open == npos) return std::nullopt;
    const auto close = tag.find('"', open + 1);
    if (close == npos) return std::nullopt;
    return Span{open + 1, close - open - 1};
}

std::optional<std::string_view> Attr(std::string_view tag, std::string_view name) {
    const auto span = FindAttr(tag, name);
    if (!span) return std::nullopt;
    return tag.substr(span->begin, span->length);
}

struct NamedColor {
    std::string_view name;
    Color color;
};

constexpr NamedColor ColorNames[] = {
    {"CLBLACK", {0x000000}}, {"CLMAROON", {0x800000}},  {"CLGREEN", {0x008000}},
    {"CLOLIVE", {0x808000}}, {"CLNAVY", {0x000080}},    {"CLPURPLE", {0x800080}},
    {"CLTEAL", {0x008080}},  {"CLGRAY", {0x808080}},    {"CLSILVER", {0xC0C0C0}},
    {"CLRED", {0xFF0000}},   {"CLLIME", {0x00FF00}},    {"CLYELLOW", {0xFFFF00}},
    {"CLBLUE", {0x0000FF}},  {"CLFUCHSIA", {0xFF00FF}}, {"CLAQUA", {0x00FFFF}},
    {"CLWHITE", {0xFFFFFF}},
};

struct NamedDesktopColor {
    std::string_view name;
    DesktopColor color;
};

constexpr NamedDesktopColor DesktopColorNames[] = {
    {"CLBACKGROUND", DesktopColor::Background},
    {"CLACTIVECAPTION", DesktopColor::ActiveCaption},
    {"CLINACTIVECAPTION", DesktopColor::InactiveCaption},
    {"CLMENU", DesktopColor::Menu},
    {"CLWINDOW", DesktopColor::Window},
    {"CLWINDOWFRAME", DesktopColor::WindowFrame},
    {"CLMENUTEXT", DesktopColor::MenuText},
    {"CLWINDOWTEXT", DesktopColor::WindowText},
    {"CLCAPTIONTEXT", DesktopColor::CaptionText},
    {"CLACTIVEBORDER", DesktopColor::ActiveBorder},
    {"CLINACTIVEBORDER", DesktopColor::InactiveBorder},
    {"CLAPPWORKSPACE", DesktopColor::AppWorkspace},
    {"CLHIGHLIGHT", DesktopColor::Highlight},
    {"CLHIGHLIGHTTEXT", DesktopColor::HighlightText},
    {"CLBTNFACE", DesktopColor::BtnFace},
    {"CLBTNSHADOW", DesktopColor::BtnShadow},
    {"CLGRAYTEXT", DesktopColor::GrayText},
    {"CLBTNTEXT", DesktopColor::BtnText},
    {"CLINACTIVECAPTIONTEXT", DesktopColor::InactiveCaptionText},
    {"CLBTNHIGHLIGHT", DesktopColor::BtnHighlight},
    {"CL3DDKSHADOW", DesktopColor::DkShadow3D},
    {"CL3DLIGHT", DesktopColor::Light3D},
    {"CLINFOTEXT", DesktopColor::InfoText},
    {"CLINFOBK", DesktopColor::InfoBk},
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "#RRGGBB" or a colour name, upper case; anything else is black.
Color ParseColor(std::string_view value, const Canvas& canvas) {
    if (value.size() == 7 && value[0] == '#') {
        std::uint32_t rgb = 0;
        for (char c : value.substr(1)) {
            const int digit = HexDigit(c);
            if (digit < 0) return {};
            rgb = rgb << 4 | std::uint32_t(digit);
        }
        return {rgb};
    }
    for (const auto& named : ColorNames)
        if (named.name == value) return named.color;
    for (const auto& named : DesktopColorNames)
        if (named.name == value) return canvas.SystemColor(named.color);
    return {};
}

// --- Layout ---------------------------------------------------------------------------------

enum class Align { Left, Center, Right };
enum class TextAlign { Bottom, Middle, Top }; // of the line's text beside its pictures

// How a piece looks; pieces refer to it by index.
struct Style {
    Font font;
    MaybeColor background;
    int link = 0; // the 1-based number of the link it belongs to, 0 for none
    bool shadow = false, sub = false, sup = false, error = false, blink = false;
};

// One per piece of the text; a text laid out whole keeps them all, so they are kept small.
struct Placed {
    enum class Kind : std::uint8_t { Text, Bullet, Picture };
    Kind kind;
    int style;
    int x = 0, width = 0, height = 0;    // x from the line's left edge
    std::uint32_t begin = 0, length = 0; // Text: its characters in the plain text
    int picture = 0;                     // Picture: its image list entry
    const char* glyph = nullptr;         // Bullet
};

struct Line {
    int top = 0, height = 0, sub = 0, sup = 0;
    int gh = 0;        // height of "gh" at the line's start: the band in which links are hit
    int textShift = 0; // the text raised beside pictures aligned TOP or MIDDLE
    int left = 0;      // after alignment and indent
    int linkAtStart = 0;
    std::size_t first = 0, end = 0; // its placed pieces
    bool rule = false;
    MaybeColor fill, fillTo;

    int Bottom() const { return top + height + sub + sup; }
    int TextBottom() const { return top + height + sup - textShift; }
};

struct Body {
    MaybeColor color, colorTo;
    bool vertical = false;
    const Bitmap* picture = nullptr;
};

// What one line has gathered so far.
struct LineRun {
    int x = 0;
    int textHeight = 0, pictureHeight = 0;
    int trailingSpace = 0; // width of the last piece's trailing space, not part of the line
    bool placedAny = false;
    bool breakable = false; // the last piece ended with a space: the next one may wrap
    bool hadListItem = false;
    bool overflow = false; // without word wrap: the line is full, later pieces are cut off
    TextAlign textAlign = TextAlign::Bottom;
};

enum class TagEnd { Continue, EndLine, EndLineBefore };
enum Match : bool { Exact, Prefix }; // a tag rule takes one name, or every name it begins

// What laying a text out gives: its lines of placed pieces, their styles, and the result.
struct LaidOut {
    std::vector<Style> styles;
    std::vector<Placed> placed;
    std::vector<Line> lines;
    std::vector<std::string> targets; // of every link, kept for hit-testing
    std::optional<Body> body;
    MarkupResult result;
    unsigned flags = 0; // the text flags of every piece, measured and drawn
};

class Layout {
public:
    // The whole text, however far below the rectangle it reaches, with every piece and link
    // target kept; otherwise as much as the mode needs.
    Layout(Canvas& canvas, std::string_view text, const Rect& rect, const MarkupOptions& options,
           bool whole = false)
        : canvas_(canvas), text_(text), rect_(rect), options_(options),
          storing_(whole || options.mode != MarkupMode::MeasureOnly),
          fitting_(!whole && options.mode != MarkupMode::MeasureOnly),
          keepTargets_(whole || options.mode == MarkupMode::HitTest) {
        nextTag_ = std::min(text.find('<'), text.size());
        defaultFont_ = canvas.GetFont();
        style_.font = defaultFont_;
        style_.background = options.selected ? canvas.TextBackground() : std::nullopt;
        out.flags = TextFlagsFor(text, options);
    }

    void Run();

    LaidOut out;

private:
    static unsigned TextFlagsFor(std::string_view text, const MarkupOptions& options) {
        unsigned flags = 0;
        if (text.find(" & ") != npos) flags |= NoPrefix;
        if (!options.wordWrap) flags |= EndEllipsis;
        return flags;
    }

    void RunLine(Line& line, LineRun& run);
    bool TakePiece(Line& line, LineRun& run);

    // A tag as its action sees it: as written (attribute values keep their case), its name
    // in upper case without the "/" of an end tag (names are matched in it), the line it stands
    // in, and what it does to the line.
    struct Tag {
        std::string_view raw, name;
        Line& line;
        LineRun& run;
        TagEnd end = TagEnd::Continue;
    };
    using TagAction = void (*)(Layout&, Tag&);
    struct TagRule {
        std::string_view name;
        Match match;
        TagAction open, close; // null: the rule does not take start (end) tags
    };
    static const TagRule TagRules[];

    TagEnd HandleTag(std::string_view raw, Line& line, LineRun& run);
    void LineBreak(Tag& tag);
    void EndBlink();
    void BodyTag(Tag& tag);
    void PictureTag(Tag& tag);
    void IndentTag(Tag& tag);
    void ListTag(Tag& tag);
    void EndList();
    void ListItemTag(Tag& tag);
    void RuleTag(Tag& tag);
    void Highlight();
    void EndHighlight();
    void FontTag(Tag& tag);
    void EndFont();
    void LinkTag(Tag& tag);
    void EndLink();
    void ParagraphTag(Tag& tag);
    void EndParagraph(Tag& tag);
    void OffsetTag(Tag& tag);
    void RotateTag(Tag& tag);
    const Bitmap* Picture(std::string_view source) const;

    Extent Measure(std::string_view text) {
        UseFont();
        return canvas_.TextExtent(text, out.flags);
    }
    int GhHeight() {
        if (!ghHeight_) ghHeight_ = Measure("gh").height;
        return *ghHeight_;
    }
    int SpaceWidth() {
        if (!spaceWidth_) spaceWidth_ = Measure(" ").width;
        return *spaceWidth_;
    }
    void UseFont() {
        if (!(canvas_.GetFont() == style_.font)) canvas_.SetFont(style_.font);
    }
    // Every change of the style goes through here, so the next piece gets a new style entry
    // and cached measurements are dropped.
    Style& EditStyle() {
        styleChanged_ = true;
        ghHeight_.reset();
        spaceWidth_.reset();
        return style_;
    }
    void SetTextColor(Color color) {
        if (!options_.selected) EditStyle().font.color = color;
    }
    void SetBackground(MaybeColor color) {
        if (!options_.selected) EditStyle().background = color;
    }
    int StyleIndex() {
        if (!storing_) return 0;
        if (styleChanged_ || out.styles.empty()) out.styles.push_back(style_);
        styleChanged_ = false;
        return int(out.styles.size()) - 1;
    }
    void Place(const Placed& piece) {
        if (storing_) out.placed.push_back(piece);
    }
    std::string_view PlainPiece(std::size_t begin) const {
        return std::string_view(out.result.plainText).substr(begin);
    }
    int Limit() const { return rect_.Width() - 1; }

    // Distances the markup gives in pixels are pixels at 96 per inch, as the canvas's font
    // heights are: both grow with the canvas's density.
    int Scaled(int designValue) const { return Scale(designValue, canvas_.PixelsPerInch()); }

    Canvas& canvas_;
    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t nextTag_; // the first "<" at or after pos_, or the text's end
    const Rect rect_;
    const MarkupOptions& options_;
    const bool storing_;
    const bool fitting_;     // lines stop at the rectangle's bottom
    const bool keepTargets_; // for hit-testing

    Font defaultFont_;
    Style style_;
    bool styleChanged_ = true;
    std::optional<int> ghHeight_, spaceWidth_;
    Align align_ = Align::Left;
    int indent_ = 0, listLevel_ = 0, offsetX_ = 0;
    MaybeColor paragraphColor_;
    bool hidden_ = false;
    bool linkUnderline_ = false; // the underline is the link's own
    std::optional<MaybeColor> beforeHover_;
    std::optional<std::pair<Color, MaybeColor>> beforeHighlight_;
};

void Layout::Run() {
    long long y = rect_.top, total = 0;
    int widest = 0;
    bool anyLine = false;
    while (pos_ < text_.size()) {
        const int gh = GhHeight();
        if (anyLine && fitting_ && y + gh > rect_.bottom) break;
        anyLine = true;

        Line line;
        line.top = int(std::min<long long>(y, INT_MAX));
        line.gh = gh;
        line.linkAtStart = style_.link;
        line.fill = paragraphColor_;
        line.first = out.placed.size();
        LineRun run;
        run.x = offsetX_;
        run.textHeight = gh;
        RunLine(line, run);
        line.end = out.placed.size();

        line.height = std::max(run.textHeight, run.pictureHeight);
        if (run.textAlign == TextAlign::Top) line.textShift = line.height - run.textHeight;
        if (run.textAlign == TextAlign::Middle) line.textShift = (line.height - run.textHeight) / 2;
        line.height += options_.lineSpacing;

        const int width = run.x - run.trailingSpace;
        widest = std::max(widest, width);
        line.left = rect_.left + 1;
        if (align_ == Align::Right) line.left = std::max(line.left, rect_.right - width);
        if (align_ == Align::Center && Limit() - width > 0) line.left += (Limit() - width) / 2;
        line.left += indent_;

        const long long advance = (long long)line.height + line.sub + line.sup;
        y += advance;
        total += advance;
        if (storing_) out.lines.push_back(line);
    }
    out.result.width = widest + 2;
    out.result.height = int(std::min<long long>((anyLine ? total : GhHeight()) + 2, INT_MAX));
}

void Layout::RunLine(Line& line, LineRun& run) {
    while (pos_ < text_.size()) {
        if (text_[pos_] != '<') {
            if (!TakePiece(line, run)) return;
            continue;
        }
        const auto close = text_.find('>', pos_);
        if (close == npos) { // an unclosed "<" swallows the rest
            pos_ = text_.size();
            return;
        }
        const TagEnd end = HandleTag(text_.substr(pos_ + 1, close - pos_ - 1), line, run);
        if (end == TagEnd::EndLineBefore) return;
        pos_ = close + 1;
        if (end == TagEnd::EndLine) return;
    }
}

// Takes the next piece onto the line; false when it does not fit and starts the next line.
bool Layout::TakePiece(Line& line, LineRun& run) {
    if (nextTag_ < pos_) nextTag_ = std::min(text_.find('<', pos_), text_.size());
    std::string_view raw = text_.substr(pos_, nextTag_ - pos_);
    if (options_.wordWrap) {
        if (const auto space = raw.find(' '); space != npos) raw = raw.substr(0, space + 1);
    }
    const std::size_t begin = out.result.plainText.size();
    AppendPiece(out.result.plainText, raw);
    if (hidden_ || run.overflow) {
        pos_ += raw.size();
        return true;
    }
    const std::string_view piece = PlainPiece(begin);
    const Extent extent = Measure(piece);
    const bool fits = run.x + extent.width <= Limit();
    if (!fits && run.placedAny && options_.wordWrap && run.breakable) {
        out.result.plainText.resize(begin);
        return false;
    }
    pos_ += raw.size();
    run.overflow = !fits && !options_.wordWrap;

    run.textHeight = std::max(run.textHeight, extent.height);
    if (style_.sub) line.sub = std::max(line.sub, extent.height / 4);
    if (style_.sup) line.sup = std::max(line.sup, extent.height / 4);
    Place({.kind = Placed::Kind::Text,
           .style = StyleIndex(),
           .x = run.x,
           .width = extent.width,
           .height = extent.height,
           .begin = std::uint32_t(begin),
           .length = std::uint32_t(piece.size())});
    run.x = Advance(run.x, extent.width);
    run.placedAny = true;
    // A mark, selector or joiner that follows the blank stays with it: no break before it.
    run.breakable = raw.back() == ' ' && !StartsWithExtension(text_.substr(pos_));
    run.trailingSpace = piece.ends_with(' ') ? SpaceWidth() : 0;
    return true;
}

// --- The tags -------------------------------------------------------------------------------

// Every tag the renderer knows, by its name in upper case. A start tag takes the first rule
// that matches its name and has an open action, an end tag the first that matches and has a
// close action; a prefix rule matches every name that starts with its own ("<BLINK>" is "BL",
// "<BODY>" is "BO"). A tag no rule takes is left out of the text and changes nothing.
const Layout::TagRule Layout::TagRules[] = {
    {"BR", Prefix, [](Layout& l, Tag& t) { l.LineBreak(t); }, nullptr},
    {"B", Exact, [](Layout& l, Tag&) { l.EditStyle().font.bold = true; },
     [](Layout& l, Tag&) { l.EditStyle().font.bold = false; }},
    {"BL", Prefix, [](Layout& l, Tag&) { l.EditStyle().blink = true; }, nullptr},
    {"BO", Prefix, [](Layout& l, Tag& t) { l.BodyTag(t); }, nullptr},
    // </BLINK>, and every other end tag that starts with B but </B>.
    {"B", Prefix, nullptr, [](Layout& l, Tag&) { l.EndBlink(); }},

    {"IM", Prefix, [](Layout& l, Tag& t) { l.PictureTag(t); }, nullptr},
    {"I", Exact, [](Layout& l, Tag&) { l.EditStyle().font.italic = true; },
     [](Layout& l, Tag&) { l.EditStyle().font.italic = false; }},
    {"IN", Prefix, [](Layout& l, Tag& t) { l.IndentTag(t); }, nullptr},

    {"U", Exact, [](Layout& l, Tag&) { l.EditStyle().font.underline = true; },
     [](Layout& l, Tag&) { l.EditStyle().font.underline = false; }},
    // <UL>: one list level deeper. An end tag with no list level open ends underlining.
    {"U", Prefix, [](Layout& l, Tag& t) { l.ListTag(t); }, [](Layout& l, Tag&) { l.EndList(); }},
    {"L", Prefix, [](Layout& l, Tag& t) { l.ListItemTag(t); },
     [](Layout&, Tag& t) { t.end = TagEnd::EndLine; }},

    {"S", Exact, [](Layout& l, Tag&) { l.EditStyle().font.strikeOut = true; },
     [](Layout& l, Tag&) { l.EditStyle().font.strikeOut = false; }},
    {"SUB", Exact, [](Layout& l, Tag&) { l.EditStyle().sub = true; }, nullptr},
    {"SUP", Exact, [](Layout& l, Tag&) { l.EditStyle().sup = true; }, nullptr},
    {"SU", Prefix, nullptr, [](Layout& l, Tag&) { l.EditStyle().sub = l.EditStyle().sup = false; }},
    {"SH", Prefix, [](Layout& l, Tag&) { l.EditStyle().shadow = true; },
     [](Layout& l, Tag&) { l.EditStyle().shadow = false; }},

    {"HR", Prefix, [](Layout& l, Tag& t) { l.RuleTag(t); }, nullptr},
    {"HI", Prefix, [](Layout& l, Tag&) { l.Highlight(); }, nullptr},
    // </HI>, and every other end tag that starts with H.
    {"H", Prefix, nullptr, [](Layout& l, Tag&) { l.EndHighlight(); }},

    {"F", Prefix, [](Layout& l, Tag& t) { l.FontTag(t); }, [](Layout& l, Tag&) { l.EndFont(); }},
    {"A", Prefix, [](Layout& l, Tag& t) { l.LinkTag(t); }, [](Layout& l, Tag&) { l.EndLink(); }},
    {"P", Prefix, [](Layout& l, Tag& t) { l.ParagraphTag(t); },
     [](Layout& l, Tag& t) { l.EndParagraph(t); }},
    {"OF", Prefix, [](Layout& l, Tag& t) { l.OffsetTag(t); }, nullptr},
    // </OFFSET>, and every other end tag that starts with O.
    {"O", Prefix, nullptr, [](Layout& l, Tag&) { l.offsetX_ = 0; }},
    {"E", Prefix, [](Layout& l, Tag&) { l.EditStyle().error = true; },
     [](Layout& l, Tag&) { l.EditStyle().error = false; }},
    {"Z", Prefix, [](Layout& l, Tag&) { l.hidden_ = true; },
     [](Layout& l, Tag&) { l.hidden_ = false; }},
    {"R", Prefix, [](Layout& l, Tag& t) { l.RotateTag(t); },
     [](Layout& l, Tag&) { l.EditStyle().font.escapement = 0; }},
};

TagEnd Layout::HandleTag(std::string_view raw, Line& line, LineRun& run) {
    const std::string upper = ToUpper(raw);
    const bool isEnd = upper.starts_with('/');
    Tag tag{raw.substr(isEnd), std::string_view(upper).substr(isEnd), line, run};
    for (const TagRule& rule : TagRules) {
        const TagAction action = isEnd ? rule.close : rule.open;
        if (action &&
            (rule.match == Prefix ? tag.name.starts_with(rule.name) : tag.name == rule.name)) {
            action(*this, tag);
            break;
        }
    }
    return tag.end;
}

void Layout::LineBreak(Tag& tag) {
    out.result.plainText += '\r';
    tag.end = TagEnd::EndLine;
}

void Layout::EndBlink() {
    EditStyle().blink = false;
    SetTextColor(defaultFont_.color);
}

void Layout::IndentTag(Tag& tag) {
    tag.run.x = std::max(tag.run.x, Scaled(ToInt(Attr(tag.name, "X").value_or(""))) - 1);
}

void Layout::ListTag(Tag& tag) {
    ++listLevel_;
    tag.end = TagEnd::EndLine;
}

void Layout::EndList() {
    if (listLevel_ > 0)
        --listLevel_;
    else
        EditStyle().font.underline = false;
}

void Layout::RuleTag(Tag& tag) {
    tag.line.rule = true;
    tag.end = TagEnd::EndLine;
}

void Layout::Highlight() {
    if (!beforeHighlight_) beforeHighlight_.emplace(style_.font.color, style_.background);
    SetBackground(canvas_.SystemColor(DesktopColor::Highlight));
    SetTextColor(canvas_.SystemColor(DesktopColor::HighlightText));
}

void Layout::EndHighlight() {
    if (!beforeHighlight_) return;
    SetTextColor(beforeHighlight_->first);
    SetBackground(beforeHighlight_->second);
    beforeHighlight_.reset();
}

void Layout::EndFont() {
    Style& style = EditStyle();
    style.font.face = defaultFont_.face;
    style.font.height = defaultFont_.height;
    SetTextColor(defaultFont_.color);
    SetBackground(std::nullopt);
}

void Layout::EndLink() {
    if (linkUnderline_) EditStyle().font.underline = false;
    linkUnderline_ = false;
    SetTextColor(defaultFont_.color);
    if (beforeHover_) SetBackground(*beforeHover_);
    beforeHover_.reset();
    EditStyle().link = 0;
}

void Layout::EndParagraph(Tag& tag) {
    paragraphColor_.reset();
    tag.end = TagEnd::EndLine;
}

void Layout::OffsetTag(Tag& tag) {
    offsetX_ = Scaled(ToInt(Attr(tag.name, "X").value_or("")));
    tag.run.x = std::max(tag.run.x, offsetX_);
}

// The angle is the number after the tag's first "A".
void Layout::RotateTag(Tag& tag) {
    const std::string_view name = tag.name;
    const auto a = name.find('A');
    if (a == npos) return;
    const auto digits = name.find_first_of("-0123456789", a);
    if (digits == npos) return;
    const auto stop = name.find_first_not_of("0123456789", digits + 1);
    EditStyle().font.escapement =
        10 * ToInt(name.substr(digits, stop == npos ? npos : stop - digits));
}

void Layout::FontTag(Tag& t) {
    const std::string_view tag = t.name;
    if (const auto face = Attr(tag, "FACE")) EditStyle().font.face = std::string(*face);
    if (const auto size = Attr(tag, "SIZE")) {
        static constexpr int SizePoints[] = {8, 10, 12, 14, 16};
        const int n = ToInt(*size);
        const int points = n >= 1 && n <= 5 ? SizePoints[n - 1] : std::clamp(n, 0, MaxFontPoints);
        EditStyle().font.height = (points * canvas_.PixelsPerInch() + 36) / 72;
    }
    if (const auto color = Attr(tag, "COLOR")) SetTextColor(ParseColor(*color, canvas_));
    if (const auto color = Attr(tag, "BGCOLOR")) SetBackground(ParseColor(*color, canvas_));
}

void Layout::LinkTag(Tag& tag) {
    const std::string_view raw = tag.raw;
    const int number = ++out.result.linkCount;
    std::string_view target;
    if (const auto open = raw.find('"'); open != npos) {
        const auto close = raw.find('"', open + 1);
        if (close != npos) target = raw.substr(open + 1, close - open - 1);
    }
    if (number == options_.focusLink) out.result.focusTarget = target;
    if (keepTargets_) out.targets.emplace_back(target);

    EditStyle().link = number;
    if (options_.linkColor) SetTextColor(*options_.linkColor);
    const bool hovered = options_.hoverStyle && number == options_.hoverLink;
    if (!options_.hoverStyle || hovered) {
        linkUnderline_ = linkUnderline_ || !style_.font.underline;
        EditStyle().font.underline = true;
    }
    if (hovered && options_.hoverTextColor) SetTextColor(*options_.hoverTextColor);
    if (hovered && options_.hoverBackground) {
        if (!beforeHover_) beforeHover_ = style_.background;
        SetBackground(options_.hoverBackground);
    }
}

void Layout::ParagraphTag(Tag& t) {
    const std::string_view tag = t.name;
    if (const auto align = Attr(tag, "ALIGN")) {
        if (*align == "LEFT") align_ = Align::Left;
        if (*align == "CENTER") align_ = Align::Center;
        if (*align == "RIGHT") align_ = Align::Right;
    }
    if (const auto indent = Attr(tag, "INDENT")) indent_ = Scaled(ToInt(*indent));
    if (const auto color = Attr(tag, "BGCOLOR")) {
        paragraphColor_ = ParseColor(*color, canvas_);
        t.line.fill = paragraphColor_;
        if (const auto to = Attr(tag, "BGCOLORTO")) t.line.fillTo = ParseColor(*to, canvas_);
    }
}

void Layout::ListItemTag(Tag& tag) {
    LineRun& run = tag.run;
    if (run.hadListItem) {
        tag.end = TagEnd::EndLineBefore;
        return;
    }
    run.hadListItem = true;
    const int step = Scaled(ListStep);
    run.x = Advance(run.x, step * listLevel_);
    // The bullet is drawn in the text's own font, which every desktop has: a round bullet
    // (U+2022) on odd levels, an "o" on even ones.
    if (!hidden_)
        Place({.kind = Placed::Kind::Bullet,
               .style = StyleIndex(),
               .x = run.x - step,
               .width = step,
               .glyph = listLevel_ % 2 ? "\xE2\x80\xA2" : "o"});
}

// Only the program's own image list can give a picture; every other source draws nothing.
const Bitmap* Layout::Picture(std::string_view source) const {
    if (!ToUpper(source.substr(0, 4)).starts_with("IDX:")) return nullptr;
    const auto index = ParseInt(source.substr(4));
    if (!index || *index < 0 || std::size_t(*index) >= options_.images.size()) return nullptr;
    const Bitmap& bitmap = options_.images[*index];
    return bitmap.width > 0 && bitmap.height > 0 ? &bitmap : nullptr;
}

void Layout::PictureTag(Tag& t) {
    const std::string_view raw = t.raw, tag = t.name;
    LineRun& run = t.run;
    const auto source = FindAttr(tag, "SRC");
    const Bitmap* bitmap = source ? Picture(raw.substr(source->begin, source->length)) : nullptr;
    if (!bitmap || hidden_) return;
    int width = bitmap->width, height = bitmap->height;
    if (const auto w = Attr(tag, "WIDTH"); w && ToInt(*w) > 0) width = ToInt(*w);
    if (const auto h = Attr(tag, "HEIGHT"); h && ToInt(*h) > 0) height = ToInt(*h);
    if (options_.print) {
        const double factor = std::clamp(options_.resolutionFactor, 0.0, 100.0);
        width = int(std::min(width * factor, double(NumberLimit)));
        height = int(std::min(height * factor, double(NumberLimit)));
    }
    if (width <= 0 || height <= 0) return;
    if (options_.wordWrap && run.placedAny && run.x + width > Limit()) {
        t.end = TagEnd::EndLineBefore;
        return;
    }

    Place({.kind = Placed::Kind::Picture,
           .style = StyleIndex(),
           .x = run.x,
           .width = width,
           .height = height,
           .picture = int(bitmap - options_.images.data())});
    run.x = Advance(run.x, width);
    run.placedAny = true;
    run.breakable = true;
    run.trailingSpace = 0;
    if (FindWord(tag, "WRAP") == npos) run.pictureHeight = std::max(run.pictureHeight, height);
    if (const auto align = Attr(tag, "ALIGN")) {
        if (*align == "TOP") run.textAlign = TextAlign::Top;
        if (*align == "MIDDLE") run.textAlign = TextAlign::Middle;
    }
}

void Layout::BodyTag(Tag& t) {
    const std::string_view raw = t.raw, tag = t.name;
    Body b;
    if (const auto color = Attr(tag, "BGCOLOR")) b.color = ParseColor(*color, canvas_);
    if (const auto to = Attr(tag, "BGCOLORTO")) b.colorTo = ParseColor(*to, canvas_);
    b.vertical = Attr(tag, "DIR") == "V";
    if (const auto source = FindAttr(tag, "BACKGROUND"))
        b.picture = Picture(raw.substr(source->begin, source->length));
    out.body = b;
}

// --- Drawing and hit-testing ----------------------------------------------------------------

// Whether a line stands below the last one that fits whole above bottom: the layout of a
// rectangle ends before it.
bool BelowTheEnd(const LaidOut& layout, const Line& line, int dy, int bottom) {
    return &line != &layout.lines.front() && (long long)line.top + dy + line.gh > bottom;
}

// Draws a layout into rect, its lines moved dy down and ended as a layout of rect would end.
class Painter {
public:
    Painter(Canvas& canvas, const LaidOut& layout, const Rect& rect, const MarkupOptions& options,
            int dy = 0)
        : canvas_(canvas), layout_(layout), rect_(rect), options_(options), dy_(dy),
          blinkOff_(canvas.TextBackground()) {}

    void Paint() {
        if (layout_.body) PaintBody(*layout_.body);
        for (const Line& laid : layout_.lines) {
            if (BelowTheEnd(layout_, laid, dy_, rect_.bottom)) break;
            Line line = laid;
            line.top += dy_;
            if (line.fill) {
                const Rect band{rect_.left, line.top, rect_.right, line.Bottom()};
                if (line.fillTo)
                    canvas_.GradientBands(band, *line.fill, *line.fillTo, GradientBandCount,
                                          GradientDirection::Horizontal);
                else
                    canvas_.FillRect(band, *line.fill);
            }
            for (std::size_t i = line.first; i < line.end; ++i) PaintPiece(line, layout_.placed[i]);
            if (line.rule) {
                const int y = line.Bottom() - line.sub + 1;
                canvas_.Line({line.left, y}, {rect_.right, y}, Color{0x000000});
            }
        }
    }

private:
    void PaintBody(const Body& body) {
        if (body.picture) {
            const auto clip = canvas_.ClipRect();
            Rect area = rect_;
            if (clip) {
                area = {std::max(area.left, clip->left), std::max(area.top, clip->top),
                        std::min(area.right, clip->right), std::min(area.bottom, clip->bottom)};
            }
            canvas_.SetClipRect(area);
            // Tiles start at the rectangle's corner; only those that reach the area are drawn.
            const int w = body.picture->width, h = body.picture->height;
            const int firstX = rect_.left + std::max(0, area.left - rect_.left) / w * w;
            const int firstY = rect_.top + std::max(0, area.top - rect_.top) / h * h;
            for (int y = firstY; y < area.bottom; y += h)
                for (int x = firstX; x < area.right; x += w)
                    canvas_.DrawBitmap(*body.picture, {x, y, x + w, y + h}, {});
            canvas_.SetClipRect(clip);
        } else if (body.color && body.colorTo) {
            canvas_.GradientBands(rect_, *body.color, *body.colorTo, GradientBandCount,
                                  body.vertical ? GradientDirection::Vertical
                                                : GradientDirection::Horizontal);
        } else if (body.color) {
            canvas_.FillRect(rect_, *body.color);
        }
    }

    void Use(const Font& font, MaybeColor background) {
        if (!(canvas_.GetFont() == font)) canvas_.SetFont(font);
        if (canvas_.TextBackground() != background) canvas_.SetTextBackground(background);
    }

    void PaintPiece(const Line& line, const Placed& piece) {
        const Style& style = layout_.styles[piece.style];
        const int left = line.left + piece.x;
        if (piece.kind == Placed::Kind::Picture) {
            const Bitmap& bitmap = options_.images[piece.picture];
            const int bottom = line.top + line.height + line.sup;
            canvas_.DrawBitmap(bitmap, {left, bottom - piece.height, left + piece.width, bottom},
                               bitmap.At(0, bitmap.height - 1));
            return;
        }
        Rect cell{left, line.top, rect_.right, line.TextBottom()};
        if (style.sup) cell.bottom -= line.sup;
        if (style.sub) cell.bottom += line.sub;
        if (cell.left >= cell.right) return;

        Font font = style.font;
        if (style.blink && !options_.blinkPhase) {
            if (!blinkOff_) return; // nothing to show it in: it stays invisible
            font.color = *blinkOff_;
        }
        if (piece.kind == Placed::Kind::Bullet) {
            Use(font, style.background);
            canvas_.TextRect(cell, piece.glyph, NoPrefix);
            return;
        }
        const std::string_view text =
            std::string_view(layout_.result.plainText).substr(piece.begin, piece.length);
        if (style.shadow && options_.shadowColor) {
            Font shadow = font;
            shadow.color = *options_.shadowColor;
            Use(shadow, std::nullopt);
            const int offset = options_.shadowOffset;
            canvas_.TextRect(
                {cell.left + offset, cell.top + offset, cell.right + offset, cell.bottom + offset},
                text, layout_.flags);
        }
        Use(font, style.background);
        canvas_.TextRect(cell, text, layout_.flags);
        const int right = std::min(cell.right, left + piece.width);
        if (style.error) {
            // A zigzag 1 pixel wide that steps 2 pixels right and 2 up or down.
            for (int x = left, up = 0; x < right; x += 2, up ^= 1)
                canvas_.Line({x, cell.bottom - 1 - 2 * up}, {x + 2, cell.bottom - 3 + 2 * up},
                             Color{0xFF0000});
        }
        if (style.link && style.link == options_.focusLink)
            canvas_.FocusRect({left, cell.bottom - piece.height, right, cell.bottom});
    }

    Canvas& canvas_;
    const LaidOut& layout_;
    const Rect rect_;
    const MarkupOptions& options_;
    const int dy_;
    const MaybeColor blinkOff_;
};

// The link under point in the lines that fit whole above bottom.
void HitTest(const LaidOut& layout, Point point, int bottom, MarkupResult& result) {
    for (const Line& line : layout.lines) {
        if (BelowTheEnd(layout, line, 0, bottom)) return;
        for (std::size_t i = line.first; i < line.end; ++i) {
            const Placed& piece = layout.placed[i];
            const int link = layout.styles[piece.style].link;
            if (!link || piece.kind == Placed::Kind::Bullet) continue;
            const int left = line.left + piece.x;
            const int bottom = piece.kind == Placed::Kind::Picture
                                   ? line.top + line.height + line.sup
                                   : line.TextBottom();
            const int height = piece.kind == Placed::Kind::Picture ? piece.height : line.gh;
            if (!Rect{left, bottom - height, left + piece.width, bottom}.Contains(point)) continue;

            result.onLink = true;
            result.linkUnderPoint = link;
            result.linkTarget = layout.targets[link - 1];
            int from = INT_MAX, to = INT_MIN;
            for (std::size_t j = line.first; j < line.end; ++j) {
                const Placed& part = layout.placed[j];
                if (layout.styles[part.style].link != link || part.kind == Placed::Kind::Bullet)
                    continue;
                from = std::min(from, line.left + part.x);
                to = std::max(to, line.left + part.x + part.width);
            }
            if (line.linkAtStart == link) from = line.left;
            result.linkRect = {from, line.top, to, line.Bottom()};
            return;
        }
    }
}

// The canvas's font and text background as they were, whatever drawing or measuring did.
class KeepCanvasState {
public:
    explicit KeepCanvasState(Canvas& canvas)
        : canvas_(canvas), font_(canvas.GetFont()), background_(canvas.TextBackground()) {}
    ~KeepCanvasState() {
        if (!(canvas_.GetFont() == font_)) canvas_.SetFont(font_);
        if (canvas_.TextBackground() != background_) canvas_.SetTextBackground(background_);
    }
    KeepCanvasState(const KeepCanvasState&) = delete;
    KeepCanvasState& operator=(const KeepCanvasState&) = delete;

private:
    Canvas& canvas_;
    const Font font_;
    const MaybeColor background_;
};

} // namespace

MarkupResult DrawMarkup(Canvas& canvas, std::string_view text, const Rect& rect,
                        const MarkupOptions& options) {
    const KeepCanvasState keep(canvas);
    const std::string prepared = Prepare(text);
    Layout layout(canvas, prepared, rect, options);
    layout.Run();
    if (options.mode == MarkupMode::Draw) Painter(canvas, layout.out, rect, options).Paint();
    if (options.mode == MarkupMode::HitTest)
        HitTest(layout.out, options.point, rect.bottom, layout.out.result);
    return std::move(layout.out.result);
}

namespace {

// Measures every text as nothing wide, so that the plain text comes out unwrapped and whole.
class NothingWide final : public Canvas {
public:
    const Font& GetFont() const override { return font_; }
    void SetFont(const Font& font) override { font_ = font; }
    MaybeColor TextBackground() const override { return {}; }
    void SetTextBackground(MaybeColor) override {}
    Extent TextExtent(std::string_view, unsigned) override { return {0, 1}; }
    void TextRect(const Rect&, std::string_view, unsigned) override {}
    void FillRect(const Rect&, Color) override {}
    void FrameRect(const Rect&, Color) override {}
    void Line(Point, Point, Color) override {}
    void SetPixel(Point, Color) override {}
    void FocusRect(const Rect&) override {}
    void DrawBitmap(const Bitmap&, const Rect&, MaybeColor) override {}
    std::optional<Rect> ClipRect() const override { return {}; }
    void SetClipRect(std::optional<Rect>) override {}
    Color SystemColor(DesktopColor) const override { return {}; }
    int PixelsPerInch() const override { return DesignDpi; }

private:
    Font font_;
};

// The renderer's plain text as a screen reader says it; see MarkupPlainText.
std::string Spoken(std::string_view plain, std::string_view lineSeparator) {
    std::string spoken, line;
    const auto endLine = [&] {
        while (!line.empty() && line.back() == ' ') line.pop_back();
        if (line.empty()) return;
        if (!spoken.empty()) spoken += lineSeparator;
        spoken += line;
        line.clear();
    };
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const char c = plain[i];
        // The renderer's plain text is drawn with "&&" showing one ampersand.
        if (c == '&' && i + 1 < plain.size() && plain[i + 1] == '&') {
            line += '&';
            ++i;
        } else if (c == '\r' || c == '\n') {
            endLine();
        } else if (c == ' ' || c == '\t') {
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else {
            line += c;
        }
    }
    endLine();
    return spoken;
}

} // namespace

std::string MarkupPlainText(std::string_view text, std::string_view lineSeparator) {
    NothingWide canvas;
    return Spoken(
        DrawMarkup(canvas, text, {0, 0, 1'000'000, 1'000'000}, {.mode = MarkupMode::MeasureOnly})
            .plainText,
        lineSeparator);
}

struct MarkupLayout::Laid {
    LaidOut out;
    Rect rect;
    MarkupOptions options;
};

MarkupLayout::MarkupLayout(Canvas& canvas, std::string_view text, const Rect& rect,
                           const MarkupOptions& options) {
    const KeepCanvasState keep(canvas);
    const std::string prepared = Prepare(text);
    Layout layout(canvas, prepared, rect, options, true);
    layout.Run();
    laid_ = std::make_unique<Laid>(Laid{std::move(layout.out), rect, options});
}

MarkupLayout::~MarkupLayout() = default;
MarkupLayout::MarkupLayout(MarkupLayout&&) noexcept = default;
MarkupLayout& MarkupLayout::operator=(MarkupLayout&&) noexcept = default;

const MarkupResult& MarkupLayout::Result() const {
    return laid_->out.result;
}

void MarkupLayout::Draw(Canvas& canvas, int scroll, int bottom) const {
    const KeepCanvasState keep(canvas);
    const Rect& laidIn = laid_->rect;
    const Rect rect{laidIn.left, laidIn.top - scroll, laidIn.right, bottom};
    Painter(canvas, laid_->out, rect, laid_->options, -scroll).Paint();
}

int MarkupLayout::LinkAt(Point point, int bottom) const {
    MarkupResult hit;
    HitTest(laid_->out, point, bottom, hit);
    return hit.linkUnderPoint;
}

std::vector<MarkupLink> MarkupLayout::Links() const {
    const LaidOut& out = laid_->out;
    std::vector<MarkupLink> links(out.targets.size());
    std::vector<std::string> plain(out.targets.size());
    for (std::size_t n = 0; n < links.size(); ++n) links[n].target = out.targets[n];
    for (const Line& line : out.lines) {
        for (std::size_t i = line.first; i < line.end; ++i) {
            const Placed& piece = out.placed[i];
            const int link = out.styles[piece.style].link;
            if (!link || piece.kind != Placed::Kind::Text) continue;
            plain[link - 1] +=
                std::string_view(out.result.plainText).substr(piece.begin, piece.length);
            Rect& rect = links[link - 1].rect;
            const Rect placed{line.left + piece.x, line.top, line.left + piece.x + piece.width,
                              line.Bottom()};
            if (rect.Width() == 0 && rect.Height() == 0)
                rect = placed;
            else if (rect.top == placed.top) // its first line only
                rect.right = std::max(rect.right, placed.right);
        }
    }
    for (std::size_t n = 0; n < links.size(); ++n) links[n].text = Spoken(plain[n], " ");
    return links;
}

} // namespace quillet
