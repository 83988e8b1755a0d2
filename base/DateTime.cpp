#include "base/DateTime.h"

#include "base/Errors.h"

#include <algorithm>
#include <cmath>

namespace quillet {

namespace {

using namespace std::chrono;

constexpr sys_days Epoch = sys_days{1899y / December / 30};

// Milliseconds of the time-of-day fraction, rounded like the rest of the program reads
// them: a fraction that is a hair below a whole millisecond still counts as that millisecond.
long long MillisecondsOf(double time) {
    return std::llround(time * MinutesPerDay * 60'000.0);
}

} // namespace

TDateTime EncodeDate(int year, int month, int day) {
    const year_month_day ymd{std::chrono::year{year}, std::chrono::month(unsigned(month)),
                             std::chrono::day(unsigned(day))};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || !ymd.ok())
        throw EConvertError("Invalid argument to date encode");
    return double((sys_days{ymd} - Epoch).count());
}

year_month_day DecodeDate(TDateTime moment) {
    return year_month_day{Epoch + days{static_cast<long long>(std::trunc(moment))}};
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        millisecond < 0 || millisecond > 999)
        throw EConvertError("Invalid argument to time encode");
    return ((hour * 60 + minute) * 60'000.0 + second * 1000.0 + millisecond) /
           (MinutesPerDay * 60'000.0);
}

TimeOfDay DecodeTime(TDateTime moment) {
    long long ms = MillisecondsOf(TimeOf(moment));
    if (ms >= 86'400'000) ms = 86'399'999;
    return {int(ms / 3'600'000), int(ms / 60'000 % 60), int(ms / 1000 % 60), int(ms % 1000)};
}

double DateOf(TDateTime moment) {
    return std::trunc(moment);
}

double TimeOf(TDateTime moment) {
    return std::fabs(moment - std::trunc(moment));
}

TDateTime ComposeDateTime(double date, double time) {
    return date < 0 ? date - time : date + time;
}

long long MinuteOf(TDateTime moment) {
    const long long ms = MillisecondsOf(TimeOf(moment));
    return static_cast<long long>(DateOf(moment)) * 1440 + std::min(ms, 86'399'999LL) / 60'000;
}

TDateTime MomentOfMinute(long long minute) {
    const long long ofDay = (minute % 1440 + 1440) % 1440;
    return ComposeDateTime(double((minute - ofDay) / 1440), ofDay / MinutesPerDay);
}

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

} // namespace quillet
