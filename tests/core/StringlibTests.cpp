#include "base/stringlib.h"

#include <gtest/gtest.h>

#include <climits>

using namespace quillet;

TEST(Stringlib, Clamp) {
    EXPECT_EQ(Clamp(5, 1, 10), 5);
    EXPECT_EQ(Clamp(0, 1, 10), 1);
    EXPECT_EQ(Clamp(11, 1, 10), 10);
    EXPECT_EQ(Clamp(0, 1, 0), 1); // lower is tested first
    EXPECT_EQ(Clamp(5, 1, 0), 0);
}

TEST(Stringlib, LeftRightMid) {
    const struct {
        std::string got, want;
    } cases[] = {
        {Left("abc", 3), "abc"},
        {Left("abc", 4), ""},
        {Left("abc", 0), ""},
        {Left("abc", -1), ""},
        {Left("", 1), ""},
        {Right("abc", 2), "bc"},
        {Right("abc", 4), ""},
        {Right("", 0), ""},
        {Right("abc", -2), ""},
        {Mid("abcdef", 2, 3), "bcd"},
        {Mid("abcdef", 0, 2), "ab"},
        {Mid("abcdef", 9, 1), "f"},
        {Mid("abcdef", 5, 3), ""},
        {Mid("abcdef", 2, 0), ""},
        {Mid("abcdef", 2, -1), ""},
        {Mid("", 1, 1), ""},
        {Mid("", 0, 0), ""},
        {Mid("abcdef", 6, 1), "f"},
        {Mid("abcdef", 1, INT_MAX), ""},
        {Mid("abcdef", INT_MIN, 1), "a"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].got, cases[i].want) << "case " << i;
}

TEST(Stringlib, PosNFindsNonOverlappingOccurrences) {
    const struct {
        const char *text, *pattern;
        int n, want;
    } cases[] = {
        {"a b c", " ", 2, 4}, {"a b c", " ", 3, 0}, {"a b c", " ", 0, 0},  {"a b c", " ", -1, 0},
        {"ab", "bc", 1, 0},   {"ab", "b", 1, 2},    {"aaaa", "aa", 2, 3},  {"aaa", "aa", 2, 0},
        {"", "a", 1, 0},      {"abc", "", 1, 0},    {"abc", "abcd", 1, 0}, {"abc", "abc", 1, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PosN(c.text, c.pattern, c.n), c.want)
            << "PosN('" << c.text << "', '" << c.pattern << "', " << c.n << ")";
    int end = 0;
    EXPECT_TRUE(MatchAt("xaby", "ab", 2, 4, 2, end));
    EXPECT_EQ(end, 4);
}

TEST(Stringlib, FieldN) {
    const struct {
        const char *text, *separator;
        int n;
        const char* want;
    } cases[] = {
        {"12/09/2026 04:08 AM", " ", 1, "12/09/2026"},
        {"12/09/2026 04:08 AM", " ", 2, "04:08"},
        {"12/09/2026 04:08 AM", " ", 3, "AM"},
        {"a  b", " ", 2, ""},
        {"a b ", " ", 3, ""},
        {"a b", " ", 2, "b"},
        {"a, b, c", ", ", 2, "b"},
        {"", " ", 1, ""},
        {"abc", " ", 1, "abc"},
        {"abc", " ", 0, ""},
        {"abc", "", 1, "abc"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FieldN(c.text, c.separator, c.n), c.want)
            << "FieldN('" << c.text << "', '" << c.separator << "', " << c.n << ")";
}

TEST(Stringlib, TakesAnAlarmTextApart) {
    const std::string a = "12/09/2026 04:08 AM";
    EXPECT_EQ(Left(a, 10), "12/09/2026");
    EXPECT_EQ(Right(a, PosN(a, "M", 1) - PosN(a, " ", 1)), "04:08 AM");
    EXPECT_EQ(Mid(a, PosN(a, ":", 1) + 1, 2), "08");
    // Without "M" the count is negative, so the time text is empty; without ":" the minute
    // text is the first two characters.
    const std::string noMarker = "03/05/2009 17:05";
    EXPECT_EQ(Right(noMarker, PosN(noMarker, "M", 1) - PosN(noMarker, " ", 1)), "");
    EXPECT_EQ(Mid("03/05/2009", PosN("03/05/2009", ":", 1) + 1, 2), "03");
}
