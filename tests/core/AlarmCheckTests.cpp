#include "alarms/AlarmCheck.h"
#include "alarms/DateStepping.h"
#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "notes/AlarmText.h"
#include "tests/core/FakeAlertPopup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace quillet;

namespace {

using Note = std::array<std::string, 3>; // Alarm, Repeat, Note

NoteTable Notes(const std::vector<Note>& notes) {
    NoteTable table;
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (i > 0) table.AppendRow();
        for (int col : {ColAlarm, ColRepeat, ColNote})
            table.SetCellText(col, int(i) + 1, notes[i][std::size_t(col)]);
    }
    return table;
}

TDateTime At(int y, int m, int d, int hh, int mm, int ss = 0) {
    return EncodeDate(y, m, d) + EncodeTime(hh, mm, ss);
}

std::vector<int> DueRows(const NoteTable& table, TDateTime minute) {
    std::vector<int> rows;
    for (const DueAlarm& due : DueAlarms(table, minute)) rows.push_back(due.row);
    return rows;
}

// The reminder the tick makes of a due row.
std::string Reminder(const NoteTable& table, const DueAlarm& due) {
    return ReminderText(due.moment, table.CellText(ColNote, due.row));
}

struct FakeClock : Clock {
    TDateTime now = 0;
    int offset = 0;
    LocalTime Read() const override { return {now, offset}; }
};

} // namespace

TEST(AlarmCheck, EachKindIsDueInItsMinutes) {
    const struct {
        const char* alarm;
        const char* kind;
        TDateTime at;
        bool due;
    } cases[] = {
        {"12/09/2026 04:08 PM", "None", At(2026, 12, 9, 16, 8), true},
        {"12/09/2026 04:08 PM", "None", At(2026, 12, 9, 16, 8, 59), true},
        {"12/09/2026 04:08 PM", "None", At(2026, 12, 9, 16, 9), false},
        {"12/09/2026 04:08 PM", "None", At(2026, 12, 9, 4, 8), false}, // PM is not AM
        {"12/09/2026 04:08 PM", "None", At(2027, 12, 9, 16, 8), false},
        {"12/09/2026 12:15 AM", "None", At(2026, 12, 9, 0, 15), true},
        {"12/09/2026 12:15 PM", "None", At(2026, 12, 9, 12, 15), true},
        // Daily: every day at its time, also long before its date.
        {"12/31/2030 07:30 AM", "Daily", At(2026, 3, 1, 7, 30), true},
        {"12/31/2030 07:30 AM", "Daily", At(2026, 3, 1, 19, 30), false},
        {"12/31/2030 07:30 AM", "Daily", At(2026, 3, 1, 7, 31), false},
        // Hourly: at its minute of every hour, whatever the date and hour.
        {"12/09/2026 04:08 AM", "Hourly", At(2020, 1, 1, 0, 8), true},
        {"12/09/2026 04:08 AM", "Hourly", At(2026, 12, 9, 15, 8), true},
        {"12/09/2026 04:08 AM", "Hourly", At(2026, 12, 9, 4, 9), false},
        // Weekly from Wednesday 9 December 2026: on that day and every seventh after it.
        {"12/09/2026 04:08 PM", "Weekly", At(2026, 12, 9, 16, 8), true},
        {"12/09/2026 04:08 PM", "Weekly", At(2026, 12, 16, 16, 8), true},
        {"12/09/2026 04:08 PM", "Weekly", At(2036, 12, 3, 16, 8), true},
        {"12/09/2026 04:08 PM", "Weekly", At(2026, 12, 2, 16, 8), false}, // before its date
        {"12/09/2026 04:08 PM", "Weekly", At(2026, 12, 10, 16, 8), false},
        {"12/09/2026 04:08 PM", "Weekly", At(2026, 12, 16, 16, 9), false},
        {"12/09/2026 04:08 PM", "Bi-Weekly", At(2026, 12, 23, 16, 8), true},
        {"12/09/2026 04:08 PM", "Bi-Weekly", At(2026, 12, 16, 16, 8), false},
        // Monthly from 31 January: the 31st, then the 28th of every month.
        {"01/31/2025 09:00 AM", "Monthly", At(2025, 1, 31, 9, 0), true},
        {"01/31/2025 09:00 AM", "Monthly", At(2025, 2, 28, 9, 0), true},
        {"01/31/2025 09:00 AM", "Monthly", At(2025, 3, 28, 9, 0), true},
        {"01/31/2025 09:00 AM", "Monthly", At(2045, 7, 28, 9, 0), true},
        {"01/31/2025 09:00 AM", "Monthly", At(2025, 3, 31, 9, 0), false},
        {"01/15/2025 09:00 AM", "Bi-Monthly", At(2025, 3, 15, 9, 0), true},
        {"01/15/2025 09:00 AM", "Bi-Monthly", At(2025, 5, 15, 9, 0), true},
        {"01/15/2025 09:00 AM", "Bi-Monthly", At(2025, 2, 15, 9, 0), false},
        {"01/31/2025 09:00 AM", "Quarterly", At(2025, 4, 30, 9, 0), true},
        {"01/31/2025 09:00 AM", "Quarterly", At(2030, 1, 30, 9, 0), true},
        {"01/31/2025 09:00 AM", "Quarterly", At(2025, 7, 31, 9, 0), false},
        // Annually from 29 February 2024: then the 28th, even in leap years.
        {"02/29/2024 09:00 AM", "Annually", At(2024, 2, 29, 9, 0), true},
        {"02/29/2024 09:00 AM", "Annually", At(2025, 2, 28, 9, 0), true},
        {"02/29/2024 09:00 AM", "Annually", At(2028, 2, 28, 9, 0), true},
        {"02/29/2024 09:00 AM", "Annually", At(2028, 2, 29, 9, 0), false},
        {"02/29/2024 09:00 AM", "Annually", At(2023, 2, 28, 9, 0), false},
        // Written where the time separator was ".": the same minutes.
        {"12/09/2026 04.08 PM", "None", At(2026, 12, 9, 16, 8), true},
        {"12/09/2026 04.08 PM", "None", At(2026, 12, 9, 16, 9), false},
        {"12/31/2030 07.30 AM", "Daily", At(2026, 3, 1, 7, 30), true},
        {"12/09/2026 04.08 AM", "Hourly", At(2026, 12, 9, 15, 8), true},
        {"12/09/2026 04.08 AM", "Hourly", At(2026, 12, 9, 15, 12), false}, // not the month
        {"12/09/2026 04.08 PM", "Weekly", At(2026, 12, 16, 16, 8), true},
        {"01/31/2025 09.00 AM", "Monthly", At(2025, 2, 28, 9, 0), true},
        // Repeat texts are compared exactly.
        {"12/09/2026 04:08 PM", "none", At(2026, 12, 9, 16, 8), false},
        {"12/09/2026 04:08 PM", "daily", At(2026, 12, 9, 16, 8), false},
        {"12/09/2026 04:08 PM", "Weekly ", At(2026, 12, 9, 16, 8), false},
        {"12/09/2026 04:08 PM", "", At(2026, 12, 9, 16, 8), false},
        // Malformed Alarm texts are never due, and never fail.
        {"", "Daily", At(2026, 12, 9, 0, 0), false},
        {"garbage", "Hourly", At(2026, 12, 9, 0, 0), false},
        {"12/09/2026", "Daily", At(2026, 12, 9, 0, 0), false},
        {"13/09/2026 04:08 PM", "Weekly", At(2026, 12, 9, 16, 8), false},
        {"1/9/2026 04:08 PM", "Weekly", At(2026, 1, 9, 16, 8), false},
    };
    for (const auto& c : cases) {
        const NoteTable table = Notes({{c.alarm, c.kind, "note"}});
        EXPECT_EQ(DueAlarms(table, c.at).size(), c.due ? 1u : 0u)
            << c.kind << " '" << c.alarm << "' at " << FormatAlarm(c.at);
    }
}

TEST(AlarmCheck, ReminderTextsNameTheMomentByKind) {
    const TDateTime at = At(2026, 12, 9, 9, 0);
    const struct {
        const char* alarm;
        const char* kind;
        const char* text;
    } cases[] = {
        {"12/09/2026 09:00 AM", "None", "Quillet<br>Date/Time: 12/09/2026 09:00 AM<hr><br>Call"},
        {"12/09/2026 09:00 AM", "Daily", "Quillet<br>Date/Time: Daily 09:00 AM<hr><br>Call"},
        {"12/09/2026 04:00 AM", "Hourly", "Quillet<br>Date/Time: Hourly 04:00 AM<hr><br>Call"},
        {"12/09/2026 09:00 AM", "Weekly", "Quillet<br>Date/Time: Weekly 09:00 AM<hr><br>Call"},
        {"11/25/2026 09:00 AM", "Bi-Weekly",
         "Quillet<br>Date/Time: Bi-Weekly 09:00 AM<hr><br>Call"},
        {"11/09/2026 09:00 AM", "Monthly", "Quillet<br>Date/Time: Monthly 09:00 AM<hr><br>Call"},
        {"10/09/2026 09:00 AM", "Bi-Monthly",
         "Quillet<br>Date/Time: Bi-Monthly 09:00 AM<hr><br>Call"},
        {"09/09/2026 09:00 AM", "Quarterly",
         "Quillet<br>Date/Time: Quarterly 09:00 AM<hr><br>Call"},
        {"12/09/2016 09:00 AM", "Annually", "Quillet<br>Date/Time: Annually 09:00 AM<hr><br>Call"},
        // A text written with "." comes up in the program's own form.
        {"12/09/2026 09.00 AM", "None", "Quillet<br>Date/Time: 12/09/2026 09:00 AM<hr><br>Call"},
        {"12/09/2026 04.00 AM", "Hourly", "Quillet<br>Date/Time: Hourly 04:00 AM<hr><br>Call"},
    };
    for (const auto& c : cases) {
        const NoteTable table = Notes({{c.alarm, c.kind, "Call"}});
        const auto due = DueAlarms(table, at);
        ASSERT_EQ(due.size(), 1u) << c.kind;
        EXPECT_EQ(Reminder(table, due[0]), c.text);
    }
    // The note goes in as stored: markup takes effect, line breaks stay.
    const NoteTable table = Notes({{"12/09/2026 09:00 AM", "Daily", "<b>Call</b>\r\nhome"}});
    const auto due = DueAlarms(table, at);
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(Reminder(table, due[0]),
              "Quillet<br>Date/Time: Daily 09:00 AM<hr><br><b>Call</b>\r\nhome");
}

TEST(AlarmCheck, AnUnreadableDateSkipsOnlyItsOwnRow) {
    const NoteTable table = Notes({
        {"12/09/2026 09:00 AM", "Daily", "above"},
        {"", "None", ""},
        {"not a date 09:00 AM", "Weekly", "broken"},
        {"12/0", "Monthly", "short"},
        {"12/09/2026 09:00 AM", "None", "below"},
        {"12/02/2026 09:00 AM", "Weekly", "below too"},
    });
    EXPECT_EQ(DueRows(table, At(2026, 12, 9, 9, 0)), (std::vector{1, 5, 6}));
}

TEST(AlarmCheck, TwoNotesInOneMinuteEndOnTheSecond) {
    const NoteTable table = Notes({
        {"12/09/2026 09:00 AM", "Daily", "first"},
        {"12/09/2026 10:00 AM", "Daily", "other minute"},
        {"12/09/2026 09:00 AM", "None", "second"},
    });
    FakeClock clock;
    clock.now = At(2026, 12, 9, 9, 0, 12);
    FakeAlertPopup popup;
    AlertList alerts(popup);
    AlarmCheck check;
    check.Tick(table, clock, alerts);

    ASSERT_EQ(alerts.AlertMessages().Count(), 2);
    EXPECT_EQ(alerts.AlertMessages()[0].DisplayText(),
              "Quillet<br>Date/Time: Daily 09:00 AM<hr><br>first");
    EXPECT_EQ(alerts.PositionText(), "2 of 2");
    EXPECT_EQ(alerts.ShownMessage()->DisplayText(),
              "Quillet<br>Date/Time: 12/09/2026 09:00 AM<hr><br>second");
    EXPECT_EQ(popup.bringUps, 1);
}

TEST(AlarmCheck, EachMinuteIsCheckedOnceAndMissedOnesAreCaughtUp) {
    // One one-time note for each minute from 10:00 to 10:09.
    std::vector<Note> notes;
    for (int minute = 0; minute < 10; ++minute)
        notes.push_back({FormatAlarm(At(2026, 12, 9, 10, minute)), "None", std::to_string(minute)});
    const NoteTable table = Notes(notes);
    FakeClock clock;
    FakeAlertPopup popup;
    AlertList alerts(popup);
    AlarmCheck check;
    auto tickAt = [&](int minute, int second) {
        clock.now = At(2026, 12, 9, 10, minute, second);
        const int before = alerts.AlertMessages().Count();
        check.Tick(table, clock, alerts);
        std::string fired;
        for (int i = before; i < alerts.AlertMessages().Count(); ++i)
            fired += alerts.AlertMessages()[i].DisplayText().back();
        return fired;
    };
    EXPECT_EQ(tickAt(0, 30), "0");
    EXPECT_EQ(tickAt(0, 59), ""); // the same minute again
    EXPECT_EQ(tickAt(1, 0), "1");
    EXPECT_EQ(tickAt(3, 1), "23");   // slid past 10:02
    EXPECT_EQ(tickAt(7, 0), "4567"); // a longer gap, in the order of the minutes
    EXPECT_EQ(tickAt(5, 0), "");     // the clock went back: nothing twice
    EXPECT_EQ(tickAt(7, 30), "");
    EXPECT_EQ(tickAt(8, 0), "8");
    EXPECT_EQ(tickAt(8, 1), ""); // a second check in the same minute, as on resume
}

namespace {

// The moments the reminders of one tick name, in their order.
std::vector<std::string> MomentsAt(AlarmCheck& check, const NoteTable& table, TDateTime now) {
    struct : Clock {
        TDateTime now;
        LocalTime Read() const override { return {now, 60}; }
    } clock;
    clock.now = now;
    std::vector<std::string> moments;
    for (const DueAlarm& due : check.DueThisTick(table, clock)) moments.push_back(due.moment);
    return moments;
}

using Moments = std::vector<std::string>;

} // namespace

// The computer asleep from 09:11 on Wednesday 9 December 2026: the first tick after it checks
// every minute of the sleep, and each note due in it comes once, named as it always is, in the
// order of its latest minute there. A month is caught up at most.
TEST(AlarmCheck, ASleepGivesEachNoteDueInItOnceInTheOrderOfTheirLatestMinute) {
    const NoteTable table = Notes({
        {"12/09/2026 09:30 AM", "None", "in the sleep"},
        {"01/01/2020 09:25 AM", "Daily", "daily"},
        {"01/01/2020 12:20 AM", "Hourly", "hourly"},
        {"12/09/2026 09:05 AM", "None", "before the sleep"},
        {"12/11/2026 08:00 AM", "Weekly", "fridays"},
        {"11/20/2026 10:00 PM", "Monthly", "the 20th"},
        {"12/09/2026 09:11 AM", "None", "the minute it fell asleep"},
        {"01/05/2027 09:00 AM", "None", "in January"},
        {"12/09/2026 09:50 AM", "None", "after waking"},
    });
    const struct {
        const char* sleep;
        TDateTime wake;
        Moments reminded;
    } cases[] = {
        {"25 minutes",
         At(2026, 12, 9, 9, 36, 5),
         {"Hourly 12:20 AM", "Daily 09:25 AM", "12/09/2026 09:30 AM"}},
        {"3 days",
         At(2026, 12, 12, 9, 36, 5),
         {"12/09/2026 09:30 AM", "12/09/2026 09:50 AM", "Weekly 08:00 AM", "Hourly 12:20 AM",
          "Daily 09:25 AM"}},
        {"10 days",
         At(2026, 12, 19, 9, 36, 5),
         {"12/09/2026 09:30 AM", "12/09/2026 09:50 AM", "Weekly 08:00 AM", "Hourly 12:20 AM",
          "Daily 09:25 AM"}},
        // Only the last 31 days: from 09:37 on 18 December.
        {"40 days",
         At(2027, 1, 18, 9, 36, 5),
         {"Monthly 10:00 PM", "01/05/2027 09:00 AM", "Weekly 08:00 AM", "Hourly 12:20 AM",
          "Daily 09:25 AM"}},
        // From 09:31 on 9 December: 09:30 just misses the month.
        {"31 days and 19 minutes",
         At(2027, 1, 9, 9, 30, 5),
         {"12/09/2026 09:50 AM", "Monthly 10:00 PM", "01/05/2027 09:00 AM", "Weekly 08:00 AM",
          "Hourly 12:20 AM", "Daily 09:25 AM"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sleep);
        AlarmCheck check;
        EXPECT_EQ(MomentsAt(check, table, At(2026, 12, 9, 9, 11, 40)),
                  Moments{"12/09/2026 09:11 AM"});
        EXPECT_EQ(MomentsAt(check, table, c.wake), c.reminded);
        EXPECT_EQ(MomentsAt(check, table, c.wake), Moments{}); // resumed in the same minute
        EXPECT_EQ(MomentsAt(check, table, c.wake + 1.0 / MinutesPerDay), Moments{});
    }
}

// A clock set back (by hand, or stepped by a time sync) checks no minute up to the latest one
// checked again, Hourly notes included: they wait for real time to pass the latest real minute
// checked. A clock that was more than two days ahead starts afresh, or its error would silence
// the days in between.
TEST(AlarmCheck, AClockSetBackChecksNoMinuteTwiceUnlessItWasFarAhead) {
    const NoteTable table = Notes({
        {"12/09/2026 10:00 AM", "None", "ten"},
        {"12/09/2026 10:02 AM", "None", "two past"},
        {"01/01/2020 12:01 AM", "Hourly", "hourly"},
    });
    const TDateTime ten = At(2026, 12, 9, 10, 0, 30);
    const struct {
        const char* ahead;
        TDateTime wrong;
        Moments atTen, atTwoPast;
    } cases[] = {
        {"five minutes", ten + 5.0 / MinutesPerDay, {}, {}},
        {"a day", ten + 1, {}, {}},
        {"a year",
         At(2027, 12, 9, 10, 0, 30),
         {"12/09/2026 10:00 AM"},
         {"Hourly 12:01 AM", "12/09/2026 10:02 AM"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ahead);
        AlarmCheck check;
        MomentsAt(check, table, ten - 1.0 / MinutesPerDay);
        MomentsAt(check, table, c.wrong - 1.0 / MinutesPerDay);
        MomentsAt(check, table, c.wrong);                 // the clock ahead ...
        EXPECT_EQ(MomentsAt(check, table, ten), c.atTen); // ... set right
        EXPECT_EQ(MomentsAt(check, table, ten + 2.0 / MinutesPerDay), c.atTwoPast);
    }
}

// A month of ticks that drift later by the hand-over and the handler's run time: every due
// occurrence fires exactly once, in order.
TEST(AlarmCheck, AMonthOfDriftingTicksFiresEveryOccurrenceOnce) {
    const NoteTable table = Notes({
        {"03/15/2025 12:15 AM", "None", "one-time"},
        {"12/31/2030 09:00 AM", "Daily", "daily"},
        {"01/01/2020 04:15 AM", "Hourly", "hourly"},
        {"03/05/2025 06:30 PM", "Weekly", "weekly"},
        {"99/99/2025 06:30 PM", "Weekly", "unreadable"},
        {"02/26/2025 11:59 PM", "Bi-Weekly", "bi-weekly"},
        {"01/31/2025 09:00 AM", "Monthly", "monthly"},
        {"", "", ""},
        {"01/15/2025 12:00 PM", "Bi-Monthly", "bi-monthly"},
        {"12/31/2024 12:00 AM", "Quarterly", "quarterly"},
        {"03/01/2020 12:00 AM", "Annually", "annually"},
        {"03/31/2025 11:59 PM", "None", "last minute"},
        {"02/28/2025 11:59 PM", "None", "before"},
        {"04/01/2025 12:30 AM", "None", "after"},
        {"03/10/2025 09:00 AM", "daily", "unknown kind"},
    });
    const std::map<std::string, int> expected = {
        {"one-time", 1},  {"daily", 31},      {"hourly", 31 * 24}, {"weekly", 4},
        {"bi-weekly", 2}, {"monthly", 1},     {"bi-monthly", 1},   {"quarterly", 1},
        {"annually", 1},  {"last minute", 1},
    };

    FakeClock clock;
    FakeAlertPopup popup;
    AlertList alerts(popup);
    AlarmCheck check;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> handOver(0.0, 3.0), handler(0.0, 0.2);
    const TDateTime start = At(2025, 3, 1, 0, 0, 20), end = At(2025, 4, 1, 0, 0);
    double seconds = 0;
    for (clock.now = start; clock.now < end; clock.now = start + seconds / 86400) {
        check.Tick(table, clock, alerts);
        seconds += 60 + handOver(random) + handler(random);
    }
    check.Tick(table, clock, alerts); // the first tick of April

    std::map<std::string, int> fired;
    std::vector<std::string> texts;
    for (int i = 0; i < alerts.AlertMessages().Count(); ++i) {
        texts.push_back(alerts.AlertMessages()[i].DisplayText());
        ++fired[texts.back().substr(texts.back().rfind('>') + 1)];
    }
    EXPECT_EQ(fired, expected);

    // And in the order of a check of every single minute.
    std::vector<std::string> everyMinute;
    for (long long minute = MinuteOf(start); minute <= MinuteOf(end); ++minute)
        for (const DueAlarm& due : DueAlarms(table, double(minute) / MinutesPerDay))
            everyMinute.push_back(Reminder(table, due));
    EXPECT_EQ(texts, everyMinute);
    EXPECT_EQ(alerts.PositionText(), FormatPosition(int(texts.size()), int(texts.size())));
}

namespace {

// A zone's clock through one year with daylight saving: UTC runs on, the zone's rules give
// the local time and its offset.
struct ZoneClock : Clock {
    ZoneClock(int standard, int summer, TDateTime forward, TDateTime back)
        : standard(standard), summer(summer), forward(forward), back(back) {}
    int standard, summer;    // offsets from UTC in minutes
    TDateTime forward, back; // the two changes, in UTC
    TDateTime utc = 0;

    LocalTime Read() const override {
        const bool summerTime = forward < back ? utc >= forward && utc < back // northern
                                               : utc < back || utc >= forward;
        const int offset = summerTime ? summer : standard;
        return {utc + offset / MinutesPerDay, offset};
    }
};

TDateTime Utc(int y, int m, int d, int hh, int mm) {
    return At(y, m, d, hh, mm);
}

const ZoneClock NewYork{-300, -240, Utc(2026, 3, 8, 7, 0), Utc(2026, 11, 1, 6, 0)};
const ZoneClock Sydney{600, 660, Utc(2026, 10, 3, 16, 0), Utc(2026, 4, 4, 16, 0)};

// A note of every kind that falls on the given local day and time (e.g. "02:30 AM"), each
// with its kind as its text; before and after them, one-time notes for the minutes that open
// and close the stretch the change skips or repeats.
NoteTable NotesOfEveryKindAt(TDateTime day, const std::string& time, const std::string& opens,
                             const std::string& closes) {
    const std::string date = FormatDate(day);
    return Notes({
        {date + " " + opens, "None", "opens"},
        {date + " " + time, "None", "None"},
        {"01/01/2020 " + time, "Daily", "Daily"},
        {"01/01/2020 " + time, "Hourly", "Hourly"},
        {FormatDate(AddWeeks(-1, day)) + " " + time, "Weekly", "Weekly"},
        {FormatDate(AddWeeks(-2, day)) + " " + time, "Bi-Weekly", "Bi-Weekly"},
        {FormatDate(AddMonths(-1, day)) + " " + time, "Monthly", "Monthly"},
        {FormatDate(AddMonths(-2, day)) + " " + time, "Bi-Monthly", "Bi-Monthly"},
        {FormatDate(AddQuarters(-1, day)) + " " + time, "Quarterly", "Quarterly"},
        {FormatDate(AddYears(-1, day)) + " " + time, "Annually", "Annually"},
        {date + " " + closes, "None", "closes"},
    });
}

// Ticks a minute apart (or drifting later, as real ones do) from three hours before the
// change to three hours after it. Gives each note's text and the local time of the tick
// that fired it, in the order they fired.
std::vector<std::string> FiredAcross(ZoneClock clock, TDateTime change, const NoteTable& table,
                                     bool drift) {
    std::mt19937 random(16);
    std::uniform_real_distribution<double> late(0.0, 3.0);
    AlarmCheck check;
    std::vector<std::string> fired;
    for (clock.utc = change - 3.0 / 24 + 20.0 / 86400; clock.utc < change + 3.0 / 24;
         clock.utc += (60 + (drift ? late(random) : 0)) / 86400) {
        for (const DueAlarm& due : check.DueThisTick(table, clock))
            fired.push_back(table.CellText(ColNote, due.row) + " " +
                            FormatTime(clock.Read().moment));
    }
    return fired;
}

std::vector<std::string> Only(const std::vector<std::string>& fired, const std::string& note) {
    std::vector<std::string> times;
    for (const std::string& f : fired)
        if (f.starts_with(note + " ")) times.push_back(f.substr(note.size() + 1));
    return times;
}

} // namespace

// Clocks forward: the skipped local minutes are checked right after the change, in order, so
// every note of the skipped hour comes up once, at the first minute after it. Hourly notes
// keep to the real hours.
TEST(AlarmCheck, ClocksGoingForwardCheckTheSkippedMinutesOnce) {
    const struct {
        const char* zone;
        const ZoneClock& clock;
        TDateTime change, day;
    } changes[] = {{"New York", NewYork, NewYork.forward, EncodeDate(2026, 3, 8)},
                   {"Sydney", Sydney, Sydney.forward, EncodeDate(2026, 10, 4)}};
    for (const auto& c : changes) {
        SCOPED_TRACE(c.zone);
        const NoteTable table = NotesOfEveryKindAt(c.day, "02:30 AM", "02:00 AM", "03:00 AM");
        const auto fired = FiredAcross(c.clock, c.change, table, false);
        // All at the first tick after the change, in the order of their minutes and rows.
        const std::vector<std::string> atThree = {
            "opens 03:00 AM",     "None 03:00 AM",    "Daily 03:00 AM",      "Weekly 03:00 AM",
            "Bi-Weekly 03:00 AM", "Monthly 03:00 AM", "Bi-Monthly 03:00 AM", "Quarterly 03:00 AM",
            "Annually 03:00 AM",  "closes 03:00 AM"};
        const auto first = std::ranges::find(fired, "opens 03:00 AM");
        ASSERT_NE(first, fired.end());
        EXPECT_EQ(std::vector(first, first + std::ssize(atThree)), atThree);
        EXPECT_EQ(Only(fired, "Hourly"),
                  (std::vector<std::string>{"11:30 PM", "12:30 AM", "01:30 AM", "03:30 AM",
                                            "04:30 AM", "05:30 AM"}));
        EXPECT_EQ(fired.size(), atThree.size() + 6);
        // Ticks that drift and slide past a minute now and then change nothing of that.
        const auto drifting = FiredAcross(c.clock, c.change, table, true);
        for (const char* note : {"opens", "None", "Daily", "Weekly", "Annually", "closes"})
            EXPECT_EQ(Only(drifting, note).size(), 1u) << note;
        EXPECT_EQ(Only(drifting, "Hourly").size(), 6u);
    }
}

// Clocks back: the local minutes checked before the change are not checked again, so every
// note of the repeated hour comes up once, the first time round. Hourly notes keep to the
// real hours, the repeated one included.
TEST(AlarmCheck, ClocksGoingBackCheckNoMinuteTwice) {
    const struct {
        const char* zone;
        const ZoneClock& clock;
        TDateTime change, day;
        std::string time, opens, closes;
        std::vector<std::string> hourly;
    } changes[] = {
        {"New York",
         NewYork,
         NewYork.back,
         EncodeDate(2026, 11, 1),
         "01:30 AM",
         "01:00 AM",
         "02:00 AM",
         {"11:30 PM", "12:30 AM", "01:30 AM", "01:30 AM", "02:30 AM", "03:30 AM"}},
        {"Sydney",
         Sydney,
         Sydney.back,
         EncodeDate(2026, 4, 5),
         "02:30 AM",
         "02:00 AM",
         "03:00 AM",
         {"12:30 AM", "01:30 AM", "02:30 AM", "02:30 AM", "03:30 AM", "04:30 AM"}},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.zone);
        const NoteTable table = NotesOfEveryKindAt(c.day, c.time, c.opens, c.closes);
        for (const bool drift : {false, true}) {
            const auto fired = FiredAcross(c.clock, c.change, table, drift);
            EXPECT_EQ(Only(fired, "Hourly").size(), c.hourly.size());
            if (!drift) {
                EXPECT_EQ(Only(fired, "Hourly"), c.hourly);
            }
            for (const char* note : {"opens", "None", "Daily", "Weekly", "Bi-Weekly", "Monthly",
                                     "Bi-Monthly", "Quarterly", "Annually", "closes"}) {
                const auto times = Only(fired, note);
                const std::string once = note == std::string("opens")    ? c.opens
                                         : note == std::string("closes") ? c.closes
                                                                         : c.time;
                if (drift)
                    EXPECT_EQ(times.size(), 1u) << note;
                else
                    EXPECT_EQ(times, std::vector<std::string>{once}) << note;
            }
        }
    }
}

// A sleep across a change of the clocks checks every local minute once: the hour the clocks
// skipped is caught up, the hour they repeated is checked once, whichever side of the change
// it was checked on, and every note comes once.
TEST(AlarmCheck, ASleepAcrossAChangeChecksEveryLocalMinuteOnce) {
    const NoteTable table = Notes({
        {"03/08/2026 02:30 AM", "None", "skipped"},
        {"03/08/2026 04:00 AM", "None", "now"},
        {"11/01/2026 01:30 AM", "None", "repeated"},
        {"11/01/2026 01:33 AM", "None", "repeated too"},
        {"01/01/2020 02:30 AM", "Daily", "daily"},
        {"01/01/2020 12:45 AM", "Hourly", "hourly"},
    });
    ZoneClock clock = NewYork;
    AlarmCheck check;
    auto tickAt = [&](TDateTime utc) {
        clock.utc = utc;
        std::string fired;
        for (const DueAlarm& due : check.DueThisTick(table, clock))
            fired += table.CellText(ColNote, due.row) + ";";
        return fired;
    };
    // Clocks forward, asleep from 01:30 EST to 04:00 EDT (ninety minutes).
    EXPECT_EQ(tickAt(Utc(2026, 3, 8, 6, 30)), "");
    EXPECT_EQ(tickAt(Utc(2026, 3, 8, 8, 0)), "skipped;daily;hourly;now;");
    // Asleep for three days across it, from Saturday 10 PM to Monday 10 AM.
    check = {};
    EXPECT_EQ(tickAt(Utc(2026, 3, 8, 3, 0)), "");
    EXPECT_EQ(tickAt(Utc(2026, 3, 9, 14, 0)), "skipped;now;daily;hourly;");
    // Clocks back. Asleep from 01:20 EDT to 01:40 EST: 01:30 is checked, once. The Hourly note's
    // 01:45 EDT is 00:45 on the clock as it reads now, so it comes first.
    check = {};
    EXPECT_EQ(tickAt(Utc(2026, 11, 1, 5, 20)), "");
    EXPECT_EQ(tickAt(Utc(2026, 11, 1, 6, 40)), "hourly;repeated;repeated too;");
    EXPECT_EQ(tickAt(Utc(2026, 11, 1, 6, 41)), "");
    // Awake until 01:31 EDT, then asleep until 01:40 EST: only 01:32 to 01:40 are new.
    check = {};
    EXPECT_EQ(tickAt(Utc(2026, 11, 1, 5, 30)), "repeated;");
    EXPECT_EQ(tickAt(Utc(2026, 11, 1, 5, 31)), "");
    EXPECT_EQ(tickAt(Utc(2026, 11, 1, 6, 40)), "hourly;repeated too;");
}
