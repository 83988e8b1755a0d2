#include "base/DateFormat.h"
#include "base/DateTime.h"
#include "base/Errors.h"
#include "notes/AlarmText.h"
#include "notes/RepeatKind.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(AlarmText, WrittenWithADotBetweenHourAndMinuteReadsWithAColon) {
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

TEST(AlarmText, ReadsBackAsItsMinute) {
    const TDateTime t = EncodeDate(2026, 12, 31) + EncodeTime(23, 0);
    EXPECT_EQ(StrToDateTime(FormatAlarm(t)), t);
    EXPECT_EQ(StrToDateTime("12/31/2026"), EncodeDate(2026, 12, 31));
    EXPECT_THROW(StrToDateTime("12/31/2026 25:00"), EConvertError);
    EXPECT_THROW(StrToDateTime("Call home"), EConvertError);
}

TEST(RepeatKind, EveryKindIsNamedByItsOwnText) {
    for (std::size_t i = 0; i < RepeatKinds.size(); ++i) {
        const auto kind = RepeatKind(i);
        EXPECT_EQ(RepeatKindOf(NameOf(kind)), kind) << NameOf(kind);
    }
    EXPECT_EQ(NameOf(RepeatKind::BiMonthly), "Bi-Monthly");
    EXPECT_EQ(RepeatKindOf("bi-monthly", LetterCase::Ignored), RepeatKind::BiMonthly);
    EXPECT_EQ(RepeatKindOf("bi-monthly"), std::nullopt);
}
