// The window base under Wine: a window that paints itself, and what happens when its painting
// fails.
#include "DialogScript.h"
#include "tests/support/GdiSurface.h"
#include "win32/Window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

using namespace quillet;

namespace {

constexpr Color Red{0xFF0000};

class PaintingWindow final : public win32::Window {
public:
    PaintingWindow() {
        Create("QuilletTestPainting", {.paints = true}, WS_EX_TOOLWINDOW, WS_POPUP | WS_VISIBLE, "",
               100, 100, 120, 80, nullptr);
    }
    bool fails = false;
    int paints = 0;

private:
    // Red all over, then the failure: what a failed paint drew must not show.
    void Paint(HDC dc) override {
        ++paints;
        win32::GdiCanvas(dc, {}).FillRect({0, 0, 120, 80}, Red);
        if (fails) throw std::runtime_error("Out of paint");
    }
};

// Watches for the application's error boxes of this thread from a timer, which also runs
// inside their own modal loop: records each box's text, lets `whileOpen` run while it is open
// (but not for a box that opens from inside it, so that boxes opening boxes end), then closes
// it.
class ErrorBoxes {
public:
    explicit ErrorBoxes(std::function<void()> whileOpen) : whileOpen_(std::move(whileOpen)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 10, Tick);
    }
    ~ErrorBoxes() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    ErrorBoxes(const ErrorBoxes&) = delete;
    ErrorBoxes& operator=(const ErrorBoxes&) = delete;

    std::vector<std::string> texts;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        const HWND box = test::FindShownWindow("#32770", "Quillet");
        if (!current_ || !box) return;
        char text[256] = "";
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        current_->texts.push_back(text);
        if (!current_->inside_) {
            current_->inside_ = true;
            current_->whileOpen_();
            current_->inside_ = false;
        }
        SendMessageA(box, WM_COMMAND, IDOK, 0);
    }

    static inline ErrorBoxes* current_ = nullptr;
    std::function<void()> whileOpen_;
    bool inside_ = false;
    UINT_PTR timer_ = 0;
};

// Repaints the window at once, as a part of it uncovered on the screen would.
void Repaint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// Dispatches what this thread's queue holds, the posted and the painting messages among it,
// and the timer's ticks for a while.
void Pump() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (std::chrono::steady_clock::now() < end) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(5);
    }
}

} // namespace

TEST(Window, AFailedPaintShowsNothingAndIsReportedOnceAfterPaintingUntilAPaintSucceeds) {
    PaintingWindow window;
    Pump();
    int paintsWhileOpen = 0;
    ErrorBoxes boxes([&] {
        // The box's own loop paints the window again: that paint fails too.
        const int before = window.paints;
        Repaint(window.Handle());
        paintsWhileOpen += window.paints - before;
    });

    window.fails = true;
    for (int i = 0; i < 3; ++i) {
        const int before = window.paints;
        Repaint(window.Handle());
        EXPECT_EQ(window.paints, before + 1);
        // No box from inside the painting, and the failed part does not come back by itself.
        EXPECT_TRUE(boxes.texts.empty());
        EXPECT_FALSE(GetUpdateRect(window.Handle(), nullptr, FALSE));
    }
    Surface surface(120, 80);
    SendMessageA(window.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()),
                 PRF_CLIENT);
    EXPECT_EQ(surface.Count({0, 0, 120, 80}, [](Color c) { return c == Red; }), 0);

    // Once painting is over: one box for all of them, and none for those while it is open.
    Pump();
    EXPECT_EQ(boxes.texts, std::vector<std::string>{"Out of paint."});
    EXPECT_EQ(paintsWhileOpen, 1);

    window.fails = false;
    SendMessageA(window.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()),
                 PRF_CLIENT);
    EXPECT_EQ(surface.Count({0, 0, 120, 80}, [](Color c) { return c == Red; }), 120 * 80);
    // After a paint that succeeded, the next failure is reported again.
    window.fails = true;
    Repaint(window.Handle());
    Pump();
    EXPECT_EQ(boxes.texts, (std::vector<std::string>{"Out of paint.", "Out of paint."}));
}
