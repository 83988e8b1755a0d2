#pragma once
// What a screen reader reads of a window that draws itself: its client area as one
// IAccessible whose parts are simple children (ids 1 to the count), answered from the window's
// state at every question. The window describes itself through AccessibleSource and hands the
// object out from WM_GETOBJECT through AccessibleRoot; a client may hold the object longer than
// the window lives, and then hears CO_E_OBJNOTCONNECTED.
#include <windows.h>

#include <oleacc.h>

#include <optional>
#include <string>
#include <vector>

namespace quillet::win32 {

// The window itself, as a child id.
inline constexpr int AccessibleSelf = CHILDID_SELF;

// One element as a screen reader sees it. Texts in the program's code page, as everywhere it
// draws; the location in screen pixels.
struct AccessibleElement {
    std::string name{};
    long role = ROLE_SYSTEM_CLIENT;
    long state = 0;
    RECT location{};
    std::string description{};   // read after the name and role: a column's sort direction
    std::string defaultAction{}; // what accDoDefaultAction does, in words; empty for nothing
};

class AccessibleSource {
public:
    virtual int AccessibleChildCount() const = 0;
    // AccessibleSelf or a child from 1 to the count.
    virtual AccessibleElement AccessibleElementOf(int child) const = 0;
    // The child under a point on the screen: AccessibleSelf for the window elsewhere in its
    // client area, nothing outside it.
    virtual std::optional<int> AccessibleChildAt(POINT screen) const = 0;
    // The child with the keyboard focus, while the window has it.
    virtual std::optional<int> AccessibleFocus() const { return std::nullopt; }
    virtual std::vector<int> AccessibleSelection() const { return {}; }
    // SELFLAG_TAKEFOCUS and SELFLAG_TAKESELECTION; false where the child cannot be selected.
    virtual bool AccessibleSelect(int /*child*/, long /*flags*/) { return false; }
    // Does what the element's default action says; false where it has none.
    virtual bool AccessibleDoDefaultAction(int /*child*/) { return false; }

protected:
    ~AccessibleSource() = default;
};

// The window's end: answers WM_GETOBJECT for its client area, and cuts the object it handed
// out loose from the source when it goes (at the latest with the window).
class AccessibleRoot {
public:
    explicit AccessibleRoot(AccessibleSource& source) : source_(source) {}
    ~AccessibleRoot() { Disconnect(); }
    AccessibleRoot(const AccessibleRoot&) = delete;
    AccessibleRoot& operator=(const AccessibleRoot&) = delete;

    // The answer to WM_GETOBJECT; nothing for what the window leaves to DefWindowProc.
    std::optional<LRESULT> GetObject(HWND window, WPARAM wParam, LPARAM lParam);
    // From now on the object answers CO_E_OBJNOTCONNECTED.
    void Disconnect();

private:
    AccessibleSource& source_;
    IAccessible* object_ = nullptr; // one reference held while connected
};

// Tells screen readers that something of the window's client area changed: the area itself
// (AccessibleSelf) or one of its children.
void NotifyAccessible(HWND window, DWORD event, int child = AccessibleSelf);

} // namespace quillet::win32
