#pragma once
// The pixel density of the program's windows. The program is aware of every monitor's own
// density (its manifest says so), so each window asks for its own and scales its design values
// with Scale (base/Dpi.h). The calls that know about densities per monitor arrived in later
// versions of Windows; where one is missing, the desktop's single density stands in.
#include "base/Dpi.h"

#include <windows.h>

namespace quillet::win32 {

// The window's density: the monitor's it stands on, or the desktop's where the system knows
// only one.
int WindowDpi(HWND window);
// The density of the primary monitor, whose work area holds the taskbar.
int PrimaryMonitorDpi();
// The outer size of a window with that client size, its frame drawn at that density.
SIZE WindowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);

// The density that WM_DPICHANGED brings, and the window rectangle it suggests for it.
inline int DpiOf(WPARAM wParam) {
    return LOWORD(wParam);
}
inline const RECT& SuggestedRect(LPARAM lParam) {
    return *reinterpret_cast<const RECT*>(lParam);
}

} // namespace quillet::win32
