#include "notes/AlarmText.h"

#include "base/DateFormat.h"
#include "base/stringlib.h"

namespace quillet {

std::string FormatAlarm(TDateTime moment) {
    return FormatAlarm(moment, moment);
}

std::string FormatAlarm(TDateTime date, TDateTime time) {
    return FormatDate(date) + " " + FormatTime(time);
}

void NormalizeAlarmText(std::string& alarm) {
    const std::size_t blank = alarm.find(' ');
    if (blank == std::string::npos) return;
    const std::size_t separator = alarm.find_first_of(".:", blank);
    if (separator != std::string::npos) alarm[separator] = ':';
}

std::string AlarmTimeText(std::string_view alarm) {
    return Right(alarm, PosN(alarm, "M", 1) - PosN(alarm, " ", 1));
}

std::string AlarmMinuteText(std::string_view alarm) {
    return Mid(alarm, PosN(alarm, ":", 1) + 1, 2);
}

std::string AlarmDateText(std::string_view alarm) {
    return Left(alarm, 10);
}

TDateTime ReadAlarmDate(std::string_view alarm) {
    return StrToDate(FieldN(alarm, " ", 1));
}

TDateTime ReadAlarmTime(std::string_view alarm) {
    return StrToTime(AlarmTimeText(alarm));
}

} // namespace quillet
