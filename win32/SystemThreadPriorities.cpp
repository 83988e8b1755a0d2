#include "win32/SystemThreadPriorities.h"

#include <pthread.h>
#include <windows.h>

#include <system_error>

namespace quillet::win32 {

namespace {

// The standard library's threads are POSIX threads here; each has a system thread below it.
HANDLE SystemHandle(std::thread& thread) {
    return pthread_gethandle(thread.native_handle());
}

[[noreturn]] void ThrowLastError(const char* what) {
    throw std::system_error(int(GetLastError()), std::system_category(), what);
}

} // namespace

void SystemThreadPriorities::Set(std::thread& thread, int priority) {
    if (!SetThreadPriority(SystemHandle(thread), priority)) ThrowLastError("SetThreadPriority");
}

int SystemThreadPriorities::Get(std::thread& thread) {
    const int priority = GetThreadPriority(SystemHandle(thread));
    if (priority == THREAD_PRIORITY_ERROR_RETURN) ThrowLastError("GetThreadPriority");
    return priority;
}

} // namespace quillet::win32
