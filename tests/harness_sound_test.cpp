// Sound tests capture what is played: the click resource played once adds exactly its samples.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <cstring>

using namespace TestSupport;

namespace {

// The sample data of the click resource (the "data" chunk of WAVE 1008).
std::string ClickSamples() {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1008), L"WAVE");
    if (found == nullptr) {
        return std::string();
    }
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    const DWORD size = SizeofResource(nullptr, found);
    for (DWORD offset = 12; offset + 8 <= size;) {
        DWORD length = 0;
        std::memcpy(&length, bytes + offset + 4, 4);
        if (std::memcmp(bytes + offset, "data", 4) == 0) {
            return std::string(bytes + offset + 8, length);
        }
        offset += 8 + length + (length & 1);
    }
    return std::string();
}

bool PlayClick(DWORD extraFlags = 0) {
    return PlaySoundW(MAKEINTRESOURCEW(1008), GetModuleHandleW(nullptr),
                      SND_RESOURCE | SND_NODEFAULT | extraFlags) != FALSE;
}

} // namespace

TEST(HarnessSound, PlayingTheClickCapturesExactlyItsSamples) {
    ASSERT_TRUE(SoundCaptureAvailable());
    EXPECT_GT(waveOutGetNumDevs(), 0u);
    EXPECT_EQ(SoundCapturePlays(), 0);

    ASSERT_TRUE(PlayClick());

    EXPECT_EQ(SoundCapturePlays(), 1);
    EXPECT_EQ(SoundCaptureSize(), 8860);
    EXPECT_TRUE(ReadSoundCapture() == ClickSamples());
}

TEST(HarnessSound, EveryPlayIsCapturedOnItsOwn) {
    ASSERT_TRUE(PlayClick());
    ASSERT_TRUE(PlayClick());
    ASSERT_TRUE(PlayClick(SND_ASYNC));
    EXPECT_TRUE(PumpUntil([] { return SoundCaptureSize() >= 3 * 8860; }, 5000));
    // The asynchronous sound closes its device when done; let it finish before the checks.
    PlaySoundW(nullptr, nullptr, 0);

    EXPECT_EQ(SoundCapturePlays(), 3);
    EXPECT_EQ(SoundCaptureSize(), 3 * 8860);
    const std::string click = ClickSamples();
    EXPECT_TRUE(ReadSoundCapture() == click + click + click);
}
