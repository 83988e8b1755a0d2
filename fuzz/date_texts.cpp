// Any text through the date and time readers, as texts from a notes file meet them: they give
// a moment in the calendar or the conversion error, nothing else, and what they give the
// program's own texts write back and read again as the same minute. The input's first 8 bytes
// are a count (a double) for the date steps, the rest is the text: a step by any count gives a
// moment in the calendar (with the same time of day for a whole count) or the date-encoding
// error.
#include "alarms/DateStepping.h"
#include "base/DateFormat.h"
#include "base/Errors.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

using namespace quillet;

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

template <typename Reader> std::optional<TDateTime> Read(Reader reader, std::string_view text) {
    try {
        return reader(text);
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

bool InCalendar(TDateTime moment) {
    return moment > FirstDay - 1 && moment < LastDay + 1;
}

void CheckSteps(double count, TDateTime date) {
    const TDateTime moment = ComposeDateTime(date, EncodeTime(13, 45));
    for (auto step : {AddWeeks, AddMonths, AddQuarters, AddYears}) {
        try {
            const TDateTime stepped = step(count, moment);
            Check(InCalendar(stepped));
            const TimeOfDay time = DecodeTime(stepped);
            if (count == std::trunc(count)) Check(time.hour == 13 && time.minute == 45);
        } catch (const EConvertError&) {}
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    double count;
    if (size < sizeof count) return 0;
    std::memcpy(&count, data, sizeof count);
    const std::string_view text(reinterpret_cast<const char*>(data) + sizeof count,
                                size - sizeof count);

    const auto date = Read(StrToDate, text);
    if (date) {
        Check(InCalendar(*date) && *date == DateOf(*date));
        Check(StrToDate(FormatDate(*date)) == *date);
    }
    CheckSteps(count, date.value_or(EncodeDate(2026, 12, 9)));
    if (const auto time = Read(StrToTime, text)) {
        Check(*time >= 0 && *time < 1);
        Check(MinuteOf(StrToTime(FormatTime(*time))) == MinuteOf(*time));
    }
    std::string alarm(text);
    NormalizeAlarmText(alarm);
    Check(alarm.size() == text.size());
    for (const std::string_view moment : {text, std::string_view(alarm)})
        if (const auto read = Read(StrToDateTime, moment)) {
            Check(InCalendar(*read));
            Check(MinuteOf(StrToDateTime(FormatAlarm(*read))) == MinuteOf(*read));
        }
    return 0;
}
