#include "app/uAbout.h"

#include "res/resource.h"

#include <commctrl.h>

namespace quillet {

void TfrmAbout::ShowModal(HWND owner) {
    ModalDialog::ShowModal(owner, "About", 273, 146);
}

void TfrmAbout::Init() {
    AdvPanel1.Create(Handle());
    Image1 = win32::GdiBitmap(
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LOGO),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));

    constexpr DWORD Label = SS_CENTER | SS_NOPREFIX;
    AddControl(WC_STATICA, "Quillet", Label, IDC_ABOUT_NAME, 81, 12, 110, 29, nameFont_.get());
    AddControl(WC_STATICA, "Version 1.01", Label, IDC_ABOUT_VERSION, 102, 43, 69, 14,
               textFont_.get());
    AddControl(WC_STATICA, "Copyright (C) 2026 Quillet developers", Label, IDC_ABOUT_RIGHTS, 27, 60,
               219, 14, textFont_.get());
    // The maker's web address, shown without its scheme.
    HTMLabel1.HTMLText = "<p align=\"center\"><a href=\"https://quillet.example.org\">"
                         "quillet.example.org</a></p>";
    HTMLabel1.Font = {.face = "Tahoma", .height = 12, .color = DarkBlue};
    HTMLabel1.Create(Handle(), 81, 77, 112, 17);
    SetWindowLongPtrA(HTMLabel1.Handle(), GWLP_ID, IDC_ABOUT_LINK);
    // Close under the link: the dialog keeps no empty room above its button.
    const HWND btnOK = AddControl(WC_BUTTONA, "OK", WS_TABSTOP | BS_PUSHBUTTON, IDOK, 90, 106, 100,
                                  30, buttonFont_.get());
    SetFocus(btnOK);
}

void TfrmAbout::PaintBackground(HDC dc) const {
    AdvPanel1.HandleMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if (!Image1) return;
    const win32::MemoryDc memory(dc);
    const win32::Selection selected(memory.get(), Image1.get());
    GdiTransparentBlt(dc, 11, 4, 48, 48, memory.get(), 0, 0, 48, 48, GLYPH_TRANSPARENT_COLOR);
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
