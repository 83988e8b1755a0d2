#pragma once
// The base of the program's modal dialogs. Each is built in code: an empty dialog template
// gives the standard dialog window (its class, its keyboard handling and its modal loop), and
// the dialog creates its controls in pixels when it starts. The object is attached at
// WM_INITDIALOG; as with Window, no exception crosses the dialog procedure.
#include "win32/Gdi.h"

#include <windows.h>

#include <exception>
#include <optional>
#include <string>

namespace quillet::win32 {

class ModalDialog {
public:
    ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;
    virtual ~ModalDialog() = default;

    HWND Handle() const { return hwnd_; }

protected:
    // Shows the dialog modally, owned by `owner` (which it disables meanwhile; none for a
    // dialog of its own with its own taskbar button), with a fixed frame and a close box, its
    // client area clientWidth x clientHeight, centred on the screen, and returns once it has
    // ended: with
    // the code given to End, or nothing when something else ended the modal loop (the
    // application quitting, or the dialog destroyed with its owner). What escapes Init is
    // thrown here again.
    std::optional<int> ShowModal(HWND owner, const char* caption, int clientWidth,
                                 int clientHeight);
    // Ends the modal loop; ShowModal returns result.
    void End(int result);

    // Creates the controls and sets the focus; the dialog is not yet shown.
    virtual void Init() = 0;
    // Every message after WM_INITDIALOG, answered with the message's result, or nothing to
    // leave it to the standard dialog. The default gives the rule of this program's dialogs:
    // no Esc (it sends IDCANCEL, and no dialog here has a control with that id) and the close
    // box ends the dialog with IDCANCEL.
    virtual std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // A visible child control at client pixels, in the given font; throws on failure.
    HWND AddControl(const char* className, const char* text, DWORD style, int id, int left, int top,
                    int width, int height, HFONT font, DWORD exStyle = 0);

private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Start(HWND hwnd);

    HWND hwnd_ = nullptr;
    const char* caption_ = "";
    SIZE client_{};
    std::optional<int> result_;
    std::exception_ptr initError_;
};

// The whole text of a window or control.
std::string WindowText(HWND window);

// A font of the given size in points. The program is not DPI-aware (see its manifest), so its
// inch is always 96 pixels, the unit of every layout here.
GdiFont PointFont(const char* face, int points);

} // namespace quillet::win32
