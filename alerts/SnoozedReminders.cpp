#include "alerts/SnoozedReminders.h"

namespace quillet {

namespace {

constexpr int Day = 24 * 60;

long long LocalMinute(const LocalTime& now) {
    return MinuteOf(now.moment);
}

long long UtcMinute(const LocalTime& now) {
    return LocalMinute(now) - now.utcOffsetMinutes;
}

} // namespace

void SnoozedReminders::Add(std::string text, int minutes, const LocalTime& now) {
    if (minutes == Day)
        waiting_.push_back({std::move(text), LocalMinute(now) + Day, true});
    else
        waiting_.push_back({std::move(text), UtcMinute(now) + minutes, false});
}

std::vector<std::string> SnoozedReminders::TakeDue(const LocalTime& now) {
    std::vector<std::string> due;
    std::vector<Snoozed> later;
    for (Snoozed& snoozed : waiting_) {
        if ((snoozed.local ? LocalMinute(now) : UtcMinute(now)) >= snoozed.minute)
            due.push_back(std::move(snoozed.text));
        else
            later.push_back(std::move(snoozed));
    }
    waiting_ = std::move(later);
    return due;
}

} // namespace quillet
