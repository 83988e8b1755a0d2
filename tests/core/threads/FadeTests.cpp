// The fade-in: its worker alone, and the popup fading in, stopped by the pointer, closed while
// it fades, and destroyed while it fades. Steps are 1 ms apart here; the test's own thread is
// the user-interface thread.
#include "alerts/AdvAlertWindow.h"
#include "alerts/FadeThread.h"
#include "tests/core/FakeAlertDesktop.h"
#include "tests/core/threads/TestUi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

using namespace quillet;
using namespace std::chrono_literals;

namespace {

// 0 handed over first, then 0, 2, ..., 178, then 180.
std::vector<int> FullFade() {
    std::vector<int> steps{0};
    for (int alpha = 0; alpha < 180; alpha += 2) steps.push_back(alpha);
    steps.push_back(180);
    return steps;
}

struct FadeRun {
    TestUi ui;
    std::atomic<bool> pointerInside = false;
    std::vector<int> applied; // user-interface thread only
    std::unique_ptr<TFadeThread> fade;

    // Starts a fade that calls `onStep` after applying each step.
    void Start(std::chrono::milliseconds fadeTime, std::function<void(int)> onStep = {}) {
        fade = std::make_unique<TFadeThread>(ui, TFadeThread::Settings{0, 180, 2, fadeTime},
                                             pointerInside, [this, onStep](int opacity) {
                                                 applied.push_back(opacity);
                                                 if (onStep) onStep(opacity);
                                             });
    }
    bool RunToEnd() {
        return ui.RunUntil([&] { return fade->Ended(); });
    }
};

} // namespace

TEST(FadeThread, StepsFromStartToEnd) {
    FadeRun run;
    run.Start(1ms);
    ASSERT_TRUE(run.RunToEnd());
    EXPECT_EQ(run.applied, FullFade());
}

TEST(FadeThread, StopsWhenAskedOrWhenThePointerIsInside) {
    // Asked to stop: not one more step, not even the end value.
    FadeRun asked;
    asked.Start(1ms, [&](int opacity) {
        if (opacity == 40) asked.fade->Stop();
    });
    ASSERT_TRUE(asked.RunToEnd());
    EXPECT_EQ(asked.applied.back(), 40);
    EXPECT_EQ(std::count(asked.applied.begin(), asked.applied.end(), 180), 0);

    // The pointer inside: the worker sees it before its next step.
    FadeRun inside;
    inside.Start(1ms, [&](int opacity) {
        if (opacity == 40) inside.pointerInside = true;
    });
    ASSERT_TRUE(inside.RunToEnd());
    EXPECT_EQ(inside.applied.back(), 40);

    // Stopped during a long wait between steps: it ends at once, nobody waiting for the wait.
    FadeRun waiting;
    waiting.Start(std::chrono::hours(1));
    ASSERT_TRUE(waiting.ui.RunUntil([&] { return waiting.applied.size() == 2; }));
    waiting.fade->Stop();
    ASSERT_TRUE(waiting.RunToEnd());
    EXPECT_EQ(waiting.applied, (std::vector<int>{0, 0}));
}

namespace {

struct PopupFadeTest : testing::Test {
    FakeAlertDesktop desktop;
    TestUi ui;
    std::unique_ptr<TAdvAlertWindow> alert = std::make_unique<TAdvAlertWindow>(desktop, ui);

    PopupFadeTest() { alert->FadeTime = 1ms; }

    void Remind(const std::string& text) {
        alert->AlertMessages().Add().SetText(text);
        alert->Show();
        alert->LastMessage();
    }
    const std::vector<int>& opacities() { return desktop.host->opacities; }
    bool RunUntilOpacity(int opacity) {
        return ui.RunUntil([&] { return !opacities().empty() && opacities().back() >= opacity; });
    }
    bool RunUntilFaded() {
        return ui.RunUntil([&] { return !alert->Fading(); });
    }
};

} // namespace

TEST_F(PopupFadeTest, FadesInFromTransparentTo180) {
    Remind("Call home");
    ASSERT_TRUE(RunUntilFaded());
    std::vector<int> expected{0}; // applied before it shows
    for (int step : FullFade()) expected.push_back(step);
    EXPECT_EQ(opacities(), expected);
    EXPECT_EQ(alert->Opacity(), 180);
}

TEST_F(PopupFadeTest, PointerMakesItOpaqueAndTheFadeDoesNotResume) {
    Remind("Call home");
    ASSERT_TRUE(RunUntilOpacity(40));
    alert->Popup()->PointerMoved({20, 60});
    const std::size_t full = opacities().size();
    EXPECT_EQ(opacities().back(), 255);
    ASSERT_TRUE(RunUntilFaded());
    ui.RunFor(20ms);
    EXPECT_EQ(opacities().size(), full);
    EXPECT_EQ(alert->Opacity(), 255);

    alert->Popup()->PointerLeft();
    EXPECT_EQ(opacities().back(), 180);
}

TEST_F(PopupFadeTest, ClosedWhileFadingComesUpAgainWithANewFade) {
    Remind("first");
    ASSERT_TRUE(RunUntilOpacity(20));
    alert->Close();
    const std::size_t closedAt = opacities().size();

    Remind("second");
    EXPECT_TRUE(alert->Visible());
    ASSERT_TRUE(RunUntilFaded());
    ui.RunFor(20ms);
    // The first fade applied nothing after the close; the second ran in full.
    std::vector<int> expected{0};
    for (int step : FullFade()) expected.push_back(step);
    EXPECT_EQ(std::vector<int>(opacities().begin() + std::ptrdiff_t(closedAt), opacities().end()),
              expected);
    EXPECT_EQ(alert->PositionText(), "2 of 2");
}

TEST_F(PopupFadeTest, DestroyedWhileFadingNeitherHangsNorTouchesWhatIsGone) {
    alert->FadeTime = std::chrono::hours(1); // waiting between steps
    Remind("first");
    ASSERT_TRUE(ui.RunUntil([&] { return opacities().size() >= 3; }));
    alert.reset();

    // Waiting for the user-interface thread: its step is still queued when the component goes.
    alert = std::make_unique<TAdvAlertWindow>(desktop, ui);
    alert->FadeTime = 1ms;
    const int before = ui.handOvers;
    Remind("second");
    ASSERT_TRUE(ui.RunUntil([&] { return ui.handOvers >= before + 10; }));
    alert.reset();
    ui.RunFor(20ms);
}
