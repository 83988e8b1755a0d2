#include "win32/SystemReminderDesktop.h"

#include <mmsystem.h>

namespace quillet::win32 {

bool MayInterruptIn(QUERY_USER_NOTIFICATION_STATE state) {
    return state != QUNS_BUSY && state != QUNS_RUNNING_D3D_FULL_SCREEN &&
           state != QUNS_PRESENTATION_MODE;
}

std::function<HRESULT(QUERY_USER_NOTIFICATION_STATE*)>
    SystemReminderDesktop::QueryNotificationState = SHQueryUserNotificationState;

std::function<BOOL(LPCWSTR, DWORD)> SystemReminderDesktop::PlaySystemSound =
    [](LPCWSTR sound, DWORD flags) { return PlaySoundW(sound, nullptr, flags); };

bool SystemReminderDesktop::UserMayBeInterrupted() const {
    QUERY_USER_NOTIFICATION_STATE state{};
    return FAILED(QueryNotificationState(&state)) || MayInterruptIn(state);
}

void SystemReminderDesktop::PlayReminderSound() {
    // No sound device, or no sound in the scheme: the reminder shows all the same.
    PlaySystemSound(L"Notification.Reminder", SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
}

} // namespace quillet::win32
