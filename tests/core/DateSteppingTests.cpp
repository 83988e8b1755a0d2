#include "alarms/DateStepping.h"
#include "base/DateTime.h"
#include "base/Errors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <vector>

using namespace quillet;

namespace {

TDateTime D(int y, int m, int d) {
    return EncodeDate(y, m, d);
}
TDateTime At(int y, int m, int d, int hh, int mm) {
    return D(y, m, d) + EncodeTime(hh, mm);
}

} // namespace

TEST(DateStepping, AddMonthsClampsTheDayAndCountsAcrossYears) {
    const struct {
        long double count;
        TDateTime from, want;
    } cases[] = {
        {1, D(2025, 1, 31), D(2025, 2, 28)},    {1, D(2024, 1, 31), D(2024, 2, 29)},
        {1, D(2024, 1, 30), D(2024, 2, 29)},    {1, D(2025, 3, 31), D(2025, 4, 30)},
        {1, D(2025, 5, 31), D(2025, 6, 30)},    {1, D(2025, 7, 31), D(2025, 8, 31)},
        {1, D(2025, 12, 15), D(2026, 1, 15)},   {-1, D(2026, 1, 15), D(2025, 12, 15)},
        {-13, D(2026, 1, 15), D(2024, 12, 15)}, {12, D(2025, 1, 15), D(2026, 1, 15)},
        {23, D(2025, 1, 15), D(2026, 12, 15)},  {-12, D(2026, 3, 15), D(2025, 3, 15)},
        {-2, D(2026, 1, 15), D(2025, 11, 15)},  {-14, D(2026, 1, 15), D(2024, 11, 15)},
        {0.5, D(2025, 3, 1), D(2025, 3, 16)},   {1.5, D(2025, 3, 1), D(2025, 4, 16)},
        {-1.5, D(2025, 3, 1), D(2025, 1, 17)},  {0, D(2025, 3, 1), D(2025, 3, 1)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddMonths(c.count, c.from), c.want)
            << double(c.count) << " months from " << c.from;
}

TEST(DateStepping, QuartersYearsAndWeeks) {
    EXPECT_EQ(AddQuarters(1, D(2025, 1, 31)), D(2025, 4, 30));
    EXPECT_EQ(AddQuarters(0.5, D(2025, 3, 1)), D(2025, 4, 16)); // 1 month and 15 days
    EXPECT_EQ(AddYears(1, D(2024, 2, 29)), D(2025, 2, 28));
    EXPECT_EQ(AddYears(4, D(2024, 2, 29)), D(2028, 2, 29));
    EXPECT_EQ(AddYears(-1, D(2024, 2, 29)), D(2023, 2, 28));
    EXPECT_EQ(AddYears(0.5, D(2025, 1, 1)), At(2025, 7, 2, 15, 0));
    EXPECT_EQ(AddWeeks(2, D(2025, 12, 25)), D(2026, 1, 8));
    EXPECT_EQ(AddWeeks(-1, D(2026, 1, 1)), D(2025, 12, 25));
    // Across 30 December 1899, where moments before it hold their time as a positive fraction.
    const TDateTime christmas1899 = ComposeDateTime(D(1899, 12, 25), EncodeTime(18, 0));
    EXPECT_EQ(AddWeeks(1, christmas1899), At(1900, 1, 1, 18, 0));
    EXPECT_EQ(AddWeeks(-1, At(1900, 1, 1, 18, 0)), christmas1899);
}

TEST(DateStepping, EveryStepKeepsTheTimeOfDay) {
    const TDateTime from = At(2025, 3, 10, 14, 30);
    EXPECT_EQ(AddMonths(1, from), At(2025, 4, 10, 14, 30));
    EXPECT_EQ(AddQuarters(1, from), At(2025, 6, 10, 14, 30));
    EXPECT_EQ(AddYears(1, from), At(2026, 3, 10, 14, 30));
    EXPECT_EQ(AddWeeks(1, from), At(2025, 3, 17, 14, 30));
}

TEST(DateStepping, LeavingTheCalendarFails) {
    EXPECT_THROW(AddMonths(1, D(9999, 12, 1)), EConvertError);
    EXPECT_THROW(AddMonths(-1, D(1, 1, 1)), EConvertError);
    EXPECT_THROW(AddYears(1, D(9999, 6, 1)), EConvertError);
    EXPECT_THROW(AddWeeks(1, D(9999, 12, 30)), EConvertError);
    EXPECT_THROW(AddYears(-1.01L, D(2, 1, 1)), EConvertError); // the fraction's days leave it
    EXPECT_THROW(AddMonths(-0.5L, D(1, 1, 10)), EConvertError);
    EXPECT_NO_THROW(AddWeeks(-1, D(1, 1, 8)));
    EXPECT_EQ(FirstDay, D(1, 1, 1));
    EXPECT_EQ(LastDay, D(9999, 12, 31));
    // Counts of any size, and no number at all, fail the same way: no arithmetic overflows.
    using Limits = std::numeric_limits<long double>;
    const long double huge[] = {9.3e18L,
                                -9.3e18L,
                                9223372036854775807.0L,
                                1e30L,
                                -1e4000L,
                                4e9L,
                                -4e9L,
                                Limits::infinity(),
                                -Limits::infinity(),
                                Limits::quiet_NaN()};
    for (const long double count : huge) {
        SCOPED_TRACE(double(count));
        EXPECT_THROW(AddWeeks(count, D(2025, 6, 1)), EConvertError);
        EXPECT_THROW(AddMonths(count, D(2025, 6, 1)), EConvertError);
        EXPECT_THROW(AddQuarters(count, D(2025, 6, 1)), EConvertError);
        EXPECT_THROW(AddYears(count, D(2025, 6, 1)), EConvertError);
    }
}

TEST(DateStepping, RepeatTextsMapToSteps) {
    EXPECT_EQ(DateStepOf("Weekly"), DateStep::Week);
    EXPECT_EQ(DateStepOf("Bi-Weekly"), DateStep::TwoWeeks);
    EXPECT_EQ(DateStepOf("Monthly"), DateStep::Month);
    EXPECT_EQ(DateStepOf("Bi-Monthly"), DateStep::TwoMonths);
    EXPECT_EQ(DateStepOf("Quarterly"), DateStep::Quarter);
    EXPECT_EQ(DateStepOf("Annually"), DateStep::Year);
    for (const char* none : {"None", "Hourly", "Daily", "weekly", "", "Annually "})
        EXPECT_FALSE(DateStepOf(none)) << none;
}

namespace {

std::vector<TDateTime> Chain(DateStep step, TDateTime start, int length) {
    std::vector<TDateTime> chain{start};
    while (int(chain.size()) < length) chain.push_back(StepDate(step, chain.back()));
    return chain;
}

} // namespace

TEST(DateStepping, ClampingCarriesAlongTheChain) {
    EXPECT_EQ(Chain(DateStep::Month, D(2025, 1, 31), 5),
              (std::vector{D(2025, 1, 31), D(2025, 2, 28), D(2025, 3, 28), D(2025, 4, 28),
                           D(2025, 5, 28)}));
    EXPECT_EQ(Chain(DateStep::Year, D(2024, 2, 29), 5),
              (std::vector{D(2024, 2, 29), D(2025, 2, 28), D(2026, 2, 28), D(2027, 2, 28),
                           D(2028, 2, 28)}));
    EXPECT_EQ(Chain(DateStep::Quarter, D(2025, 1, 31), 5),
              (std::vector{D(2025, 1, 31), D(2025, 4, 30), D(2025, 7, 30), D(2025, 10, 30),
                           D(2026, 1, 30)}));
    EXPECT_EQ(Chain(DateStep::TwoMonths, D(2025, 1, 15), 3),
              (std::vector{D(2025, 1, 15), D(2025, 3, 15), D(2025, 5, 15)}));
}

TEST(DateStepping, FirstOccurrenceOnOrAfterADay) {
    EXPECT_EQ(FirstOccurrenceOnOrAfter(DateStep::Month, D(2025, 1, 31), D(2025, 3, 1)),
              D(2025, 3, 28));
    EXPECT_EQ(FirstOccurrenceOnOrAfter(DateStep::Month, D(2025, 1, 31), D(2025, 3, 28)),
              D(2025, 3, 28));
    // A start after the day is itself the first occurrence: no step is taken.
    EXPECT_EQ(FirstOccurrenceOnOrAfter(DateStep::Week, D(2030, 1, 1), D(2026, 12, 9)),
              D(2030, 1, 1));
    EXPECT_EQ(FirstOccurrenceOnOrAfter(DateStep::TwoWeeks, D(2026, 12, 2), D(2026, 12, 9)),
              D(2026, 12, 16));
}

namespace {

// The chain walked one step at a time: the definition that the fast search must match.
TDateTime WalkToOnOrAfter(DateStep step, TDateTime start, TDateTime day) {
    TDateTime date = start;
    while (date < day) date = StepDate(step, date);
    return date;
}

} // namespace

TEST(DateStepping, FirstOccurrenceMatchesTheStepByStepWalk) {
    const DateStep steps[] = {DateStep::Week,      DateStep::TwoWeeks, DateStep::Month,
                              DateStep::TwoMonths, DateStep::Quarter,  DateStep::Year};
    std::mt19937 random(20260109);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
    for (int i = 0; i < 50'000; ++i) {
        const DateStep step = steps[pick(0, 5)];
        // Month ends and leap days are where clamping happens: give them most of the cases.
        const int year = pick(1890, 2100), month = pick(1, 12);
        const int lastDay =
            int(unsigned((std::chrono::year(year) / month / std::chrono::last).day()));
        const int day =
            pick(0, 3) == 0 ? pick(1, lastDay) : pick(std::max(1, lastDay - 3), lastDay);
        const TDateTime start = D(year, month, day);
        const TDateTime target = start + pick(-400, 60 * 366);
        ASSERT_EQ(FirstOccurrenceOnOrAfter(step, start, target),
                  WalkToOnOrAfter(step, start, target))
            << "step " << int(step) << " from " << year << "-" << month << "-" << day << " to "
            << target - start << " days later";
    }
}

TEST(DateStepping, FirstOccurrenceFailsLikeTheWalkAtTheEndOfTheCalendar) {
    const TDateTime lastDay = D(9999, 12, 31);
    for (DateStep step : {DateStep::Week, DateStep::TwoWeeks, DateStep::Month, DateStep::TwoMonths,
                          DateStep::Quarter, DateStep::Year}) {
        EXPECT_THROW(WalkToOnOrAfter(step, D(9990, 1, 31), lastDay), EConvertError);
        EXPECT_THROW(FirstOccurrenceOnOrAfter(step, D(9990, 1, 31), lastDay), EConvertError);
    }
    // 31 December 9999 is a Friday.
    EXPECT_EQ(FirstOccurrenceOnOrAfter(DateStep::Week, D(9990, 1, 5), lastDay), lastDay);
    EXPECT_EQ(WalkToOnOrAfter(DateStep::Week, D(9990, 1, 5), lastDay), lastDay);
}
