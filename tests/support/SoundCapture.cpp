#include "SoundCapture.h"

#include "HostFiles.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace TestSupport {

namespace {

// Unix paths of the capture files, in the order they were written: the device writes the
// first sound to the capture file and each later one to the first free "<file>.NNNN".
std::vector<std::string> CaptureFiles() {
    std::vector<std::string> files;
    const std::string base = HostEnvironment("ONDREL_SOUND_CAPTURE");
    if (base.empty()) {
        return files;
    }
    if (GetFileAttributesW(HostPathToWindows(base).c_str()) == INVALID_FILE_ATTRIBUTES) {
        return files;
    }
    files.push_back(base);
    for (int number = 1;; ++number) {
        char suffix[16];
        std::snprintf(suffix, sizeof(suffix), ".%04d", number);
        const std::string next = base + suffix;
        if (GetFileAttributesW(HostPathToWindows(next).c_str()) == INVALID_FILE_ATTRIBUTES) {
            break;
        }
        files.push_back(next);
    }
    return files;
}

long long FileSize(const std::string& unixPath) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(HostPathToWindows(unixPath).c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

} // namespace

bool SoundCaptureAvailable() {
    return !HostEnvironment("ONDREL_SOUND_CAPTURE").empty();
}

long long SoundCaptureSize() {
    long long total = 0;
    for (const std::string& file : CaptureFiles()) {
        total += FileSize(file);
    }
    return total;
}

int SoundCapturePlays() {
    return static_cast<int>(CaptureFiles().size());
}

std::string ReadSoundCapture() {
    std::string content;
    for (const std::string& file : CaptureFiles()) {
        content += ReadHostFile(file);
    }
    return content;
}

} // namespace TestSupport
