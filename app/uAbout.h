#pragma once
// The About dialog frmAbout: the program's logo, name and version, its rights holder and a
// link to its web site.
#include "app/AdvPanel.h"
#include "app/HTMLabel.h"
#include "win32/Dialog.h"

namespace quillet {

class TfrmAbout final : public win32::ModalDialog {
public:
    // The link to the web site. A press on it hands the address to OpenLink, the desktop's
    // "open" action, and the dialog stays open.
    THTMLabel HTMLabel1;

    // Shows the dialog, owned by `owner`, until OK or the close box ends it.
    void ShowModal(HWND owner);

private:
    void Init() override;
    void DpiChanged() override;
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PaintBackground(HDC dc) const;

    TAdvPanel AdvPanel1;
    win32::GdiBitmap Image1; // the logo, drawn on the panel with magenta transparent
};

// About1Click: the About dialog, owned by `owner`, created for this call and gone when it
// returns.
void ShowAbout(HWND owner);

} // namespace quillet
