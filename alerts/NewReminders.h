#pragma once
// How new reminders reach the popup. The alarm check (and anything else that reminds) adds
// them during a tick as it would to the alert component; at the tick's end they show together,
// with one sound, unless the user may not be interrupted now. Then they wait in the list,
// silently, and show at the end of the first tick at which the user may be.
#include "alerts/AdvAlertWindow.h"
#include "alerts/ReminderDesktop.h"

namespace quillet {

class NewReminders {
public:
    NewReminders(TAdvAlertWindow& alerts, ReminderDesktop& desktop)
        : alerts_(alerts), desktop_(desktop) {}

    // What the alarm check calls for each reminder: Add().SetText(...), Show(), LastMessage().
    // The message goes into the list at once; the showing waits for EndTick.
    TMsgCollection& AlertMessages() { return alerts_.AlertMessages(); }
    void Show() { waiting_ = true; }
    void LastMessage() {}

    // At the end of every tick: what waits shows, on its newest message, with the sound, if
    // the user may be interrupted now.
    void EndTick();
    // The user asked to see the reminders (Show Alarms): they show at once, whatever the
    // desktop's state, and nothing waits any more.
    void ShowAll();

    bool Waiting() const { return waiting_; }

private:
    TAdvAlertWindow& alerts_;
    ReminderDesktop& desktop_;
    bool waiting_ = false;
};

} // namespace quillet
