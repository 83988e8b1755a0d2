#include "alarms/DateStepping.h"

#include <cmath>

namespace quillet {

namespace {

using namespace std::chrono;

struct Count {
    long long whole;      // toward zero
    long double fraction; // with the sign of the count
};

Count Split(long double count) {
    const long double whole = std::trunc(count);
    return {static_cast<long long>(whole), count - whole};
}

int DaysIn(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// The date (year, month, day) with the given fraction of days and the moment's time of day.
TDateTime Compose(int year, int month, int day, long double extraDays, TDateTime moment) {
    const double date = EncodeDate(year, month, day) + double(extraDays);
    return ComposeDateTime(date, TimeOf(moment));
}

} // namespace

TDateTime AddWeeks(long double count, TDateTime moment) {
    return double(count * 7 + moment);
}

TDateTime AddMonths(long double count, TDateTime moment) {
    const auto ymd = DecodeDate(moment);
    const Count n = Split(count);
    long long year = int(ymd.year());
    const long long t = n.whole + unsigned(ymd.month());
    long long month;
    if (t > 12) {
        year += (t - 1) / 12;
        month = t % 12 == 0 ? 12 : t % 12;
    } else if (t < 1) {
        year += t / 12 - 1;
        month = 12 - (-t % 12);
    } else {
        month = t;
    }
    // An out-of-range year fails in EncodeDate; keep it from wrapping on the way there.
    if (year < 1 || year > 9999) year = 0;
    int day = int(unsigned(ymd.day()));
    if (year != 0 && day > DaysIn(int(year), int(month))) day = DaysIn(int(year), int(month));
    return Compose(int(year), int(month), day, 30 * n.fraction, moment);
}

TDateTime AddQuarters(long double count, TDateTime moment) {
    return AddMonths(3 * count, moment);
}

TDateTime AddYears(long double count, TDateTime moment) {
    const auto ymd = DecodeDate(moment);
    const Count n = Split(count);
    long long year = int(ymd.year()) + n.whole;
    if (year < 1 || year > 9999) year = 0;
    const int month = int(unsigned(ymd.month()));
    int day = int(unsigned(ymd.day()));
    if (month == 2 && day == 29 && !IsLeapYear(int(year))) day = 28;
    return Compose(int(year), month, day, 365.25L * n.fraction, moment);
}

std::optional<DateStep> DateStepOf(std::string_view repeatKind) {
    if (repeatKind == "Weekly") return DateStep::Week;
    if (repeatKind == "Bi-Weekly") return DateStep::TwoWeeks;
    if (repeatKind == "Monthly") return DateStep::Month;
    if (repeatKind == "Bi-Monthly") return DateStep::TwoMonths;
    if (repeatKind == "Quarterly") return DateStep::Quarter;
    if (repeatKind == "Annually") return DateStep::Year;
    return std::nullopt;
}

TDateTime StepDate(DateStep step, TDateTime date) {
    switch (step) {
    case DateStep::Week: return AddWeeks(1, date);
    case DateStep::TwoWeeks: return AddWeeks(2, date);
    case DateStep::Month: return AddMonths(1, date);
    case DateStep::TwoMonths: return AddMonths(2, date);
    case DateStep::Quarter: return AddQuarters(1, date);
    case DateStep::Year: return AddYears(1, date);
    }
    return date;
}

TDateTime FirstOccurrenceOnOrAfter(DateStep step, TDateTime start, TDateTime day) {
    TDateTime date = start;
    while (date < day) date = StepDate(step, date);
    return date;
}

} // namespace quillet
