#include "alerts/AlertWindow.h"

#include "alerts/AdvAlertWindow.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace quillet {
namespace {

constexpr Color Black{0x000000}, White{0xFFFFFF}, Shadow{0x808080};
constexpr int ScrollStep = 4;
} // namespace

ButtonGlyph::ButtonGlyph(Bitmap bitmap) : ButtonGlyph(std::vector<Bitmap>{std::move(bitmap)}) {}

ButtonGlyph::ButtonGlyph(std::vector<Bitmap> sizes) {
    if (sizes.empty()) return;
    normal_ = std::move(sizes);
    greyed_ = normal_;
    for (Bitmap& grey : greyed_) {
        if (grey.pixels.empty()) continue;
        // The transparent colour stays as it is, so that no grey pixel turns transparent too.
        const Color key = grey.At(0, grey.height - 1);
        for (Color& pixel : grey.pixels) {
            if (pixel == key) continue;
            const int level = (pixel.Red() + pixel.Green() + pixel.Blue()) / 3 / 2 + 128;
            pixel = Color::FromRgb(level, level, level);
        }
    }
}

std::size_t ButtonGlyph::Nearest(int size) const {
    std::size_t best = 0;
    for (std::size_t i = 1; i < normal_.size(); ++i)
        if (std::abs(normal_[i].width - size) <= std::abs(normal_[best].width - size)) best = i;
    return best;
}

AlertLayout LayOutAlert(int width, int height, int marginX, int marginY, int positionWidth,
                        int count, bool showDelete, int dpi) {
    const auto s = [dpi](int designValue) { return Scale(designValue, dpi); };
    const int w = width, h = height;
    // Halves are taken separately, each rounded toward zero.
    const int middle = w / 2, half = positionWidth / 2;
    const int bottomMargin = !showDelete && count <= 1 ? 0 : s(25);
    // The 1-pixel border stays 1 pixel at any density: it is a line, not a distance.
    AlertLayout layout;
    layout.grip = {1, 1, w - 1, s(7)};
    layout.close = {w - s(21), s(8), w - 1, s(28)};
    layout.text = {marginX, marginY + s(20), w - marginX - s(20), h - marginY - bottomMargin};
    layout.prev = {middle - half - s(20), h - s(26), middle - half, h - 1};
    layout.next = {middle + half, h - s(26), middle + half + s(20), h - 1};
    layout.del = count >= 2 ? Rect{middle + half + s(20), h - s(26), middle + half + s(40), h - 1}
                            : Rect{middle - s(10), h - s(26), middle + s(10), h - 1};
    layout.scrollUp = {w - s(16), s(32), w - s(4), s(44)};
    layout.scrollDown = {w - s(16), h - s(40), w - s(4), h - s(28)};
    layout.snooze = {w - s(21), h - s(26), w - 1, h - 1};
    return layout;
}

TAlertWindow::TAlertWindow(TAdvAlertWindow& owner, AlertDesktop& desktop)
    : owner_(owner), host_(desktop.CreatePopupHost(*this)) {}

TAlertWindow::~TAlertWindow() = default;

void TAlertWindow::Hide() {
    ClearPointerState();
    host_->Hide();
    announced_.reset();
}

void TAlertWindow::Repaint() {
    host_->Repaint(Client());
    // Every change of the list or of the shown message repaints the whole popup.
    if (!host_->Visible()) return;
    const std::pair shown{owner_.ShownMessage(), owner_.AlertMessages().Revision()};
    if (!shown.first || announced_ == shown) return;
    announced_ = shown;
    host_->Announce();
}

void TAlertWindow::ResetScroll() {
    scrollOffset_ = 0;
}

void TAlertWindow::SetDpi(int dpi) {
    if (dpi == dpi_) return;
    dpi_ = dpi;
    scrollOffset_ = 0; // the text's lines are measured anew
}

void TAlertWindow::DpiChanged(int dpi, const Rect& bounds) {
    SetDpi(dpi);
    host_->SetBounds(bounds);
    Repaint();
}

quillet::Font TAlertWindow::ShownFont() const {
    return Scale(owner_.Font, dpi_);
}

Rect TAlertWindow::Client() const {
    const Rect bounds = host_->Bounds();
    return {0, 0, bounds.Width(), bounds.Height()};
}

TAlertWindow::Measures TAlertWindow::Measure(Canvas& canvas) const {
    canvas.SetFont(ShownFont());
    const int max = owner_.Scroller().Max();
    const int positionWidth =
        canvas.TextExtent(FormatPosition(max - 1, max), NoPrefix).width + Scaled(8);
    const Rect client = Client();
    Measures measures;
    measures.layout =
        LayOutAlert(client.Width(), client.Height(), Scaled(owner_.MarginX), Scaled(owner_.MarginY),
                    positionWidth, owner_.AlertMessages().Count(), owner_.ShowDelete, dpi_);

    const Rect& area = measures.layout.text;
    const MarkupLayout* message = ShownLayout(canvas, area);
    if (!message || !owner_.ShowScrollers) return measures;
    const int height = message->Result().height;
    measures.textHeight = height;
    if (height > area.Height()) {
        measures.canScrollUp = scrollOffset_ > 0;
        measures.canScrollDown = height > area.Height() + scrollOffset_;
    }
    return measures;
}

const MarkupLayout* TAlertWindow::ShownLayout(Canvas& canvas, const Rect& area) const {
    const TMsgCollectionItem* message = owner_.ShownMessage();
    if (!message) return nullptr;
    const MessageLayout::Key key{
        .message = message,
        .revision = owner_.AlertMessages().Revision(),
        .area = area,
        .font = ShownFont(),
        .hoverLink = owner_.Hover ? hoverLink_ : -1,
        .linkColor = owner_.URLColor,
    };
    if (!messageLayout_ || messageLayout_->key != key) {
        canvas.SetFont(key.font);
        messageLayout_.reset(); // the old one goes before the new one is made
        messageLayout_ = MessageLayout{
            key, MarkupLayout(canvas, message->DisplayText(), area, MessageOptions())};
    }
    return &messageLayout_->layout;
}

MarkupOptions TAlertWindow::MessageOptions() const {
    return {.hoverLink = hoverLink_,
            .shadowOffset = Scaled(1),
            .hoverStyle = owner_.Hover,
            .wordWrap = true,
            .linkColor = owner_.URLColor,
            .shadowColor = Shadow};
}

std::vector<AlertPart> TAlertWindow::Parts(const Measures& measures) const {
    const AlertLayout& l = measures.layout;
    const TMsgScroller& scroller = owner_.Scroller();
    const bool deletable = owner_.ShowDelete && owner_.AlertMessages().Count() > 0;
    const bool snoozable = owner_.AlertMessages().Count() > 0;
    // One row per button, in the order they are painted.
    return {
        {.id = AlertButton::Close,
         .rect = l.close,
         .name = owner_.HintCloseBtn,
         .glyph = &owner_.GlyphClose,
         .glyphOffset = {2, 2}},
        {.id = AlertButton::ScrollUp,
         .rect = l.scrollUp,
         .shown = measures.canScrollUp,
         .enabled = measures.canScrollUp,
         .name = "Scroll up",
         .hinted = false,
         .repeats = true,
         .arrow = -1},
        {.id = AlertButton::ScrollDown,
         .rect = l.scrollDown,
         .shown = measures.canScrollDown,
         .enabled = measures.canScrollDown,
         .name = "Scroll down",
         .hinted = false,
         .repeats = true,
         .arrow = +1},
        {.id = AlertButton::Prev,
         .rect = l.prev,
         .shown = scroller.Visible(),
         .enabled = scroller.CanGoBack(),
         .name = owner_.HintPrevBtn,
         .glyph = &owner_.GlyphPrev,
         .glyphOffset = {2, 4}},
        {.id = AlertButton::Next,
         .rect = l.next,
         .shown = scroller.Visible(),
         .enabled = scroller.CanGoForward(),
         .name = owner_.HintNextBtn,
         .glyph = &owner_.GlyphNext,
         .glyphOffset = {2, 4}},
        {.id = AlertButton::Delete,
         .rect = l.del,
         .shown = deletable,
         .enabled = deletable,
         .name = owner_.HintDeleteBtn,
         .glyph = &owner_.GlyphDelete,
         .glyphOffset = {2, 4}},
        {.id = AlertButton::Snooze,
         .rect = l.snooze,
         .shown = snoozable,
         .enabled = snoozable,
         .name = owner_.SnoozeHint(),
         .glyph = &owner_.GlyphSnooze,
         .glyphOffset = {2, 4}},
    };
}

AlertPart TAlertWindow::Part(AlertButton id) const {
    const std::vector<AlertPart> parts = Parts();
    return *std::find_if(parts.begin(), parts.end(),
                         [id](const AlertPart& part) { return part.id == id; });
}

void TAlertWindow::Act(AlertButton id) {
    switch (id) {
    case AlertButton::Close: owner_.Close(); return;
    case AlertButton::Prev:
        scrollOffset_ = 0;
        owner_.PrevMessage();
        return;
    case AlertButton::Next:
        scrollOffset_ = 0;
        owner_.NextMessage();
        return;
    case AlertButton::Delete:
        scrollOffset_ = 0;
        owner_.DeleteShownMessage();
        return;
    case AlertButton::Snooze:
        scrollOffset_ = 0;
        owner_.SnoozeShownMessage(owner_.SnoozeMinutes);
        return;
    case AlertButton::ScrollUp:
    case AlertButton::ScrollDown:
        host_->SetScrollRepeat(false);
        ScrollBy(id == AlertButton::ScrollUp ? -1 : +1, Measure());
        Repaint();
        return;
    }
}

void TAlertWindow::SetHint(const std::string& hint) {
    hint_ = hint;
    host_->SetHint(hint);
}

std::string TAlertWindow::SpokenMessage() const {
    const TMsgCollectionItem* message = owner_.ShownMessage();
    return message ? MarkupPlainText(message->DisplayText(), "\n") : std::string();
}

std::vector<MarkupLink> TAlertWindow::Links() const {
    const Measures measures = Measure();
    const MarkupLayout* message = ShownLayout(host_->MeasuringCanvas(), measures.layout.text);
    if (!message) return {};
    std::vector<MarkupLink> links = message->Links();
    const int scroll = measures.textHeight > measures.layout.text.Height() ? scrollOffset_ : 0;
    for (MarkupLink& link : links) {
        link.rect.top -= scroll;
        link.rect.bottom -= scroll;
    }
    return links;
}

// ---- Painting ----

void TAlertWindow::Paint(Canvas& canvas) {
    const Rect client = Client();
    const Measures measures = Measure(canvas);
    const AlertLayout& layout = measures.layout;
    const AlertColors& colors = owner_.Colors();
    const TMsgCollectionItem* message = owner_.ShownMessage();

    Color top = colors.WindowColor, bottom = colors.WindowColorTo;
    if (message && message->Color()) {
        top = *message->Color();
        bottom = message->ColorTo().value_or(top);
    }
    canvas.GradientBands(client, top, bottom, 80, GradientDirection::Vertical);
    canvas.FrameRect(client, colors.BorderColor);
    PaintGrip(canvas, layout.grip);
    // The close button belongs to the caption, drawn before the message; the position text
    // stands between the previous and the next button.
    const std::vector<AlertPart> parts = Parts(measures);
    PaintPart(canvas, parts.front());
    if (message) PaintMessage(canvas, layout.text, measures.textHeight > layout.text.Height());
    for (auto part = parts.begin() + 1; part != parts.end(); ++part) {
        if (!part->shown) continue;
        PaintPart(canvas, *part);
        if (part->id == AlertButton::Prev) PaintPositionText(canvas);
    }
}

void TAlertWindow::PaintGrip(Canvas& canvas, const Rect& grip) const {
    const AlertColors& colors = owner_.Colors();
    canvas.GradientBands(grip, colors.CaptionColor, colors.CaptionColorTo, 16,
                         GradientDirection::Vertical);
    // Nine raised dots: white squares, black ones up and to the left over them, and the
    // caption colour where they overlap (one pixel at 96 pixels per inch).
    const int pitch = Scaled(4), dot = Scaled(2), first = (Client().Width() - Scaled(34)) / 2;
    const auto white = [&](int k) {
        const int x = first + pitch * k + Scaled(1), y = Scaled(3);
        return Rect{x, y, x + dot, y + dot};
    };
    const auto black = [&](int k) {
        const int x = first + pitch * k, y = Scaled(2);
        return Rect{x, y, x + dot, y + dot};
    };
    for (int k = 0; k < 9; ++k) canvas.FillRect(white(k), White);
    for (int k = 0; k < 9; ++k) canvas.FillRect(black(k), Black);
    for (int k = 0; k < 9; ++k) {
        const Rect overlap{white(k).left, white(k).top, black(k).right, black(k).bottom};
        for (int y = overlap.top; y < overlap.bottom; ++y)
            for (int x = overlap.left; x < overlap.right; ++x)
                canvas.SetPixel({x, y}, colors.CaptionColorTo);
    }
}

void TAlertWindow::PaintPart(Canvas& canvas, const AlertPart& part) const {
    const AlertColors& colors = owner_.Colors();
    const Rect& rect = part.rect;
    // A button that cannot be used shows neither look, whatever the pointer did last.
    const bool pressed = part.enabled && Pressed(part.id),
               hovered = part.enabled && Hovered(part.id);
    if (pressed || hovered) {
        const Rect face{rect.left, rect.top, rect.right, rect.bottom - 1};
        canvas.GradientBands(face, pressed ? colors.BtnDownColor : colors.BtnHoverColor,
                             pressed ? colors.BtnDownColorTo : colors.BtnHoverColorTo, 16,
                             GradientDirection::Vertical);
        canvas.FrameRect(face, Black);
    }
    if (part.glyph) {
        const int size = Scaled(ButtonGlyph::DesignSize);
        const Bitmap& picture = part.enabled ? part.glyph->Normal(size) : part.glyph->Greyed(size);
        if (!picture.pixels.empty()) {
            const int x = rect.left + Scaled(part.glyphOffset.x),
                      y = rect.top + Scaled(part.glyphOffset.y);
            canvas.DrawBitmap(picture, {x, y, x + size, y + size},
                              picture.At(0, picture.height - 1));
        }
    }
    if (part.arrow != 0) {
        // A triangle of four lines (at 96 pixels per inch), its point up or down.
        const int middle = rect.left + rect.Width() / 2, top = rect.top + Scaled(4),
                  rows = Scaled(4);
        for (int i = 0; i < rows; ++i) {
            const int y = part.arrow < 0 ? top + i : top + rows - 1 - i;
            canvas.Line({middle - i - 1, y}, {middle + i + 1, y}, Black);
        }
    }
}

void TAlertWindow::PaintMessage(Canvas& canvas, const Rect& textArea, bool scrolled) const {
    const std::optional<Rect> clip = canvas.ClipRect();
    canvas.SetClipRect(textArea);
    // Scrolled text starts higher up; it is still drawn down to the area's bottom.
    ShownLayout(canvas, textArea)->Draw(canvas, scrolled ? scrollOffset_ : 0, textArea.bottom);
    canvas.SetClipRect(clip);
}

void TAlertWindow::PaintPositionText(Canvas& canvas) const {
    const Rect client = Client();
    const std::string text = owner_.PositionText();
    const int width = canvas.TextExtent(text, NoPrefix).width;
    const int height = canvas.TextExtent("gt", NoPrefix).height;
    const int x = client.Width() / 2 - width / 2, y = client.Height() - height - Scaled(5);
    canvas.TextRect({x, y, x + width, y + height}, text, NoPrefix);
}

// ---- The pointer ----

void TAlertWindow::PointerMoved(Point at) {
    owner_.PointerOver();
    if (dragging_) {
        // The grabbed point stays under the pointer.
        const Rect bounds = host_->Bounds();
        const int dx = at.x - dragStart_.x, dy = at.y - dragStart_.y;
        host_->SetBounds(
            {bounds.left + dx, bounds.top + dy, bounds.right + dx, bounds.bottom + dy});
        return;
    }
    UpdateButtons(at);
    UpdateLink(at);
}

void TAlertWindow::UpdateButtons(Point at) {
    for (const AlertPart& part : Parts()) {
        const std::size_t i = Index(part.id);
        // A button that cannot be used gets no hover look and no hint.
        if (part.rect.Contains(at) && part.enabled) {
            if (hovered_[i]) continue;
            hovered_[i] = true;
            host_->Repaint(part.rect);
            if (part.hinted) SetHint(part.name);
        } else {
            if (part.hinted && hint_ == part.name) SetHint("");
            if (!hovered_[i] && !pressed_[i]) continue;
            // Off the button before the release: the press is cancelled.
            if (pressed_[i] && part.repeats) host_->SetScrollRepeat(false);
            hovered_[i] = pressed_[i] = false;
            host_->Repaint(part.rect);
        }
    }
}

void TAlertWindow::UpdateLink(Point at) {
    const Rect textArea = Layout().text;
    int link = -1;
    // Only a link the text area shows can be under the pointer: it is hit where it is drawn.
    if (const MarkupLayout* message = ShownLayout(host_->MeasuringCanvas(), textArea);
        message && textArea.Contains(at))
        link = message->LinkAt({at.x, at.y + scrollOffset_}, textArea.bottom + scrollOffset_);
    host_->SetPointingHand(link != -1);
    if (link == hoverLink_) return;
    hoverLink_ = link;
    if (owner_.Hover) host_->Repaint(textArea);
}

void TAlertWindow::PointerPressed(Point at) {
    const Measures measures = Measure();
    if (measures.layout.grip.Contains(at)) {
        dragging_ = true;
        dragStart_ = at;
        host_->CapturePointer();
        return;
    }
    for (const AlertPart& part : Parts(measures)) {
        // A button that cannot be used cannot be pressed either.
        if (!part.rect.Contains(at) || !part.enabled) continue;
        pressed_[Index(part.id)] = true;
        host_->Repaint(part.rect);
        if (part.repeats) host_->SetScrollRepeat(true);
    }
    host_->FocusOwner();
}

void TAlertWindow::PointerReleased(Point at) {
    if (dragging_) {
        dragging_ = false;
        host_->ReleasePointer();
        const Rect bounds = host_->Bounds();
        owner_.PopupDragged({bounds.left, bounds.top});
        return;
    }
    // The pressed button acts, wherever the pointer is now.
    for (const AlertPart& part : Parts()) {
        if (!std::exchange(pressed_[Index(part.id)], false)) continue;
        Act(part.id);
        break;
    }
    // What the button did may have made the one under the pointer unusable.
    if (host_->Visible()) UpdateButtons(at);
}

void TAlertWindow::PointerMenu(Point at) {
    const AlertPart snooze = Part(AlertButton::Snooze);
    if (!snooze.enabled || !snooze.rect.Contains(at)) return;
    std::vector<std::string> items;
    int checked = -1;
    for (std::size_t i = 0; i < std::size(SnoozeChoices); ++i) {
        items.push_back(SnoozeChoiceText(SnoozeChoices[i]));
        if (SnoozeChoices[i] == owner_.SnoozeMinutes) checked = int(i);
    }
    // The menu waits for the user, and a reminder may come meanwhile and be shown instead:
    // the one that was shown is snoozed.
    const TMsgCollectionItem* shown = owner_.ShownMessage();
    const int chosen = host_->ChooseFromMenu(items, checked, at);
    if (chosen < 0 || chosen >= int(std::size(SnoozeChoices))) return;
    scrollOffset_ = 0;
    owner_.ChooseSnooze(shown, SnoozeChoices[chosen]);
}

void TAlertWindow::ScrollRepeat() {
    const bool up = Pressed(AlertButton::ScrollUp), down = Pressed(AlertButton::ScrollDown);
    if (!up && !down) return;
    ScrollBy(up ? -1 : +1, Measure());
    Repaint();
}

void TAlertWindow::ScrollBy(int direction, const Measures& measures) {
    const int step = Scaled(ScrollStep);
    if (direction < 0 && measures.canScrollUp && scrollOffset_ >= step) scrollOffset_ -= step;
    // Down until the end of the text is in view.
    if (direction > 0 && measures.canScrollDown &&
        scrollOffset_ + measures.layout.text.Height() < measures.textHeight + step)
        scrollOffset_ += step;
}

void TAlertWindow::PointerLeft() {
    ClearPointerState();
    owner_.PointerLeft();
}

void TAlertWindow::ClearPointerState() {
    if (dragging_) {
        // Ended without a release: the place is not recorded.
        dragging_ = false;
        host_->ReleasePointer();
    }
    // Pressed looks go too: a press whose release never came must not act on a later click.
    const auto any = [](const auto& flags) {
        return std::find(flags.begin(), flags.end(), true) != flags.end();
    };
    if (any(hovered_) || any(pressed_)) {
        hovered_ = {};
        pressed_ = {};
        Repaint();
    }
    host_->SetScrollRepeat(false);
    if (hoverLink_ != -1) {
        hoverLink_ = -1;
        if (owner_.Hover) Repaint();
    }
    host_->SetPointingHand(false);
    if (!hint_.empty()) SetHint("");
}

} // namespace quillet
