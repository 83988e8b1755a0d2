#include "notes/NoteFields.h"

#include "notes/AlarmText.h"

namespace quillet {

NoteFields NewNoteFields(TDateTime now) {
    return {DateOf(now), TimeOf(now), 0, {}};
}

NoteFields ReadNoteFields(const NoteTable& table, int row) {
    std::string alarm = table.CellText(ColAlarm, row);
    NormalizeAlarmText(alarm);
    NoteFields fields;
    fields.date = ReadAlarmDate(alarm);
    fields.time = ReadAlarmTime(alarm);
    const auto kind = RepeatKindOf(table.CellText(ColRepeat, row), LetterCase::Ignored);
    fields.repeatIndex = kind ? int(*kind) : -1;
    fields.note = CleanNoteText(table.CellText(ColNote, row));
    return fields;
}

std::array<std::string, 3> NoteRowTexts(const NoteFields& fields) {
    return {FormatAlarm(fields.date, fields.time),
            fields.repeatIndex >= 0 && fields.repeatIndex < int(RepeatKinds.size())
                ? std::string(RepeatKinds[fields.repeatIndex])
                : std::string(),
            CleanNoteText(fields.note)};
}

std::string CleanNoteText(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            clean += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\t') {
            clean += ' ';
        } else if ((unsigned char)c >= 0x20 && c != 0x7f) {
            clean += c;
        }
    }
    return clean;
}

} // namespace quillet
