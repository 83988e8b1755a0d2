#include "win32/Dpi.h"

#include "win32/Library.h"

namespace quillet::win32 {
namespace {

// Looked up in user32, which every window program has loaded: null where it is missing.
template <typename F> F User32Function(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int DesktopDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : DesignDpi;
}

} // namespace

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(window)) return int(dpi);
    return DesktopDpi();
}

int PrimaryMonitorDpi() {
    static const Library shcore(L"shcore.dll");
    // MDT_EFFECTIVE_DPI: the density the user chose for that monitor.
    static const auto getDpiForMonitor =
        shcore.Function<HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*)>("GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (getDpiForMonitor &&
        SUCCEEDED(
            getDpiForMonitor(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), 0, &x, &y)) &&
        x > 0)
        return int(x);
    return DesktopDpi();
}

SIZE WindowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi) {
    static const auto forDpi =
        User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, clientWidth, clientHeight};
    if (!forDpi || !forDpi(&frame, style, FALSE, exStyle, UINT(dpi)))
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

} // namespace quillet::win32
