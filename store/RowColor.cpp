#include "store/RowColor.h"

#include "base/DateFormat.h"
#include "base/Errors.h"

namespace quillet {

MaybeColor NoteRowColor(const NoteTable& table, int row, TDateTime now) {
    if (row == 0 || table.CellText(ColRepeat, row) != "None") return std::nullopt;
    constexpr Color black{0x000000};
    std::string alarm = table.CellText(ColAlarm, row);
    NormalizeAlarmText(alarm);
    try {
        return MinuteOf(StrToDateTime(alarm)) < MinuteOf(now) ? PastNoteColor : black;
    } catch (const EConvertError&) {
        return black;
    }
}

} // namespace quillet
