#pragma once
// The alert component: the reminder messages, the popup that shows them, and how the popup
// comes up: its size, place and colours, and its fade-in. The main window owns one and calls
// AlertMessages().Add(), Show() and LastMessage(); everything else happens in the popup.
#include "alerts/AlertDesktop.h"
#include "alerts/AlertMessages.h"
#include "alerts/AlertWindow.h"
#include "alerts/FadeThread.h"
#include "base/Canvas.h"
#include "base/UiThread.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillet {

enum TAdvAlertWindowStyle {
    asOffice2003Blue,
    asOffice2003Silver,
    asOffice2003Olive,
    asOffice2003Classic,
    asOffice2007Luna
};

// The colours that a style sets.
struct AlertColors {
    Color WindowColor, WindowColorTo;   // the body, top to bottom
    Color CaptionColor, CaptionColorTo; // the grip bar, top to bottom
    Color BorderColor;
    Color BtnDownColor, BtnDownColorTo;   // a pressed button
    Color BtnHoverColor, BtnHoverColorTo; // a hovered button
};

// The colours of a style; the classic one takes its border from the desktop's active caption.
AlertColors StyleColors(TAdvAlertWindowStyle style, Color activeCaption);
// The style that suits the desktop's theme, given its colour-scheme name (none: no theme).
TAdvAlertWindowStyle StyleForTheme(const std::optional<std::string>& colorScheme);

// How long the snooze button snoozes: minutes, a day being "tomorrow at the same time".
inline constexpr int SnoozeChoices[] = {5, 10, 15, 30, 60, 24 * 60};
inline constexpr int DefaultSnoozeMinutes = 10;
bool IsSnoozeChoice(int minutes);
// "5 minutes", "1 hour", "Tomorrow at this time".
std::string SnoozeChoiceText(int minutes);

enum TWindowPosition {
    wpRightBottom, // the bottom-right corner of the work area
    wpPreset       // PopupLeft, PopupTop: where the user dragged it
};

class TAdvAlertWindow final : private AlertPopup, private AlertList {
public:
    // Everything here runs on the user-interface thread that ui hands over to. The popup's
    // window comes from desktop at the first showing.
    TAdvAlertWindow(AlertDesktop& desktop, UiThread& ui);
    // A fade under way is stopped and ends before the component goes.
    ~TAdvAlertWindow() override;
    TAdvAlertWindow(const TAdvAlertWindow&) = delete;
    TAdvAlertWindow& operator=(const TAdvAlertWindow&) = delete;

    // The configuration, read at every showing. Sizes, margins and the font's height are
    // design values for 96 pixels per inch: the popup scales them to its monitor's density.
    bool AutoThemeAdapt = true; // the style follows the desktop's theme
    bool Hover = true;          // a link is underlined only while the pointer is over it
    int MarginX = 4, MarginY = 1;
    int PopupWidth = 300, PopupHeight = 200;
    int PopupLeft = 0, PopupTop = 0;
    bool ShowScrollers = true; // scroll buttons for a message taller than the text area
    bool ShowDelete = true;
    int AlphaStart = 0, AlphaEnd = 180; // opacity at the start and the end of the fade-in
    int FadeStep = 2;
    std::chrono::milliseconds FadeTime{50};
    TWindowPosition WindowPosition = wpRightBottom;
    int ScreenMarginX = 0, ScreenMarginY = 0;
    Color URLColor{0x0000FF};
    quillet::Font Font{"Tahoma", 12}; // in the desktop's window-text colour
    std::string HintCloseBtn = "Close", HintPrevBtn = "Previous", HintNextBtn = "Next",
                HintDeleteBtn = "Delete";
    ButtonGlyph GlyphClose, GlyphPrev, GlyphNext, GlyphDelete, GlyphSnooze;

    // The snooze button: a click puts the shown message away for SnoozeMinutes (one of
    // SnoozeChoices) and hands it to OnSnooze, which brings it back when the time is up; its
    // menu snoozes for the time chosen there and keeps that time for the next click, telling
    // OnSnoozeChosen.
    int SnoozeMinutes = DefaultSnoozeMinutes;
    std::function<void(const std::string& text, int minutes)> OnSnooze;
    std::function<void(int minutes)> OnSnoozeChosen;
    // The button's hint, which says the time a click snoozes for.
    std::string SnoozeHint() const;

    TAdvAlertWindowStyle Style() const { return style_; }
    void SetStyle(TAdvAlertWindowStyle style);
    const AlertColors& Colors() const { return colors_; }

    // The messages and the one shown.
    using AlertList::AlertMessages;
    // On a hidden popup with messages: brings it up at message 1, fading in. On a visible one:
    // message 1 again. The keyboard focus stays where it was.
    void Show();
    using AlertList::DeleteMessage;
    using AlertList::DeleteShownMessage;
    // Deletes the shown message and hands its text to OnSnooze with `minutes`.
    void SnoozeShownMessage(int minutes);
    // The menu's choice: message (if still in the list) is snoozed for minutes, which the next
    // click snoozes for too.
    void ChooseSnooze(const TMsgCollectionItem* message, int minutes);
    using AlertList::LastMessage;
    using AlertList::NextMessage;
    using AlertList::PositionText;
    using AlertList::PrevMessage;
    using AlertList::Scroller;
    using AlertList::ShownMessage;

    bool Exists() const override { return popup_ != nullptr; }
    bool Visible() const override;
    // Its fade-in is under way.
    bool Fading() const override;
    // Hides the popup at once and ends its fade-in; the messages stay.
    void Close() override;

    // What the popup reports: the pointer over it (full opacity at once, the fade stops), the
    // pointer gone (back to AlphaEnd), and where the user dragged it (there from now on).
    void PointerOver();
    void PointerLeft();
    void PopupDragged(Point topLeft);

    // The opacity last applied to the popup.
    int Opacity() const { return opacity_; }
    bool PointerInside() const { return pointerInside_; }
    // Null until the first showing.
    TAlertWindow* Popup() { return popup_.get(); }

private:
    void BringUp() override;
    void Repaint() override;
    void ResetScroll() override;
    Rect Placement() const;
    void ApplyOpacity(int opacity);
    void StartFade();
    void SnoozeMessage(int index, int minutes);

    AlertDesktop& desktop_;
    UiThread& ui_;
    TAdvAlertWindowStyle style_ = asOffice2007Luna;
    AlertColors colors_;
    int opacity_ = 0;
    // Read by the fade's worker before every step.
    std::atomic<bool> pointerInside_ = false;
    bool destroying_ = false;
    std::unique_ptr<TAlertWindow> popup_;
    // The fade of the current showing, if any, and every fade whose worker has not ended yet.
    TFadeThread* fade_ = nullptr;
    std::vector<std::unique_ptr<TFadeThread>> fades_;
};

} // namespace quillet
