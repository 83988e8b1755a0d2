#pragma once
// UTF-8, the program's own encoding of every text: what it checks, how a text becomes a file
// name, and where a character may not be separated from the one before it.
#include <filesystem>
#include <string>
#include <string_view>

namespace quillet {

// Strictly well-formed UTF-8: no stray or missing continuation bytes, no overlong forms, no
// encoded surrogates (U+D800 to U+DFFF), nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// The text with every byte that is not part of a well-formed sequence replaced by U+FFFD, as
// any reader of UTF-8 shows it; well-formed text comes back as it is.
std::string WellFormedUtf8(std::string text);

// The file-system path a UTF-8 text names, in any script, on every system.
std::filesystem::path PathOf(std::string_view utf8);

// Whether the text begins with a character that belongs to the one before it and is never
// parted from it: a combining mark, a variation selector, a zero-width joiner (and what it
// joins), an emoji skin-tone modifier. A line may not break before such a character.
bool StartsWithExtension(std::string_view text);

} // namespace quillet
