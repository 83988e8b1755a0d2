#include "app/uAbout.h"

#include "res/resource.h"
#include "win32/BitmapResource.h"

#include <commctrl.h>

namespace quillet {

void TfrmAbout::ShowModal(HWND owner) {
    ModalDialog::ShowModal(owner, "About", 273, 146);
}

namespace {

// Design values at 96 pixels per inch.
constexpr RECT LinkBounds{81, 77, 193, 94};
constexpr POINT LogoAt{11, 4};
constexpr int LogoSize = 48;
constexpr win32::FontSpec NameFont{"Tahoma", 18}, TextFont{"Tahoma", 9}, ButtonFont{"Tahoma", 10};

} // namespace

void TfrmAbout::Init() {
    AdvPanel1.Create(Handle());
    Image1 = win32::LoadPicture(IDB_LOGO, LogoSize, Dpi());

    constexpr DWORD Label = SS_CENTER | SS_NOPREFIX;
    AddControl(WC_STATICW, "Quillet", Label, IDC_ABOUT_NAME, 81, 12, 110, 29, NameFont);
    AddControl(WC_STATICW, "Version 1.01", Label, IDC_ABOUT_VERSION, 102, 43, 69, 14, TextFont);
    AddControl(WC_STATICW, "Copyright (C) 2026 Quillet developers", Label, IDC_ABOUT_RIGHTS, 27, 60,
               219, 14, TextFont);
    // The maker's web address, shown without its scheme.
    HTMLabel1.HTMLText = "<p align=\"center\"><a href=\"https://quillet.example.org\">"
                         "quillet.example.org</a></p>";
    HTMLabel1.Font = {.face = "Tahoma", .height = 12, .color = DarkBlue};
    HTMLabel1.Create(Handle(), 0, 0, 0, 0);
    SetWindowLongPtrW(HTMLabel1.Handle(), GWLP_ID, IDC_ABOUT_LINK);
    DpiChanged();
    // Close under the link: the dialog keeps no empty room above its button.
    const HWND btnOK = AddControl(WC_BUTTONW, "OK", WS_TABSTOP | BS_PUSHBUTTON, IDOK, 90, 106, 100,
                                  30, ButtonFont);
    SetFocus(btnOK);
}

void TfrmAbout::DpiChanged() {
    AdvPanel1.Create(Handle());
    Image1 = win32::LoadPicture(IDB_LOGO, LogoSize, Dpi());
    HTMLabel1.SetDpi(Dpi());
    const RECT link = Scaled(LinkBounds);
    MoveWindow(HTMLabel1.Handle(), link.left, link.top, link.right - link.left,
               link.bottom - link.top, TRUE);
}

void TfrmAbout::PaintBackground(HDC dc) const {
    AdvPanel1.HandleMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    BITMAP logo{};
    if (!Image1 || !GetObjectW(Image1.get(), sizeof logo, &logo)) return;
    const win32::MemoryDc memory(dc);
    const win32::Selection selected(memory.get(), Image1.get());
    GdiTransparentBlt(dc, Scaled(LogoAt.x), Scaled(LogoAt.y), logo.bmWidth, logo.bmHeight,
                      memory.get(), 0, 0, logo.bmWidth, logo.bmHeight, GLYPH_TRANSPARENT_COLOR);
}

std::optional<LRESULT> TfrmAbout::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        PaintBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    }
    if (const auto result = AdvPanel1.HandleMessage(message, wParam, lParam)) return result;
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        End(IDOK);
        return 0;
    }
    return ModalDialog::HandleMessage(message, wParam, lParam);
}

void ShowAbout(HWND owner) {
    TfrmAbout frmAbout;
    frmAbout.ShowModal(owner);
}

} // namespace quillet
