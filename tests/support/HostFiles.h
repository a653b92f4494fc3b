#pragma once

#include <string>

namespace TestSupport {

// A variable of the environment the test runs in; "" when unset.
std::string HostEnvironment(const char* name);
// A Unix path as the Windows program sees it (Z: drive).
std::wstring HostPathToWindows(const std::string& unixPath);
// The whole content of a Unix file; "" when it is missing.
std::string ReadHostFile(const std::string& unixPath);

} // namespace TestSupport
