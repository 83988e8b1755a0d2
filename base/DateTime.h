#pragma once
// TDateTime: a moment as whole days since 30 December 1899 plus the fraction of the day.
// Dates before that day are negative; their time of day is still the positive fraction
// (-1.25 is 29 December 1899, 06:00), so date and time are split by truncation.
#include <chrono>

namespace quillet {

using TDateTime = double;

constexpr double MinutesPerDay = 24 * 60;

// Proleptic Gregorian calendar, years 1 to 9999; anything else throws EConvertError.
TDateTime EncodeDate(int year, int month, int day);
// The days of 1 January 1 and 31 December 9999.
constexpr double FirstDay = -693'593, LastDay = 2'958'465;
std::chrono::year_month_day DecodeDate(TDateTime moment);

// Hours 0-23, minutes and seconds 0-59, milliseconds 0-999; anything else throws EConvertError.
TDateTime EncodeTime(int hour, int minute, int second = 0, int millisecond = 0);

struct TimeOfDay {
    int hour, minute, second, millisecond;
};
TimeOfDay DecodeTime(TDateTime moment);

// Whole-day part and time-of-day part (always 0 <= time < 1).
double DateOf(TDateTime moment);
double TimeOf(TDateTime moment);

// Joins a date and a time of day, also for dates before 30 December 1899.
TDateTime ComposeDateTime(double date, double time);

// The moment's whole minute since 30 December 1899 (seconds dropped): equal minutes compare
// equal whatever rounding the fraction carries.
long long MinuteOf(TDateTime moment);
// The moment a minute of MinuteOf starts, before 30 December 1899 too.
TDateTime MomentOfMinute(long long minute);

bool IsLeapYear(int year);

} // namespace quillet
