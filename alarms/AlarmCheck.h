#pragma once
// The alarm check: which notes are due in a given minute, and the once-a-minute tick that
// turns them into reminder messages.
#include "alerts/AlertMessages.h"
#include "base/Clock.h"
#include "base/DateTime.h"
#include "store/NoteTable.h"

#include <optional>
#include <string>
#include <vector>

namespace quillet {

struct DueAlarm {
    int row;
    std::string text; // the reminder text, in markup
};

// The rows of the table that are due in the minute of `minute`, in row order, with their
// reminder texts. A row whose Repeat text is none of the nine kinds is never due, nor one
// with an empty Alarm text, nor a dated one whose date cannot be read.
std::vector<DueAlarm> DueAlarms(const NoteTable& table, TDateTime minute);

// The main window's tick handler. Ticks come about a minute apart but drift later, so the
// check remembers the last minute it checked: a tick in that minute checks nothing, a tick
// that slid past exactly one minute checks that one too, and after a longer gap (a suspended
// program, a sleeping computer) or a clock set back only the current minute is checked.
//
// A daylight-saving change shows as a change of the clock's UTC offset between two ticks that
// are a minute or two apart in real time. When the clocks go forward, the local minutes the
// change skips are checked right after it, in order; when they go back, local minutes that
// were checked before the change are not checked again. Hourly notes name no hour, only a
// minute of every hour: they follow the hours that really pass, so they are neither caught up
// nor left out.
class AlarmCheck {
public:
    // Reads the clock once; for each due row, in row order, adds a message to the alert
    // list, shows it and moves to the newest message. The list is an AlertList or the alert
    // component, which shows it in its own way.
    template <typename Alerts>
    void Tick(const NoteTable& table, const Clock& clock, Alerts& alerts) {
        for (const DueAlarm& alarm : DueThisTick(table, clock)) {
            alerts.AlertMessages().Add().SetText(alarm.text);
            alerts.Show();
            alerts.LastMessage();
        }
    }

    // The rows due at this tick, in the order they are reminded of.
    std::vector<DueAlarm> DueThisTick(const NoteTable& table, const Clock& clock);

private:
    std::optional<long long> lastUtcMinute_; // of the last tick; minutes as MinuteOf counts them
    long long checkedUpTo_ = 0;              // the latest local minute checked
};

} // namespace quillet
