#include "win32/LocalClock.h"

#include <windows.h>

namespace quillet::win32 {

namespace {

long long Ticks(const SYSTEMTIME& time) { // 100-nanosecond units
    FILETIME file;
    SystemTimeToFileTime(&time, &file);
    return (static_cast<long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
}

} // namespace

LocalTime LocalClock::Read() const {
    // One reading of the system time, turned into local time by the zone's rules for that very
    // instant. Reading the local time and the zone's bias separately could straddle a
    // daylight-saving change and pair the time before it with the offset after it.
    SYSTEMTIME utc, local;
    GetSystemTime(&utc);
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc; // no zone at all
    constexpr long long TicksPerMinute = 60LL * 10'000'000;
    return {
        ComposeDateTime(EncodeDate(local.wYear, local.wMonth, local.wDay),
                        EncodeTime(local.wHour, local.wMinute, local.wSecond, local.wMilliseconds)),
        int((Ticks(local) - Ticks(utc)) / TicksPerMinute)};
}

} // namespace quillet::win32
