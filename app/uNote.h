#pragma once
// The note editor: the modal dialog frmNote in which the user sets the alarm date and time,
// the repeat rule and the text of one note.
#include "notes/NoteFields.h"

#include <windows.h>

namespace quillet {

// Shows the editor, owned by `owner`, preset from fields. On OK writes its values back, the
// note text as the notes file can carry it, and returns true; Cancel, the close box and the
// end of the application return false and leave fields alone.
bool ShowNoteEditor(HWND owner, NoteFields& fields);

} // namespace quillet
