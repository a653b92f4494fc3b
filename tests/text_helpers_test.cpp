#include "framework/TextHelpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

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

namespace {

// The repeated replacement in its plain form: search from the start, replace the first
// occurrence, again and again. Gives up after maxPasses; ended tells whether it got to its end.
std::string RepeatedReplacement(std::string text, const std::string& search,
                                const std::string& replacement, int maxPasses, bool& ended,
                                int& passes) {
    passes = 0;
    ended = false;
    while (passes < maxPasses) {
        const std::size_t position = text.find(search);
        if (position == std::string::npos) {
            ended = true;
            return text;
        }
        text.replace(position, search.size(), replacement);
        ++passes;
    }
    return text;
}

// Every text of up to maxLength letters over the alphabet, the empty one first.
std::vector<std::string> AllTexts(const std::string& alphabet, std::size_t maxLength) {
    std::vector<std::string> texts{""};
    for (std::size_t at = 0; at < texts.size(); ++at) {
        if (texts[at].size() == maxLength) {
            continue;
        }
        for (char letter : alphabet) {
            texts.push_back(texts[at] + letter);
        }
    }
    return texts;
}

} // namespace

// Rewrites that end only after more passes than the text has letters, some growing on the way.
TEST(ReplaceAll, LongRewritesThatEndGiveTheResultOfTheRepeatedReplacement) {
    struct LongCase {
        const char* text;
        const char* search;
        const char* replacement;
        const char* expected;
        int passes;
    };
    const LongCase cases[] = {
        {"aaab", "ab", "bba", "bbbbbbbbaaa", 7},
        {"aab", "ab", "bba", "bbbbaa", 3},
        {"aaaab", "ab", "bba", "bbbbbbbbbbbbbbbbaaaa", 15},
        {"aaabbb", "ab", "ba", "bbbaaa", 9},
    };
    for (const LongCase& c : cases) {
        bool ended = false;
        int passes = 0;
        const std::string reference =
            RepeatedReplacement(c.text, c.search, c.replacement, 1000, ended, passes);
        ASSERT_TRUE(ended) << c.text;
        ASSERT_EQ(reference, c.expected) << c.text;
        ASSERT_EQ(passes, c.passes) << c.text;
        EXPECT_EQ(ReplaceAll(c.text, c.search, c.replacement), c.expected)
            << c.text << " / " << c.search << " / " << c.replacement;
    }
}

// Every small rewrite over two letters whose repeated replacement ends: ReplaceAll gives the same
// text. Those whose replacement holds the search text never end and are left to the test above.
TEST(ReplaceAll, AgreesWithTheRepeatedReplacementOnEverySmallRewriteThatEnds) {
    const std::vector<std::string> texts = AllTexts("ab", 7);
    const std::vector<std::string> searches = AllTexts("ab", 2);
    const std::vector<std::string> replacements = AllTexts("ab", 4);
    int compared = 0;
    int endless = 0;
    for (const std::string& search : searches) {
        if (search.empty()) {
            continue;
        }
        for (const std::string& replacement : replacements) {
            if (replacement.find(search) != std::string::npos) {
                continue;
            }
            for (const std::string& text : texts) {
                bool ended = false;
                int passes = 0;
                const std::string reference =
                    RepeatedReplacement(text, search, replacement, 1000, ended, passes);
                if (!ended) {
                    ++endless;
                    EXPECT_GT(replacement.size(), search.size())
                        << "only a growing rewrite may go on: " << text << " / " << search << " / "
                        << replacement;
                    continue;
                }
                ++compared;
                EXPECT_EQ(ReplaceAll(text, search, replacement), reference)
                    << text << " / " << search << " / " << replacement << " after " << passes
                    << " passes";
            }
        }
    }
    // The loops above really compared rewrites of every kind.
    EXPECT_GT(compared, 10000);
    EXPECT_GT(endless, 0);
}

// "aab" -> "abbaa" -> "bbaabaa" -> ...: every pass forms a new "ab", so the repeated
// replacement never ends. The passes stop at the length limit, with the rewrite still going on.
TEST(ReplaceAll, RewritingThatWouldGrowForeverStopsAtTheLengthLimit) {
    struct EndlessCase {
        const char* text;
        const char* search;
        const char* replacement;
    };
    const EndlessCase cases[] = {
        {"aab", "ab", "bbaa"},
        {"bba", "ba", "aabb"},
    };
    for (const EndlessCase& c : cases) {
        const std::size_t growth = std::strlen(c.replacement) - std::strlen(c.search);
        bool ended = true;
        int passes = 0;
        const std::string early =
            RepeatedReplacement(c.text, c.search, c.replacement, 50, ended, passes);
        ASSERT_FALSE(ended) << c.text << ": not an endless rewrite";

        const std::string result = ReplaceAll(c.text, c.search, c.replacement);
        EXPECT_LE(result.size(), ReplaceAllLimit) << c.text;
        EXPECT_GT(result.size() + growth, ReplaceAllLimit) << c.text << ": stopped too early";
        EXPECT_NE(result.find(c.search), std::string::npos) << c.text;
        // The same rewrite, only carried further than the plain loop went.
        EXPECT_EQ(result.compare(0, 8, early, 0, 8), 0) << c.text;
    }
}

// A text is made as long as the limit, never longer; a shorter replacement still applies to a
// text beyond it.
TEST(ReplaceAll, NoReplacementMakesTheTextLongerThanTheLimit) {
    const std::string full(ReplaceAllLimit, 'y');
    const std::string atLimit = full.substr(1) + "x";
    EXPECT_EQ(ReplaceAll(atLimit, "x", "zz"), atLimit);
    EXPECT_EQ(ReplaceAll(full.substr(2) + "x", "x", "zz"), full.substr(2) + "zz")
        << "a replacement that makes the text exactly as long as the limit is made";
    EXPECT_EQ(ReplaceAll(full + "xx", "xx", "x"), full + "x");
    EXPECT_EQ(ReplaceAll(std::string(10, 'x'), "x", std::string(ReplaceAllLimit, 'w')),
              std::string(10, 'x'))
        << "a replacement longer than the limit is never made";
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
