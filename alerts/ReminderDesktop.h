#pragma once
// What a new reminder asks of the desktop before it shows: whether the user may be
// interrupted now, and the sound that goes with it. The Windows shell implements it; tests
// hand in a fake.
namespace quillet {

class ReminderDesktop {
public:
    virtual ~ReminderDesktop() = default;

    // False while the user gives a presentation or works in a full-screen program or game:
    // a popup then would burst in on the audience or the work.
    virtual bool UserMayBeInterrupted() const = 0;
    // The user's own sound for reminders, played without waiting for it to end; nothing when
    // the user chose no sound.
    virtual void PlayReminderSound() = 0;
};

} // namespace quillet
