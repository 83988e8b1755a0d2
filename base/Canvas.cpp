#include "base/Canvas.h"

namespace quillet {

void Canvas::GradientBands(const Rect& rect, Color from, Color to, int bands,
                           GradientDirection direction) {
    if (bands < 1) return;
    const bool across = direction == GradientDirection::Horizontal;
    const long long length = across ? rect.Width() : rect.Height();
    const auto step = [&](int a, int b, int i) {
        return bands == 1 ? a : a + (b - a) * i / (bands - 1);
    };
    for (int i = 0; i < bands; ++i) {
        // Band edges are spread over the whole length, so no band is lost to rounding.
        const int begin = int(length * i / bands), end = int(length * (i + 1) / bands);
        if (begin == end) continue;
        Rect band = rect;
        if (across) {
            band.left = rect.left + begin;
            band.right = rect.left + end;
        } else {
            band.top = rect.top + begin;
            band.bottom = rect.top + end;
        }
        FillRect(band,
                 Color::FromRgb(step(from.Red(), to.Red(), i), step(from.Green(), to.Green(), i),
                                step(from.Blue(), to.Blue(), i)));
    }
}

} // namespace quillet
