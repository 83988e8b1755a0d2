#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/Errors.h"

#include <gtest/gtest.h>

using namespace quillet;
using namespace std::chrono;

TEST(TDateTime, CountsDaysFrom30December1899) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
    EXPECT_EQ(EncodeDate(2026, 12, 9), 46365);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
    EXPECT_EQ(DecodeDate(46365.75), 2026y / December / 9);
    EXPECT_EQ(DecodeDate(-1.25), 1899y / December / 29);
}

TEST(TDateTime, RefusesDatesOutsideTheCalendar) {
    for (auto [y, m, d] : {std::tuple{0, 1, 1},
                           {10000, 1, 1},
                           {2025, 2, 29},
                           {2024, 13, 1},
                           {2024, 0, 1},
                           {2024, 4, 31},
                           {2024, 1, 0}})
        EXPECT_THROW(EncodeDate(y, m, d), EConvertError) << y << "-" << m << "-" << d;
    EXPECT_NO_THROW(EncodeDate(2024, 2, 29));
    EXPECT_THROW(EncodeTime(24, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60), EConvertError);
}

TEST(TDateTime, TimeOfDayRoundTripsToTheMillisecond) {
    for (int ms : {0, 1, 999, 59'999, 43'200'000, 86'399'999}) {
        const TDateTime t = EncodeDate(2026, 12, 9) + ms / 86'400'000.0;
        const TimeOfDay d = DecodeTime(t);
        EXPECT_EQ(((d.hour * 60 + d.minute) * 60 + d.second) * 1000 + d.millisecond, ms);
    }
}

TEST(TDateTime, MinuteOfIgnoresSecondsAndRoundingNoise) {
    const TDateTime nine = EncodeDate(2026, 12, 9) + EncodeTime(9, 0);
    EXPECT_EQ(MinuteOf(nine), MinuteOf(nine + EncodeTime(0, 0, 59, 999)));
    EXPECT_EQ(MinuteOf(nine) + 1, MinuteOf(nine + EncodeTime(0, 1)));
    EXPECT_EQ(MinuteOf(nine - 1e-12), MinuteOf(nine)); // a hair below the minute is that minute
    // And back, also before 30 December 1899, where the time of day is a positive fraction of a
    // negative day.
    const TDateTime before = ComposeDateTime(EncodeDate(1899, 12, 25), EncodeTime(18, 2));
    for (const TDateTime moment : {nine, before, EncodeDate(1899, 12, 30), EncodeDate(1, 1, 1)})
        EXPECT_EQ(MomentOfMinute(MinuteOf(moment)), moment);
    EXPECT_EQ(MinuteOf(MomentOfMinute(MinuteOf(before) + 1)), MinuteOf(before) + 1);
}

struct FormatCase {
    int hour, minute, second;
    const char* time;
};

TEST(DateTexts, FormatTheAlarmTextOnTheTwelveHourClock) {
    const FormatCase cases[] = {
        {0, 5, 59, "12:05 AM"},   {0, 0, 0, "12:00 AM"},   {11, 59, 59, "11:59 AM"},
        {12, 0, 0, "12:00 PM"},   {13, 30, 0, "01:30 PM"}, {16, 8, 30, "04:08 PM"},
        {23, 59, 59, "11:59 PM"},
    };
    for (const auto& c : cases) {
        const TDateTime t = EncodeDate(2009, 3, 5) + EncodeTime(c.hour, c.minute, c.second);
        EXPECT_EQ(FormatTime(t), c.time);
        EXPECT_EQ(FormatAlarm(t), std::string("03/05/2009 ") + c.time);
    }
    EXPECT_EQ(FormatDate(EncodeDate(2026, 12, 9)), "12/09/2026");
    EXPECT_EQ(FormatDate(EncodeDate(33, 1, 2)), "01/02/0033");
    EXPECT_EQ(FormatMinute(EncodeDate(2026, 12, 9) + EncodeTime(16, 8, 59)), "08");
}

TEST(DateTexts, ReadDatesMonthFirst) {
    EXPECT_EQ(StrToDate("12/09/2026"), EncodeDate(2026, 12, 9));
    EXPECT_EQ(StrToDate(" 3/5/2009 "), EncodeDate(2009, 3, 5));
    for (const char* bad : {"", "12/09", "13/01/2026", "02/30/2026", "12-09-2026", "12/09/2026x",
                            "12/09/20261", "12/09/0", "a/b/c", "12/09/2026 04:08 PM"}) {
        try {
            StrToDate(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid date");
        }
    }
}

TEST(DateTexts, ReadTimesWithOrWithoutMarker) {
    const struct {
        const char* text;
        int hour, minute, second;
    } good[] = {
        {"12:05 AM", 0, 5, 0},   {"12:00 PM", 12, 0, 0},     {"01:30 PM", 13, 30, 0},
        {"01:30 pm", 13, 30, 0}, {"12:05:30 PM", 12, 5, 30}, {"17:05", 17, 5, 0},
        {"0:00", 0, 0, 0},       {"9:07AM", 9, 7, 0},
    };
    for (const auto& g : good)
        EXPECT_EQ(StrToTime(g.text), EncodeTime(g.hour, g.minute, g.second)) << g.text;
    for (const char* bad : {"", "00:05 AM", "13:00 PM", "24:00", "12:60", "12", "12:05 XM",
                            "12:05 AM junk", "12:05:"}) {
        try {
            StrToTime(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid time");
        }
    }
}

TEST(DateTexts, AlarmTextsWrittenWithADotBetweenHourAndMinuteReadWithAColon) {
    const struct {
        const char *stored, *read;
    } cases[] = {
        {"12/10/2026 09.00 AM", "12/10/2026 09:00 AM"},
        {"12/10/2026 09:00 AM", "12/10/2026 09:00 AM"},
        {"12/10/2026 9.5 PM", "12/10/2026 9:5 PM"},
        {"12.10.2026 09.00 AM", "12.10.2026 09:00 AM"}, // a dotted date stays unreadable
        {"12/10/2026 09:00.30 AM", "12/10/2026 09:00.30 AM"},
        {"12/10/2026", "12/10/2026"},
        {"12/10/2026 09 AM.", "12/10/2026 09 AM:"}, // no AlarmText either way
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string alarm = c.stored;
        NormalizeAlarmText(alarm);
        EXPECT_EQ(alarm, c.read);
    }
}

TEST(DateTexts, AlarmTextReadsBackAsItsMinute) {
    const TDateTime t = EncodeDate(2026, 12, 31) + EncodeTime(23, 0);
    EXPECT_EQ(StrToDateTime(FormatAlarm(t)), t);
    EXPECT_EQ(StrToDateTime("12/31/2026"), EncodeDate(2026, 12, 31));
    EXPECT_THROW(StrToDateTime("12/31/2026 25:00"), EConvertError);
    EXPECT_THROW(StrToDateTime("Call home"), EConvertError);
}
