// The snooze: its button on the popup, its menu of times, and the reminders it puts away until
// their time comes back.
#include "alerts/AdvAlertWindow.h"
#include "alerts/NewReminders.h"
#include "alerts/SnoozedReminders.h"
#include "base/Errors.h"
#include "tests/core/FakeAlertDesktop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace quillet;

namespace {

Point Centre(const Rect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

LocalTime At(int year, int month, int day, int hour, int minute, int offset = 60) {
    return {ComposeDateTime(EncodeDate(year, month, day), EncodeTime(hour, minute)), offset};
}

struct Snoozed {
    std::string text;
    int minutes;
    friend bool operator==(const Snoozed&, const Snoozed&) = default;
};

struct SnoozeTest : testing::Test {
    FakeAlertDesktop desktop;
    UiThread ui; // never run: fades stay at their first step
    TAdvAlertWindow alert{desktop, ui};
    std::vector<Snoozed> snoozed;
    std::vector<int> chosen;

    SnoozeTest() {
        alert.OnSnooze = [this](const std::string& text, int minutes) {
            snoozed.push_back({text, minutes});
        };
        alert.OnSnoozeChosen = [this](int minutes) { chosen.push_back(minutes); };
    }
    void Remind(const std::vector<std::string>& texts) {
        for (const std::string& text : texts) alert.AlertMessages().Add().SetText(text);
        alert.Show();
        alert.LastMessage();
    }
    TAlertWindow& popup() { return *alert.Popup(); }
    FakePopupHost& host() { return *desktop.host; }
    Rect SnoozeButton() { return popup().Part(AlertButton::Snooze).rect; }
    void Click(Point at) {
        popup().PointerMoved(at);
        popup().PointerPressed(at);
        popup().PointerReleased(at);
    }
};

TEST_F(SnoozeTest, TheButtonStandsInTheEmptyBottomRightCornerAndLeavesEveryOtherPartInPlace) {
    Remind({"a", "b", "c"});
    const AlertLayout l = popup().Layout();
    EXPECT_EQ(l.snooze, (Rect{300 - 21, 200 - 26, 299, 199}));
    // Where nothing was: clear of the text area, the bottom row's buttons and the scroll button.
    const auto overlap = [](const Rect& a, const Rect& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    };
    for (const Rect& other : {l.text, l.prev, l.next, l.del, l.scrollDown, l.close})
        EXPECT_FALSE(overlap(l.snooze, other));
    EXPECT_EQ(LayOutAlert(600, 400, 8, 2, 100, 3, true, 192).snooze,
              (Rect{600 - 42, 400 - 52, 599, 399}));

    const AlertPart part = popup().Part(AlertButton::Snooze);
    EXPECT_TRUE(part.shown && part.enabled);
    EXPECT_EQ(part.glyph, &alert.GlyphSnooze);
    EXPECT_EQ(part.name, "Snooze for 10 minutes (right-click for other times)");
    alert.SnoozeMinutes = 60;
    EXPECT_EQ(popup().Part(AlertButton::Snooze).name,
              "Snooze for 1 hour (right-click for other times)");
    alert.SnoozeMinutes = 24 * 60;
    EXPECT_EQ(popup().Part(AlertButton::Snooze).name,
              "Snooze until tomorrow at this time (right-click for other times)");

    // Its hint shows as the others' do.
    popup().PointerMoved(Centre(SnoozeButton()));
    EXPECT_EQ(host().hint, popup().Part(AlertButton::Snooze).name);
}

TEST_F(SnoozeTest, AClickPutsTheShownReminderAwayAsADeleteWouldAndHandsItOn) {
    Remind({"first", "second\nline", "third"});
    alert.PrevMessage(); // "2 of 3"
    Click(Centre(SnoozeButton()));
    EXPECT_EQ(snoozed, (std::vector<Snoozed>{{"second\nline", 10}}));
    EXPECT_EQ(alert.PositionText(), "2 of 2");
    EXPECT_EQ(alert.ShownMessage()->DisplayText(), "third");
    EXPECT_TRUE(chosen.empty());

    // The last one snoozed closes the popup; with no message there is no button.
    Click(Centre(SnoozeButton()));
    Click(Centre(SnoozeButton()));
    EXPECT_EQ(snoozed.size(), 3u);
    EXPECT_FALSE(alert.Visible());
    EXPECT_FALSE(popup().Part(AlertButton::Snooze).shown);
}

TEST_F(SnoozeTest, ItsMenuOffersTheTimesSnoozesForTheChosenOneAndKeepsItForTheNextClick) {
    Remind({"first", "second"});
    const Point at = Centre(SnoozeButton());
    host().menuAnswer = 3; // 30 minutes
    popup().PointerMenu(at);
    ASSERT_EQ(host().menus.size(), 1u);
    EXPECT_EQ(host().menus[0].items,
              (std::vector<std::string>{"5 minutes", "10 minutes", "15 minutes", "30 minutes",
                                        "1 hour", "Tomorrow at this time"}));
    EXPECT_EQ(host().menus[0].checked, 1); // the 10 minutes a click snoozes for
    EXPECT_EQ(host().menus[0].at, at);
    EXPECT_EQ(snoozed, (std::vector<Snoozed>{{"second", 30}}));
    EXPECT_EQ(chosen, std::vector<int>{30});
    EXPECT_EQ(alert.SnoozeMinutes, 30);

    // Closed without a choice: nothing happens.
    host().menuAnswer = -1;
    popup().PointerMenu(at);
    EXPECT_EQ(host().menus.back().checked, 3);
    EXPECT_EQ(snoozed.size(), 1u);
    // A right-click elsewhere opens no menu.
    popup().PointerMenu(Centre(popup().Layout().text));
    EXPECT_EQ(host().menus.size(), 2u);

    Click(at);
    EXPECT_EQ(snoozed.back(), (Snoozed{"first", 30}));
}

TEST_F(SnoozeTest, TheMenuSnoozesTheReminderItWasOpenedOnWhateverCameMeanwhile) {
    Remind({"first", "second"});
    alert.PrevMessage(); // "first"
    host().menuAnswer = 0;
    host().whileMenuOpen = [this] { Remind({"third"}); }; // shows "third"
    popup().PointerMenu(Centre(SnoozeButton()));
    EXPECT_EQ(snoozed, (std::vector<Snoozed>{{"first", 5}}));
    EXPECT_EQ(alert.AlertMessages().Count(), 2);

    // Deleted meanwhile: nothing to snooze, the choice is kept all the same.
    host().menuAnswer = 4;
    host().whileMenuOpen = [this] { alert.DeleteShownMessage(); };
    popup().PointerMenu(Centre(SnoozeButton()));
    EXPECT_EQ(snoozed.size(), 1u);
    EXPECT_EQ(alert.SnoozeMinutes, 60);
}

TEST_F(SnoozeTest, AChoiceThatCannotBeKeptStillSnoozes) {
    Remind({"first"});
    alert.OnSnoozeChosen = [](int) { throw Exception("Unable to write to quillet.ini"); };
    host().menuAnswer = 2;
    EXPECT_THROW(popup().PointerMenu(Centre(SnoozeButton())), Exception);
    EXPECT_EQ(snoozed, (std::vector<Snoozed>{{"first", 15}}));
    EXPECT_EQ(alert.SnoozeMinutes, 15);
}

TEST(SnoozeChoices, AreTheTimesOfTheMenu) {
    for (const int minutes : {5, 10, 15, 30, 60, 1440}) EXPECT_TRUE(IsSnoozeChoice(minutes));
    for (const int minutes : {0, -10, 11, 120, 1439}) EXPECT_FALSE(IsSnoozeChoice(minutes));
}

// A list that records what the snooze hands back, as NewReminders would take it.
struct Returned {
    TMsgCollection messages;
    int shows = 0;
    TMsgCollection& AlertMessages() { return messages; }
    void Show() { ++shows; }
    void LastMessage() {}
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (int i = 0; i < messages.Count(); ++i) texts.push_back(messages[i].DisplayText());
        return texts;
    }
};

TEST(SnoozedReminders, ComeBackWhenTheirTimeIsUpInTheOrderPutAway) {
    SnoozedReminders snoozes;
    Returned back;
    snoozes.Add("ten", 10, At(2026, 12, 9, 9, 0));
    snoozes.Add("five", 5, At(2026, 12, 9, 9, 0));
    snoozes.Add("tomorrow", 24 * 60, At(2026, 12, 9, 9, 0));
    snoozes.Tick(At(2026, 12, 9, 9, 4), back);
    EXPECT_TRUE(back.Texts().empty());
    snoozes.Tick(At(2026, 12, 9, 9, 5), back);
    EXPECT_EQ(back.Texts(), std::vector<std::string>{"five"});
    // The computer slept past both: they come at the first tick after, in their order.
    snoozes.Add("fifteen", 15, At(2026, 12, 9, 9, 5));
    snoozes.Tick(At(2026, 12, 9, 11, 30), back);
    EXPECT_EQ(back.Texts(), (std::vector<std::string>{"five", "ten", "fifteen"}));
    EXPECT_EQ(back.shows, 3);
    EXPECT_EQ(snoozes.Count(), 1);
    snoozes.Tick(At(2026, 12, 10, 8, 59), back);
    EXPECT_EQ(snoozes.Count(), 1);
    snoozes.Tick(At(2026, 12, 10, 9, 0), back);
    EXPECT_EQ(back.Texts().back(), "tomorrow");
    EXPECT_EQ(snoozes.Count(), 0);
}

TEST(SnoozedReminders, MinutesAreRealTimeAndTomorrowIsTheSameTimeOfDayAcrossAClockChange) {
    // New York, the night the clocks go back: 01:55 daylight time (UTC-4) is followed an hour
    // later by 01:55 standard time (UTC-5).
    SnoozedReminders snoozes;
    Returned back;
    snoozes.Add("ten minutes", 10, At(2026, 11, 1, 1, 55, -240));
    snoozes.Tick(At(2026, 11, 1, 1, 5, -300), back); // 01:05 standard time is 10 minutes later
    EXPECT_EQ(back.Texts(), std::vector<std::string>{"ten minutes"});

    // The evening before the clocks go forward, until tomorrow: 20:00 local, 23 hours later.
    snoozes.Add("tomorrow", 24 * 60, At(2026, 3, 7, 20, 0, -300));
    snoozes.Tick(At(2026, 3, 8, 19, 59, -240), back);
    EXPECT_EQ(back.Texts().size(), 1u);
    snoozes.Tick(At(2026, 3, 8, 20, 0, -240), back);
    EXPECT_EQ(back.Texts().back(), "tomorrow");
}

TEST(SnoozedReminders, ReturnAsNewRemindersWithTheSoundAndTheQuietOfPresentations) {
    FakeAlertDesktop desktop;
    UiThread ui;
    TAdvAlertWindow alert{desktop, ui};
    struct : ReminderDesktop {
        bool may = true;
        int sounds = 0;
        bool UserMayBeInterrupted() const override { return may; }
        void PlayReminderSound() override { ++sounds; }
    } reminderDesktop;
    NewReminders reminders{alert, reminderDesktop};
    SnoozedReminders snoozes;
    alert.OnSnooze = [&](const std::string& text, int minutes) {
        snoozes.Add(text, minutes, At(2026, 12, 9, 9, 0));
    };
    alert.AlertMessages().Add().SetText("Quillet<br>Call home");
    reminders.Show();
    reminders.EndTick();
    ASSERT_EQ(reminderDesktop.sounds, 1);
    alert.SnoozeShownMessage(alert.SnoozeMinutes);
    EXPECT_FALSE(alert.Visible());

    reminderDesktop.may = false; // a presentation when it comes back
    snoozes.Tick(At(2026, 12, 9, 9, 10), reminders);
    reminders.EndTick();
    EXPECT_FALSE(alert.Visible());
    reminderDesktop.may = true;
    reminders.EndTick();
    EXPECT_TRUE(alert.Visible());
    EXPECT_EQ(alert.ShownMessage()->DisplayText(), "Quillet<br>Call home");
    EXPECT_EQ(reminderDesktop.sounds, 2);
}

} // namespace
