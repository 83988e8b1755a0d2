#pragma once
// The alarm check: which notes are due in given minutes and how their reminders name the
// moment, and the once-a-minute tick that hands them to the reminder display.
#include "alerts/AlertMessages.h"
#include "base/Clock.h"
#include "base/DateTime.h"
#include "notes/NoteTable.h"

#include <optional>
#include <string>
#include <vector>

namespace quillet {

struct DueAlarm {
    int row;
    // How the reminder names the moment: a one-time note's AlarmText, "12/09/2026 09:00 AM";
    // the kind and time of a repeating one, "Daily 09:00 AM".
    std::string moment;
    // The latest minute of the checked minutes that the row is due in, as MinuteOf counts them.
    long long minute;
};

// A stretch of local minutes as MinuteOf counts them, first to last; empty when last < first.
struct MinuteSpan {
    long long first, last;
};

// The rows of the table that are due in some minute of the spans: notes that name a time of
// day (every kind but Hourly) in the minutes of named, Hourly ones in those of hourly. A row is
// due in a minute when its texts equal the clock's texts of that minute. Each due row comes
// once, with the latest minute it is due in; they are ordered by that minute, then by row. A
// row whose Repeat text is none of the nine kinds is never due, nor one with an empty Alarm
// text, nor a dated one whose date cannot be read. The cost grows with the rows, not with the
// length of the spans.
std::vector<DueAlarm> DueAlarms(const NoteTable& table, MinuteSpan named, MinuteSpan hourly);

// The rows due in the minute of `minute`, in row order.
std::vector<DueAlarm> DueAlarms(const NoteTable& table, TDateTime minute);

// The main window's tick handler, also run when the computer resumes from sleep. It keeps the
// latest local minute it checked and the latest real (UTC) minute, and each tick checks the
// minutes after them up to its own: notes that name a time of day over the local minutes,
// Hourly ones over the real minutes (they name only a minute of every hour, and every real
// hour has that minute). Both marks only ever grow, so no minute is checked twice: a second
// tick in the same minute checks nothing, a tick that slid past a minute checks that one too,
// and after a clock set back or the clocks going back, minutes up to the latest checked one are
// not checked again. Minutes that passed unchecked (the computer asleep, the clock set forward,
// the clocks going forward) are caught up at the next tick, for the last CatchUpMinutes at most,
// and each note due in them comes once. The first tick checks its own minute only, and so does
// a tick whose clock went back by more than FreshStartMinutes: it starts afresh from there.
class AlarmCheck {
public:
    // A laptop asleep over a holiday still gets the reminders of the month.
    static constexpr long long CatchUpMinutes = 31 * 24 * 60;
    // A clock that goes back further was wrong, not moved to another zone (no change of zone
    // moves it by more than 26 hours): set right after a year ahead, it must not silence a year.
    static constexpr long long FreshStartMinutes = 2 * 24 * 60;

    // Reads the clock once; for each due row, in the order of DueAlarms, adds a message to the
    // alert list, shows it and moves to the newest message. The list is an AlertList or the
    // alert component, which shows it in its own way.
    template <typename Alerts>
    void Tick(const NoteTable& table, const Clock& clock, Alerts& alerts) {
        for (const DueAlarm& alarm : DueThisTick(table, clock)) {
            alerts.AlertMessages().Add().SetText(
                ReminderText(alarm.moment, table.CellText(ColNote, alarm.row)));
            alerts.Show();
            alerts.LastMessage();
        }
    }

    // The rows due at this tick, in the order they are reminded of.
    std::vector<DueAlarm> DueThisTick(const NoteTable& table, const Clock& clock);

private:
    struct Minutes {
        long long local, utc;
    };
    std::optional<Minutes> checkedUpTo_; // none before the first tick
};

} // namespace quillet
