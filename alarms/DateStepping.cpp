#include "alarms/DateStepping.h"

#include "base/Errors.h"

#include <algorithm>
#include <cmath>

namespace quillet {

namespace {

using namespace std::chrono;

struct Count {
    long long whole;      // toward zero
    long double fraction; // with the sign of the count
};

[[noreturn]] void LeaveTheCalendar() {
    throw EConvertError("Invalid argument to date encode");
}

// Counts beyond any calendar are held at a size that still leaves it, so that the encoding of
// the result refuses them, not the integer arithmetic on the way there.
Count Split(long double count) {
    if (!std::isfinite(count)) LeaveTheCalendar();
    constexpr long double Beyond = 1e9; // more months, or years, than the calendar holds
    const long double whole = std::trunc(count);
    return {static_cast<long long>(std::clamp(whole, -Beyond, Beyond)), count - whole};
}

int DaysIn(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// The moment moved by a number of days, counted on a line of days that runs on through 30
// December 1899: a moment before it holds its time of day as a positive fraction, and keeps it
// when a move crosses that day. A move out of the calendar fails.
TDateTime MoveDays(TDateTime moment, long double days) {
    const double line = DateOf(moment) + TimeOf(moment) + double(days);
    if (!(line >= FirstDay && line < LastDay + 1)) LeaveTheCalendar(); // NaN too
    const double date = std::floor(line);
    return ComposeDateTime(date, line - date);
}

// The date (year, month, day) at the moment's time of day, moved by a number of days.
TDateTime Compose(int year, int month, int day, long double extraDays, TDateTime moment) {
    return MoveDays(ComposeDateTime(EncodeDate(year, month, day), TimeOf(moment)), extraDays);
}

int MonthsPerStep(DateStep step) {
    switch (step) {
    case DateStep::Month: return 1;
    case DateStep::TwoMonths: return 2;
    case DateStep::Quarter: return 3;
    case DateStep::Year: return 12;
    case DateStep::Week:
    case DateStep::TwoWeeks: break;
    }
    return 0;
}

// Months counted from January of the year 0.
long long MonthNumber(const year_month_day& ymd) {
    return int(ymd.year()) * 12LL + unsigned(ymd.month()) - 1;
}

// Whether a chain that steps `months` months at a time from (month, day) can still reach a
// month shorter than day. The month numbers of a chain repeat within twelve steps; February
// counts with 28 days, since a common year always follows a leap year.
bool MayClampLater(unsigned month, unsigned day, int months) {
    constexpr int CommonYear = 2001;
    if (day <= 28) return false;
    for (int i = 1; i <= 12; ++i) {
        const int later = int((month - 1 + unsigned(i * months)) % 12 + 1);
        if (unsigned(DaysIn(CommonYear, later)) < day) return true;
    }
    return false;
}

} // namespace

TDateTime AddWeeks(long double count, TDateTime moment) {
    return MoveDays(moment, 7 * count);
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
    if (start >= day) return start;
    if (step == DateStep::Week || step == DateStep::TwoWeeks) {
        const long long weeks = step == DateStep::Week ? 1 : 2;
        const long long behind = static_cast<long long>(day - start);
        return AddWeeks((behind + 7 * weeks - 1) / (7 * weeks) * weeks, start);
    }
    // The day of the month only ever drops, and only where a step lands in a shorter month.
    // Walk while that can still happen. The walk is short: the day drops at most three times,
    // each time within two years.
    const int months = MonthsPerStep(step);
    TDateTime date = start;
    auto ymd = DecodeDate(date);
    while (date < day && MayClampLater(unsigned(ymd.month()), unsigned(ymd.day()), months)) {
        date = StepDate(step, date);
        ymd = DecodeDate(date);
    }
    if (date >= day) return date;
    // From here on every occurrence falls on the same day of the month: count the steps.
    const int dayOfMonth = int(unsigned(ymd.day()));
    const auto target = DecodeDate(day);
    const long long from = MonthNumber(ymd), to = MonthNumber(target);
    long long steps = (to - from + months - 1) / months;
    if (from + steps * months == to && dayOfMonth < int(unsigned(target.day()))) ++steps;
    const long long month = from + steps * months;
    return EncodeDate(int(month / 12), int(month % 12) + 1, dayOfMonth);
}

} // namespace quillet
