#pragma once
// Small pure text functions that take alarm texts apart. Positions count from 1; a count or
// position out of range gives an empty text (or 0), never an error.
#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

// The value held within [lower, upper]; lower is tested first, so for lower > upper a value
// below lower gives lower and any other value gives upper.
std::int32_t Clamp(std::int32_t value, std::int32_t lower, std::int32_t upper);

// The first n characters; empty when n < 1 or n is longer than the text.
std::string Left(std::string_view text, std::int32_t n);
// The last n characters; empty when n < 1 or n is longer than the text.
std::string Right(std::string_view text, std::int32_t n);
// count characters from start (start clamped into the text); empty when they would run past
// the end or count < 0.
std::string Mid(std::string_view text, std::int32_t start, std::int32_t count);

// Whether pattern stands in text at position; end is then the position just past it.
bool MatchAt(std::string_view text, std::string_view pattern, std::int32_t position,
             std::int32_t textLength, std::int32_t patternLength, std::int32_t& end);
// Position of the n-th non-overlapping occurrence of pattern, or 0 (also for an empty pattern).
std::int32_t PosN(std::string_view text, std::string_view pattern, std::int32_t n);
// The n-th field between separators; empty when n < 1 or the text is empty.
std::string FieldN(std::string_view text, std::string_view separator, std::int32_t n);

} // namespace quillet
