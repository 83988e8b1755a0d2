#include "app/HTMLabel.h"

#include "win32/Gdi.h"
#include "win32/GdiCanvas.h"
#include "win32/Text.h"

#include <shellapi.h>

namespace quillet {
namespace {

bool OpensInTheDesktop(const std::string& target) {
    return target.find("://") != std::string::npos || target.find("mailto:") != std::string::npos;
}

} // namespace

void THTMLabel::Create(HWND parent, int left, int top, int width, int height) {
    Window::Create("QuilletHTMLabel", {.paints = true, .followsPointer = true}, 0,
                   WS_CHILD | WS_VISIBLE, "", left, top, width, height, parent);
}

void THTMLabel::Refresh() {
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void THTMLabel::DpiChanged(std::optional<RECT>) {
    Refresh();
}

void THTMLabel::ShellOpen(const std::string& target) {
    ShellExecuteW(nullptr, L"open", win32::Wide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

MarkupOptions THTMLabel::Options(MarkupMode mode, Point point) const {
    return {.mode = mode,
            .point = point,
            .images = Images,
            .hoverLink = hoverLink_,
            .shadowOffset = Scaled(ShadowOffset),
            .blinkPhase = false,
            .hoverStyle = Hover,
            .wordWrap = !Ellipsis,
            .linkColor = URLColor,
            .hoverBackground = HoverColor,
            .hoverTextColor = HoverFontColor,
            .shadowColor = ShadowColor};
}

// The label has no border: the markup has its whole client area.
Rect THTMLabel::Area() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    return win32::FromRECT(client);
}

MarkupResult THTMLabel::HitTest(Point point) {
    const win32::WindowDc dc(Handle());
    win32::GdiCanvas canvas(dc.get(), Scaled(Font), Dpi());
    return DrawMarkup(canvas, HTMLText, Area(), Options(MarkupMode::HitTest, point));
}

void THTMLabel::PaintBackground(HDC dc) {
    const RECT client = win32::ToRECT(Area());
    if (Background) {
        SetDCBrushColor(dc, win32::ToColorRef(*Background));
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return;
    }
    // Transparent: the parent gives the brush it paints its static controls with, aligned to
    // its own corner so that patterns line up.
    const HWND parent = GetParent(Handle());
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(parent, WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(Handle())));
    if (!brush) brush = GetSysColorBrush(COLOR_BTNFACE);
    POINT corner{0, 0};
    MapWindowPoints(Handle(), parent, &corner, 1);
    SetBrushOrgEx(dc, -corner.x, -corner.y, nullptr);
    FillRect(dc, &client, brush);
}

void THTMLabel::Paint(HDC dc) {
    PaintBackground(dc);
    win32::GdiCanvas canvas(dc, Scaled(Font), Dpi());
    DrawMarkup(canvas, HTMLText, Area(), Options(MarkupMode::Draw));
}

void THTMLabel::SetHoverLink(int link) {
    if (link == hoverLink_) return;
    hoverLink_ = link;
    if (Hover) Refresh();
}

void THTMLabel::PointerLeft() {
    SetHoverLink(-1);
}

LRESULT THTMLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT) break;
        const bool onLink = HitTest(PointerPosition()).onLink;
        SetCursor(LoadCursor(nullptr, onLink ? IDC_HAND : IDC_ARROW));
        return TRUE;
    }
    case WM_MOUSEMOVE: SetHoverLink(HitTest(win32::PointOf(lParam)).linkUnderPoint); return 0;
    case WM_LBUTTONDOWN: {
        const MarkupResult hit = HitTest(win32::PointOf(lParam));
        if (!hit.onLink) return 0;
        if (OpensInTheDesktop(hit.linkTarget)) {
            if (OpenLink) OpenLink(hit.linkTarget);
        } else if (OnAnchorClick) {
            OnAnchorClick(hit.linkTarget);
        }
        return 0;
    }
    default: break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

} // namespace quillet
