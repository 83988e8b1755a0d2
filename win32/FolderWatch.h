#pragma once
// Tells a window when something in a folder changes: a file written, created, renamed or
// removed. A thread of its own waits for the system's change notification and posts the
// window a message, so watching costs nothing while nothing changes.
#include "win32/Handles.h"

#include <string>
#include <thread>

namespace quillet::win32 {

class FolderWatch {
public:
    // Watches nothing when the system cannot watch the folder (a network drive may refuse).
    FolderWatch(const std::string& folder, HWND window, UINT message);
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    bool Watching() const { return thread_.joinable(); }

private:
    using ChangeNotification = UniqueHandle<HANDLE, FindCloseChangeNotification>;
    ChangeNotification change_;
    KernelHandle stop_;
    std::thread thread_;
};

} // namespace quillet::win32
