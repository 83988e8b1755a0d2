#pragma once
// AdvPanel1, the panel that fills the client area of each dialog: light blue shades from top
// to bottom in the office style, with the labels drawn over it transparently and all text on
// it and in its fields in dark blue.
#include "base/Canvas.h"
#include "win32/Gdi.h"

#include <optional>

namespace quillet {

inline constexpr Color DarkBlue{0x083772};

class TAdvPanel {
public:
    // Fills the dialog's client area; call once the dialog has its final size.
    void Create(HWND dialog);

    // The dialog's messages that concern the panel: its background and the colours of the
    // controls on it. The message's result, or nothing for the messages the panel leaves alone.
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    HWND dialog_ = nullptr;
    win32::GdiBitmap picture_; // the whole panel, as large as the client area
    win32::GdiBrush brush_;    // the same picture, for the controls to paint their background with
};

} // namespace quillet
