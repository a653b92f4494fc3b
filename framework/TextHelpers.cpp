#include "TextHelpers.h"

#include <cstdio>
#include <cwchar>

namespace VelkUtility {

std::wstring ToWide(std::string text) {
    std::wstring result;
    result.reserve(text.size());
    for (char byte : text) {
        if (byte == '\0') {
            break;
        }
        result.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
    }
    return result;
}

std::string ToNarrow(std::wstring text) {
    std::string result;
    result.reserve(text.size());
    for (wchar_t unit : text) {
        result.push_back(static_cast<char>(static_cast<unsigned int>(unit) & 0xFF));
    }
    return result;
}

std::string ReplaceAll(std::string text, std::string search, std::string replacement) {
    if (search.empty()) {
        return text;
    }
    const std::size_t searchLength = search.size();

    // A replacement that holds the search text would be found again forever: replace the
    // occurrences of the original text in one pass instead.
    if (replacement.find(search) != std::string::npos) {
        std::size_t position = 0;
        while ((position = text.find(search, position)) != std::string::npos) {
            text.replace(position, searchLength, replacement);
            position += replacement.size();
        }
        return text;
    }

    // Every pass replaces the first occurrence, so an occurrence that a replacement forms with
    // its neighbours is replaced too. Nothing before the replaced one can match afterwards, so
    // the next search may start just before it.
    const bool growing = replacement.size() > searchLength;
    const std::size_t growth = growing ? replacement.size() - searchLength : 0;
    const bool sameLength = replacement.size() == searchLength;
    std::size_t passes = 0;
    std::size_t from = 0;
    std::size_t position = 0;
    while ((position = text.find(search, from)) != std::string::npos) {
        if (growing && (growth > ReplaceAllLimit || text.size() > ReplaceAllLimit - growth)) {
            break;
        }
        if (sameLength && passes == ReplaceAllLimit) {
            break;
        }
        text.replace(position, searchLength, replacement);
        ++passes;
        from = position >= searchLength - 1 ? position - (searchLength - 1) : 0;
    }
    return text;
}

std::string Int64ToString(std::int64_t value) {
    char buffer[64] = {};
    std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value));
    return std::string(buffer);
}

std::wstring Int64ToWide(std::int64_t value) {
    wchar_t buffer[64] = {};
    std::swprintf(buffer, sizeof buffer / sizeof buffer[0], L"%lld", static_cast<long long>(value));
    return std::wstring(buffer);
}

} // namespace VelkUtility
