// The sound worker with a sound device that records what it plays.

#include "support_sound.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

using SoundTestSupport::Behaviour;
using SoundTestSupport::ExitCodeOf;
using SoundTestSupport::HandleCount;
using SoundTestSupport::record;
using SoundTestSupport::ScriptedSound;
using SoundTestSupport::ThreadCount;
using SoundTestSupport::ThreadCountSettlingAt;
using SoundTestSupport::WatchThread;
using TestSupport::ReadSoundCapture;
using TestSupport::SoundCaptureSize;
using VelkUtility::TreadSound;

namespace {

// Bytes of 16-bit mono PCM at 44100 Hz in the given time.
constexpr long long BytesPerSecond = 44100 * 2;

void PlayOneClick() {
    auto click = std::make_unique<TreadSound>();
    click->Start();
    click->Stop();
}

} // namespace

TEST(TreadSoundDevice, ClickPlaysTheSampleDataOfTheResource) {
    ASSERT_TRUE(TestSupport::SoundCaptureAvailable());
    const std::string samples = SoundTestSupport::ResourceSamples(1008);
    ASSERT_EQ(8860u, samples.size());

    // The first click also sets the sound system up; the second is counted.
    PlayOneClick();
    ThreadCountSettlingAt(1, 500);
    const int threadsBefore = ThreadCount();
    const DWORD handlesBefore = HandleCount();
    const long long capturedBefore = SoundCaptureSize();

    auto click = std::make_unique<TreadSound>();
    ASSERT_TRUE(click->Start());
    HANDLE worker = WatchThread(click->thread);
    click->Stop();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 0)) << "the click was cut off";
    EXPECT_EQ(0u, ExitCodeOf(worker));
    CloseHandle(worker);
    EXPECT_FALSE(click->failed);
    click.reset();

    const std::string captured = ReadSoundCapture();
    ASSERT_GE(static_cast<long long>(captured.size()), capturedBefore);
    const std::string played = captured.substr(static_cast<size_t>(capturedBefore));
    EXPECT_EQ(samples.size(), played.size());
    EXPECT_EQ(samples, played.substr(0, samples.size()));
    EXPECT_EQ(threadsBefore, ThreadCountSettlingAt(threadsBefore));
    EXPECT_EQ(handlesBefore, HandleCount());
}

// A sound longer than waitMs: the caller is let go after about waitMs, the playback is asked
// to stop, and the worker ends by itself soon after.
TEST(TreadSoundDevice, LongSoundIsStoppedAndItsWorkerEndsByItself) {
    ASSERT_TRUE(TestSupport::SoundCaptureAvailable());
    constexpr int soundMs = 6000;
    SoundTestSupport::wave = SoundTestSupport::MakeWave(soundMs);
    PlayOneClick();
    ThreadCountSettlingAt(1, 500);
    const int threadsBefore = ThreadCount();
    const DWORD handlesBefore = HandleCount();
    const long long capturedBefore = SoundCaptureSize();

    auto sound = std::make_unique<ScriptedSound>(Behaviour::PlayWave);
    ASSERT_TRUE(sound->Start());
    sound->waitMs = 500;
    HANDLE worker = WatchThread(sound->thread);
    const ULONGLONG start = GetTickCount64();
    sound->Stop();
    const ULONGLONG waited = GetTickCount64() - start;
    // It waited for the sound first, then was let go within about waitMs.
    EXPECT_GE(waited, 300u);
    EXPECT_LT(waited, 500u + 1500u);
    EXPECT_FALSE(sound->failed);
    sound.reset();

    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 3000)) << "the worker did not end";
    EXPECT_EQ(0u, ExitCodeOf(worker));
    CloseHandle(worker);
    EXPECT_EQ(1, record.finished.load());
    const long long played = SoundCaptureSize() - capturedBefore;
    EXPECT_GT(played, 0);
    EXPECT_LT(played, soundMs * BytesPerSecond / 1000 / 2) << "the sound was not stopped";
    EXPECT_EQ(threadsBefore, ThreadCountSettlingAt(threadsBefore));
    EXPECT_EQ(handlesBefore, HandleCount());
}
