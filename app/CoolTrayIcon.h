#pragma once
// The program's icon in the notification area. At any moment the program is either its
// visible main window or this icon: the icon opens the window on a double-click and offers
// the tray menu on a right click, and minimising the program hides it to the icon.
//
// The program's taskbar button is the application window's (app/Application.h), which owns
// the main window: showing and hiding the main window here shows and hides the button too.
#include "app/Application.h"
#include "win32/Window.h"

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

namespace quillet {

// The program has one icon, TRAY_ICON_ID, and the shell reports what happens on it to the
// icon's hidden window with WM_TRAY_ICON (res/resource.h).
class TCoolTrayIcon {
public:
    // Makes the hidden window; the icon is not shown yet. owner is the main window, which
    // shows the menu and which ShowFromTray and HideToTray show and hide, together with the
    // taskbar button of `application`, the window that owns it.
    TCoolTrayIcon(win32::Window& owner, TApplication& application);
    // Removes the icon.
    ~TCoolTrayIcon();
    TCoolTrayIcon(const TCoolTrayIcon&) = delete;
    TCoolTrayIcon& operator=(const TCoolTrayIcon&) = delete;

    // Set before the icon is first shown.
    HICON Icon = nullptr;
    std::string Hint; // the tooltip; the shell shows at most 127 characters of it
    HMENU PopupMenu = nullptr;
    std::function<void()> OnDblClick;

    // Adds the icon to the notification area or removes it. The value is what was asked for,
    // whatever the shell did.
    bool IconVisible() const { return iconVisible_; }
    void SetIconVisible(bool visible);

    // Shows the owner in its normal state with the taskbar button, in front; a dialog that
    // was open over it comes back with it, in front of it.
    void ShowFromTray();
    // Hides the owner, any dialog open over it and the taskbar button.
    void HideToTray();
    // The program has been minimised, or starts so: hides it and shows the icon.
    void MinimizeToTray();

    // Every message of the owner window, before its own handling; none is consumed.
    void OwnerMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // The hidden window to which the shell reports.
    HWND HandlerWindow() const { return handler_.Handle(); }

    // Where the calls to the notification area go: Shell_NotifyIconA. Tests observe them here.
    static std::function<void(DWORD message, const NOTIFYICONDATAW& data)> NotifyIcon;

private:
    // A top-level window, never shown, because the shell's "TaskbarCreated" broadcast after a
    // restart reaches only top-level windows.
    class Handler final : public win32::Window {
    public:
        explicit Handler(TCoolTrayIcon& icon);

    private:
        LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

        TCoolTrayIcon& icon_;
        const UINT taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    };

    // What happened on the icon, and where on the screen.
    void Notification(UINT event, POINT at);
    void ShowMenu(POINT at);
    // Adds the icon, with the notification version this window reads.
    void Add();
    // Sends the notification data with the current icon and tooltip.
    void Notify(DWORD message);

    win32::Window& owner_;
    TApplication& application_;
    std::vector<HWND> hiddenDialogs_; // open over the owner when it was hidden
    Handler handler_{*this};
    NOTIFYICONDATAW data_{};
    bool iconVisible_ = false;
    bool menuFromButton_ = false; // opened by the right button, whose WM_CONTEXTMENU is to come
};

} // namespace quillet
