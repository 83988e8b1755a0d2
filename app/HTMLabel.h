#pragma once
// The markup label: a child window that shows its markup text, points with a hand over its
// links, and opens a web or mail link when the mouse is pressed on it.
#include "base/Dpi.h"
#include "markup/DrawMarkup.h"
#include "win32/Window.h"

#include <functional>
#include <span>
#include <string>

namespace quillet {

class THTMLabel : public win32::Window {
public:
    // Set these before Create, or call Refresh after changing them.
    std::string HTMLText;
    quillet::Font Font{"Tahoma", 12};
    MaybeColor Background; // none: transparent, the parent's background shows
    bool Ellipsis = false; // lines are cut with an ellipsis instead of wrapped
    bool Hover = false;    // only the link under the pointer is underlined
    int ShadowOffset = 2;
    MaybeColor ShadowColor = Color{0x808080};
    MaybeColor URLColor = Color{0x0000FF};
    // How web and mail links are opened; tests put an observer here.
    std::function<void(const std::string& target)> OpenLink = ShellOpen;

    // The rest of the label's interface, which this program leaves as it is: the background
    // and text colours of the link under the pointer (with Hover), the pictures its markup
    // may name, and what a press on a link that is neither a web nor a mail address does.
    MaybeColor HoverColor, HoverFontColor;
    std::span<const Bitmap> Images;
    std::function<void(const std::string& target)> OnAnchorClick;

    void Create(HWND parent, int left, int top, int width, int height);
    void Refresh();
    // It draws at its dialog's density (SetDpi): Font's height and the markup's distances are
    // design values at 96.

    // The desktop's "open" action.
    static void ShellOpen(const std::string& target);

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    void PointerLeft() override;
    void DpiChanged(std::optional<RECT>) override;
    MarkupOptions Options(MarkupMode mode, Point point = {}) const;
    Rect Area() const;
    MarkupResult HitTest(Point point);
    void PaintBackground(HDC dc);
    void SetHoverLink(int link);

    int hoverLink_ = -1; // the link under the pointer
};

} // namespace quillet
