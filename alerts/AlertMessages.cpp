#include "alerts/AlertMessages.h"

#include "base/Errors.h"

namespace quillet {

std::string ReminderText(std::string_view moment, std::string_view note) {
    std::string text = "Quillet<br>Date/Time: ";
    text.append(moment).append("<hr><br>").append(note);
    return text;
}

void TMsgCollectionItem::SetText(std::string_view text) {
    lines_.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines_.emplace_back(text.substr(start, end - start));
        start = end;
        if (start < text.size() && text[start] == '\r') ++start;
        if (start < text.size() && text[start] == '\n') ++start;
    }
    owner_.ItemChanged();
}

std::string TMsgCollectionItem::DisplayText() const {
    std::string shown;
    for (const std::string& line : lines_) shown += line;
    return shown;
}

void TMsgCollectionItem::SetColor(MaybeColor color) {
    color_ = color;
    owner_.ItemChanged();
}

void TMsgCollectionItem::SetColorTo(MaybeColor color) {
    colorTo_ = color;
    owner_.ItemChanged();
}

TMsgCollectionItem& TMsgCollection::Add() {
    items_.push_back(std::unique_ptr<TMsgCollectionItem>(new TMsgCollectionItem(*this)));
    ItemChanged();
    return *items_.back();
}

TMsgCollectionItem& TMsgCollection::operator[](int index) {
    CheckIndex(index);
    return *items_[std::size_t(index)];
}

const TMsgCollectionItem& TMsgCollection::operator[](int index) const {
    CheckIndex(index);
    return *items_[std::size_t(index)];
}

void TMsgCollection::Delete(int index) {
    CheckIndex(index);
    items_.erase(items_.begin() + index);
    ++revision_;
    if (OnItemRemoved) OnItemRemoved(index);
}

void TMsgCollection::ItemChanged() {
    ++revision_;
    if (OnItemChanged) OnItemChanged();
}

void TMsgCollection::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw EListError("Invalid Index");
}

std::string FormatPosition(int position, int max) {
    std::string text;
    const int numbers[] = {position, max};
    int next = 0;
    for (std::size_t i = 0; i < PositionFormat.size(); ++i) {
        if (next < 2 && PositionFormat.substr(i, 2) == "%d") {
            text += std::to_string(numbers[next++]);
            ++i;
        } else {
            text += PositionFormat[i];
        }
    }
    return text;
}

AlertList::AlertList(AlertPopup& popup) : popup_(popup) {
    messages_.OnItemChanged = [this] { ItemChanged(); };
    messages_.OnItemRemoved = [this](int index) { ItemRemoved(index); };
}

void AlertList::Show() {
    const bool onScreen = popup_.Visible() || popup_.Fading();
    if (!onScreen && messages_.Count() == 0) return;
    // Start afresh, as if the popup's view of the list were emptied and filled again: the
    // first message becomes the shown one.
    SetPosition(0);
    scroller_ = TMsgScroller{};
    ListChanged();
    if (!onScreen) popup_.BringUp();
}

void AlertList::LastMessage() {
    if (!popup_.Exists() || !popup_.Visible()) return;
    SetPosition(scroller_.Max());
    Repaint();
}

void AlertList::NextMessage() {
    if (!scroller_.CanGoForward()) return;
    SetPosition(scroller_.Position() + 1);
    Repaint();
}

void AlertList::PrevMessage() {
    if (!scroller_.CanGoBack()) return;
    SetPosition(scroller_.Position() - 1);
    Repaint();
}

void AlertList::DeleteMessage(int index) {
    // ItemRemoved moves the shown position and closes the popup when the last one goes.
    messages_.Delete(index);
}

void AlertList::DeleteShownMessage() {
    if (scroller_.Position() > 0) DeleteMessage(scroller_.Position() - 1);
}

const TMsgCollectionItem* AlertList::ShownMessage() const {
    const int position = scroller_.Position();
    return position > 0 && position <= messages_.Count() ? &messages_[position - 1] : nullptr;
}

std::string AlertList::PositionText() const {
    return FormatPosition(scroller_.Position(), scroller_.Max());
}

void AlertList::SetPosition(int position) {
    if (position == scroller_.Position()) return;
    scroller_.SetPosition(position);
    if (popup_.Exists()) popup_.ResetScroll();
}

void AlertList::ListChanged() {
    const int count = messages_.Count();
    scroller_.SetMax(count);
    if (count > 0) {
        scroller_.SetMin(1);
    } else {
        scroller_.SetMin(0);
        SetPosition(0);
        scroller_.SetMax(0);
        if (popup_.Exists()) popup_.Close();
    }
    if (scroller_.Position() == 0) SetPosition(scroller_.Min());
    scroller_.SetVisible(count > 1);
    Repaint();
}

void AlertList::Repaint() {
    if (popup_.Exists()) popup_.Repaint();
}

void AlertList::ItemChanged() {
    if (popup_.Exists() && popup_.Visible()) ListChanged();
}

void AlertList::ItemRemoved(int index) {
    const int position = scroller_.Position(), shown = position - 1;
    if (index < shown)
        SetPosition(shown); // the shown message moved down one place
    else if (index == shown && position == scroller_.Max() && scroller_.CanGoBack())
        SetPosition(position - 1); // the last one went: show the one before it
    ListChanged();
}

} // namespace quillet
