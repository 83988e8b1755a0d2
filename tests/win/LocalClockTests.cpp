#include "win32/LocalClock.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace quillet;

TEST(LocalClock, AgreesWithTheSystemsLocalTime) {
    const win32::LocalClock clock;
    // Two readings in one minute around ours; a minute boundary in between is rare, and never
    // twice in a row.
    for (int attempt = 0; attempt < 2; ++attempt) {
        SYSTEMTIME before, after;
        GetLocalTime(&before);
        const TDateTime now = clock.Now();
        GetLocalTime(&after);
        if (before.wMinute != after.wMinute) continue;

        const auto date = DecodeDate(now);
        const TimeOfDay time = DecodeTime(now);
        EXPECT_EQ(int(date.year()), before.wYear);
        EXPECT_EQ(unsigned(date.month()), before.wMonth);
        EXPECT_EQ(unsigned(date.day()), before.wDay);
        EXPECT_EQ(time.hour, before.wHour);
        EXPECT_EQ(time.minute, before.wMinute);
        EXPECT_GE(time.second, before.wSecond);
        EXPECT_LE(time.second, after.wSecond);
        return;
    }
    FAIL() << "every reading straddled a minute boundary";
}

TEST(LocalClock, GivesTheOffsetFromUtcOfItsOwnReading) {
    const win32::LocalClock clock;
    SYSTEMTIME before, after;
    GetSystemTime(&before);
    const LocalTime now = clock.Read();
    GetSystemTime(&after);
    auto moment = [](const SYSTEMTIME& t) {
        return EncodeDate(t.wYear, t.wMonth, t.wDay) +
               EncodeTime(t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    };
    const TDateTime utc = now.moment - now.utcOffsetMinutes / MinutesPerDay;
    EXPECT_GE(utc, moment(before) - 1e-9);
    EXPECT_LE(utc, moment(after) + 1e-9);
    TIME_ZONE_INFORMATION zone;
    const DWORD kind = GetTimeZoneInformation(&zone);
    EXPECT_EQ(
        now.utcOffsetMinutes,
        -(zone.Bias + (kind == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : zone.StandardBias)));
}
