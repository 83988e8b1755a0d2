#include "notes/RepeatKind.h"

#include <algorithm>
#include <cctype>

namespace quillet {

std::optional<RepeatKind> RepeatKindOf(std::string_view text, LetterCase letterCase) {
    const auto named = [&](std::string_view kind) {
        if (letterCase == LetterCase::Exact) return kind == text;
        return std::ranges::equal(kind, text, [](char a, char b) {
            return std::tolower((unsigned char)a) == std::tolower((unsigned char)b);
        });
    };
    const auto it = std::ranges::find_if(RepeatKinds, named);
    if (it == RepeatKinds.end()) return std::nullopt;
    return RepeatKind(it - RepeatKinds.begin());
}

} // namespace quillet
