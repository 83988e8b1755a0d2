#include "grid/RowColor.h"

#include "base/DateFormat.h"
#include "base/Errors.h"
#include "notes/AlarmText.h"
#include "notes/RepeatKind.h"

namespace quillet {

MaybeColor NoteRowColor(const NoteTable& table, int row, TDateTime now) {
    if (row == 0 || RepeatKindOf(table.CellText(ColRepeat, row)) != RepeatKind::None)
        return std::nullopt;
    constexpr Color Black{0x000000};
    std::string alarm = table.CellText(ColAlarm, row);
    NormalizeAlarmText(alarm);
    try {
        return MinuteOf(StrToDateTime(alarm)) < MinuteOf(now) ? PastNoteColor : Black;
    } catch (const EConvertError&) {
        return Black;
    }
}

} // namespace quillet
