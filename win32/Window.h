#pragma once
// The base of every window class of the program: one window procedure per class, the C++
// object attached at WM_NCCREATE, and no exception ever crossing the procedure (what escapes
// a message handler goes to the application's error box). Windows that draw themselves get
// their painting through a memory bitmap here, and windows that follow the pointer hear here
// when it leaves them.
#include "base/Canvas.h"
#include "base/Dpi.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace quillet::win32 {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // Destroys the window if it still exists.
    virtual ~Window();

    HWND Handle() const { return hwnd_; }
    // The pixels per inch the window is laid out for: its monitor's, read as it is made and
    // told by WM_DPICHANGED when it moves to a monitor of another density.
    int Dpi() const { return dpi_; }
    // A child window has no monitor of its own: its parent passes its density on.
    void SetDpi(int dpi);

protected:
    struct ClassStyle {
        UINT style = 0;
        HCURSOR cursor = LoadCursor(nullptr, IDC_ARROW);
        HBRUSH background = nullptr; // none: the window erases its background itself, if at all
        HICON icon = nullptr;
        // The window draws all of itself in Paint; WM_PAINT and WM_PRINTCLIENT go there, and
        // WM_ERASEBKGND erases nothing.
        bool paints = false;
        // The window hears PointerLeft when the pointer leaves its client area.
        bool followsPointer = false;
    };

    // Registers the class on first use and creates the window; throws on failure. The names
    // and the title are UTF-8, as every text of the program.
    void Create(const char* className, const ClassStyle& classStyle, DWORD exStyle, DWORD style,
                const char* title, int x, int y, int width, int height, HWND parent,
                HMENU menu = nullptr);

    // Every message but WM_NCCREATE and those the class style hands to Paint and PointerLeft;
    // the default passes it to DefWindowProcW.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Called once the window is gone (WM_NCDESTROY); Handle() is null from then on.
    virtual void Destroyed() {}
    // Draws the whole client area onto dc, a memory bitmap as large as it, which then goes onto
    // the window in one step, so nothing flickers. What it throws skips that paint (nothing of
    // it shows) and is reported once after painting, not from inside it: an error box opened
    // there would paint again in its own message loop, and fail again.
    virtual void Paint(HDC) {}
    // The pointer has left the client area (it was seen moving there before).
    virtual void PointerLeft() {}

    // Where the pointer is now, in client coordinates.
    Point PointerPosition() const;

    // A design value at 96 pixels per inch, and a font of design size, at the window's density.
    int Scaled(int designValue) const { return Scale(designValue, dpi_); }
    Font Scaled(const Font& design) const { return Scale(design, dpi_); }
    // The density changed: on a top-level window moved to another monitor, with the rectangle
    // the system suggests there; on a child, from SetDpi, with none. Dpi() is the new one.
    virtual void DpiChanged(std::optional<RECT> /*suggested*/) {}

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void PaintBuffered(HDC target);
    void Failed(UINT message, const char* what);

    HWND hwnd_ = nullptr;
    int dpi_ = DesignDpi;
    bool paints_ = false, followsPointer_ = false;
    bool trackingPointer_ = false; // the pointer's leaving is reported
    // The last paint failed: later failures are not reported until a paint succeeds.
    bool paintFailing_ = false;
    // The paint failure posted for reporting, until its error box has closed.
    std::optional<std::string> paintFailure_;
};

// The client point that a mouse message carries.
Point PointOf(LPARAM lParam);

// Moves the window to the middle of the screen, keeping its size.
void CentreOnScreen(HWND window);

// The modal dialogs open over `window`, shown ones only: the one it owns, which disables it
// while it is open, then the one open over that dialog in turn, and so on. Tool windows (a
// tooltip, the reminder popup) are no dialogs: they take no input for their owner.
std::vector<HWND> OpenDialogs(HWND window);
// The window that takes the input meant for `window`: the last of its open dialogs, or itself.
HWND InputWindow(HWND window);

// Shows the application's error box (caption "Quillet", error icon, "OK") for a failure that
// escaped a command.
void ShowErrorBox(const char* message);

} // namespace quillet::win32
