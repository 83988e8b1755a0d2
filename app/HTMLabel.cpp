#include "app/HTMLabel.h"

#include "win32/Gdi.h"
#include "win32/GdiCanvas.h"

#include <shellapi.h>
#include <windowsx.h>

namespace quillet {
namespace {

// The window's device context, for measuring outside painting.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() { ReleaseDC(hwnd_, dc_); }
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

bool OpensInTheDesktop(const std::string& target) {
    return target.find("://") != std::string::npos || target.find("mailto:") != std::string::npos;
}

} // namespace

void THTMLabel::Create(HWND parent, int left, int top, int width, int height) {
    Window::Create("QuilletHTMLabel", {}, 0, WS_CHILD | WS_VISIBLE, "", left, top, width, height,
                   parent);
}

void THTMLabel::Refresh() {
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void THTMLabel::ShellOpen(const std::string& target) {
    ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

MarkupOptions THTMLabel::Options(MarkupMode mode, Point point) const {
    return {.mode = mode,
            .point = point,
            .images = Images,
            .hoverLink = hoverLink_,
            .shadowOffset = ShadowOffset,
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
    return {client.left, client.top, client.right, client.bottom};
}

MarkupResult THTMLabel::HitTest(Point point) {
    const WindowDc dc(Handle());
    win32::GdiCanvas canvas(dc.get(), Font);
    return DrawMarkup(canvas, HTMLText, Area(), Options(MarkupMode::HitTest, point));
}

void THTMLabel::PaintBackground(HDC dc, const RECT& client) {
    if (Background) {
        SetDCBrushColor(dc, win32::ToColorRef(*Background));
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return;
    }
    // Transparent: the parent gives the brush it paints its static controls with, aligned to
    // its own corner so that patterns line up.
    const HWND parent = GetParent(Handle());
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(parent, WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(Handle())));
    if (!brush) brush = GetSysColorBrush(COLOR_BTNFACE);
    POINT corner{0, 0};
    MapWindowPoints(Handle(), parent, &corner, 1);
    SetBrushOrgEx(dc, -corner.x, -corner.y, nullptr);
    FillRect(dc, &client, brush);
}

void THTMLabel::PaintTo(HDC dc) {
    RECT client{};
    GetClientRect(Handle(), &client);
    const win32::BufferedPaint buffer(dc, client.right, client.bottom);
    PaintBackground(buffer.dc(), client);
    win32::GdiCanvas canvas(buffer.dc(), Font);
    DrawMarkup(canvas, HTMLText, Area(), Options(MarkupMode::Draw));
}

LRESULT THTMLabel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        const win32::Painting painting(Handle());
        PaintTo(painting.dc());
        return 0;
    }
    case WM_PRINTCLIENT: PaintTo(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1; // painting covers everything
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT) break;
        POINT pointer{};
        GetCursorPos(&pointer);
        ScreenToClient(Handle(), &pointer);
        const bool onLink = HitTest({pointer.x, pointer.y}).onLink;
        SetCursor(LoadCursor(nullptr, onLink ? IDC_HAND : IDC_ARROW));
        return TRUE;
    }
    case WM_MOUSEMOVE: {
        if (!tracking_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
            tracking_ = TrackMouseEvent(&track);
        }
        const int link = HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}).linkUnderPoint;
        if (link != hoverLink_) {
            hoverLink_ = link;
            if (Hover) Refresh();
        }
        return 0;
    }
    case WM_MOUSELEAVE:
        tracking_ = false;
        if (hoverLink_ != -1) {
            hoverLink_ = -1;
            if (Hover) Refresh();
        }
        return 0;
    case WM_LBUTTONDOWN: {
        const MarkupResult hit = HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
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
