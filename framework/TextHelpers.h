#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace VelkUtility {

// Narrow text is Latin-1: each byte becomes the code unit of the same value. Stops at the
// first NUL byte.
std::wstring ToWide(std::string text);

// Keeps the low 8 bits of every code unit; the inverse of ToWide for U+0000 to U+00FF.
std::string ToNarrow(std::wstring text);

// Longest text that ReplaceAll lets a replacement make: 1 MiB, far above any window text.
constexpr std::size_t ReplaceAllLimit = 1024 * 1024;

// Replaces every occurrence of search, searching again from the start after each
// replacement, so that an occurrence a replacement forms with its neighbours goes too.
// Always ends:
// - an empty search text changes nothing;
// - a replacement that holds the search text would be found again forever: the occurrences of
//   the original text are replaced once each, left to right;
// - a shorter replacement shrinks the text at every pass and ends by itself;
// - a longer one can grow the text forever ("aab" with "ab" -> "bbaa"): the passes stop when the
//   next one would make the text longer than ReplaceAllLimit, and the text is returned as it
//   stands then, with the occurrences still in it;
// - one of the same length ends by itself (every pass moves the text one step in lexicographic
//   order), but may take many passes: after ReplaceAllLimit passes the text is returned as it
//   stands.
// Below these limits the result is that of the repeated replacement, however many passes it takes.
std::string ReplaceAll(std::string text, std::string search, std::string replacement);

std::string Int64ToString(std::int64_t value);
std::wstring Int64ToWide(std::int64_t value);

} // namespace VelkUtility
