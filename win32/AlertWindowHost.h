#pragma once
// The reminder popup's window on the desktop: frameless, topmost, a tool window without a
// taskbar button, never activated (the keyboard focus stays where it is), with a drop shadow
// where the desktop draws one, and owned by the main window. It becomes layered when its first
// opacity is set. It passes the pointer on to its TAlertWindow, paints what that draws through
// a memory bitmap, and shows the hints in a tooltip. A screen reader reads it as an alert named
// with the shown reminder, with its buttons and the reminder's links as children; the buttons
// act through it without the popup taking the focus.
#include "alerts/AlertDesktop.h"
#include "alerts/AlertWindow.h"
#include "win32/Accessible.h"
#include "win32/Gdi.h"
#include "win32/GdiCanvas.h"
#include "win32/Library.h"
#include "win32/Window.h"

#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

namespace quillet::win32 {

class AlertWindowHost final : public PopupHost, public Window, private AccessibleSource {
public:
    // Creates the window, hidden.
    AlertWindowHost(HWND owner, TAlertWindow& popup);

    Rect Bounds() const override;
    void SetBounds(const Rect& bounds) override;
    bool Visible() const override;
    void ShowTopmost() override;
    void Hide() override;
    void SetOpacity(int opacity) override;
    void Repaint(const Rect& area) override;
    Canvas& MeasuringCanvas() override;
    void SetHint(const std::string& hint) override;
    void SetPointingHand(bool hand) override;
    void CapturePointer() override;
    void ReleasePointer() override;
    void SetScrollRepeat(bool on) override;
    void FocusOwner() override;
    void Announce() override;
    int ChooseFromMenu(const std::vector<std::string>& items, int checked, Point at) override;

    // The tooltip that shows the hints.
    HWND Tooltip() const { return tooltip_; }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    void PointerLeft() override;
    void Destroyed() override;
    // Moved to a monitor of another density: the popup lays itself out anew in the rectangle
    // the system suggests.
    void DpiChanged(std::optional<RECT> suggested) override;
    TOOLINFOW Tool(std::wstring& text) const;

    // Its children: the buttons shown, then the links of the reminder.
    struct Child {
        AccessibleElement element;
        std::optional<AlertButton> button; // enabled buttons only
    };
    std::vector<Child> Children() const;
    RECT OnScreen(const Rect& client) const;
    int AccessibleChildCount() const override;
    AccessibleElement AccessibleElementOf(int child) const override;
    std::optional<int> AccessibleChildAt(POINT screen) const override;
    bool AccessibleDoDefaultAction(int child) override;

    HWND owner_;
    TAlertWindow& popup_;
    const Library user32_{L"user32.dll"};
    using SetLayeredWindowAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    const SetLayeredWindowAttributesFn setLayeredWindowAttributes_ =
        user32_.Function<SetLayeredWindowAttributesFn>("SetLayeredWindowAttributes");
    const MemoryDc measuringDc_{nullptr};
    std::optional<GdiCanvas> measuring_;
    HWND tooltip_ = nullptr; // owned by the window, and destroyed with it
    bool hand_ = false;
    bool announcing_ = false; // an announcement is posted
    AccessibleRoot accessible_{*this};
};

} // namespace quillet::win32
