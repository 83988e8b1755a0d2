#include "win32/SystemReminderDesktop.h"

#include "win32/Library.h"

#include <mmsystem.h>

namespace quillet::win32 {

bool MayInterruptIn(QUERY_USER_NOTIFICATION_STATE state) {
    return state != QUNS_BUSY && state != QUNS_RUNNING_D3D_FULL_SCREEN &&
           state != QUNS_PRESENTATION_MODE;
}

std::function<HRESULT(QUERY_USER_NOTIFICATION_STATE*)>
    SystemReminderDesktop::QueryNotificationState = SHQueryUserNotificationState;

std::function<BOOL(LPCWSTR, DWORD)> SystemReminderDesktop::PlaySystemSound = [](LPCWSTR sound,
                                                                                DWORD flags) {
    // Loaded at the first sound, not at start: the multimedia library sets up the sound
    // system as it loads, which a program that may never sound need not wait for. Kept
    // until the process ends, as an asynchronous sound may still be playing.
    static const Library& winmm = *new Library(L"winmm.dll");
    static const auto playSound = winmm.Function<decltype(&PlaySoundW)>("PlaySoundW");
    return playSound && playSound(sound, nullptr, flags);
};

bool SystemReminderDesktop::UserMayBeInterrupted() const {
    QUERY_USER_NOTIFICATION_STATE state{};
    return FAILED(QueryNotificationState(&state)) || MayInterruptIn(state);
}

void SystemReminderDesktop::PlayReminderSound() {
    // No sound device, or no sound in the scheme: the reminder shows all the same.
    PlaySystemSound(L"Notification.Reminder", SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
}

} // namespace quillet::win32
