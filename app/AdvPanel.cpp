#include "app/AdvPanel.h"

#include "win32/GdiCanvas.h"

namespace quillet {
namespace {

constexpr Color PanelTop{0xE9F1FA};
constexpr Color PanelBottom{0xC7D8ED};

} // namespace

void TAdvPanel::Create(HWND dialog) {
    dialog_ = dialog;
    RECT client{};
    GetClientRect(dialog, &client);
    const win32::MemoryDc memory(nullptr);
    picture_ = win32::CreateTopDownDib(memory.get(), client.right, client.bottom).bitmap;
    {
        const win32::Selection selected(memory.get(), picture_.get());
        win32::GdiCanvas canvas(memory.get(), {});
        // One band per pixel row: the smoothest the shades can be.
        canvas.GradientBands({0, 0, client.right, client.bottom}, PanelTop, PanelBottom,
                             client.bottom, GradientDirection::Vertical);
    }
    brush_ = win32::GdiBrush(CreatePatternBrush(picture_.get()));
}

std::optional<LRESULT> TAdvPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    const auto dc = reinterpret_cast<HDC>(wParam);
    switch (message) {
    case WM_ERASEBKGND: {
        // Copied, not filled with the brush: a themed control that has its parent's background
        // painted under it moves the device context's origin, which a brush would not follow.
        RECT client{};
        GetClientRect(dialog_, &client);
        const win32::MemoryDc memory(dc);
        const win32::Selection selected(memory.get(), picture_.get());
        BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        // The control shows the part of the panel that lies under it.
        POINT corner{0, 0};
        MapWindowPoints(reinterpret_cast<HWND>(lParam), dialog_, &corner, 1);
        SetBrushOrgEx(dc, -corner.x, -corner.y, nullptr);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, win32::ToColorRef(DarkBlue));
        return reinterpret_cast<LRESULT>(brush_.get());
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        SetTextColor(dc, win32::ToColorRef(DarkBlue));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    default: return std::nullopt;
    }
}

} // namespace quillet
