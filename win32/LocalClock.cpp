#include "win32/LocalClock.h"

#include <windows.h>

namespace quillet::win32 {

TDateTime LocalClock::Now() const {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return ComposeDateTime(EncodeDate(now.wYear, now.wMonth, now.wDay),
                           EncodeTime(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds));
}

} // namespace quillet::win32
