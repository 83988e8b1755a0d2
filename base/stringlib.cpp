#include "base/stringlib.h"

namespace quillet {

namespace {

std::int32_t Length(std::string_view text) {
    return static_cast<std::int32_t>(text.size());
}

} // namespace

std::int32_t Clamp(std::int32_t value, std::int32_t lower, std::int32_t upper) {
    if (value < lower) return lower;
    if (value > upper) return upper;
    return value;
}

std::string Left(std::string_view text, std::int32_t n) {
    if (n < 1 || n > Length(text)) return {};
    return std::string(text.substr(0, std::size_t(n)));
}

std::string Right(std::string_view text, std::int32_t n) {
    if (n < 1 || n > Length(text)) return {};
    return std::string(text.substr(text.size() - std::size_t(n)));
}

std::string Mid(std::string_view text, std::int32_t start, std::int32_t count) {
    const std::int32_t length = Length(text);
    start = Clamp(start, 1, length);
    // 64-bit sum: start + count must not wrap for a huge count.
    if (std::int64_t(length) < std::int64_t(start) + count - 1 || start < 1 || count < 0) return {};
    return std::string(text.substr(std::size_t(start - 1), std::size_t(count)));
}

bool MatchAt(std::string_view text, std::string_view pattern, std::int32_t position,
             std::int32_t textLength, std::int32_t patternLength, std::int32_t& end) {
    end = position;
    std::int32_t i = 1;
    while (end <= textLength && i <= patternLength && end >= 1 &&
           text[std::size_t(end - 1)] == pattern[std::size_t(i - 1)]) {
        ++end;
        ++i;
    }
    return i == patternLength + 1;
}

std::int32_t PosN(std::string_view text, std::string_view pattern, std::int32_t n) {
    if (pattern.empty() || n < 1) return 0;
    const std::int32_t textLength = Length(text), patternLength = Length(pattern);
    std::int32_t pos = 1, end = 0;
    while (pos <= textLength) {
        if (MatchAt(text, pattern, pos, textLength, patternLength, end)) {
            if (--n == 0) return pos;
            pos = end;
        } else {
            ++pos;
        }
    }
    return 0;
}

std::string FieldN(std::string_view text, std::string_view separator, std::int32_t n) {
    if (n < 1 || text.empty()) return {};
    const std::int32_t start = n == 1 ? 1 : PosN(text, separator, n - 1) + Length(separator);
    if (start > Length(text)) return {};
    std::int32_t stop = PosN(text, separator, n);
    if (stop == 0) stop = Length(text) + 1;
    return Mid(text, start, stop - start);
}

} // namespace quillet
