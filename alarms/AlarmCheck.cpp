#include "alarms/AlarmCheck.h"

#include "alarms/DateStepping.h"
#include "base/DateFormat.h"
#include "base/Errors.h"
#include "store/stringlib.h"

#include <algorithm>

namespace quillet {

namespace {

// The pieces of an AlarmText such as "12/09/2026 04:08 PM".
std::string TimeText(const std::string& alarm) { // "04:08 PM"
    return Right(alarm, PosN(alarm, "M", 1) - PosN(alarm, " ", 1));
}
std::string MinuteText(const std::string& alarm) { // "08"
    return Mid(alarm, PosN(alarm, ":", 1) + 1, 2);
}

// Whether a note that repeats by step from the date of its AlarmText has an occurrence on
// today. An unreadable date (or a chain that leaves the calendar) never has one.
bool OccursOn(DateStep step, const std::string& alarm, TDateTime today) {
    try {
        return FirstOccurrenceOnOrAfter(step, StrToDate(Left(alarm, 10)), today) == today;
    } catch (const EConvertError&) {
        return false;
    }
}

// The clock texts that the rows are compared with, taken from one reading of the clock.
struct ClockTexts {
    explicit ClockTexts(TDateTime minute)
        : alarm(FormatAlarm(minute)), time(FormatTime(minute)), minute(FormatMinute(minute)),
          today(DateOf(minute)) {}
    std::string alarm, time, minute;
    TDateTime today;
};

// Which notes a minute is checked for: those that name a time of day (every kind but Hourly),
// Hourly ones, or both.
struct Kinds {
    bool named, hourly;
};

// How the reminder names the moment of a note due now; none when it is not due.
std::optional<std::string> DueMoment(const std::string& alarm, const std::string& kind,
                                     const ClockTexts& now, Kinds kinds) {
    if (kind == "Hourly") {
        if (kinds.hourly && MinuteText(alarm) == now.minute) return "Hourly " + TimeText(alarm);
        return std::nullopt;
    }
    if (!kinds.named) return std::nullopt;
    if (kind == "None") {
        if (alarm == now.alarm) return alarm;
        return std::nullopt;
    }
    const std::string time = TimeText(alarm);
    if (kind == "Daily") {
        if (time == now.time) return "Daily " + time;
    } else if (const auto step = DateStepOf(kind)) {
        // The time first: it rules out almost every row without reading a date.
        if (time == now.time && OccursOn(*step, alarm, now.today)) return kind + " " + time;
    }
    return std::nullopt;
}

void AppendDue(std::vector<DueAlarm>& due, const NoteTable& table, TDateTime minute, Kinds kinds) {
    const ClockTexts now(minute);
    std::string alarm; // one buffer for every row
    for (int row = 1; row < table.RowCount(); ++row) {
        alarm = table.CellText(ColAlarm, row);
        if (alarm.empty()) continue;
        NormalizeAlarmText(alarm);
        if (const auto moment = DueMoment(alarm, table.CellText(ColRepeat, row), now, kinds))
            due.push_back({row, "Quillet<br>Date/Time: " + *moment + "<hr><br>" +
                                    table.CellText(ColNote, row)});
    }
}

} // namespace

std::vector<DueAlarm> DueAlarms(const NoteTable& table, TDateTime minute) {
    std::vector<DueAlarm> due;
    AppendDue(due, table, minute, {true, true});
    return due;
}

std::vector<DueAlarm> AlarmCheck::DueThisTick(const NoteTable& table, const Clock& clock) {
    // UTC offsets lie within a day of UTC either way: no change skips more local minutes.
    constexpr long long MostSkipped = 2 * 24 * 60;
    const LocalTime reading = clock.Read();
    const long long local = MinuteOf(reading.moment);
    const long long utc = local - reading.utcOffsetMinutes;
    // Real minutes since the last tick; the first minutes to check for each kind of note.
    const long long passed = lastUtcMinute_ ? utc - *lastUtcMinute_ : -1;
    long long firstNamed = local, firstHourly = local;
    if (passed >= 0 && passed <= 2) {
        firstHourly = local - passed + 1;
        firstNamed = std::max(checkedUpTo_ + 1, local - MostSkipped);
        checkedUpTo_ = std::max(checkedUpTo_, local);
    } else {
        checkedUpTo_ = local; // a jump: the current minute only, as if starting afresh
    }
    lastUtcMinute_ = utc;
    std::vector<DueAlarm> due;
    for (long long minute = std::min(firstNamed, firstHourly); minute <= local; ++minute)
        AppendDue(due, table, MomentOfMinute(minute),
                  {minute >= firstNamed, minute >= firstHourly});
    return due;
}

} // namespace quillet
