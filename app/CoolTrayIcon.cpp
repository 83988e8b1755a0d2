#include "app/CoolTrayIcon.h"

#include "res/resource.h"
#include "win32/Text.h"
#include "win32/Window.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace quillet {

TCoolTrayIcon::Handler::Handler(TCoolTrayIcon& icon) : icon_(icon) {
    Create(TRAY_WINDOW_CLASS, {}, 0, WS_POPUP, "", 0, 0, 0, 0, nullptr);
}

LRESULT TCoolTrayIcon::Handler::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TRAY_ICON:
        // The current notification version: the event and the icon in lParam, the place on
        // the screen that it concerns in wParam.
        if (HIWORD(lParam) == TRAY_ICON_ID)
            icon_.Notification(LOWORD(lParam), {GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)});
        return 0;
    // The hidden window never closes by itself and never vetoes the end of the session.
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:
    case WM_QUIT:
    case WM_DESTROY: return 1;
    }
    // The shell has restarted and forgotten the icon: if it is meant to show, it comes back.
    if (message == taskbarCreated_ && taskbarCreated_ && icon_.IconVisible()) icon_.Add();
    return Window::HandleMessage(message, wParam, lParam);
}

std::function<void(DWORD, const NOTIFYICONDATAW&)> TCoolTrayIcon::NotifyIcon =
    [](DWORD message, const NOTIFYICONDATAW& data) {
        // The shell's answer is not looked at: the icon is what was asked for.
        NOTIFYICONDATAW copy = data;
        Shell_NotifyIconW(message, &copy);
    };

TCoolTrayIcon::TCoolTrayIcon(win32::Window& owner, TApplication& application)
    : owner_(owner), application_(application) {
    // The whole record, as the shell of every supported Windows reads it; its version field
    // is the notification version, sent after every add.
    data_.cbSize = sizeof data_;
    data_.hWnd = handler_.Handle();
    data_.uID = TRAY_ICON_ID;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = WM_TRAY_ICON;
}

TCoolTrayIcon::~TCoolTrayIcon() {
    SetIconVisible(false);
}

void TCoolTrayIcon::SetIconVisible(bool visible) {
    iconVisible_ = visible;
    if (visible)
        Add();
    else
        Notify(NIM_DELETE);
}

void TCoolTrayIcon::Add() {
    Notify(NIM_ADD);
    // The shell forgets the version with the icon.
    data_.uVersion = NOTIFYICON_VERSION_4;
    Notify(NIM_SETVERSION);
    data_.uVersion = 0;
}

void TCoolTrayIcon::Notify(DWORD message) {
    data_.hIcon = Icon;
    std::ranges::fill(data_.szTip, L'\0');
    // Cut to what the tip holds, never between the two halves of a character.
    const std::wstring hint = win32::Wide(Hint);
    std::size_t length = std::min(hint.size(), std::size(data_.szTip) - 1);
    if (length < hint.size() && IS_HIGH_SURROGATE(hint[length - 1])) --length;
    hint.copy(data_.szTip, length);
    NotifyIcon(message, data_);
}

void TCoolTrayIcon::ShowFromTray() {
    const HWND window = owner_.Handle();
    if (!window) return;
    application_.ShowButton(true);
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    ShowWindow(window, SW_SHOW);
    for (const HWND dialog : std::exchange(hiddenDialogs_, {}))
        if (IsWindow(dialog)) ShowWindow(dialog, SW_SHOWNA);
    SetForegroundWindow(win32::InputWindow(window));
}

void TCoolTrayIcon::HideToTray() {
    const HWND window = owner_.Handle();
    if (!window) return;
    // Its open dialogs go with it, as Windows hides those of a minimised window, and come back
    // with it. The reminder popup, its tool window, stays.
    for (const HWND dialog : win32::OpenDialogs(window)) {
        ShowWindow(dialog, SW_HIDE);
        hiddenDialogs_.push_back(dialog);
    }
    ShowWindow(window, SW_HIDE);
    application_.ShowButton(false);
}

void TCoolTrayIcon::MinimizeToTray() {
    HideToTray();
    SetIconVisible(true);
}

void TCoolTrayIcon::OwnerMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_SIZE && wParam == SIZE_MINIMIZED) MinimizeToTray();
    // A dialog opened from the tray menu belongs to the hidden owner and disables it while it
    // is open: the program's button stands for the dialog until it ends.
    if (message == WM_ENABLE && !IsWindowVisible(owner_.Handle())) application_.ShowButton(!wParam);
}

void TCoolTrayIcon::Notification(UINT event, POINT at) {
    switch (event) {
    // The menu opens as the button goes down, not when it comes up. The shell follows the
    // button's release with WM_CONTEXTMENU, which then opens nothing more.
    case WM_RBUTTONDOWN:
        menuFromButton_ = true;
        ShowMenu(at);
        break;
    case WM_RBUTTONUP: break;
    // The menu asked for from the keyboard (the menu key or Shift+F10 on the selected icon).
    case WM_CONTEXTMENU:
        if (!std::exchange(menuFromButton_, false)) ShowMenu(at);
        break;
    case WM_LBUTTONDBLCLK:
        menuFromButton_ = false;
        if (OnDblClick) OnDblClick();
        break;
    default: menuFromButton_ = false; break;
    }
}

void TCoolTrayIcon::ShowMenu(POINT at) {
    const HWND owner = owner_.Handle();
    if (!PopupMenu || !owner) return;
    // Without the foreground step the menu does not close on a click elsewhere, and without
    // the null message afterwards it closes at once when opened the next time. The step's
    // activation messages are let in before the menu (a look at the queue delivers what is
    // sent to the thread; under Wine, a change of focus still on its way closed the menu now
    // and then), but nothing posted is taken: a tick or a command handed over there would
    // run inside this call.
    SetForegroundWindow(owner);
    MSG ignored;
    PeekMessageW(&ignored, nullptr, 0, 0, PM_NOREMOVE);
    // Beside the icon on the side the user's settings say (left or right of the point), above
    // it, as the taskbar stands at the bottom; the system keeps it on the screen elsewhere.
    const UINT side = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    // The chosen command reaches the owner as a WM_COMMAND through its message queue.
    TrackPopupMenu(PopupMenu, TPM_RIGHTBUTTON | side | TPM_BOTTOMALIGN, at.x, at.y, 0, owner,
                   nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
}

} // namespace quillet
