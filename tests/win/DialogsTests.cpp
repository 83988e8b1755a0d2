// The application's confirmation dialog, answered from inside its own modal loop.
#include "DialogScript.h"
#include "app/Dialogs.h"

#include <gtest/gtest.h>

#include <functional>

using namespace quillet;
using quillet::test::DialogScript;

namespace {

// Asks, and answers the box once it is up; whether Yes was its default button comes back in
// defaultIsYes.
bool AskAndAnswer(const std::function<void(HWND box)>& how, bool& defaultIsYes) {
    DialogScript script("Confirm", {[&](HWND box) {
                            defaultIsYes = (GetWindowLongA(GetDlgItem(box, IDYES), GWL_STYLE) &
                                            BS_TYPEMASK) == BS_DEFPUSHBUTTON;
                            how(box);
                        }});
    const bool yes = ConfirmationBox("Delete selected Note?");
    EXPECT_TRUE(script.Completed());
    return yes;
}

// Keys go to the control with the focus, through the dialog's own loop.
void Key(WPARAM key) {
    test::PressKey(GetFocus(), key);
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
        bool defaultIsYes = false;
        EXPECT_EQ(AskAndAnswer(c.answer, defaultIsYes), c.yes) << c.how;
        EXPECT_TRUE(defaultIsYes) << c.how;
    }
}
