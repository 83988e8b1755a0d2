#pragma once
// The reminder messages and which of them the popup shows. The popup window itself sits
// behind AlertPopup: this list decides the shown message, the position text and when the
// popup must close or repaint; the window draws what the list says.
#include "base/Canvas.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// The reminder of a note: the product name, then the note's moment as the alarm check names
// it ("12/09/2026 09:00 AM", "Daily 09:00 AM"), a rule, and the note as stored, so that the
// markup a user typed takes effect.
std::string ReminderText(std::string_view moment, std::string_view note);

class TMsgCollection;

// One message.
class TMsgCollectionItem {
public:
    TMsgCollectionItem(const TMsgCollectionItem&) = delete;
    TMsgCollectionItem& operator=(const TMsgCollectionItem&) = delete;

    // The message in markup, as lines.
    const std::vector<std::string>& Text() const { return lines_; }
    // Splits text into lines at CR, LF or CR LF.
    void SetText(std::string_view text);
    // What the popup shows: the lines joined with nothing between them, so a line break
    // inside a message disappears (markup breaks lines with "<br>").
    std::string DisplayText() const;

    // When set, the popup's background while this message is shown, top and bottom.
    MaybeColor Color() const { return color_; }
    void SetColor(MaybeColor color);
    MaybeColor ColorTo() const { return colorTo_; }
    void SetColorTo(MaybeColor color);

    // The rest of the message's interface, which nothing in this program sets or reads: the
    // picture drawn at the popup's top left when an image list is attached, and a free value
    // for the owner. Neither counts as a change of the message.
    std::int32_t ImageIndex() const { return imageIndex_; }
    void SetImageIndex(std::int32_t index) { imageIndex_ = index; }
    std::int32_t Tag() const { return tag_; }
    void SetTag(std::int32_t tag) { tag_ = tag; }

private:
    friend class TMsgCollection;
    explicit TMsgCollectionItem(TMsgCollection& owner) : owner_(owner) {}

    TMsgCollection& owner_;
    std::vector<std::string> lines_;
    std::int32_t imageIndex_ = 0;
    std::int32_t tag_ = 0;
    MaybeColor color_;
    MaybeColor colorTo_;
};

// The messages in the order added.
class TMsgCollection {
public:
    TMsgCollection() = default;
    TMsgCollection(const TMsgCollection&) = delete;
    TMsgCollection& operator=(const TMsgCollection&) = delete;

    // A new message with the defaults, at the end.
    TMsgCollectionItem& Add();
    int Count() const { return int(items_.size()); }
    // Index from 0; out of range throws EListError "Invalid Index".
    TMsgCollectionItem& operator[](int index);
    const TMsgCollectionItem& operator[](int index) const;
    // Destroys message index (EListError "Invalid Index" out of range).
    void Delete(int index);

    // Counts every change of the messages (an added or deleted one, an item's lines or colours):
    // what was worked out from a message holds while this stays the same.
    unsigned Revision() const { return revision_; }

    // Raised by Add and by every change of an item's lines or colours.
    std::function<void()> OnItemChanged;
    // Raised by Delete with the index of the destroyed item.
    std::function<void(int index)> OnItemRemoved;

private:
    friend class TMsgCollectionItem;
    void ItemChanged();
    void CheckIndex(int index) const;

    std::vector<std::unique_ptr<TMsgCollectionItem>> items_;
    unsigned revision_ = 0;
};

// Which message is shown, 1-based (0: none), between Min and Max. While there are messages,
// Min is 1 and Max their count; all three are 0 without any. Visible: two or more messages,
// so the popup draws its previous and next buttons and the position text.
class TMsgScroller {
public:
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    bool Visible() const { return visible_; }

    // A Min above Max, or a Max below Min, is ignored.
    void SetMin(int min) {
        if (min <= max_) min_ = min;
    }
    void SetMax(int max) {
        if (max >= min_) max_ = max;
    }
    void SetPosition(int position) { position_ = position; }
    void SetVisible(bool visible) { visible_ = visible; }

    bool CanGoBack() const { return min_ < position_; }
    bool CanGoForward() const { return position_ < max_; }

private:
    int min_ = 0, max_ = 0, position_ = 0;
    bool visible_ = false;
};

// What the list needs of the popup window.
class AlertPopup {
public:
    virtual ~AlertPopup() = default;
    // Whether the window has been created (by the first BringUp).
    virtual bool Exists() const = 0;
    virtual bool Visible() const = 0;
    // Whether its fade-in is still running (it may have been closed meanwhile).
    virtual bool Fading() const = 0;
    // Shows the hidden popup: creates it on first use, sizes, colours and places it and fades
    // it in, leaving the keyboard focus where it was.
    virtual void BringUp() = 0;
    // Hides it at once.
    virtual void Close() = 0;
    virtual void Repaint() = 0;
    // The shown message changed: its text starts unscrolled.
    virtual void ResetScroll() = 0;
};

// The position text, "2 of 5".
constexpr std::string_view PositionFormat = "%d of %d";
// PositionFormat with its two numbers filled in.
std::string FormatPosition(int position, int max);

// The message list of the alert component: the messages, the shown one, and the operations
// that step through and delete them. The popup does not copy the messages: it shows
// ShownMessage() and PositionText(), which follow every change at once while it is visible.
// While it is hidden the shown position is left alone; the next Show starts afresh.
class AlertList {
public:
    explicit AlertList(AlertPopup& popup);
    AlertList(const AlertList&) = delete;
    AlertList& operator=(const AlertList&) = delete;

    TMsgCollection& AlertMessages() { return messages_; }
    const TMsgCollection& AlertMessages() const { return messages_; }

    // On a visible (or still fading) popup: shows the first message again. On a hidden one,
    // when there are messages: the same, then brings the popup up. Else nothing.
    void Show();
    // On a visible popup: shows the newest message.
    void LastMessage();
    void NextMessage();
    void PrevMessage();
    // Deletes message index (from 0; EListError "Invalid Index" out of range). The shown message
    // stays shown when another one goes; when it goes itself, the next one is shown, or the
    // previous one if it was the last. Deleting the only message closes the popup.
    void DeleteMessage(int index);
    void DeleteShownMessage();

    const TMsgScroller& Scroller() const { return scroller_; }
    // The message to draw, or none.
    const TMsgCollectionItem* ShownMessage() const;
    // The position text, e.g. "2 of 5".
    std::string PositionText() const;

private:
    void SetPosition(int position);
    // Brings the shown position in line with the number of messages.
    void ListChanged();
    void Repaint();
    void ItemChanged();
    void ItemRemoved(int index);

    AlertPopup& popup_;
    TMsgCollection messages_;
    TMsgScroller scroller_;
};

} // namespace quillet
