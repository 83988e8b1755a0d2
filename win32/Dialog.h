#pragma once
// The base of the program's modal dialogs. Each is built in code: an empty dialog template
// gives the standard dialog window (its class, its keyboard handling and its modal loop), and
// the dialog creates its controls when it starts, in design pixels at 96 per inch that the
// base scales to the dialog's density, and lays them out again when that changes. The object
// is attached at WM_INITDIALOG; as with Window, no exception crosses the dialog procedure.
#include "base/Dpi.h"
#include "win32/Gdi.h"
#include "win32/Text.h"

#include <windows.h>

#include <exception>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillet::win32 {

// A dialog's font: a face at a size in points.
struct FontSpec {
    std::string_view face;
    int points;
    friend auto operator<=>(const FontSpec&, const FontSpec&) = default;
};

class ModalDialog {
public:
    ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;
    virtual ~ModalDialog() = default;

    HWND Handle() const { return hwnd_; }
    // The pixels per inch the dialog is laid out for: its monitor's.
    int Dpi() const { return dpi_; }

protected:
    // Shows the dialog modally, owned by `owner` (which it disables meanwhile; none for a
    // dialog of its own with its own taskbar button), with a fixed frame and a close box, its
    // client area clientWidth x clientHeight design pixels, centred on the screen, and returns
    // once it has ended: with the code given to End, or nothing when something else ended the
    // modal loop (the application quitting, or the dialog destroyed with its owner). What
    // escapes Init is thrown here again.
    std::optional<int> ShowModal(HWND owner, const char* caption, int clientWidth,
                                 int clientHeight);
    // Ends the modal loop; ShowModal returns result.
    void End(int result);

    // Creates the controls and sets the focus; the dialog is not yet shown.
    virtual void Init() = 0;
    // After the dialog and the controls of AddControl were laid out for a new density: what
    // else the dialog shows follows them.
    virtual void DpiChanged() {}
    // Every message after WM_INITDIALOG, answered with the message's result, or nothing to
    // leave it to the standard dialog. The default gives the rule of this program's dialogs:
    // no Esc (it sends IDCANCEL, and no dialog here has a control with that id) and the close
    // box ends the dialog with IDCANCEL.
    virtual std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // A visible child control at design pixels of the client area, in the given font; throws
    // on failure.
    HWND AddControl(const wchar_t* className, const char* text, DWORD style, int id, int left,
                    int top, int width, int height, FontSpec font, DWORD exStyle = 0);
    // A design value, and a rectangle of them, in pixels at the dialog's density.
    int Scaled(int designValue) const { return Scale(designValue, dpi_); }
    RECT Scaled(const RECT& design) const;
    // The font at the dialog's density, owned by the dialog.
    HFONT Font(FontSpec spec);

private:
    struct Control {
        HWND hwnd;
        RECT design;
        FontSpec font;
    };

    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Start(HWND hwnd);
    void SetDpi(int dpi, const RECT& suggested);

    HWND hwnd_ = nullptr;
    const char* caption_ = "";
    SIZE client_{}; // design pixels
    int dpi_ = DesignDpi;
    std::vector<Control> controls_;
    std::map<FontSpec, GdiFont> fonts_;
    std::optional<int> result_;
    std::exception_ptr initError_;
};

// A font of the given size in points, for a screen of `dpi` pixels per inch.
GdiFont PointFont(const char* face, int points, int dpi);

} // namespace quillet::win32
