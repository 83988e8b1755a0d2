#include "store/NoteFields.h"

#include "base/DateFormat.h"
#include "store/stringlib.h"

#include <algorithm>
#include <cctype>

namespace quillet {

namespace {

int RepeatIndexOf(std::string_view text) {
    const auto sameLetters = [&](std::string_view kind) {
        return std::ranges::equal(kind, text, [](char a, char b) {
            return std::tolower((unsigned char)a) == std::tolower((unsigned char)b);
        });
    };
    const auto it = std::ranges::find_if(RepeatKinds, sameLetters);
    return it == RepeatKinds.end() ? -1 : int(it - RepeatKinds.begin());
}

} // namespace

NoteFields NewNoteFields(TDateTime now) {
    return {DateOf(now), TimeOf(now), 0, {}};
}

NoteFields ReadNoteFields(const NoteTable& table, int row) {
    std::string alarm = table.CellText(ColAlarm, row);
    NormalizeAlarmText(alarm);
    NoteFields fields;
    fields.date = StrToDate(FieldN(alarm, " ", 1));
    // The time text runs from the first blank to the "M" of the AM/PM marker.
    fields.time = StrToTime(Right(alarm, PosN(alarm, "M", 1) - PosN(alarm, " ", 1)));
    fields.repeatIndex = RepeatIndexOf(table.CellText(ColRepeat, row));
    fields.note = CleanNoteText(table.CellText(ColNote, row));
    return fields;
}

std::array<std::string, 3> NoteRowTexts(const NoteFields& fields) {
    return {FormatDate(fields.date) + " " + FormatTime(fields.time),
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
