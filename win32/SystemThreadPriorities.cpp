#include "win32/SystemThreadPriorities.h"

#include <pthread.h>
#include <windows.h>

#include <algorithm>
#include <iterator>
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

// By TThreadPriority.
constexpr int SystemPriorities[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
                                    THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                                    THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                    THREAD_PRIORITY_TIME_CRITICAL};
static_assert(std::size(SystemPriorities) == tpTimeCritical + 1);

} // namespace

int SystemPriority(TThreadPriority priority) {
    return SystemPriorities[priority];
}

TThreadPriority CorePriority(int system) {
    const auto it = std::ranges::find(SystemPriorities, system);
    return it == std::end(SystemPriorities) ? tpNormal
                                            : TThreadPriority(it - std::begin(SystemPriorities));
}

void SystemThreadPriorities::Set(std::thread& thread, TThreadPriority priority) {
    if (!SetThreadPriority(SystemHandle(thread), SystemPriority(priority)))
        ThrowLastError("SetThreadPriority");
}

TThreadPriority SystemThreadPriorities::Get(std::thread& thread) {
    const int priority = GetThreadPriority(SystemHandle(thread));
    if (priority == THREAD_PRIORITY_ERROR_RETURN) ThrowLastError("GetThreadPriority");
    return CorePriority(priority);
}

} // namespace quillet::win32
