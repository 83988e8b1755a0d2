#pragma once
// The Windows desktop as a new reminder needs it: the shell says whether the user may be
// interrupted (SHQueryUserNotificationState), and the user's sound scheme plays the sound for
// calendar reminders.
#include "alerts/ReminderDesktop.h"

#include <windows.h>

#include <shellapi.h>

#include <functional>

namespace quillet::win32 {

// Whether a popup may come up in the shell's state: not during a presentation, a full-screen
// program or a full-screen game. A screen saver or a locked machine lets it come up, so that
// it waits there for the user's return.
bool MayInterruptIn(QUERY_USER_NOTIFICATION_STATE state);

class SystemReminderDesktop final : public ReminderDesktop {
public:
    // A failed question counts as "may": a reminder is never lost to it.
    bool UserMayBeInterrupted() const override;
    // The system alias of calendar reminders, asynchronous, and nothing when the user's scheme
    // has no sound for it (no fall-back to the default beep).
    void PlayReminderSound() override;

    // Where the calls go: SHQueryUserNotificationState and PlaySoundW. Tests replace them.
    static std::function<HRESULT(QUERY_USER_NOTIFICATION_STATE*)> QueryNotificationState;
    static std::function<BOOL(LPCWSTR sound, DWORD flags)> PlaySystemSound;
};

} // namespace quillet::win32
