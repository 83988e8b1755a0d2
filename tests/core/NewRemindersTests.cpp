// New reminders through a tick: held while the user may not be interrupted, shown together
// with one sound when the user may be, never shown or sounded twice.
#include "alarms/AlarmCheck.h"
#include "alerts/NewReminders.h"
#include "tests/core/FakeAlertDesktop.h"

#include <gtest/gtest.h>

using namespace quillet;

namespace {

struct FakeReminderDesktop : ReminderDesktop {
    bool mayInterrupt = true;
    int sounds = 0;
    bool UserMayBeInterrupted() const override { return mayInterrupt; }
    void PlayReminderSound() override { ++sounds; }
};

struct NewRemindersTest : testing::Test {
    FakeAlertDesktop desktop;
    UiThread ui; // never run: fades stay at their first step
    TAdvAlertWindow alerts{desktop, ui};
    FakeReminderDesktop reminderDesktop;
    NewReminders reminders{alerts, reminderDesktop};

    // One tick in which the alarm check finds `count` due notes.
    void Tick(int count) {
        for (int i = 0; i < count; ++i) {
            reminders.AlertMessages().Add().SetText("Reminder " + std::to_string(i + 1));
            reminders.Show();
            reminders.LastMessage();
        }
        reminders.EndTick();
    }
};

TEST_F(NewRemindersTest, ATickShowsItsRemindersOnTheNewestWithOneSound) {
    Tick(3);
    EXPECT_TRUE(alerts.Visible());
    EXPECT_EQ(alerts.PositionText(), "3 of 3");
    EXPECT_EQ(reminderDesktop.sounds, 1);

    // Ticks without reminders neither show nor sound anything.
    alerts.Close();
    Tick(0);
    Tick(0);
    EXPECT_FALSE(alerts.Visible());
    EXPECT_EQ(reminderDesktop.sounds, 1);

    // The next reminder brings the popup up again, on the newest of all.
    Tick(1);
    EXPECT_TRUE(alerts.Visible());
    EXPECT_EQ(alerts.PositionText(), "4 of 4");
    EXPECT_EQ(reminderDesktop.sounds, 2);
}

TEST_F(NewRemindersTest, WhileTheUserMayNotBeInterruptedRemindersGatherSilentlyAndShowOnceAfter) {
    reminderDesktop.mayInterrupt = false;
    Tick(2);
    Tick(0);
    Tick(1);
    EXPECT_FALSE(alerts.Exists());
    EXPECT_EQ(alerts.AlertMessages().Count(), 3);
    EXPECT_EQ(reminderDesktop.sounds, 0);

    // The first tick after the presentation shows all three, with one sound, on the newest.
    reminderDesktop.mayInterrupt = true;
    Tick(0);
    EXPECT_TRUE(alerts.Visible());
    EXPECT_EQ(alerts.PositionText(), "3 of 3");
    EXPECT_EQ(reminderDesktop.sounds, 1);
    EXPECT_FALSE(reminders.Waiting());

    // Nothing is shown or sounded twice.
    alerts.Close();
    Tick(0);
    EXPECT_FALSE(alerts.Visible());
    EXPECT_EQ(reminderDesktop.sounds, 1);
}

TEST_F(NewRemindersTest, ShowAlarmsDuringAPresentationShowsTheHeldRemindersAndEndsTheWait) {
    reminderDesktop.mayInterrupt = false;
    Tick(2);
    reminders.ShowAll(); // the user asked
    EXPECT_TRUE(alerts.Visible());
    EXPECT_EQ(alerts.PositionText(), "2 of 2");

    reminderDesktop.mayInterrupt = true;
    alerts.Close();
    Tick(0);
    EXPECT_FALSE(alerts.Visible());
    EXPECT_EQ(reminderDesktop.sounds, 0);
}

TEST_F(NewRemindersTest, HeldRemindersDeletedMeanwhileInAnOpenPopupLeaveNothingToSoundFor) {
    Tick(1);
    reminderDesktop.mayInterrupt = false;
    Tick(1); // joins the popup that is open, silently
    EXPECT_EQ(alerts.AlertMessages().Count(), 2);
    alerts.DeleteShownMessage();
    alerts.DeleteShownMessage();
    EXPECT_FALSE(alerts.Visible());

    reminderDesktop.mayInterrupt = true;
    Tick(0);
    EXPECT_FALSE(alerts.Visible());
    EXPECT_EQ(reminderDesktop.sounds, 1); // the first tick's only
}

TEST_F(NewRemindersTest, TheAlarmCheckRemindsThroughIt) {
    NoteTable table;
    table.AddNote({"12/09/2026 09:00 AM", "Daily", "Call home"});
    table.AddNote({"12/09/2026 09:00 AM", "None", "Stand-up"});
    struct FixedClock : Clock {
        LocalTime Read() const override {
            return {ComposeDateTime(EncodeDate(2026, 12, 9), EncodeTime(9, 0)), 60};
        }
    } clock;
    AlarmCheck check;
    check.Tick(table, clock, reminders);
    EXPECT_FALSE(alerts.Exists()); // not before the tick's end
    reminders.EndTick();
    EXPECT_EQ(alerts.PositionText(), "2 of 2");
    EXPECT_EQ(reminderDesktop.sounds, 1);
}

} // namespace
