#pragma once

#include <string>

namespace TestSupport {

// Whether the test runs under Wine: its ntdll exports wine_get_version, Windows' does not.
bool RunningUnderWine();
// Wine's version ("8.0"), or "" on Windows.
std::string WineVersion();

} // namespace TestSupport

// Skips the rest of a test that observes the system through something only Wine offers (its
// relay trace, its ALSA file device, Z: paths, its code page, its lack of a sound device).
#define ONDREL_SKIP_UNLESS_WINE(what)                                                              \
    do {                                                                                           \
        if (!::TestSupport::RunningUnderWine()) {                                                  \
            GTEST_SKIP() << "needs Wine: " << (what);                                              \
        }                                                                                          \
    } while (false)
