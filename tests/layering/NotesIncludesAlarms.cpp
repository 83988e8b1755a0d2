// Compiled as part of notes/, which builds on base/ alone: its own headers and those of base/
// are found, the alarm check's header is not. The build of this file must fail at that include.
#include "base/DateTime.h"
#include "notes/NoteTable.h"

#include "alarms/AlarmCheck.h"
