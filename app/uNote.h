#pragma once
// The note editor: the modal dialog frmNote in which the user sets the alarm date and time,
// the repeat rule and the text of one note.
#include "store/NoteFields.h"

namespace quillet {

// Shows the editor preset from fields. On OK writes its values back, the note text as the
// notes file can carry it, and returns true; Cancel, the close box and the end of the
// application return false and leave fields alone.
bool ShowNoteEditor(NoteFields& fields);

} // namespace quillet
