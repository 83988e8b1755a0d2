#pragma once
// The local clock, behind an interface so that the alarm check can be driven through any
// day and minute, and across daylight-saving changes, in tests.
#include "base/DateTime.h"

namespace quillet {

// One reading of the clock: the local date and time and its offset from UTC, from the same
// instant, so that the two agree at a daylight-saving change too.
struct LocalTime {
    TDateTime moment;
    int utcOffsetMinutes; // local time minus UTC: 60 in Paris in winter, -240 in New York in summer
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Read() const = 0;
    // The current local date and time.
    TDateTime Now() const { return Read().moment; }
};

} // namespace quillet
