// A table of notes from the input, as a notes file would hold them, and the alarm check over
// it. At minutes from the input, DueAlarms never throws and gives what the plainest reading of
// the rules gives: the texts compared, every chain walked step by step. Then ticks of a clock
// whose UTC offset changes as the input says, while real time runs on a minute or two per
// tick: no tick throws or hangs, and every one-time note whose minute the local clock passes
// fires exactly once, however the offset moves (daylight-saving changes, zone changes).
#include "alarms/AlarmCheck.h"
#include "alarms/DateStepping.h"
#include "base/DateFormat.h"
#include "base/Errors.h"
#include "store/stringlib.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace quillet;

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

constexpr std::array<const char*, 9> Kinds = {"None",       "Hourly",    "Daily",
                                              "Weekly",     "Bi-Weekly", "Monthly",
                                              "Bi-Monthly", "Quarterly", "Annually"};

constexpr long long FirstMinute = (long long)FirstDay * 1440,
                    LastMinute = (long long)LastDay * 1440 + 1439;

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
                              : Kinds[in.ConsumeIntegralInRange<std::size_t>(0, Kinds.size() - 1)]);
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
    const auto step = DateStepOf(kind);
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
                if (dueHere)
                    Check(found->text == "Quillet<br>Date/Time: " + **plain + "<hr><br>" +
                                             table.CellText(ColNote, row));
            }
            if (dueHere) ++found;
        }
        Check(found == due.end());
    }
}

struct FuzzedClock : Clock {
    LocalTime reading{};
    LocalTime Read() const override { return reading; }
};

// Mostly the same offset; now and then a daylight-saving change, rarely another zone (which
// makes the check catch up on as many as 26 hours of local minutes).
int Offset(FuzzedDataProvider& in, int offset) {
    const int change = in.ConsumeIntegralInRange(0, 255);
    if (change == 0) return in.ConsumeIntegralInRange(-12 * 60, 14 * 60);
    if (change <= 4) return offset + in.PickValueInArray({-120, -60, -30, 30, 60, 120});
    return offset;
}

void CheckTicksAcrossOffsetChanges(FuzzedDataProvider& in, const NoteTable& table, long long near) {
    long long local = near - in.ConsumeIntegralInRange(0, 10);
    int offset = in.ConsumeIntegralInRange(-12 * 60, 14 * 60);
    long long utc = local - offset;
    FuzzedClock clock;
    AlarmCheck check;
    std::vector<int> fired(std::size_t(table.RowCount()));
    const long long earliest = local;
    long long latest = local - 1; // no minute passed yet
    for (int tick = in.ConsumeIntegralInRange(1, 16); tick > 0 && in.remaining_bytes(); --tick) {
        local = utc + offset;
        if (local < FirstMinute + 2880 || local > LastMinute - 2880) return;
        latest = std::max(latest, local);
        clock.reading = {MomentOf(local, in.ConsumeIntegralInRange(0, 59)), offset};
        for (const DueAlarm& alarm : check.DueThisTick(table, clock)) ++fired[alarm.row];
        utc += in.ConsumeIntegralInRange(0, 2);
        offset = Offset(in, offset);
    }
    for (int row = 1; row < table.RowCount(); ++row) {
        if (table.CellText(ColRepeat, row) != "None") continue;
        std::string alarm = table.CellText(ColAlarm, row);
        NormalizeAlarmText(alarm);
        try {
            const long long minute = MinuteOf(StrToDateTime(alarm));
            if (alarm != FormatAlarm(MomentOf(minute))) continue; // never the clock's text
            Check(fired[row] == (minute >= earliest && minute <= latest ? 1 : 0));
        } catch (const EConvertError&) {
            Check(fired[row] == 0);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const long long near = in.ConsumeIntegralInRange(FirstMinute + 2880, LastMinute - 2880);
    const NoteTable table = Table(in, near);
    CheckAgainstThePlainRules(in, table, near);
    CheckTicksAcrossOffsetChanges(in, table, near);
    return 0;
}
