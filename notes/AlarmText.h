#pragma once
// The AlarmText: the Alarm column's form of a note's moment, "mm/dd/yyyy HH:nn AM/PM", for
// example "12/09/2026 04:08 PM". Writing it, making a stored one the program's own form, and
// taking it apart. The pieces are cut by position and by marker ("M", the first blank, the
// first ":") from the text as it stands, so that a hand-edited text comes apart the same way
// wherever it is read.
#include "base/DateTime.h"

#include <string>
#include <string_view>

namespace quillet {

// The AlarmText of a moment; of a date and a time of day, each of which counts for its own part
// only.
std::string FormatAlarm(TDateTime moment);
std::string FormatAlarm(TDateTime date, TDateTime time);

// Notes files written where the regional time separator was "." hold AlarmTexts such as
// "12/10/2026 09.00 AM". Makes such a text the program's own form, "12/10/2026 09:00 AM": the
// first "." or ":" after the first blank separates hour and minute (the date holds only
// digits and "/"), and becomes ":". Every other text stays as it is. The readers below expect
// a text made so.
void NormalizeAlarmText(std::string& alarm);

// The time text, "04:08 PM": as many characters from the end as there are from the first
// blank to the first "M", which in a well-formed text is all after the blank. Empty when no
// "M" follows a blank.
std::string AlarmTimeText(std::string_view alarm);
// The two characters after the first ":", "08"; the first two without a ":".
std::string AlarmMinuteText(std::string_view alarm);
// The first ten characters, "12/09/2026": where a well-formed text has its date. The alarm
// check reads the date of a repeating note from there.
std::string AlarmDateText(std::string_view alarm);

// The note editor's reading: the date is the text before the first blank, the time the time
// text. Throw EConvertError "'<text>' is not a valid date" or "... time", naming that piece.
TDateTime ReadAlarmDate(std::string_view alarm);
TDateTime ReadAlarmTime(std::string_view alarm);

} // namespace quillet
