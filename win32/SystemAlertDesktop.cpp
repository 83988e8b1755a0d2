#include "win32/SystemAlertDesktop.h"

#include "win32/Text.h"

#include "win32/AlertWindowHost.h"
#include "win32/Dpi.h"
#include "win32/GdiCanvas.h"
#include "win32/Library.h"

#include <string_view>

namespace quillet::win32 {

std::unique_ptr<PopupHost> SystemAlertDesktop::CreatePopupHost(TAlertWindow& popup) {
    return std::make_unique<AlertWindowHost>(owner_.Handle(), popup);
}

Rect SystemAlertDesktop::WorkArea() const {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return {area.left, area.top, area.right, area.bottom};
}

int SystemAlertDesktop::WorkAreaDpi() const {
    return PrimaryMonitorDpi();
}

std::optional<std::string> SystemAlertDesktop::ThemeColorScheme() const {
    // Looked up at run time: a desktop without themes has no uxtheme.
    const Library uxtheme(L"uxtheme.dll");
    const auto isThemeActive = uxtheme.Function<BOOL(WINAPI*)()>("IsThemeActive");
    const auto getCurrentThemeName =
        uxtheme.Function<HRESULT(WINAPI*)(LPWSTR, int, LPWSTR, int, LPWSTR, int)>(
            "GetCurrentThemeName");
    if (!isThemeActive || !getCurrentThemeName || !isThemeActive()) return std::nullopt;
    wchar_t file[MAX_PATH]{}, color[MAX_PATH]{}, size[MAX_PATH]{};
    if (FAILED(getCurrentThemeName(file, MAX_PATH, color, MAX_PATH, size, MAX_PATH)))
        return std::nullopt;
    return Utf8(color);
}

Color SystemAlertDesktop::SystemColor(DesktopColor which) const {
    return DesktopSystemColor(which);
}

void SystemAlertDesktop::RememberFocus() {
    focus_ = GetFocus();
}

void SystemAlertDesktop::RestoreFocus() {
    if (focus_ && IsWindow(focus_) && GetFocus() != focus_) SetFocus(focus_);
}

} // namespace quillet::win32
