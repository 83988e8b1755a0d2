#pragma once
// The base of every window class of the program: one window procedure per class, the C++
// object attached at WM_NCCREATE, and no exception ever crossing the procedure (what escapes
// a message handler goes to the application's error box).
#include <windows.h>

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

protected:
    struct ClassStyle {
        UINT style = 0;
        HCURSOR cursor = LoadCursor(nullptr, IDC_ARROW);
        HBRUSH background = nullptr; // none: the window paints all of itself
        HICON icon = nullptr;
    };

    // Registers the class on first use and creates the window; throws on failure.
    void Create(const char* className, const ClassStyle& classStyle, DWORD exStyle, DWORD style,
                const char* title, int x, int y, int width, int height, HWND parent,
                HMENU menu = nullptr);

    // Every message but WM_NCCREATE; the default passes it to DefWindowProcA.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Called once the window is gone (WM_NCDESTROY); Handle() is null from then on.
    virtual void Destroyed() {}

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};

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
