#include "win32/AlertWindowHost.h"

#include "alerts/AlertWindow.h"
#include "res/resource.h"
#include "win32/Dpi.h"
#include "win32/Handles.h"
#include "win32/Text.h"

#include <algorithm>
#include <utility>

namespace quillet::win32 {
namespace {

constexpr UINT_PTR ScrollTimer = 1;
constexpr UINT ScrollRepeatMs = 100;
// Posted to itself: the announcements of one change go out once, after it.
constexpr UINT AnnounceMessage = WM_APP;

} // namespace

AlertWindowHost::AlertWindowHost(HWND owner, TAlertWindow& popup) : owner_(owner), popup_(popup) {
    // The shadow is drawn where the desktop draws shadows.
    Create(ALERT_WINDOW_CLASS, {.style = CS_DROPSHADOW, .paints = true, .followsPointer = true},
           WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, WS_POPUP, "", 0, 0, 0, 0, owner);

    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // Always shown, although the popup is never the active window.
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    std::wstring none;
    TOOLINFOW tool = Tool(none);
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// One tool for the whole window; its text is the hint of the button under the pointer.
TOOLINFOW AlertWindowHost::Tool(std::wstring& text) const {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(Handle());
    tool.lpszText = text.data();
    return tool;
}

Rect AlertWindowHost::Bounds() const {
    RECT r{};
    GetWindowRect(Handle(), &r);
    return FromRECT(r);
}

void AlertWindowHost::SetBounds(const Rect& b) {
    SetWindowPos(Handle(), HWND_TOPMOST, b.left, b.top, b.Width(), b.Height(), SWP_NOACTIVATE);
}

bool AlertWindowHost::Visible() const {
    return IsWindowVisible(Handle());
}

void AlertWindowHost::ShowTopmost() {
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void AlertWindowHost::Hide() {
    SendMessageW(tooltip_, TTM_POP, 0, 0);
    ShowWindow(Handle(), SW_HIDE);
}

void AlertWindowHost::SetOpacity(int opacity) {
    // Without layered windows the popup simply shows fully opaque.
    if (!setLayeredWindowAttributes_) return;
    const LONG style = GetWindowLongW(Handle(), GWL_EXSTYLE);
    if (!(style & WS_EX_LAYERED)) SetWindowLongW(Handle(), GWL_EXSTYLE, style | WS_EX_LAYERED);
    setLayeredWindowAttributes_(Handle(), 0, BYTE(std::clamp(opacity, 0, 255)), LWA_ALPHA);
}

void AlertWindowHost::Repaint(const Rect& area) {
    const RECT r = ToRECT(area);
    InvalidateRect(Handle(), &r, FALSE);
}

void AlertWindowHost::SetHint(const std::string& hint) {
    // The hint on show goes; the new one shows once the pointer rests for the usual delay.
    SendMessageW(tooltip_, TTM_POP, 0, 0);
    std::wstring text = Wide(hint);
    TOOLINFOW tool = Tool(text);
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void AlertWindowHost::SetPointingHand(bool hand) {
    if (hand == hand_) return;
    hand_ = hand;
    SetCursor(LoadCursor(nullptr, hand ? IDC_HAND : IDC_ARROW));
}

void AlertWindowHost::CapturePointer() {
    SetCapture(Handle());
}

void AlertWindowHost::ReleasePointer() {
    if (GetCapture() == Handle()) ReleaseCapture();
}

void AlertWindowHost::SetScrollRepeat(bool on) {
    if (on)
        SetTimer(Handle(), ScrollTimer, ScrollRepeatMs, nullptr);
    else
        KillTimer(Handle(), ScrollTimer);
}

void AlertWindowHost::FocusOwner() {
    // A hidden main window taking the focus would swallow what the user types elsewhere.
    if (owner_ && IsWindowVisible(owner_)) SetFocus(owner_);
}

void AlertWindowHost::Announce() {
    if (std::exchange(announcing_, true)) return;
    PostMessageW(Handle(), AnnounceMessage, 0, 0);
}

void AlertWindowHost::DpiChanged(std::optional<RECT> suggested) {
    if (suggested) popup_.DpiChanged(Dpi(), FromRECT(*suggested));
}

void AlertWindowHost::Destroyed() {
    accessible_.Disconnect();
}

RECT AlertWindowHost::OnScreen(const Rect& client) const {
    const Rect bounds = Bounds();
    return {bounds.left + client.left, bounds.top + client.top, bounds.left + client.right,
            bounds.top + client.bottom};
}

std::vector<AlertWindowHost::Child> AlertWindowHost::Children() const {
    std::vector<Child> children;
    for (const AlertPart& part : popup_.Parts()) {
        if (!part.shown) continue;
        const bool pressed = part.enabled && popup_.Pressed(part.id);
        const bool hovered = part.enabled && popup_.Hovered(part.id);
        children.push_back({{.name = part.name,
                             .role = ROLE_SYSTEM_PUSHBUTTON,
                             .state = (part.enabled ? 0 : STATE_SYSTEM_UNAVAILABLE) |
                                      (pressed ? STATE_SYSTEM_PRESSED : 0) |
                                      (hovered ? STATE_SYSTEM_HOTTRACKED : 0),
                             .location = OnScreen(part.rect),
                             .defaultAction = part.enabled ? "Press" : ""},
                            part.enabled ? std::optional(part.id) : std::nullopt});
    }
    // Clicking a link does nothing in the popup, so a link has no action here either.
    const Rect text = popup_.Layout().text;
    for (const MarkupLink& link : popup_.Links()) {
        const bool shown = link.rect.bottom > text.top && link.rect.top < text.bottom;
        children.push_back({{.name = link.text,
                             .role = ROLE_SYSTEM_LINK,
                             .state = STATE_SYSTEM_LINKED | (shown ? 0 : STATE_SYSTEM_OFFSCREEN),
                             .location = OnScreen(link.rect),
                             .description = link.target},
                            std::nullopt});
    }
    return children;
}

int AlertWindowHost::AccessibleChildCount() const {
    return int(Children().size());
}

AccessibleElement AlertWindowHost::AccessibleElementOf(int child) const {
    if (child != AccessibleSelf) return Children()[std::size_t(child - 1)].element;
    const Rect bounds = Bounds();
    return {.name = popup_.SpokenMessage(),
            .role = ROLE_SYSTEM_ALERT,
            .state = Visible() ? 0 : STATE_SYSTEM_INVISIBLE,
            .location = OnScreen({0, 0, bounds.Width(), bounds.Height()})};
}

std::optional<int> AlertWindowHost::AccessibleChildAt(POINT screen) const {
    const std::vector<Child> children = Children();
    for (std::size_t i = 0; i < children.size(); ++i)
        if (PtInRect(&children[i].element.location, screen)) return int(i + 1);
    const RECT window = ToRECT(Bounds());
    if (PtInRect(&window, screen)) return AccessibleSelf;
    return std::nullopt;
}

bool AlertWindowHost::AccessibleDoDefaultAction(int child) {
    if (child == AccessibleSelf) return false;
    const std::optional<AlertButton> button = Children()[std::size_t(child - 1)].button;
    if (!button) return false;
    popup_.Act(*button);
    return true;
}

int AlertWindowHost::ChooseFromMenu(const std::vector<std::string>& items, int checked, Point at) {
    const Menu menu(CreatePopupMenu());
    for (std::size_t i = 0; i < items.size(); ++i)
        AppendMenuW(menu.get(), MF_STRING | (int(i) == checked ? MF_CHECKED : 0), i + 1,
                    Wide(items[i]).c_str());
    POINT p{at.x, at.y};
    ClientToScreen(Handle(), &p);
    // As the tray's menu: the popup never becomes active, so the main window (hidden or not)
    // takes the foreground, without which the menu stays open on a click elsewhere.
    if (owner_) SetForegroundWindow(owner_);
    const UINT side = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    const int chosen = int(TrackPopupMenu(
        menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | side | TPM_BOTTOMALIGN, p.x,
        p.y, 0, owner_ ? owner_ : Handle(), nullptr));
    if (owner_) PostMessageW(owner_, WM_NULL, 0, 0);
    return chosen - 1;
}

void AlertWindowHost::Paint(HDC dc) {
    GdiCanvas canvas(dc, {}, popup_.Dpi());
    popup_.Paint(canvas);
}

Canvas& AlertWindowHost::MeasuringCanvas() {
    // Measured as painted: at the density the popup is laid out for.
    if (!measuring_ || measuring_->PixelsPerInch() != popup_.Dpi())
        measuring_.emplace(measuringDc_.get(), Font{}, popup_.Dpi());
    return *measuring_;
}

void AlertWindowHost::PointerLeft() {
    popup_.PointerLeft();
}

LRESULT AlertWindowHost::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_SETCURSOR:
        if (LOWORD(lParam) != HTCLIENT) break;
        SetCursor(LoadCursor(nullptr, hand_ ? IDC_HAND : IDC_ARROW));
        return TRUE;
    case WM_MOUSEMOVE: popup_.PointerMoved(PointOf(lParam)); return 0;
    case WM_LBUTTONDOWN: popup_.PointerPressed(PointOf(lParam)); return 0;
    case WM_LBUTTONUP: popup_.PointerReleased(PointOf(lParam)); return 0;
    // Answered here, so that no WM_CONTEXTMENU follows.
    case WM_RBUTTONUP: popup_.PointerMenu(PointOf(lParam)); return 0;
    case WM_CAPTURECHANGED:
        // Taken away in the middle of a drag: the drag ends where the popup stands.
        if (popup_.Dragging()) popup_.PointerReleased(PointerPosition());
        return 0;
    case WM_TIMER:
        if (wParam != ScrollTimer) break;
        popup_.ScrollRepeat();
        return 0;
    case WM_GETOBJECT:
        if (const auto object = accessible_.GetObject(Handle(), wParam, lParam)) return *object;
        break;
    case AnnounceMessage:
        announcing_ = false;
        if (!Visible()) return 0;
        // Read out from the background: screen readers speak alerts of topmost windows.
        NotifyAccessible(Handle(), EVENT_OBJECT_NAMECHANGE);
        NotifyAccessible(Handle(), EVENT_OBJECT_REORDER);
        NotifyAccessible(Handle(), EVENT_SYSTEM_ALERT);
        return 0;
    default: break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

} // namespace quillet::win32
