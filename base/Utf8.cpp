#include "base/Utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace quillet {

namespace {

// The lead byte's sequence length and the range its first continuation byte must lie in:
// the rest of the rules (no overlong forms, no surrogates, nothing above U+10FFFF) are all in
// that second byte.
struct Lead {
    int length;
    unsigned char low, high;
};

Lead LeadOf(unsigned char c) {
    if (c >= 0xC2 && c <= 0xDF) return {2, 0x80, 0xBF};
    if (c == 0xE0) return {3, 0xA0, 0xBF};
    if (c == 0xED) return {3, 0x80, 0x9F};
    if (c >= 0xE1 && c <= 0xEF) return {3, 0x80, 0xBF};
    if (c == 0xF0) return {4, 0x90, 0xBF};
    if (c >= 0xF1 && c <= 0xF3) return {4, 0x80, 0xBF};
    if (c == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0}; // a continuation byte, C0, C1 or F5 and above
}

// The length of the well-formed sequence at the start of text; 0 for an ill-formed one.
std::size_t SequenceAt(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    if (*p < 0x80) return 1;
    const Lead lead = LeadOf(*p);
    if (lead.length == 0 || text.size() < std::size_t(lead.length)) return 0;
    if (p[1] < lead.low || p[1] > lead.high) return 0;
    for (int i = 2; i < lead.length; ++i)
        if ((p[i] & 0xC0) != 0x80) return 0;
    return std::size_t(lead.length);
}

// The first character of the text; its first byte where that starts no well-formed one, 0
// for an empty text.
char32_t FirstCodePoint(std::string_view text) {
    if (text.empty()) return 0;
    const auto byte = [&](std::size_t i) { return char32_t(static_cast<unsigned char>(text[i])); };
    const std::size_t length = SequenceAt(text);
    if (length <= 1) return byte(0);
    char32_t point = byte(0) & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) point = (point << 6) | (byte(i) & 0x3F);
    return point;
}

} // namespace

bool IsValidUtf8(std::string_view text) {
    while (!text.empty()) {
        // Runs of ASCII, most of every text, eight bytes at a time without the lead table.
        if (std::uint64_t eight; text.size() >= 8) {
            std::memcpy(&eight, text.data(), 8);
            if ((eight & 0x8080808080808080u) == 0) {
                text.remove_prefix(8);
                continue;
            }
        }
        if (static_cast<unsigned char>(text.front()) < 0x80) {
            text.remove_prefix(1);
            continue;
        }
        const std::size_t length = SequenceAt(text);
        if (length == 0) return false;
        text.remove_prefix(length);
    }
    return true;
}

std::string WellFormedUtf8(std::string text) {
    if (IsValidUtf8(text)) return text;
    std::string out;
    out.reserve(text.size() + 16);
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t length = SequenceAt(rest);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            rest.remove_prefix(1);
        } else {
            out.append(rest.substr(0, length));
            rest.remove_prefix(length);
        }
    }
    return out;
}

std::filesystem::path PathOf(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool StartsWithExtension(std::string_view text) {
    // Every extension is U+0300 or above, whose UTF-8 starts with 0xCC or more: the common case
    // is decided by one byte.
    if (text.empty() || static_cast<unsigned char>(text[0]) < 0xCC) return false;
    const char32_t c = FirstCodePoint(text);
    constexpr std::pair<char32_t, char32_t> extensions[] = {
        {0x0300, 0x036F},   // combining diacritical marks
        {0x1AB0, 0x1AFF},   // ... extended
        {0x1DC0, 0x1DFF},   // ... supplement
        {0x200C, 0x200D},   // zero-width non-joiner and joiner
        {0x20D0, 0x20FF},   // combining marks for symbols (the keycap's enclosing square)
        {0xFE00, 0xFE0F},   // variation selectors (text or emoji presentation)
        {0xFE20, 0xFE2F},   // combining half marks
        {0x1F3FB, 0x1F3FF}, // emoji skin-tone modifiers
        {0xE0020, 0xE007F}, // tag characters (subdivision flags)
        {0xE0100, 0xE01EF}, // variation selectors supplement
    };
    return std::any_of(std::begin(extensions), std::end(extensions),
                       [c](const auto& range) { return c >= range.first && c <= range.second; });
}

} // namespace quillet
