#pragma once

#include <cstdint>
#include <string>

namespace VelkUtility {

// Narrow text is Latin-1: each byte becomes the code unit of the same value. Stops at the
// first NUL byte.
std::wstring ToWide(std::string text);

// Keeps the low 8 bits of every code unit; the inverse of ToWide for U+0000 to U+00FF.
std::string ToNarrow(std::wstring text);

// Replaces every occurrence of search, searching again from the start after each
// replacement, so that an occurrence a replacement forms with its neighbours goes too.
// Always ends: an empty search text changes nothing; a replacement that holds the search text
// replaces the occurrences of the original text once each, left to right; a replacement as
// long as the search text is applied at most (n + 1) * (n + 1) times and a longer one at most
// n + 1 times, n being the length of the original text.
std::string ReplaceAll(std::string text, std::string search, std::string replacement);

std::string Int64ToString(std::int64_t value);
std::wstring Int64ToWide(std::int64_t value);

} // namespace VelkUtility
