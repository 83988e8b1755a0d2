#include "alerts/NewReminders.h"

namespace quillet {

void NewReminders::EndTick() {
    if (!waiting_ || !desktop_.UserMayBeInterrupted()) return;
    ShowAll();
    // Deleted meanwhile in a popup that was open: nothing new is left to sound for.
    if (alerts_.Visible()) desktop_.PlayReminderSound();
}

void NewReminders::ShowAll() {
    waiting_ = false;
    alerts_.Show();
    alerts_.LastMessage();
}

} // namespace quillet
