#include "win32/FolderWatch.h"

#include "win32/Text.h"

namespace quillet::win32 {

FolderWatch::FolderWatch(const std::string& folder, HWND window, UINT message)
    : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    const HANDLE change = FindFirstChangeNotificationW(
        Wide(folder).c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (change == INVALID_HANDLE_VALUE || !stop_) return;
    change_.reset(change);
    thread_ = std::thread([this, window, message] {
        const HANDLE waits[] = {stop_.get(), change_.get()};
        while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            PostMessageW(window, message, 0, 0);
            if (!FindNextChangeNotification(change_.get())) break;
        }
    });
}

FolderWatch::~FolderWatch() {
    if (!thread_.joinable()) return;
    SetEvent(stop_.get());
    thread_.join();
}

} // namespace quillet::win32
