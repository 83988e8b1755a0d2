#pragma once
// The local clock, behind an interface so that the alarm check can be driven through any
// day and minute in tests.
#include "base/DateTime.h"

namespace quillet {

class Clock {
public:
    virtual ~Clock() = default;
    // The current local date and time.
    virtual TDateTime Now() const = 0;
};

} // namespace quillet
