#pragma once
// Moving a moment by weeks, months, quarters or years, keeping its time of day, and the
// chain of occurrence days of a repeating note.
#include "base/DateTime.h"
#include "notes/RepeatKind.h"

#include <optional>

namespace quillet {

// count x 7 days.
TDateTime AddWeeks(long double count, TDateTime moment);
// Whole calendar months with the day clamped to the target month, plus 30 days per unit of
// the fractional part of count.
TDateTime AddMonths(long double count, TDateTime moment);
// AddMonths of 3 x count.
TDateTime AddQuarters(long double count, TDateTime moment);
// Whole years (29 February becomes the 28th in a common year), plus 365.25 days per unit of
// the fractional part of count.
TDateTime AddYears(long double count, TDateTime moment);

// The step from one occurrence of a repeating note to the next.
enum class DateStep { Week, TwoWeeks, Month, TwoMonths, Quarter, Year };

// The step of the kinds that repeat by date (Weekly, Bi-Weekly, Monthly, Bi-Monthly, Quarterly,
// Annually); none for the others.
std::optional<DateStep> DateStepOf(RepeatKind kind);

TDateTime StepDate(DateStep step, TDateTime date);

// The first day of the chain start, step(start), step(step(start)), ... that is on or after
// day. Each step starts from the previous result, so a clamped day stays clamped. start and day
// are whole days. The result is the one of the step-by-step walk, found without walking decades
// of steps.
TDateTime FirstOccurrenceOnOrAfter(DateStep step, TDateTime start, TDateTime day);

} // namespace quillet
