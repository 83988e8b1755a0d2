#pragma once
// The date and time texts of the program. The date format is fixed at "mm/dd/yyyy" with "/"
// and the time separator at ":", whatever the regional settings say, so that every stored
// alarm reads the same on every machine.
#include "base/DateTime.h"

#include <string>
#include <string_view>

namespace quillet {

// "mm/dd/yyyy", e.g. "12/09/2026".
std::string FormatDate(TDateTime moment);
// "HH:nn AM/PM": the 12-hour clock with two digits, midnight and noon as "12", seconds
// dropped (not rounded), e.g. "04:08 PM".
std::string FormatTime(TDateTime moment);
// "nn": the minute alone, two digits.
std::string FormatMinute(TDateTime moment);
// "mm/dd/yyyy HH:nn AM/PM": the AlarmText of a moment.
std::string FormatAlarm(TDateTime moment);

// Notes files written where the regional time separator was "." hold AlarmTexts such as
// "12/10/2026 09.00 AM". Makes such a text the program's own form, "12/10/2026 09:00 AM": the
// first "." or ":" after the first blank separates hour and minute (the date holds only
// digits and "/"), and becomes ":". Every other text stays as it is.
void NormalizeAlarmText(std::string& alarm);

// Month, day and year separated by "/" (blanks around the text allowed). Throws
// EConvertError "'<text>' is not a valid date".
TDateTime StrToDate(std::string_view text);
// Hour ":" minute, optionally ":" second, then optionally "AM" or "PM" (in any case, blank
// before it allowed). With a marker the hour must be 1 to 12. Throws EConvertError
// "'<text>' is not a valid time".
TDateTime StrToTime(std::string_view text);
// A date, optionally followed by a blank and a time as above; an AlarmText reads as its
// minute. Throws EConvertError "'<text>' is not a valid date and time".
TDateTime StrToDateTime(std::string_view text);

} // namespace quillet
