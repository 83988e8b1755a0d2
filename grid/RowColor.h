#pragma once
// The colour a note row is listed in: a one-shot note whose moment has passed turns grey.
#include "base/Canvas.h"
#include "base/DateTime.h"
#include "notes/NoteTable.h"

namespace quillet {

inline constexpr Color PastNoteColor{0xC0C0C0};

// The font colour of a note row at the moment `now`, for a one-shot note ("None"): silver
// when its alarm minute lies before the minute of `now`, black otherwise. Black too when its
// Alarm text does not read as a moment (only a hand-edited file holds one): nothing says it
// has passed. None, the grid's own colour, for every other row, the header included.
MaybeColor NoteRowColor(const NoteTable& table, int row, TDateTime now);

} // namespace quillet
