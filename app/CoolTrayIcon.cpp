#include "app/CoolTrayIcon.h"

#include "res/resource.h"
#include "win32/MessageLoop.h"
#include "win32/Text.h"

#include <algorithm>
#include <utility>

namespace quillet {

TCoolTrayIcon::Handler::Handler(TCoolTrayIcon& icon) : icon_(icon) {
    Create(TRAY_WINDOW_CLASS, {}, 0, WS_POPUP, "", 0, 0, 0, 0, nullptr);
}

LRESULT TCoolTrayIcon::Handler::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TRAY_ICON:
        if (wParam == TRAY_ICON_ID) icon_.Notification(UINT(lParam));
        return 0;
    // The hidden window never closes by itself and never vetoes the end of the session.
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:
    case WM_QUIT:
    case WM_DESTROY: return 1;
    }
    // The shell has restarted and forgotten the icon: if it is meant to show, it comes back.
    if (message == taskbarCreated_ && taskbarCreated_ && icon_.IconVisible()) icon_.Notify(NIM_ADD);
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
    // The record with the balloon fields, as the shell of every supported Windows reads it.
    data_.cbSize = NOTIFYICONDATAW_V2_SIZE;
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
    Notify(visible ? NIM_ADD : NIM_DELETE);
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

void TCoolTrayIcon::Notification(UINT mouseMessage) {
    switch (mouseMessage) {
    // The menu opens as the button goes down, not when it comes up.
    case WM_RBUTTONDOWN: ShowMenuAtCursor(); break;
    case WM_LBUTTONDBLCLK:
        if (OnDblClick) OnDblClick();
        break;
    }
}

void TCoolTrayIcon::ShowMenuAtCursor() {
    POINT at;
    const HWND owner = owner_.Handle();
    if (!PopupMenu || !owner || !GetCursorPos(&at)) return;
    // Without the foreground step the menu does not close on a click elsewhere, and without
    // the null message afterwards it closes at once when opened the next time.
    SetForegroundWindow(owner);
    win32::ProcessMessages();
    // The chosen command reaches the owner as a WM_COMMAND through its message queue.
    TrackPopupMenu(PopupMenu, TPM_RIGHTBUTTON | TPM_RIGHTALIGN | TPM_BOTTOMALIGN, at.x, at.y, 0,
                   owner, nullptr);
    PostMessageW(owner, WM_NULL, 0, 0);
}

} // namespace quillet
