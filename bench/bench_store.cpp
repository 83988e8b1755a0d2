// The note store on large tables: loading the notes file, the start-up sort by Alarm, and
// saving, each beside a plain reference. Goal for 10,000 notes: load and sort under 20 ms,
// save under 10 ms; cost growing no faster than n log n.
#include "base/DateFormat.h"
#include "base/Errors.h"
#include "bench/SyntheticNotes.h"
#include "notes/NotesFile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace quillet;

namespace {

// The notes file of n notes, for one benchmark.
struct FileOf {
    std::string path;
    explicit FileOf(int n)
        : path((std::filesystem::temp_directory_path() /
                ("quillet-bench-" + std::to_string(n) + ".txt"))
                   .string()) {
        SaveNotesFile(SyntheticNotes(n), path);
    }
    ~FileOf() { std::filesystem::remove(path); }
};

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
    b->Complexity(benchmark::oNLogN);
}

void Load(benchmark::State& state) {
    const FileOf file(int(state.range(0)));
    for (auto _ : state) {
        NoteTable table;
        LoadNotesFile(table, file.path);
        benchmark::DoNotOptimize(table.RowCount());
    }
    state.SetComplexityN(state.range(0));
}

// Reference: only splitting the same file into lines.
void LoadReferenceLinesOnly(benchmark::State& state) {
    const FileOf file(int(state.range(0)));
    for (auto _ : state) {
        std::ifstream in(file.path, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        benchmark::DoNotOptimize(lines.size());
    }
    state.SetComplexityN(state.range(0));
}

void SortByAlarm(benchmark::State& state) {
    const FileOf file(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        NoteTable table;
        LoadNotesFile(table, file.path);
        state.ResumeTiming();
        table.SortRows(ColAlarm, SortDirection::Ascending);
    }
    state.SetComplexityN(state.range(0));
}

// Reference: the plain way, reading both alarm texts on every comparison.
void SortByAlarmReferenceParseOnEveryComparison(benchmark::State& state) {
    const NoteTable notes = SyntheticNotes(int(state.range(0)));
    std::vector<std::array<std::string, 3>> unsorted;
    for (int row = 1; row < notes.RowCount(); ++row)
        unsorted.push_back(
            {notes.CellText(0, row), notes.CellText(1, row), notes.CellText(2, row)});
    auto moment = [](const std::string& text) {
        try {
            return StrToDateTime(text);
        } catch (const EConvertError&) {
            return 0.0;
        }
    };
    for (auto _ : state) {
        state.PauseTiming();
        auto rows = unsorted;
        state.ResumeTiming();
        std::sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
            const double ma = moment(a[0]), mb = moment(b[0]);
            if (ma != mb) return ma < mb;
            return std::tie(a[1], a[2]) < std::tie(b[1], b[2]);
        });
    }
    state.SetComplexityN(state.range(0));
}

// What start-up does: load the file, then sort by Alarm.
void LoadAndSort(benchmark::State& state) {
    const FileOf file(int(state.range(0)));
    for (auto _ : state) {
        NoteTable table;
        LoadNotesFile(table, file.path);
        table.SortRows(ColAlarm, SortDirection::Ascending);
    }
    state.SetComplexityN(state.range(0));
}

void Save(benchmark::State& state) {
    const NoteTable table = SyntheticNotes(int(state.range(0)));
    const FileOf file(int(state.range(0)));
    for (auto _ : state) SaveNotesFile(table, file.path);
    state.SetComplexityN(state.range(0));
}

// Reference: the same lines written straight over the file, without the temporary file.
void SaveReferenceInPlace(benchmark::State& state) {
    const NoteTable table = SyntheticNotes(int(state.range(0)));
    const FileOf file(int(state.range(0)));
    for (auto _ : state) {
        std::ofstream out(file.path, std::ios::binary | std::ios::trunc);
        WriteNotes(table, out);
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(Load)->Apply(Sizes);
BENCHMARK(LoadReferenceLinesOnly)->Apply(Sizes);
BENCHMARK(SortByAlarm)->Apply(Sizes);
BENCHMARK(SortByAlarmReferenceParseOnEveryComparison)->Apply(Sizes);
BENCHMARK(LoadAndSort)->Apply(Sizes);
BENCHMARK(Save)->Apply(Sizes);
BENCHMARK(SaveReferenceInPlace)->Apply(Sizes);

BENCHMARK_MAIN();
