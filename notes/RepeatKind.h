#pragma once
// How a note repeats: the RepeatKind, stored in the Repeat column as one of nine texts.
#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace quillet {

// In the order of the editor's list: a kind's value is its place there.
enum class RepeatKind {
    None,
    Hourly,
    Daily,
    Weekly,
    BiWeekly,
    Monthly,
    BiMonthly,
    Quarterly,
    Annually,
};

// The Repeat texts, in the order of the kinds.
inline constexpr std::array<std::string_view, 9> RepeatKinds = {
    "None",    "Hourly",     "Daily",     "Weekly",  "Bi-Weekly",
    "Monthly", "Bi-Monthly", "Quarterly", "Annually"};

constexpr std::string_view NameOf(RepeatKind kind) {
    return RepeatKinds[std::size_t(kind)];
}

enum class LetterCase { Exact, Ignored };

// The kind a Repeat text names; none for any other text. The alarm check and the row colour
// take the exact text only; the editor finds its list item whatever the letters' case.
std::optional<RepeatKind> RepeatKindOf(std::string_view text,
                                       LetterCase letterCase = LetterCase::Exact);

} // namespace quillet
