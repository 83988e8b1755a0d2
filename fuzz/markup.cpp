// Measures, draws and hit-tests random markup in random rectangles on the recording canvas,
// at once and from a layout made once, which must agree, lists its links and speaks it; what it
// draws of well-formed UTF-8 is whole characters. The first 8 bytes choose the
// rectangle, the point and the options; the rest is the markup.
#include "base/Utf8.h"
#include "markup/DrawMarkup.h"
#include "tests/support/RecordingCanvas.h"

#include <cstdint>
#include <cstdlib>

using namespace quillet;

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

const std::vector<Bitmap>& Images() {
    static const std::vector<Bitmap> images{
        {16, 16, std::vector<Color>(16 * 16, Color{0xFF00FF})},
        {40, 12, std::vector<Color>(40 * 12, Color{0x00FF00})},
    };
    return images;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return 0;
    const Rect rect{data[0] - 128, data[1] - 128, data[0] - 128 + data[2] * 4,
                    data[1] - 128 + data[3] * 4};
    MarkupOptions options{
        .point = {rect.left + data[6] - 32, rect.top + data[7] - 32},
        .images = Images(),
        .hoverLink = data[5] >> 2 & 3,
        .shadowOffset = data[5] >> 4 & 3,
        .selected = (data[4] & 8) != 0,
        .blinkPhase = (data[4] & 4) != 0,
        .hoverStyle = (data[4] & 2) != 0,
        .wordWrap = (data[4] & 1) != 0,
        .linkColor = Color{0x0000FF},
        .hoverBackground = Color{0xFFFF00},
        .hoverTextColor = Color{0xFF0000},
        .shadowColor = Color{0x808080},
        .focusLink = data[5] & 3,
        .print = (data[4] & 16) != 0,
        .resolutionFactor = 1.5,
        .lineSpacing = data[4] >> 6,
    };
    const std::string_view text(reinterpret_cast<const char*>(data) + 8, size - 8);

    options.mode = MarkupMode::MeasureOnly;
    RecordingCanvas measuring;
    const MarkupResult measured = DrawMarkup(measuring, text, rect, options);
    Check(measuring.calls.empty() && measured.width >= 2 && measured.height >= 2);

    options.mode = MarkupMode::Draw;
    RecordingCanvas drawing;
    drawing.SetClipRect(rect);
    const MarkupResult drawn = DrawMarkup(drawing, text, rect, options);
    Check(drawn.height <= measured.height && drawn.linkCount <= measured.linkCount);
    Check(drawing.GetFont() == DefaultTestFont() && drawing.ClipRect() == rect);
    // Text of any script is cut only between characters.
    if (IsValidUtf8(text))
        for (const auto& call : drawing.Of(RecordingCanvas::Op::Text))
            Check(IsValidUtf8(call.text));

    options.mode = MarkupMode::HitTest;
    RecordingCanvas testing;
    const MarkupResult hit = DrawMarkup(testing, text, rect, options);
    Check(testing.calls.empty());
    Check(hit.onLink == (hit.linkUnderPoint > 0) && hit.linkUnderPoint <= hit.linkCount);

    RecordingCanvas laying;
    const MarkupLayout layout(laying, text, rect, options);
    Check(laying.calls.empty() && layout.Result().height == measured.height);
    RecordingCanvas replaying;
    replaying.SetClipRect(rect);
    layout.Draw(replaying, 0, rect.bottom);
    // Where the drawing stopped before the text's last line, a later <BODY> still colours it
    // here.
    if (drawn.height == measured.height) Check(replaying.calls.size() == drawing.calls.size());
    Check(layout.LinkAt(options.point, rect.bottom) == hit.linkUnderPoint);

    // What a screen reader hears: every link listed, and the plain text one line per line,
    // without blanks at either end of a line.
    Check(int(layout.Links().size()) == measured.linkCount);
    const std::string spoken = MarkupPlainText(text, "\n");
    Check(spoken.find("\n\n") == std::string::npos && spoken.find("  ") == std::string::npos);
    Check(spoken.empty() || (spoken.front() != ' ' && spoken.back() != ' '));
    return 0;
}
