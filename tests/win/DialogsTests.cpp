// The application's confirmation dialog, answered from inside its own modal loop.
#include "app/Dialogs.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

using namespace quillet;

namespace {

// What the timer does to the box once it is up.
std::function<void(HWND box)> answer;
bool defaultIsYes;

void CALLBACK AnswerTheBox(HWND, UINT, UINT_PTR, DWORD) {
    const HWND box = FindWindowA("#32770", "Confirm");
    if (!box || !IsWindowVisible(box) || !answer) return;
    defaultIsYes =
        (GetWindowLongA(GetDlgItem(box, IDYES), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    std::exchange(answer, nullptr)(box);
}

bool AskAndAnswer(std::function<void(HWND box)> how) {
    answer = std::move(how);
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerTheBox);
    const bool yes = ConfirmationBox("Delete selected Note?");
    KillTimer(nullptr, timer);
    return yes;
}

// Keys go to the control with the focus, through the dialog's own loop.
void Key(WPARAM key) {
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 0);
    PostMessageA(GetFocus(), WM_KEYUP, key, 0);
}

} // namespace

TEST(ConfirmationBox, YesIsTheDefaultAndEscapeOrClosingAnswerNo) {
    const struct {
        const char* how;
        std::function<void(HWND)> answer;
        bool yes;
    } cases[] = {
        {"Yes", [](HWND box) { PostMessageA(box, WM_COMMAND, IDYES, 0); }, true},
        {"No", [](HWND box) { PostMessageA(box, WM_COMMAND, IDNO, 0); }, false},
        {"Enter", [](HWND) { Key(VK_RETURN); }, true},
        {"Escape", [](HWND) { Key(VK_ESCAPE); }, false},
        {"close box", [](HWND box) { PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
    };
    for (const auto& c : cases) {
        defaultIsYes = false;
        EXPECT_EQ(AskAndAnswer(c.answer), c.yes) << c.how;
        EXPECT_TRUE(defaultIsYes) << c.how;
    }
}
