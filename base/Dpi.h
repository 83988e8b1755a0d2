#pragma once
// Sizes on screens of any pixel density. Every size, position and font height in the program
// is a design value for 96 pixels per inch; on a screen of another density it is scaled by
// dpi / 96, rounded as the desktop itself rounds (to the nearest, halves away from zero), so
// that at 96 every pixel stays where it was designed.
#include "base/Canvas.h"

namespace quillet {

inline constexpr int DesignDpi = 96;

// A design value in pixels at `dpi`.
constexpr int Scale(int designValue, int dpi) {
    const long long product = (long long)designValue * dpi;
    return int(product >= 0 ? (product + DesignDpi / 2) / DesignDpi
                            : -((-product + DesignDpi / 2) / DesignDpi));
}

// A font whose character height is a design value, at `dpi`.
inline Font Scale(Font font, int dpi) {
    font.height = Scale(font.height, dpi);
    return font;
}

// Pixels at `dpi` back in design units, for what is stored: a size written on one screen
// reads the same on any other.
constexpr int Unscale(int pixels, int dpi) {
    if (dpi <= 0) return pixels;
    const long long product = (long long)pixels * DesignDpi;
    return int(product >= 0 ? (product + dpi / 2) / dpi : -((-product + dpi / 2) / dpi));
}

} // namespace quillet
