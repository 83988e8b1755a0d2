#pragma once
// The table the benchmarks work on: n notes in no particular order, alarms over ten years,
// every repeat kind, some notes of two lines, some alarms shared.
#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "notes/AlarmText.h"
#include "notes/NoteFields.h"
#include "notes/NoteTable.h"

#include <random>
#include <string>

namespace quillet {

inline NoteTable SyntheticNotes(int n) {
    std::mt19937 random(n);
    NoteTable table;
    table.SetRowCount(n + 1);
    for (int row = 1; row <= n; ++row) {
        const TDateTime alarm = EncodeDate(2020, 1, 1) + random() % 3653 + random() % 1440 / 1440.0;
        table.SetCellText(ColAlarm, row, FormatAlarm(alarm));
        table.SetCellText(ColRepeat, row, std::string(RepeatKinds[random() % 9]));
        table.SetCellText(ColNote, row,
                          row % 4 ? "Call number " + std::to_string(row)
                                  : "Team meeting\r\nBring report " + std::to_string(row));
    }
    return table;
}

} // namespace quillet
