#pragma once
// Reminders put away with the snooze button, until their time comes. They live as long as the
// run, as every reminder does. A snooze of minutes lasts that long in real time, whatever the
// clocks do meanwhile; one until tomorrow comes at the same time of day on the local clock. One
// whose time passed while the program could not look (the computer slept) comes at the first
// tick after.
#include "base/Clock.h"

#include <string>
#include <vector>

namespace quillet {

class SnoozedReminders {
public:
    // Puts the reminder `text` away for `minutes` from `now` (a day: until tomorrow at the
    // time of now).
    void Add(std::string text, int minutes, const LocalTime& now);

    // Hands every reminder whose time has come by `now` to reminders, as the alarm check hands
    // its own (Add().SetText(), Show(), LastMessage()), in the order they were put away.
    template <typename Reminders> void Tick(const LocalTime& now, Reminders& reminders) {
        for (std::string& text : TakeDue(now)) {
            reminders.AlertMessages().Add().SetText(text);
            reminders.Show();
            reminders.LastMessage();
        }
    }

    int Count() const { return int(waiting_.size()); }

private:
    struct Snoozed {
        std::string text;
        long long minute; // when it comes
        bool local;       // on the local clock's minutes, else on real (UTC) minutes
    };

    std::vector<std::string> TakeDue(const LocalTime& now);

    std::vector<Snoozed> waiting_;
};

} // namespace quillet
