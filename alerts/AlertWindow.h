#pragma once
// The reminder popup: what it draws and where, and how it answers the pointer. The window on
// the desktop that carries it (a PopupHost) passes the pointer on and paints what this draws;
// the alert component TAdvAlertWindow owns it, configures it, and decides when it shows and how
// opaque it is.
#include "alerts/AlertDesktop.h"
#include "base/Canvas.h"
#include "base/Dpi.h"
#include "markup/DrawMarkup.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillet {

class TAdvAlertWindow;
class TMsgCollectionItem;

// A button picture, with the grey version that a button shows while it cannot be used, in
// one size or in several drawn for different screens.
class ButtonGlyph {
public:
    static constexpr int DesignSize = 16; // pixels square at 96 pixels per inch

    ButtonGlyph() = default;
    // Implicit, so that a glyph is set by assigning a bitmap. The bottom-left pixel's colour is
    // the transparent colour.
    ButtonGlyph(Bitmap bitmap);
    // The same picture drawn in several sizes.
    ButtonGlyph(std::vector<Bitmap> sizes);

    // The size drawn nearest to `size` pixels square (between two, the larger).
    const Bitmap& Normal(int size = DesignSize) const { return normal_[Nearest(size)]; }
    const Bitmap& Greyed(int size = DesignSize) const { return greyed_[Nearest(size)]; }

private:
    std::size_t Nearest(int size) const;

    std::vector<Bitmap> normal_{1}, greyed_{1};
};

enum class AlertButton { Close, Prev, Next, Delete, ScrollUp, ScrollDown, Snooze };
inline constexpr int AlertButtonCount = 7;

// Where the parts of the popup stand, relative to its top-left corner.
struct AlertLayout {
    Rect grip, close, text, prev, next, del, scrollUp, scrollDown;
    Rect snooze; // the bottom right corner, below the scroll-down button
};

// One button of the popup as it stands now. Painting, the pointer, the hints and the screen
// reader's view of the popup all read the buttons from TAlertWindow::Parts(), and a button
// does what TAlertWindow::Act does for its id, whoever presses it.
struct AlertPart {
    AlertButton id;
    Rect rect;
    bool shown = true;    // painted; a button not shown is not enabled either
    bool enabled = true;  // can be pressed; shown but not enabled, it is painted grey
    std::string name;     // what it does in words: its hint and what a screen reader says
    bool hinted = true;   // the name shows as a hint while the pointer rests on it
    bool repeats = false; // acts again and again while held down
    // The picture: a glyph at glyphOffset (design pixels from the button's corner), or a
    // triangle pointing up (-1) or down (+1).
    const ButtonGlyph* glyph = nullptr;
    Point glyphOffset{};
    int arrow = 0;
};

// The parts of a width x height popup showing one of `count` messages, at `dpi` pixels per
// inch. positionWidth: the width of the position text with the two largest numbers, "4 of 5"
// for five messages. All in pixels, the margins too.
AlertLayout LayOutAlert(int width, int height, int marginX, int marginY, int positionWidth,
                        int count, bool showDelete, int dpi = DesignDpi);

class TAlertWindow {
public:
    // Creates its window on the desktop, hidden.
    TAlertWindow(TAdvAlertWindow& owner, AlertDesktop& desktop);
    ~TAlertWindow();
    TAlertWindow(const TAlertWindow&) = delete;
    TAlertWindow& operator=(const TAlertWindow&) = delete;

    PopupHost& Host() { return *host_; }
    // Hides the window at once; whatever the pointer was doing on it is over.
    void Hide();
    // Paints all of it again; a reminder the visible popup had not shown before is announced.
    void Repaint();
    // The shown message starts unscrolled.
    void ResetScroll();
    // The pixels per inch that the popup is laid out for: its monitor's.
    int Dpi() const { return dpi_; }
    void SetDpi(int dpi);
    // The window went to a monitor of another density (dpi), and takes the bounds suggested
    // for it there.
    void DpiChanged(int dpi, const Rect& bounds);

    // What the window reports. Points are relative to the popup's top-left corner.
    void Paint(Canvas& canvas);
    void PointerMoved(Point at);
    void PointerPressed(Point at);
    void PointerReleased(Point at);
    void PointerLeft();
    // The right button was released at `at` (over the snooze button: the menu of its times).
    void PointerMenu(Point at);
    void ScrollRepeat();

    // The buttons as they stand now, in the order they are painted.
    std::vector<AlertPart> Parts() const { return Parts(Measure()); }
    AlertPart Part(AlertButton id) const;
    // What the button does when clicked. The pointer asks for it only on a button that was
    // enabled when pressed, and so should every other caller.
    void Act(AlertButton id);

    // The shown message as a screen reader says it, one line of it after another; empty
    // without a message.
    std::string SpokenMessage() const;
    // The links of the shown message, placed where the popup shows them now.
    std::vector<MarkupLink> Links() const;

    // The state that pointer and painting share.
    AlertLayout Layout() const { return Measure().layout; }
    bool Hovered(AlertButton button) const { return hovered_[Index(button)]; }
    bool Pressed(AlertButton button) const { return pressed_[Index(button)]; }
    bool Dragging() const { return dragging_; }
    int ScrollOffset() const { return scrollOffset_; }
    bool CanScrollUp() const { return Measure().canScrollUp; }
    bool CanScrollDown() const { return Measure().canScrollDown; }
    // The 1-based number of the link under the pointer, -1 for none.
    int HoverLink() const { return hoverLink_; }

private:
    // The parts as they stand now, and how far the shown message can scroll.
    struct Measures {
        AlertLayout layout;
        int textHeight = 0; // of the shown message in the text area; 0 without scrollers
        bool canScrollUp = false, canScrollDown = false;
    };

    // The shown message laid out in the text area, and what the layout was made for.
    struct MessageLayout {
        struct Key {
            const TMsgCollectionItem* message;
            unsigned revision;
            Rect area;
            quillet::Font font;
            int hoverLink; // -1 unless links show their hover look
            MaybeColor linkColor;
            friend bool operator==(const Key&, const Key&) = default;
        } key;
        MarkupLayout layout;
    };

    static constexpr std::size_t Index(AlertButton b) { return std::size_t(b); }
    Rect Client() const;
    int Scaled(int designValue) const { return Scale(designValue, dpi_); }
    // The component's font at the popup's density.
    quillet::Font ShownFont() const;
    // On canvas, in the popup's font.
    Measures Measure(Canvas& canvas) const;
    Measures Measure() const { return Measure(host_->MeasuringCanvas()); }
    // The shown message laid out in the text area, on canvas in the popup's font; laid out
    // anew only when the message, the area, the font or the hovered link has changed. Null
    // without a message.
    const MarkupLayout* ShownLayout(Canvas& canvas, const Rect& area) const;
    MarkupOptions MessageOptions() const;
    std::vector<AlertPart> Parts(const Measures& measures) const;
    void SetHint(const std::string& hint);

    void UpdateButtons(Point at);
    void UpdateLink(Point at);
    // Scrolls by one step up (-1) or down (+1) where the message allows it.
    void ScrollBy(int direction, const Measures& measures);
    void ClearPointerState();

    void PaintGrip(Canvas& canvas, const Rect& grip) const;
    void PaintPart(Canvas& canvas, const AlertPart& part) const;
    void PaintMessage(Canvas& canvas, const Rect& textArea, bool scrolled) const;
    void PaintPositionText(Canvas& canvas) const;

    TAdvAlertWindow& owner_;
    std::unique_ptr<PopupHost> host_;
    std::array<bool, AlertButtonCount> hovered_{}, pressed_{};
    bool dragging_ = false;
    Point dragStart_;
    int scrollOffset_ = 0;
    int hoverLink_ = -1;
    int dpi_ = DesignDpi;
    std::string hint_;
    // The message last announced, and the list's revision then.
    std::optional<std::pair<const TMsgCollectionItem*, unsigned>> announced_;
    mutable std::optional<MessageLayout> messageLayout_;
};

} // namespace quillet
