#pragma once

#include <string>
#include <vector>

namespace TestSupport {

// Tests in a file named *_relay_test.cpp run with Wine's relay trace of a few functions
// (user32.MessageBeep, shell32.ShellExecuteW, winmm.PlaySoundW, user32.MessageBoxA) written to
// a file of their own. A traced call is a line like
//   0024:Call user32.MessageBeep(00000010) ret=...
// with integers in hex (8 digits) and strings as L"..." or "...".

// The trace so far; "" outside relay tests.
std::string ReadRelayLog();
// Whether this test runs with the relay trace on.
bool RelayLogAvailable();
// The "Call" lines of a function ("user32.MessageBeep") in a log.
std::vector<std::string> RelayCalls(const std::string& log, const std::string& function);
int CountRelayCalls(const std::string& log, const std::string& function);

} // namespace TestSupport
