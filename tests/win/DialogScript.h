#pragma once
// Drives a modal dialog from inside its own modal loop, as a user at the keyboard would: a
// thread timer runs one step per tick on the test's thread once the dialog shows. A timer
// message comes only when no other message waits, so each step sees everything that the one
// before it posted handled. Should the steps leave the dialog open, or should it never show,
// the script ends the modal loop itself, so a failing test cannot hang.
#include "base/Canvas.h"
#include "win32/Dialog.h"
#include "win32/Gdi.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillet::test {

// The shown top-level window of this thread with the class and, unless caption is nullptr, the
// caption; nullptr if there is none. Unlike FindWindow, it never answers with a window of
// another thread that happens to be in front.
inline HWND FindShownWindow(const char* className, const char* caption = nullptr) {
    struct Search {
        const char* className;
        const char* caption;
        HWND found = nullptr;
    } search{className, caption};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lParam) {
            auto& search = *reinterpret_cast<Search*>(lParam);
            char name[16]{};
            GetClassNameA(window, name, sizeof name);
            if (IsWindowVisible(window) && std::string(name) == search.className &&
                (!search.caption || win32::WindowText(window) == search.caption))
                search.found = window;
            return search.found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class DialogScript {
public:
    using Step = std::function<void(HWND dialog)>;

    DialogScript(std::string caption, std::vector<Step> steps)
        : caption_(std::move(caption)), steps_(std::move(steps)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 10, Tick);
    }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;
    ~DialogScript() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
        // What the safety net may have posted must not end a later modal loop.
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    // Whether every step ran, without the script having to end the modal loop itself.
    bool Completed() const { return next_ == steps_.size() && !rescued_; }

    // The shown dialog of this thread with the caption, or nullptr.
    HWND Find() const { return FindShownWindow("#32770", caption_.c_str()); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (current_) current_->Next();
    }

    void Next() {
        constexpr int PatienceTicks = 1000; // about ten seconds, far more than a dialog needs
        const HWND dialog = Find();
        if (dialog && next_ < steps_.size()) {
            steps_[next_++](dialog);
            idle_ = 0;
        } else if (++idle_ > PatienceTicks) {
            KillTimer(nullptr, timer_);
            rescued_ = true;
            if (dialog)
                EndDialog(dialog, IDCANCEL); // ends any dialog's loop, whatever it would answer
            else
                PostQuitMessage(0);
        }
    }

    static inline DialogScript* current_ = nullptr;
    std::string caption_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    int idle_ = 0;
    UINT_PTR timer_ = 0;
    bool rescued_ = false;
};

// Posts a key press to a control, the way the keyboard delivers one: through the dialog's
// message loop, which translates it into characters.
inline void PressKey(HWND control, WPARAM key) {
    const LPARAM scan = LPARAM(MapVirtualKeyA(UINT(key), MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(control, WM_KEYDOWN, key, scan | 1);
    PostMessageA(control, WM_KEYUP, key, scan | 1 | 0xC0000000);
}

} // namespace quillet::test

namespace quillet::test {

// The client area of a shown window as it is on the screen, freshly painted.
class ClientPicture {
public:
    explicit ClientPicture(HWND window) {
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        RECT client{};
        GetClientRect(window, &client);
        width_ = client.right;
        height_ = client.bottom;
        pixels_.resize(std::size_t(width_) * std::size_t(height_));
        const HDC screen = GetDC(window);
        const win32::MemoryDc memory(screen);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const win32::GdiBitmap dib(
            CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        {
            const win32::Selection selected(memory.get(), dib.get());
            BitBlt(memory.get(), 0, 0, width_, height_, screen, 0, 0, SRCCOPY);
            GdiFlush();
            const auto* source = static_cast<const std::uint32_t*>(bits);
            for (std::size_t i = 0; i < pixels_.size(); ++i) pixels_[i] = {source[i] & 0xFFFFFF};
        }
        ReleaseDC(window, screen);
    }

    Color At(int x, int y) const { return pixels_[std::size_t(y) * std::size_t(width_) + x]; }
    // How many pixels of the rectangle (client coordinates) have the colour.
    int Count(const RECT& r, Color color) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += At(x, y) == color;
        return n;
    }

private:
    int width_ = 0, height_ = 0;
    std::vector<Color> pixels_;
};

} // namespace quillet::test
