#include "HostFiles.h"

#include <windows.h>

#include <cstdlib>

namespace TestSupport {

std::string HostEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::wstring HostPathToWindows(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath) {
        path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return path;
}

std::string ReadHostFile(const std::string& unixPath) {
    if (unixPath.empty()) {
        return std::string();
    }
    // Shared access: the file may still be written by Wine or the sound device.
    HANDLE file = CreateFileW(HostPathToWindows(unixPath).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::string();
    }
    std::string content;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) {
        content.append(buffer, got);
    }
    CloseHandle(file);
    return content;
}

} // namespace TestSupport
