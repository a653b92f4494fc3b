#include "framework/TextHelpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

using namespace VelkUtility;

namespace {

struct WideCase {
    std::string narrow;
    std::wstring wide;
};

} // namespace

TEST(ToWide, WidensEveryByteToTheCodeUnitOfTheSameValueUpToTheFirstNul) {
    const WideCase cases[] = {
        {"", L""},
        {"abc", L"abc"},
        {std::string("abc\0def", 7), L"abc"},
        {std::string("\0abc", 4), L""},
        {"\xE0", L"\u00E0"},
        {"\x80", L"\u0080"},
        {"\x9F", L"\u009F"},
        {"\xFF", L"\u00FF"},
        {"ci\xF2 pu\xF2", L"ci\u00F2 pu\u00F2"},
    };
    for (const WideCase& c : cases) {
        const std::wstring result = ToWide(c.narrow);
        EXPECT_EQ(result, c.wide) << "input of " << c.narrow.size() << " bytes";
    }
}

TEST(ToWide, GivesOneUnitPerByteWithoutDecodingMultiByteSequences) {
    // UTF-8 for U+00E8 is C3 A8: it must stay two separate Latin-1 characters.
    const std::wstring result = ToWide("\xC3\xA8");
    ASSERT_EQ(result.size(), 2u);
    EXPECT_EQ(result[0], L'\u00C3');
    EXPECT_EQ(result[1], L'\u00A8');
}

TEST(ToNarrow, IsTheInverseOfToWideForEveryByteValue) {
    std::string allBytes;
    for (int b = 1; b <= 0xFF; ++b) {
        allBytes.push_back(static_cast<char>(b));
    }
    const std::wstring wide = ToWide(allBytes);
    ASSERT_EQ(wide.size(), allBytes.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        EXPECT_EQ(static_cast<unsigned int>(wide[i]), i + 1);
    }
    EXPECT_EQ(ToNarrow(wide), allBytes);
}

TEST(ToNarrow, KeepsTheLowByteOfEveryUnitAndKeepsEmbeddedNuls) {
    const std::string fromHighUnit = ToNarrow(std::wstring(1, L'\u0100'));
    EXPECT_EQ(fromHighUnit, std::string(1, '\0'));

    EXPECT_EQ(ToNarrow(L"\u20AC"), "\xAC");
    EXPECT_EQ(ToNarrow(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(ToNarrow(L""), "");
}

namespace {

struct ReplaceCase {
    const char* text;
    const char* search;
    const char* replacement;
    const char* expected;
};

} // namespace

TEST(ReplaceAll, ReplacesEveryOccurrenceSearchingAgainFromTheStart) {
    const ReplaceCase cases[] = {
        {"no match here", "xyz", "q", "no match here"},
        {"xaax", "a", "b", "xbbx"},
        {"", "a", "b", ""},
        {"aaaa", "aa", "a", "a"},
        // Occurrences formed by a replacement with its neighbours go too.
        {"aabb", "ab", "", ""},
        {"http://www.example.com", "http://www.", "info@", "info@example.com"},
        {"abcabc", "abc", "xyz", "xyzxyz"},
        // Same length: a rewrite that needs many passes still gets to its end.
        {"bbbaaa", "ba", "ab", "aaabbb"},
        // Longer replacement whose occurrences are only the original ones.
        {"a-b-c", "-", "--+", "a--+b--+c"},
    };
    for (const ReplaceCase& c : cases) {
        EXPECT_EQ(ReplaceAll(c.text, c.search, c.replacement), c.expected)
            << c.text << " / " << c.search << " / " << c.replacement;
    }
}

TEST(ReplaceAll, EmptySearchTextReturnsTheTextUnchanged) {
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("", "", ""), "");
}

TEST(ReplaceAll, ReplacementHoldingTheSearchTextReplacesEachOriginalOccurrenceOnce) {
    const ReplaceCase cases[] = {
        {"a.b.c", ".", "..", "a..b..c"},
        {"ab", "a", "aa", "aab"},
        {"xax", "a", "ba", "xbax"},
        {"aa", "a", "a", "aa"},
        {"www.www", "www", "[www]", "[www].[www]"},
    };
    for (const ReplaceCase& c : cases) {
        EXPECT_EQ(ReplaceAll(c.text, c.search, c.replacement), c.expected)
            << c.text << " / " << c.search << " / " << c.replacement;
    }
}

TEST(ReplaceAll, RewritingThatWouldGrowForeverStopsAfterBoundedPasses) {
    // "aab" -> "abbaa" -> "bbaabaa" -> ...: every pass forms a new "ab", so searching again
    // from the start would never end. Four passes (text length + 1) are made.
    const std::string result = ReplaceAll("aab", "ab", "bbaa");
    EXPECT_EQ(result, "bbbbaabaaaa");
}

TEST(Int64ToString, FormatsSignedDecimalWithoutPaddingOrGrouping) {
    struct Case {
        std::int64_t value;
        const char* expected;
    };
    const Case cases[] = {
        {0, "0"},
        {-1, "-1"},
        {7, "7"},
        {1234567, "1234567"},
        {-1000000, "-1000000"},
        {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"},
        {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Int64ToString(c.value), c.expected);
    }
}

TEST(Int64ToWide, FormatsSignedDecimalAsWideText) {
    EXPECT_EQ(Int64ToWide(5), L"5");
    EXPECT_EQ(Int64ToWide(0), L"0");
    EXPECT_EQ(Int64ToWide(-42), L"-42");
    EXPECT_EQ(Int64ToWide(std::numeric_limits<std::int64_t>::max()), L"9223372036854775807");
    EXPECT_EQ(Int64ToWide(std::numeric_limits<std::int64_t>::min()), L"-9223372036854775808");
}
