#include "base/Utf8.h"

#include <gtest/gtest.h>

using namespace quillet;

TEST(Utf8, OnlyStrictlyWellFormedTextIsValid) {
    const std::pair<std::string, bool> cases[] = {
        {"", true},
        {"plain", true},
        {"Caf\xC3\xA9", true},
        {"\xE2\x82\xAC", true},     // €
        {"\xF0\x9F\x98\x80", true}, // 😀
        {"\xF4\x8F\xBF\xBF", true}, // U+10FFFF
        {"\xED\x9F\xBF", true},     // U+D7FF, just below the surrogates
        {"\xEE\x80\x80", true},     // U+E000, just above them
        {"Caf\xE9", false},         // Windows-1252
        {"\x80", false},            // a continuation byte alone
        {"\xC3", false},            // cut short
        {"\xE2\x82", false},
        {"\xC0\xAF", false}, // overlong "/"
        {"\xC1\xBF", false},
        {"\xE0\x9F\xBF", false},     // overlong three-byte form
        {"\xF0\x8F\xBF\xBF", false}, // overlong four-byte form
        {"\xED\xA0\x80", false},     // U+D800
        {"\xED\xBF\xBF", false},     // U+DFFF
        {"\xF4\x90\x80\x80", false}, // U+110000
        {"\xF5\x80\x80\x80", false},
        {"\xFF", false},
        {"\xC3\xA9\xC3", false},
        {"a\xC3(b", false}, // a lead without its continuation
    };
    for (const auto& [text, valid] : cases) EXPECT_EQ(IsValidUtf8(text), valid) << text;
}

TEST(Utf8, MarksSelectorsJoinersAndModifiersBelongToTheCharacterBefore) {
    const std::pair<std::string, bool> cases[] = {
        {"\xCC\x81", true},                     // U+0301 combining acute accent
        {"\xEF\xB8\x8F", true},                 // U+FE0F emoji presentation
        {"\xE2\x80\x8D\xF0\x9F\x92\xBB", true}, // zero-width joiner, then 💻
        {"\xF0\x9F\x8F\xBD", true},             // U+1F3FD skin tone
        {"\xE2\x83\xA3", true},                 // U+20E3 keycap
        {"\xF3\xA0\x81\xA7", true},             // U+E0067 tag
        {"e\xCC\x81", false},
        {"\xF0\x9F\x91\x8D", false}, // 👍 itself
        {"\xE6\x97\xA5", false},     // 日
        {"", false},
        {"\xCC", false},     // cut short: not a mark
        {"\xCC\x41", false}, // nor with a stray byte after it
    };
    for (const auto& [text, extends] : cases) EXPECT_EQ(StartsWithExtension(text), extends) << text;
}

TEST(Utf8, PathsNameFilesInAnyScript) {
    EXPECT_EQ(PathOf("\xD0\x97\xD0\xB0\xD0\xBC\xD0\xB5\xD1\x82\xD0\xBA\xD0\xB8").u8string(),
              u8"Заметки");
    EXPECT_EQ(PathOf("notes.txt").u8string(), u8"notes.txt");
}

TEST(Utf8, EachByteOfAnIllFormedSequenceShowsAsAReplacementCharacter) {
    EXPECT_EQ(WellFormedUtf8("Caf\xC3\xA9 \xE2\x82\xAC"), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(WellFormedUtf8("a\xE9"
                             "b\xC3"),
              "a\uFFFD"
              "b\uFFFD");
    EXPECT_EQ(WellFormedUtf8("\xED\xA0\x80!"), "\uFFFD\uFFFD\uFFFD!");
    EXPECT_TRUE(IsValidUtf8(WellFormedUtf8("\xF4\x90\x80\x80\xC0\xAF")));
}
