#pragma once
// The local date and time of this computer, as the alarm check and the note editor read it.
#include "base/Clock.h"

namespace quillet::win32 {

class LocalClock final : public Clock {
public:
    LocalTime Read() const override;
};

} // namespace quillet::win32
