#include "alerts/AdvAlertWindow.h"

#include <algorithm>

namespace quillet {

AlertColors StyleColors(TAdvAlertWindowStyle style, Color activeCaption) {
    // The three coloured themes share their button colours.
    constexpr Color down{0xE87F08}, downTo{0xF7DA7C}, hover{0xFFFFDC}, hoverTo{0xF7C05B};
    switch (style) {
    case asOffice2003Blue:
        return {{0xC4DAFA}, {0xA0BFF5}, {0x5987D6}, {0x002D96}, {0x002D96},
                down,       downTo,     hover,      hoverTo};
    case asOffice2003Silver:
        return {{0xF3F3F7}, {0xD8D8E6}, {0xA8A7BF}, {0x7C7C94}, {0x7C7C94},
                down,       downTo,     hover,      hoverTo};
    case asOffice2003Olive:
        return {{0xF2F1E4}, {0xDADAAA}, {0x788E6F}, {0x608058}, {0x608058},
                down,       downTo,     hover,      hoverTo};
    case asOffice2003Classic:
        return {{0xFFFFFF}, {0xD5D1C9}, {0xD4D0C8}, {0x8E8D8C}, activeCaption,
                {0x8592B5}, {0x8592B5}, {0xB6BDD2}, {0xB6BDD2}};
    case asOffice2007Luna: break;
    }
    return {{0xE3F4FF}, {0xC8D9ED}, {0xE3EFFF}, {0xAFD2FF}, {0xAFD2FF},
            down,       downTo,     hover,      hoverTo};
}

TAdvAlertWindowStyle StyleForTheme(const std::optional<std::string>& colorScheme) {
    if (colorScheme == "NormalColor") return asOffice2003Blue;
    if (colorScheme == "HomeStead") return asOffice2003Olive;
    if (colorScheme == "Metallic") return asOffice2003Silver;
    return asOffice2003Classic;
}

bool IsSnoozeChoice(int minutes) {
    return std::ranges::find(SnoozeChoices, minutes) != std::end(SnoozeChoices);
}

std::string SnoozeChoiceText(int minutes) {
    if (minutes == 24 * 60) return "Tomorrow at this time";
    if (minutes == 60) return "1 hour";
    return std::to_string(minutes) + " minutes";
}

TAdvAlertWindow::TAdvAlertWindow(AlertDesktop& desktop, UiThread& ui)
    : AlertList(static_cast<AlertPopup&>(*this)), desktop_(desktop), ui_(ui) {
    Font.color = desktop.SystemColor(DesktopColor::WindowText);
    SetStyle(asOffice2007Luna);
}

TAdvAlertWindow::~TAdvAlertWindow() {
    // Stopped fades apply nothing more, so they may end after this point; and while they end,
    // work handed over meanwhile (a reminder, say) must not bring the popup up again.
    destroying_ = true;
    fade_ = nullptr;
    for (const auto& fade : fades_) fade->Stop();
    fades_.clear();
}

void TAdvAlertWindow::SetStyle(TAdvAlertWindowStyle style) {
    style_ = style;
    colors_ = StyleColors(style, desktop_.SystemColor(DesktopColor::ActiveCaption));
}

void TAdvAlertWindow::Show() {
    if (destroying_) return;
    // Whatever happens while it comes up, the focus goes back to where it was.
    struct FocusKeeper {
        AlertDesktop& desktop;
        explicit FocusKeeper(AlertDesktop& d) : desktop(d) { desktop.RememberFocus(); }
        ~FocusKeeper() { desktop.RestoreFocus(); }
    } keeper(desktop_);
    AlertList::Show();
}

bool TAdvAlertWindow::Visible() const {
    return popup_ && popup_->Host().Visible();
}

bool TAdvAlertWindow::Fading() const {
    return fade_ && !fade_->Ended();
}

void TAdvAlertWindow::Close() {
    // A popup closed while it fades in is not fading any more: the next Show brings it up
    // again instead of only refreshing a popup that nobody sees.
    if (fade_) fade_->Stop();
    fade_ = nullptr;
    pointerInside_ = false;
    if (popup_) popup_->Hide();
}

void TAdvAlertWindow::BringUp() {
    if (destroying_) return;
    if (!popup_) popup_ = std::make_unique<TAlertWindow>(*this, desktop_);
    if (AutoThemeAdapt) SetStyle(StyleForTheme(desktop_.ThemeColorScheme()));
    // Where the user dragged it, it stays on that monitor, at the density it has there.
    if (WindowPosition == wpRightBottom) popup_->SetDpi(desktop_.WorkAreaDpi());
    PopupHost& host = popup_->Host();
    host.SetBounds(Placement());
    ApplyOpacity(AlphaStart); // invisible before it shows
    host.ShowTopmost();
    if (AlphaStart < AlphaEnd) StartFade();
}

void TAdvAlertWindow::Repaint() {
    if (popup_) popup_->Repaint();
}

void TAdvAlertWindow::ResetScroll() {
    if (popup_) popup_->ResetScroll();
}

Rect TAdvAlertWindow::Placement() const {
    const int dpi = popup_->Dpi();
    const int width = Scale(PopupWidth, dpi), height = Scale(PopupHeight, dpi);
    Point at{PopupLeft, PopupTop};
    if (WindowPosition == wpRightBottom) {
        const Rect work = desktop_.WorkArea();
        at = {work.right - width - Scale(ScreenMarginX + 2, dpi),
              work.bottom - height - Scale(ScreenMarginY, dpi)};
    }
    return {at.x, at.y, at.x + width, at.y + height};
}

void TAdvAlertWindow::ApplyOpacity(int opacity) {
    // Under the pointer the popup stays fully opaque, whatever a fade still hands over.
    if (pointerInside_ && AlphaStart != 255) return;
    if (!popup_) return;
    popup_->Host().SetOpacity(opacity);
    opacity_ = opacity;
}

void TAdvAlertWindow::StartFade() {
    // Fades of earlier showings that have ended meanwhile go now.
    std::erase_if(fades_, [](const auto& fade) { return fade->Ended(); });
    const TFadeThread::Settings settings{AlphaStart, AlphaEnd, FadeStep, FadeTime};
    fades_.push_back(std::make_unique<TFadeThread>(ui_, settings, pointerInside_,
                                                   [this](int opacity) { ApplyOpacity(opacity); }));
    fade_ = fades_.back().get();
}

void TAdvAlertWindow::PointerOver() {
    ApplyOpacity(255);
    if (pointerInside_) return;
    pointerInside_ = true;
    if (fade_) fade_->Stop();
}

void TAdvAlertWindow::PointerLeft() {
    if (!pointerInside_) return;
    pointerInside_ = false;
    ApplyOpacity(AlphaEnd);
}

std::string TAdvAlertWindow::SnoozeHint() const {
    const std::string time = SnoozeMinutes == 24 * 60 ? "until tomorrow at this time"
                                                      : "for " + SnoozeChoiceText(SnoozeMinutes);
    return "Snooze " + time + " (right-click for other times)";
}

void TAdvAlertWindow::SnoozeShownMessage(int minutes) {
    if (const int position = Scroller().Position(); position > 0)
        SnoozeMessage(position - 1, minutes);
}

void TAdvAlertWindow::ChooseSnooze(const TMsgCollectionItem* message, int minutes) {
    SnoozeMinutes = minutes;
    const TMsgCollection& messages = AlertMessages();
    for (int i = 0; i < messages.Count(); ++i)
        if (&messages[i] == message) SnoozeMessage(i, minutes);
    // Kept after the snooze: a failure to keep it must not keep the reminder from going.
    if (OnSnoozeChosen) OnSnoozeChosen(minutes);
}

void TAdvAlertWindow::SnoozeMessage(int index, int minutes) {
    // Its lines joined as the text was given, so that it comes back the same.
    std::string text;
    const std::vector<std::string>& lines = AlertMessages()[index].Text();
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
    DeleteMessage(index);
    if (OnSnooze) OnSnooze(text, minutes);
}

void TAdvAlertWindow::PopupDragged(Point topLeft) {
    WindowPosition = wpPreset;
    PopupLeft = topLeft.x;
    PopupTop = topLeft.y;
}

} // namespace quillet
