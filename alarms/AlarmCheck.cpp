#include "alarms/AlarmCheck.h"

#include "alarms/DateStepping.h"
#include "base/DateFormat.h"
#include "base/Errors.h"
#include "notes/AlarmText.h"
#include "notes/RepeatKind.h"

#include <algorithm>
#include <unordered_map>

namespace quillet {

namespace {

constexpr long long MinutesInDay = 24 * 60;

long long DayOfMinute(long long minute) {
    return (minute - (minute % MinutesInDay + MinutesInDay) % MinutesInDay) / MinutesInDay;
}

// The clock's texts over the checked minutes, each with the latest of those minutes that
// shows it. The spans may be weeks long, yet a day has only 1,440 time texts and an hour 60
// minute texts: each row is looked up in these instead of being compared minute by minute.
struct ClockTexts {
    ClockTexts(MinuteSpan named, MinuteSpan hourly) {
        for (long long minute = std::max(named.first, named.last - MinutesInDay + 1);
             minute <= named.last; ++minute)
            times[FormatTime(MomentOfMinute(minute))] = minute;
        for (long long day = DayOfMinute(named.first);
             named.first <= named.last && day <= DayOfMinute(named.last); ++day)
            dates[FormatDate(double(day))] = day;
        for (long long minute = std::max(hourly.first, hourly.last - 59); minute <= hourly.last;
             ++minute)
            minutes[FormatMinute(MomentOfMinute(minute))] = minute;
    }
    std::unordered_map<std::string, long long> times;   // "09:00 AM", of the named span
    std::unordered_map<std::string, long long> dates;   // "12/09/2026": the day, of the named span
    std::unordered_map<std::string, long long> minutes; // "08", of the hourly span
};

std::optional<long long> Find(const std::unordered_map<std::string, long long>& texts,
                              const std::string& text) {
    const auto found = texts.find(text);
    if (found == texts.end()) return std::nullopt;
    return found->second;
}

// The latest day from firstDay to lastDay on the chain of a note that repeats by step from
// the date of its AlarmText; none when the chain has no day there or the date cannot be read.
std::optional<long long> LastOccurrence(DateStep step, const std::string& alarm, long long firstDay,
                                        long long lastDay) {
    TDateTime day;
    try {
        day = FirstOccurrenceOnOrAfter(step, StrToDate(AlarmDateText(alarm)), double(firstDay));
    } catch (const EConvertError&) {
        return std::nullopt;
    }
    if (day > double(lastDay)) return std::nullopt;
    try {
        for (TDateTime next;
             day < double(lastDay) && (next = StepDate(step, day)) <= double(lastDay);)
            day = next;
    } catch (const EConvertError&) {} // the chain leaves the calendar after day
    return static_cast<long long>(day);
}

// The latest minute of the spans in which a note is due, and how its reminder names the
// moment; none when it is due in none of them.
std::optional<DueAlarm> DueIn(const std::string& alarm, RepeatKind kind, const ClockTexts& clock,
                              long long namedFirst) {
    if (kind == RepeatKind::None) {
        // Due when the text is a date and a time of the span's, as the clock writes them.
        const std::size_t blank = alarm.find(' ');
        if (blank == std::string::npos) return std::nullopt;
        const auto time = Find(clock.times, alarm.substr(blank + 1));
        if (!time) return std::nullopt; // rules out almost every row without reading the date
        const auto day = Find(clock.dates, alarm.substr(0, blank));
        if (!day) return std::nullopt;
        const long long minute = *day * MinutesInDay + (*time - DayOfMinute(*time) * MinutesInDay);
        if (minute < namedFirst || minute > *time) return std::nullopt;
        return DueAlarm{0, alarm, minute};
    }
    const auto named = [&](long long minute, const std::string& time) {
        return DueAlarm{0, std::string(NameOf(kind)) + " " + time, minute};
    };
    if (kind == RepeatKind::Hourly) {
        if (const auto minute = Find(clock.minutes, AlarmMinuteText(alarm)))
            return named(*minute, AlarmTimeText(alarm));
        return std::nullopt;
    }
    // The time first: it rules out almost every row without reading a date.
    const std::string time = AlarmTimeText(alarm);
    const auto latest = Find(clock.times, time);
    if (!latest) return std::nullopt;
    if (kind == RepeatKind::Daily) return named(*latest, time);
    const auto step = DateStepOf(kind);
    if (!step) return std::nullopt;
    // The days of the span on which the minute of this time of day lies within it.
    const long long timeOfDay = *latest - DayOfMinute(*latest) * MinutesInDay;
    const long long earliest = *latest - (*latest - namedFirst) / MinutesInDay * MinutesInDay;
    const auto day = LastOccurrence(*step, alarm, DayOfMinute(earliest), DayOfMinute(*latest));
    if (!day) return std::nullopt;
    return named(*day * MinutesInDay + timeOfDay, time);
}

} // namespace

std::vector<DueAlarm> DueAlarms(const NoteTable& table, MinuteSpan named, MinuteSpan hourly) {
    const ClockTexts clock(named, hourly);
    std::vector<DueAlarm> due;
    std::string alarm; // one buffer for every row
    for (int row = 1; row < table.RowCount(); ++row) {
        alarm = table.CellText(ColAlarm, row);
        if (alarm.empty()) continue;
        const auto kind = RepeatKindOf(table.CellText(ColRepeat, row));
        if (!kind) continue;
        NormalizeAlarmText(alarm);
        if (auto alarmDue = DueIn(alarm, *kind, clock, named.first)) {
            alarmDue->row = row;
            due.push_back(std::move(*alarmDue));
        }
    }
    std::ranges::sort(due, [](const DueAlarm& a, const DueAlarm& b) {
        return a.minute != b.minute ? a.minute < b.minute : a.row < b.row;
    });
    return due;
}

std::vector<DueAlarm> DueAlarms(const NoteTable& table, TDateTime minute) {
    const long long at = MinuteOf(minute);
    return DueAlarms(table, {at, at}, {at, at});
}

std::vector<DueAlarm> AlarmCheck::DueThisTick(const NoteTable& table, const Clock& clock) {
    const LocalTime reading = clock.Read();
    const long long local = MinuteOf(reading.moment);
    const long long utc = local - reading.utcOffsetMinutes;
    if (!checkedUpTo_ || local < checkedUpTo_->local - FreshStartMinutes ||
        utc < checkedUpTo_->utc - FreshStartMinutes)
        checkedUpTo_ = Minutes{local - 1, utc - 1};
    // The minutes after the last checked one, up to now, at most CatchUpMinutes of them.
    const auto after = [](long long checked, long long now) {
        return MinuteSpan{std::max(checked + 1, now - CatchUpMinutes + 1), now};
    };
    const MinuteSpan named = after(checkedUpTo_->local, local);
    // Hourly notes follow the real minutes, shown on the local clock as it reads now.
    const MinuteSpan real = after(checkedUpTo_->utc, utc);
    const MinuteSpan hourly{real.first + reading.utcOffsetMinutes, local};
    checkedUpTo_ = Minutes{std::max(checkedUpTo_->local, local), std::max(checkedUpTo_->utc, utc)};
    return DueAlarms(table, named, hourly);
}

} // namespace quillet
