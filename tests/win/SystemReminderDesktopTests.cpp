// Whether a reminder may show, as the shell's state says, and the sound it plays: the calls
// recorded, since a test cannot put Windows into a presentation and Wine has no sound device.
#include "win32/SystemReminderDesktop.h"

#include <gtest/gtest.h>

#include <mmsystem.h>

#include <string>
#include <utility>
#include <vector>

using namespace quillet;
using win32::SystemReminderDesktop;

namespace {

TEST(SystemReminderDesktop, RemindersWaitDuringPresentationsAndFullScreenProgramsOnly) {
    const std::pair<QUERY_USER_NOTIFICATION_STATE, bool> states[] = {
        {QUNS_NOT_PRESENT, true}, // a screen saver or a locked machine: it waits on the desktop
        {QUNS_BUSY, false},       // a full-screen program, or presentation settings
        {QUNS_RUNNING_D3D_FULL_SCREEN, false},
        {QUNS_PRESENTATION_MODE, false},
        {QUNS_ACCEPTS_NOTIFICATIONS, true},
        {QUNS_QUIET_TIME, true}, // the first hour of a new account: a reminder is the user's own
        {QUNS_APP, true},
    };
    for (const auto& [state, may] : states) EXPECT_EQ(win32::MayInterruptIn(state), may) << state;
}

TEST(SystemReminderDesktop, AsksTheShellAndAFailedQuestionLetsTheReminderThrough) {
    const auto original = SystemReminderDesktop::QueryNotificationState;
    SystemReminderDesktop desktop;
    // Wine's shell answers as a desktop that accepts notifications.
    EXPECT_TRUE(desktop.UserMayBeInterrupted());

    SystemReminderDesktop::QueryNotificationState = [](QUERY_USER_NOTIFICATION_STATE* state) {
        *state = QUNS_BUSY;
        return S_OK;
    };
    EXPECT_FALSE(desktop.UserMayBeInterrupted());
    SystemReminderDesktop::QueryNotificationState = [](QUERY_USER_NOTIFICATION_STATE* state) {
        *state = QUNS_BUSY; // not to be read
        return E_FAIL;
    };
    EXPECT_TRUE(desktop.UserMayBeInterrupted());
    SystemReminderDesktop::QueryNotificationState = original;
}

TEST(SystemReminderDesktop, PlaysTheUsersCalendarReminderSoundWithoutWaitingOrADefault) {
    const auto original = SystemReminderDesktop::PlaySystemSound;
    static std::vector<std::pair<std::wstring, DWORD>> played;
    played.clear();
    SystemReminderDesktop::PlaySystemSound = [](LPCWSTR sound, DWORD flags) {
        played.emplace_back(sound, flags);
        return FALSE; // no sound device: nothing else happens
    };
    SystemReminderDesktop desktop;
    desktop.PlayReminderSound();
    SystemReminderDesktop::PlaySystemSound = original;
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].first, L"Notification.Reminder");
    EXPECT_EQ(played[0].second, DWORD(SND_ALIAS | SND_ASYNC | SND_NODEFAULT));
}

} // namespace
