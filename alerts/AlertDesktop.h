#pragma once
// The desktop as the reminder popup needs it: a window to live in, the work area, the theme,
// and the keyboard focus. The Windows shell implements these; tests hand in fakes.
#include "base/Canvas.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillet {

class TAlertWindow;

// The window on the desktop that carries the popup: frameless, topmost, without a taskbar
// button, and never active. It passes the pointer on to its TAlertWindow and paints what that
// draws. Points and rectangles of the popup's contents are relative to its top-left corner.
class PopupHost {
public:
    virtual ~PopupHost() = default;

    // Where it stands on the screen, and its size.
    virtual Rect Bounds() const = 0;
    // Moves and sizes it, keeping it on top of the other windows.
    virtual void SetBounds(const Rect& bounds) = 0;
    virtual bool Visible() const = 0;
    // Shows it above the topmost windows without activating it: the keyboard focus stays.
    virtual void ShowTopmost() = 0;
    virtual void Hide() = 0;
    // Whole-window opacity, 0 (transparent) to 255. Where the desktop cannot, nothing happens.
    virtual void SetOpacity(int opacity) = 0;
    // Paints that part again soon.
    virtual void Repaint(const Rect& area) = 0;
    // A canvas to measure text on outside painting.
    virtual Canvas& MeasuringCanvas() = 0;
    // The hint for the place under the pointer, shown after the desktop's usual delay; empty
    // for none. A hint on show goes at once.
    virtual void SetHint(const std::string& hint) = 0;
    virtual void SetPointingHand(bool hand) = 0;
    // All pointer input to this window, wherever the pointer goes, until released.
    virtual void CapturePointer() = 0;
    virtual void ReleasePointer() = 0;
    // While on, TAlertWindow::ScrollRepeat() every 100 ms.
    virtual void SetScrollRepeat(bool on) = 0;
    // Hands the keyboard focus to the program's main window.
    virtual void FocusOwner() = 0;
    // The reminder it shows is new to the user: screen readers are told to read it out,
    // without the focus moving.
    virtual void Announce() = 0;
    // A menu of `items` at `at`, the item `checked` (-1: none) with a tick; waits for the user
    // and gives the index of the chosen item, -1 for none.
    virtual int ChooseFromMenu(const std::vector<std::string>& items, int checked, Point at) = 0;
};

// What the alert component needs of the desktop.
class AlertDesktop {
public:
    virtual ~AlertDesktop() = default;

    // A new popup window, hidden, owned by the program's main window, reporting to popup.
    virtual std::unique_ptr<PopupHost> CreatePopupHost(TAlertWindow& popup) = 0;
    // The primary display less the taskbar.
    virtual Rect WorkArea() const = 0;
    // The pixels per inch of the monitor that holds the work area.
    virtual int WorkAreaDpi() const = 0;
    // The colour-scheme name of the desktop's theme; none without an active theme or without
    // theme support.
    virtual std::optional<std::string> ThemeColorScheme() const = 0;
    virtual Color SystemColor(DesktopColor which) const = 0;
    // RememberFocus notes which window has the keyboard focus; RestoreFocus gives it back.
    virtual void RememberFocus() = 0;
    virtual void RestoreFocus() = 0;
};

} // namespace quillet
