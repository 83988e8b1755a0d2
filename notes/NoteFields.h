#pragma once
// What the note editor shows and what it writes back: the values of one note row, and the
// conversions between them and the row's three texts.
#include "base/DateTime.h"
#include "notes/NoteTable.h"
#include "notes/RepeatKind.h"

#include <array>
#include <string>
#include <string_view>

namespace quillet {

struct NoteFields {
    TDateTime date = 0;   // the date part counts
    TDateTime time = 0;   // the time of day; seconds may be held but are never stored
    int repeatIndex = -1; // a RepeatKind's place in RepeatKinds; -1 when nothing is selected
    std::string note;     // lines separated by CR LF
};

// A new note: today, the current time of day, "None", no text.
NoteFields NewNoteFields(TDateTime now);

// The values of a stored row. Throws EConvertError "'<text>' is not a valid date" or
// "... time" when the Alarm text does not convert (for example the empty first row).
NoteFields ReadNoteFields(const NoteTable& table, int row);

// The Alarm, Repeat and Note texts of a row, in column order.
std::array<std::string, 3> NoteRowTexts(const NoteFields& fields);

// A note text as the notes file can carry it: every line break (CR, LF or CR LF) becomes
// CR LF, a TAB a blank, and other control characters are dropped.
std::string CleanNoteText(std::string_view text);

} // namespace quillet
