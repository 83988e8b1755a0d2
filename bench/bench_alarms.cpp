// One tick of the alarm check over a large table whose repeating notes started decades ago,
// beside the plain check that walks every chain one step at a time from its start date.
// Every note is set to the tick's time of day, so that no row is ruled out by its time:
// the worst case for the search of the occurrence. And the first tick after a week asleep,
// which checks the week's 10,080 minutes at once.
#include "alarms/AlarmCheck.h"
#include "alarms/DateStepping.h"
#include "base/DateFormat.h"
#include "base/Errors.h"
#include "base/stringlib.h"
#include "notes/AlarmText.h"
#include "notes/RepeatKind.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <random>

using namespace quillet;

namespace {

const TDateTime TickMinute = EncodeDate(2026, 3, 10) + EncodeTime(9, 0);

NoteTable Table(int notes) {
    static const char* const kinds[] = {"Weekly",    "Bi-Weekly", "Monthly", "Bi-Monthly",
                                        "Quarterly", "Annually",  "Daily",   "None"};
    std::mt19937 random(1);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
    NoteTable table;
    for (int row = 1; row <= notes; ++row) {
        if (row > 1) table.AppendRow();
        // A quarter of them on the last day of a month, where clamping happens.
        const int year = pick(1970, 1999), month = pick(1, 12);
        const auto last = std::chrono::year(year) / month / std::chrono::last;
        const int day = pick(0, 3) == 0 ? int(unsigned(last.day())) : pick(1, 28);
        const TDateTime start = EncodeDate(year, month, day);
        table.SetCellText(ColAlarm, row, FormatDate(start) + " 09:00 AM");
        table.SetCellText(ColRepeat, row, kinds[pick(0, 7)]);
        table.SetCellText(ColNote, row, "Note " + std::to_string(row));
    }
    return table;
}

// The check as plainly as it can be written: the date first, and the chain walked from its
// start for every dated row.
std::vector<int> StepByStepDueRows(const NoteTable& table, TDateTime minute) {
    const std::string now = FormatAlarm(minute), time = FormatTime(minute);
    const TDateTime today = DateOf(minute);
    std::vector<int> rows;
    for (int row = 1; row < table.RowCount(); ++row) {
        const std::string& alarm = table.CellText(ColAlarm, row);
        const std::string& kind = table.CellText(ColRepeat, row);
        const std::string alarmTime = Right(alarm, PosN(alarm, "M", 1) - PosN(alarm, " ", 1));
        bool due = false;
        if (kind == "None") {
            due = alarm == now;
        } else if (kind == "Daily") {
            due = alarmTime == time;
        } else if (const auto step = DateStepOf(RepeatKindOf(kind).value_or(RepeatKind::None))) {
            try {
                TDateTime date = StrToDate(Left(alarm, 10));
                while (date < today) date = StepDate(*step, date);
                due = date == today && alarmTime == time;
            } catch (const EConvertError&) {}
        }
        if (due) rows.push_back(row);
    }
    return rows;
}

const NoteTable& CachedTable(int notes) {
    static std::map<int, NoteTable> tables;
    auto [at, added] = tables.try_emplace(notes, Table(notes));
    if (added) {
        std::vector<int> rows;
        for (const DueAlarm& due : DueAlarms(at->second, TickMinute)) rows.push_back(due.row);
        if (rows != StepByStepDueRows(at->second, TickMinute)) {
            std::cerr << "the two checks disagree on " << notes << " notes\n";
            std::abort();
        }
    }
    return at->second;
}

void Tick(benchmark::State& state) {
    const NoteTable& table = CachedTable(int(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(DueAlarms(table, TickMinute));
}

void CatchUpAfterAWeekAsleep(benchmark::State& state) {
    const NoteTable& table = CachedTable(int(state.range(0)));
    const long long now = MinuteOf(TickMinute);
    const MinuteSpan week{now - 7 * 24 * 60 + 1, now};
    for (auto _ : state) benchmark::DoNotOptimize(DueAlarms(table, week, week));
}

void StepByStepTick(benchmark::State& state) {
    const NoteTable& table = CachedTable(int(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(StepByStepDueRows(table, TickMinute));
}

} // namespace

BENCHMARK(Tick)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(CatchUpAfterAWeekAsleep)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(StepByStepTick)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
