#include "alarms/AlarmCheck.h"

#include "alarms/DateStepping.h"
#include "base/DateFormat.h"
#include "base/Errors.h"
#include "store/stringlib.h"

#include <algorithm>
#include <iterator>

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

// How the reminder names the moment of a note due now; none when it is not due.
std::optional<std::string> DueMoment(const std::string& alarm, const std::string& kind,
                                     const ClockTexts& now) {
    if (kind == "None") {
        if (alarm == now.alarm) return alarm;
        return std::nullopt;
    }
    const std::string time = TimeText(alarm);
    if (kind == "Daily") {
        if (time == now.time) return "Daily " + time;
    } else if (kind == "Hourly") {
        if (MinuteText(alarm) == now.minute) return "Hourly " + time;
    } else if (const auto step = DateStepOf(kind)) {
        // The time first: it rules out almost every row without reading a date.
        if (time == now.time && OccursOn(*step, alarm, now.today)) return kind + " " + time;
    }
    return std::nullopt;
}

TDateTime MomentOfMinute(long long minute) {
    return double(minute) / MinutesPerDay;
}

} // namespace

std::vector<DueAlarm> DueAlarms(const NoteTable& table, TDateTime minute) {
    const ClockTexts now(minute);
    std::vector<DueAlarm> due;
    std::string alarm; // one buffer for every row
    for (int row = 1; row < table.RowCount(); ++row) {
        alarm = table.CellText(ColAlarm, row);
        if (alarm.empty()) continue;
        NormalizeAlarmText(alarm);
        if (const auto moment = DueMoment(alarm, table.CellText(ColRepeat, row), now))
            due.push_back({row, "Quillet<br>Date/Time: " + *moment + "<hr><br>" +
                                    table.CellText(ColNote, row)});
    }
    return due;
}

std::vector<DueAlarm> AlarmCheck::DueThisTick(const NoteTable& table, const Clock& clock) {
    const long long now = MinuteOf(clock.Now());
    if (lastMinute_ == now) return {};
    const bool skippedOne = lastMinute_ && now == *lastMinute_ + 2;
    lastMinute_ = now;
    std::vector<DueAlarm> due;
    for (long long minute = skippedOne ? now - 1 : now; minute <= now; ++minute)
        std::ranges::move(DueAlarms(table, MomentOfMinute(minute)), std::back_inserter(due));
    return due;
}

} // namespace quillet
