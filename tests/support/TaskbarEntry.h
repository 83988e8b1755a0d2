#pragma once
// Which windows the Windows shell lists, in the taskbar and in Alt+Tab: a visible top-level
// window with WS_EX_APPWINDOW, or a visible one that is neither owned nor a tool window.
// Wine's own taskbar may list windows by other rules; these are the facts Windows decides by.
#include <windows.h>

namespace quillet::test {

inline bool HasTaskbarEntry(HWND window) {
    if (!IsWindowVisible(window) || (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) return false;
    const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    if (exStyle & WS_EX_APPWINDOW) return true;
    return !GetWindow(window, GW_OWNER) && !(exStyle & WS_EX_TOOLWINDOW);
}

} // namespace quillet::test
