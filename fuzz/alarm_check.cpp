// A table of notes from the input, as a notes file would hold them, and the alarm check over
// it. At minutes from the input, DueAlarms never throws and gives what the plainest reading of
// the rules gives: the texts compared, every chain walked step by step. Over spans of minutes
// it gives what checking every minute of them one by one gives, each row once at its latest
// minute. Then ticks of a clock that moves as the input says: real time runs on a minute or
// two per tick, jumps forward (a computer asleep, a clock set forward) or back (a clock set
// back, a little or a lot), and the UTC offset changes (daylight saving, a change of zone).
// No tick throws or hangs, and each one-time note fires at the tick whose minutes it falls
// in: the local minutes after the latest one checked, a month of them at most, or after a
// clock set back by more than two days, the tick's own minute.
#include "alarms/AlarmCheck.h"
#include "alarms/DateStepping.h"
#include "base/DateFormat.h"
#include "base/Errors.h"
#include "base/stringlib.h"
#include "notes/AlarmText.h"
#include "notes/RepeatKind.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

using namespace quillet;

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

constexpr long long FirstMinute = (long long)FirstDay * 1440,
                    LastMinute = (long long)LastDay * 1440 + 1439;
// The minutes near the ends of the calendar that the clock keeps away from: a change of zone
// and a month of catching up fit in.
constexpr long long Margin = AlarmCheck::CatchUpMinutes + 2880;

// The moment of a minute as MinuteOf counts them, with seconds.
TDateTime MomentOf(long long minute, int second = 0) {
    const long long ofDay = (minute % 1440 + 1440) % 1440;
    return ComposeDateTime(double((minute - ofDay) / 1440), (ofDay * 60 + second) / 86400.0);
}

// Mostly well-formed AlarmTexts (now and then with "." between hour and minute), within
// hours of the minute near, or within years; sometimes anything at all.
std::string AlarmText(FuzzedDataProvider& in, long long near) {
    if (in.ConsumeIntegralInRange(0, 7) == 0) return in.ConsumeRandomLengthString(24);
    const long long days = in.ConsumeBool() ? 0 : in.ConsumeIntegralInRange(-1000, 1000);
    const long long minute = std::clamp(near + days * 1440 + in.ConsumeIntegralInRange(-150, 150),
                                        FirstMinute, LastMinute);
    std::string text = FormatAlarm(MomentOf(minute));
    if (in.ConsumeIntegralInRange(0, 7) == 0) text[13] = '.';
    return text;
}

NoteTable Table(FuzzedDataProvider& in, long long near) {
    NoteTable table;
    const int rows = in.ConsumeIntegralInRange(1, 8);
    table.SetRowCount(rows + 1);
    for (int row = 1; row <= rows; ++row) {
        table.SetCellText(ColAlarm, row, AlarmText(in, near));
        table.SetCellText(ColRepeat, row,
                          in.ConsumeIntegralInRange(0, 15) == 0
                              ? in.ConsumeRandomLengthString(12)
                              : std::string(RepeatKinds[in.ConsumeIntegralInRange<std::size_t>(
                                    0, RepeatKinds.size() - 1)]));
        table.SetCellText(ColNote, row, std::to_string(row));
    }
    return table;
}

// The rules as plainly as they can be said: how the reminder names the moment of a row due
// now, or nothing. None when the chain is too long to walk here (the fast search has its own
// randomized test against the walk over long chains).
std::optional<std::optional<std::string>> PlainDueMoment(std::string alarm, const std::string& kind,
                                                         TDateTime now) {
    constexpr int MostSteps = 400;
    NormalizeAlarmText(alarm);
    const std::string time = Right(alarm, PosN(alarm, "M", 1) - PosN(alarm, " ", 1));
    const std::optional<std::string> notDue;
    if (kind == "None") return alarm == FormatAlarm(now) ? std::optional(alarm) : notDue;
    if (kind == "Daily") return time == FormatTime(now) ? std::optional("Daily " + time) : notDue;
    if (kind == "Hourly")
        return Mid(alarm, PosN(alarm, ":", 1) + 1, 2) == FormatMinute(now)
                   ? std::optional("Hourly " + time)
                   : notDue;
    const auto repeat = RepeatKindOf(kind);
    const auto step = repeat ? DateStepOf(*repeat) : std::nullopt;
    if (!step) return notDue;
    try {
        TDateTime date = StrToDate(Left(alarm, 10));
        for (int steps = 0; date < DateOf(now); ++steps) {
            if (steps == MostSteps) return std::nullopt;
            date = StepDate(*step, date);
        }
        if (date == DateOf(now) && time == FormatTime(now)) return kind + " " + time;
    } catch (const EConvertError&) {}
    return notDue;
}

void CheckAgainstThePlainRules(FuzzedDataProvider& in, const NoteTable& table, long long near) {
    for (int i = in.ConsumeIntegralInRange(1, 4); i > 0; --i) {
        // Near the notes, where they fall due: whole days away, give or take a minute.
        const long long minute = std::clamp(near + in.ConsumeIntegralInRange(-60, 1500) * 1440LL +
                                                in.ConsumeIntegralInRange(-720, 720),
                                            FirstMinute, LastMinute);
        const TDateTime now = MomentOf(minute);
        const std::vector<DueAlarm> due = DueAlarms(table, now);
        auto found = due.begin();
        for (int row = 1; row < table.RowCount(); ++row) {
            const bool dueHere = found != due.end() && found->row == row;
            const auto plain =
                PlainDueMoment(table.CellText(ColAlarm, row), table.CellText(ColRepeat, row), now);
            if (plain) {
                Check(dueHere == plain->has_value());
                if (dueHere) Check(found->moment == **plain);
            }
            if (dueHere) ++found;
        }
        Check(found == due.end());
    }
}

// The rows due in some minute of the spans, found by checking every minute one by one: the
// latest minute of each row, in the order of those minutes, then of the rows. A note is due
// only in a minute whose time text (for an Hourly one, minute text) is its own, so the other
// minutes are passed over, which makes weeks affordable.
std::vector<DueAlarm> EveryMinuteOf(const NoteTable& table, MinuteSpan named, MinuteSpan hourly) {
    std::set<std::string> times, minutes;
    for (int row = 1; row < table.RowCount(); ++row) {
        std::string alarm = table.CellText(ColAlarm, row);
        NormalizeAlarmText(alarm);
        times.insert(AlarmTimeText(alarm));
        minutes.insert(AlarmMinuteText(alarm));
    }
    std::vector<std::optional<DueAlarm>> latest(std::size_t(table.RowCount()));
    for (const bool forHourly : {false, true}) {
        const MinuteSpan span = forHourly ? hourly : named;
        for (long long minute = span.first; minute <= span.last; ++minute) {
            const TDateTime moment = MomentOf(minute);
            if (forHourly ? !minutes.contains(FormatMinute(moment))
                          : !times.contains(FormatTime(moment)))
                continue;
            for (const DueAlarm& due : DueAlarms(table, moment))
                if ((table.CellText(ColRepeat, due.row) == "Hourly") == forHourly)
                    latest[std::size_t(due.row)] = DueAlarm{due.row, due.moment, minute};
        }
    }
    std::vector<DueAlarm> due;
    for (const auto& row : latest)
        if (row) due.push_back(*row);
    std::ranges::stable_sort(due, {}, &DueAlarm::minute);
    return due;
}

MinuteSpan Span(FuzzedDataProvider& in, long long near) {
    const long long last = std::clamp(near + in.ConsumeIntegralInRange(-1500, 1500) * 1440LL +
                                          in.ConsumeIntegralInRange(-720, 720),
                                      FirstMinute + Margin, LastMinute - Margin);
    // Hours, days, or weeks: more than the month the check catches up.
    const long long longest = in.PickValueInArray({180LL, 3 * 1440LL, 35 * 1440LL});
    return {last - in.ConsumeIntegralInRange(-1LL, longest), last}; // empty at -1
}

void CheckSpansAgainstEveryMinute(FuzzedDataProvider& in, const NoteTable& table, long long near) {
    const MinuteSpan named = Span(in, near);
    // Hourly notes over real minutes shown on the local clock: mostly as many as the named ones.
    const long long offsetMoved = in.ConsumeBool() ? 0 : in.ConsumeIntegralInRange(-1560, 1560);
    const MinuteSpan hourly = in.ConsumeBool() ? named : Span(in, named.last + offsetMoved);
    const std::vector<DueAlarm> due = DueAlarms(table, named, hourly);
    const std::vector<DueAlarm> plain = EveryMinuteOf(table, named, hourly);
    Check(due.size() == plain.size());
    for (std::size_t i = 0; i < due.size() && i < plain.size(); ++i)
        Check(due[i].row == plain[i].row && due[i].minute == plain[i].minute &&
              due[i].moment == plain[i].moment);
}

struct FuzzedClock : Clock {
    LocalTime reading{};
    LocalTime Read() const override { return reading; }
};

// Mostly the same offset; now and then a daylight-saving change, rarely another zone.
int Offset(FuzzedDataProvider& in, int offset) {
    const int change = in.ConsumeIntegralInRange(0, 255);
    if (change == 0) return in.ConsumeIntegralInRange(-12 * 60, 14 * 60);
    if (change <= 4) return offset + in.PickValueInArray({-120, -60, -30, 30, 60, 120});
    return offset;
}

// Mostly a minute or two, as ticks come; now and then a jump either way.
long long RealMinutesPassed(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 15)) {
    case 0: return in.ConsumeIntegralInRange(3, 40 * 1440);   // asleep, or set forward
    case 1: return -in.ConsumeIntegralInRange(1, 3 * 1440);   // set back
    case 2: return -in.ConsumeIntegralInRange(1, 400 * 1440); // set back by far
    default: return in.ConsumeIntegralInRange(0, 2);
    }
}

void CheckTicksOfAMovingClock(FuzzedDataProvider& in, const NoteTable& table, long long near) {
    // The minute of each one-time note whose text is the clock's own; others never fire.
    std::vector<std::optional<long long>> oneTime(std::size_t(table.RowCount()));
    for (int row = 1; row < table.RowCount(); ++row) {
        if (table.CellText(ColRepeat, row) != "None") continue;
        std::string alarm = table.CellText(ColAlarm, row);
        NormalizeAlarmText(alarm);
        try {
            const long long minute = MinuteOf(StrToDateTime(alarm));
            if (alarm == FormatAlarm(MomentOf(minute))) oneTime[std::size_t(row)] = minute;
        } catch (const EConvertError&) {}
    }
    long long local = near - in.ConsumeIntegralInRange(0, 10);
    int offset = in.ConsumeIntegralInRange(-12 * 60, 14 * 60);
    long long utc = local - offset;
    FuzzedClock clock;
    AlarmCheck check;
    std::optional<long long> latestLocal, latestUtc; // of the ticks since the check started afresh
    for (int tick = in.ConsumeIntegralInRange(1, 16); tick > 0 && in.remaining_bytes(); --tick) {
        local = utc + offset;
        if (local < FirstMinute + Margin || local > LastMinute - Margin) return;
        clock.reading = {MomentOf(local, in.ConsumeIntegralInRange(0, 59)), offset};
        if (latestLocal && (local < *latestLocal - AlarmCheck::FreshStartMinutes ||
                            utc < *latestUtc - AlarmCheck::FreshStartMinutes))
            latestLocal = latestUtc = std::nullopt;
        // The local minutes this tick checks.
        const long long first =
            latestLocal ? std::max(*latestLocal + 1, local - AlarmCheck::CatchUpMinutes + 1)
                        : local;
        std::vector<int> fired(std::size_t(table.RowCount()));
        for (const DueAlarm& alarm : check.DueThisTick(table, clock)) ++fired[alarm.row];
        for (int row = 1; row < table.RowCount(); ++row) {
            Check(fired[row] <= 1);
            if (table.CellText(ColRepeat, row) != "None") continue;
            const auto minute = oneTime[std::size_t(row)];
            Check(fired[row] == (minute && *minute >= first && *minute <= local ? 1 : 0));
        }
        latestLocal = std::max(latestLocal.value_or(local), local);
        latestUtc = std::max(latestUtc.value_or(utc), utc);
        utc += RealMinutesPassed(in);
        offset = Offset(in, offset);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const long long near = in.ConsumeIntegralInRange(FirstMinute + Margin, LastMinute - Margin);
    const NoteTable table = Table(in, near);
    CheckAgainstThePlainRules(in, table, near);
    CheckSpansAgainstEveryMinute(in, table, near);
    CheckTicksOfAMovingClock(in, table, near);
    return 0;
}
