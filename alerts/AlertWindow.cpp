#include "alerts/AlertWindow.h"

#include "alerts/AdvAlertWindow.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace quillet {
namespace {

constexpr Color Black{0x000000}, White{0xFFFFFF}, Shadow{0x808080};
constexpr int ScrollStep = 4;
constexpr AlertButton Buttons[] = {AlertButton::Close,    AlertButton::Prev,
                                   AlertButton::Next,     AlertButton::Delete,
                                   AlertButton::ScrollUp, AlertButton::ScrollDown};

bool IsScrollButton(AlertButton button) {
    return button == AlertButton::ScrollUp || button == AlertButton::ScrollDown;
}

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

const Rect& AlertLayout::Button(AlertButton button) const {
    switch (button) {
    case AlertButton::Close: return close;
    case AlertButton::Prev: return prev;
    case AlertButton::Next: return next;
    case AlertButton::Delete: return del;
    case AlertButton::ScrollUp: return scrollUp;
    case AlertButton::ScrollDown: break;
    }
    return scrollDown;
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
    return layout;
}

TAlertWindow::TAlertWindow(TAdvAlertWindow& owner, AlertDesktop& desktop)
    : owner_(owner), host_(desktop.CreatePopupHost(*this)) {}

TAlertWindow::~TAlertWindow() = default;

void TAlertWindow::Hide() {
    ClearPointerState();
    host_->Hide();
}

void TAlertWindow::Repaint() {
    host_->Repaint(Client());
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
    quillet::Font font = owner_.Font;
    font.height = Scaled(font.height);
    return font;
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

bool TAlertWindow::Enabled(AlertButton button, const Measures& measures) const {
    switch (button) {
    case AlertButton::Close: return true;
    case AlertButton::Prev: return owner_.Scroller().CanGoBack();
    case AlertButton::Next: return owner_.Scroller().CanGoForward();
    case AlertButton::Delete: return owner_.ShowDelete && owner_.AlertMessages().Count() > 0;
    case AlertButton::ScrollUp: return measures.canScrollUp;
    case AlertButton::ScrollDown: return measures.canScrollDown;
    }
    return false;
}

const std::string& TAlertWindow::HintOf(AlertButton button) const {
    static const std::string none;
    switch (button) {
    case AlertButton::Close: return owner_.HintCloseBtn;
    case AlertButton::Prev: return owner_.HintPrevBtn;
    case AlertButton::Next: return owner_.HintNextBtn;
    case AlertButton::Delete: return owner_.HintDeleteBtn;
    default: return none;
    }
}

void TAlertWindow::SetHint(const std::string& hint) {
    hint_ = hint;
    host_->SetHint(hint);
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
    PaintButton(canvas, AlertButton::Close, layout.close, true, owner_.GlyphClose, {2, 2});
    if (message) PaintMessage(canvas, layout.text, measures.textHeight > layout.text.Height());
    if (measures.canScrollUp) PaintScrollButton(canvas, AlertButton::ScrollUp, layout.scrollUp);
    if (measures.canScrollDown)
        PaintScrollButton(canvas, AlertButton::ScrollDown, layout.scrollDown);

    const TMsgScroller& scroller = owner_.Scroller();
    if (scroller.Visible()) {
        PaintButton(canvas, AlertButton::Prev, layout.prev, scroller.CanGoBack(), owner_.GlyphPrev,
                    {2, 4});
        PaintPositionText(canvas);
        PaintButton(canvas, AlertButton::Next, layout.next, scroller.CanGoForward(),
                    owner_.GlyphNext, {2, 4});
    }
    if (owner_.ShowDelete && owner_.AlertMessages().Count() > 0)
        PaintButton(canvas, AlertButton::Delete, layout.del, true, owner_.GlyphDelete, {2, 4});
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

void TAlertWindow::PaintButton(Canvas& canvas, AlertButton button, const Rect& rect, bool usable,
                               const ButtonGlyph& glyph, Point glyphOffset) const {
    const AlertColors& colors = owner_.Colors();
    // A button that cannot be used shows neither look, whatever the pointer did last.
    const bool pressed = usable && Pressed(button), hovered = usable && Hovered(button);
    if (pressed || hovered) {
        const Rect face{rect.left, rect.top, rect.right, rect.bottom - 1};
        canvas.GradientBands(face, pressed ? colors.BtnDownColor : colors.BtnHoverColor,
                             pressed ? colors.BtnDownColorTo : colors.BtnHoverColorTo, 16,
                             GradientDirection::Vertical);
        canvas.FrameRect(face, Black);
    }
    const int size = Scaled(ButtonGlyph::DesignSize);
    const Bitmap& picture = usable ? glyph.Normal(size) : glyph.Greyed(size);
    if (picture.pixels.empty()) return;
    const int x = rect.left + Scaled(glyphOffset.x), y = rect.top + Scaled(glyphOffset.y);
    canvas.DrawBitmap(picture, {x, y, x + size, y + size}, picture.At(0, picture.height - 1));
}

void TAlertWindow::PaintScrollButton(Canvas& canvas, AlertButton button, const Rect& rect) const {
    PaintButton(canvas, button, rect, true, {}, {});
    // A triangle of four lines (at 96 pixels per inch), its point up or down.
    const bool up = button == AlertButton::ScrollUp;
    const int middle = rect.left + rect.Width() / 2, top = rect.top + Scaled(4), rows = Scaled(4);
    for (int i = 0; i < rows; ++i) {
        const int y = up ? top + i : top + rows - 1 - i;
        canvas.Line({middle - i - 1, y}, {middle + i + 1, y}, Black);
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
    const Measures measures = Measure();
    for (const AlertButton button : Buttons) {
        const Rect& rect = measures.layout.Button(button);
        const std::size_t i = Index(button);
        // A button that cannot be used gets no hover look and no hint.
        if (rect.Contains(at) && Enabled(button, measures)) {
            if (hovered_[i]) continue;
            hovered_[i] = true;
            host_->Repaint(rect);
            if (!IsScrollButton(button)) SetHint(HintOf(button));
        } else {
            if (!IsScrollButton(button) && hint_ == HintOf(button)) SetHint("");
            if (!hovered_[i] && !pressed_[i]) continue;
            // Off the button before the release: the press is cancelled.
            if (pressed_[i] && IsScrollButton(button)) host_->SetScrollRepeat(false);
            hovered_[i] = pressed_[i] = false;
            host_->Repaint(rect);
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
    for (const AlertButton button : Buttons) {
        const Rect& rect = measures.layout.Button(button);
        // A button that cannot be used cannot be pressed either.
        if (!rect.Contains(at) || !Enabled(button, measures)) continue;
        pressed_[Index(button)] = true;
        host_->Repaint(rect);
        if (IsScrollButton(button)) host_->SetScrollRepeat(true);
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
    const auto take = [this](AlertButton button) {
        return std::exchange(pressed_[Index(button)], false);
    };
    if (take(AlertButton::Close)) {
        owner_.Close();
        return;
    }
    if (take(AlertButton::Prev)) {
        scrollOffset_ = 0;
        owner_.PrevMessage();
    } else if (take(AlertButton::Next)) {
        scrollOffset_ = 0;
        owner_.NextMessage();
    } else if (take(AlertButton::Delete)) {
        scrollOffset_ = 0;
        owner_.DeleteShownMessage();
    } else if (take(AlertButton::ScrollUp)) {
        host_->SetScrollRepeat(false);
        ScrollBy(-1, Measure());
        Repaint();
    } else if (take(AlertButton::ScrollDown)) {
        host_->SetScrollRepeat(false);
        ScrollBy(+1, Measure());
        Repaint();
    }
    // What the button did may have made the one under the pointer unusable.
    if (host_->Visible()) UpdateButtons(at);
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
