#pragma once
// The Windows desktop as the reminder popup needs it: its window, owned by the main window;
// the work area; the theme's colour scheme (uxtheme, where there is one); the system colours;
// and the keyboard focus, which stays where it was while the popup comes up.
#include "alerts/AlertDesktop.h"
#include "win32/Window.h"

namespace quillet::win32 {

class SystemAlertDesktop final : public AlertDesktop {
public:
    // owner: the main window. Its handle is taken when the popup is created, at the first
    // showing, so this may be made before the main window's own window exists.
    explicit SystemAlertDesktop(const Window& owner) : owner_(owner) {}

    std::unique_ptr<PopupHost> CreatePopupHost(TAlertWindow& popup) override;
    Rect WorkArea() const override;
    int WorkAreaDpi() const override;
    std::optional<std::string> ThemeColorScheme() const override;
    Color SystemColor(DesktopColor which) const override;
    void RememberFocus() override;
    void RestoreFocus() override;

private:
    const Window& owner_;
    HWND focus_ = nullptr;
};

} // namespace quillet::win32
