// The sound worker's corners with a sound device that records what it plays: a late stop of one
// click never silences the next one, and clicks in a row leave nothing behind. The figures are
// printed; the tests check only what must hold on any machine.

#include "support_sound.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

using SoundTestSupport::Behaviour;
using SoundTestSupport::HandleCount;
using SoundTestSupport::record;
using SoundTestSupport::ScriptedSound;
using SoundTestSupport::ThreadCount;
using SoundTestSupport::ThreadCountSettlingAt;
using TestSupport::SoundCaptureSize;
using VelkUtility::TreadSound;

namespace {

constexpr long long BytesPerSecond = 44100 * 2;

void PlayOneClick() {
    auto click = std::make_unique<TreadSound>();
    click->Start();
    click->Stop();
}

DWORD WINAPI StopWhateverPlays(LPVOID) {
    PlaySoundW(nullptr, nullptr, 0);
    return 0;
}

} // namespace

// Click A is let go while its sound is still going (playing, or stuck in a Run that blocks);
// its stop is held back until click B plays, then let run. B is heard to its end. As a control,
// a stop of whatever plays, let run at the same moment, does cut B off.
TEST(TreadSoundCornersDevice, LateStopOfAClickLeavesTheNextClickPlaying) {
    ASSERT_TRUE(TestSupport::SoundCaptureAvailable());
    constexpr int soundMs = 4000;
    SoundTestSupport::wave = SoundTestSupport::MakeWave(soundMs);
    const long long soundBytes = soundMs * BytesPerSecond / 1000;
    PlayOneClick();
    ThreadCountSettlingAt(1, 500);

    enum class Stop { OfAPlayingClick, OfAStuckClick, OfWhateverPlays };
    struct Case {
        const char* name;
        Stop stop;
    };
    const Case cases[] = {{"stop of a click still playing", Stop::OfAPlayingClick},
                          {"stop of a click stuck in Run", Stop::OfAStuckClick},
                          {"control: stop of everything", Stop::OfWhateverPlays}};
    std::printf("%-30s %10s %10s %14s\n", "case", "B played", "B length", "B's stop waited");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SoundTestSupport::release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        SoundTestSupport::heldStopper = nullptr;
        if (c.stop == Stop::OfWhateverPlays) {
            SoundTestSupport::heldStopper =
                CreateThread(nullptr, 0, StopWhateverPlays, nullptr, CREATE_SUSPENDED, nullptr);
        } else {
            auto first = std::make_unique<ScriptedSound>(
                c.stop == Stop::OfAPlayingClick ? Behaviour::PlayWave : Behaviour::WaitForRelease,
                SoundTestSupport::HoldingStoppers);
            ASSERT_TRUE(first->Start());
            first->waitMs = 300;
            first->Stop();
            first.reset();
        }
        ASSERT_NE(SoundTestSupport::heldStopper, nullptr) << "the first click was not let go";

        const long long before = SoundCaptureSize();
        auto second = std::make_unique<ScriptedSound>(Behaviour::PlayWave);
        ASSERT_TRUE(second->Start());
        second->waitMs = 3 * soundMs;
        // The stop arrives while the second click plays.
        Sleep(100);
        ResumeThread(SoundTestSupport::heldStopper);
        const ULONGLONG start = GetTickCount64();
        second->Stop();
        const ULONGLONG waited = GetTickCount64() - start;
        second.reset();
        const long long played = SoundCaptureSize() - before;
        std::printf("%-30s %10lld %10lld %11llu ms\n", c.name, played, soundBytes, waited);
        if (c.stop == Stop::OfWhateverPlays) {
            EXPECT_LT(played, soundBytes * 9 / 10) << "the control stopped nothing";
        } else {
            EXPECT_GE(played, soundBytes * 9 / 10) << "the second click was cut off";
        }

        WaitForSingleObject(SoundTestSupport::heldStopper, 5000);
        CloseHandle(SoundTestSupport::heldStopper);
        SoundTestSupport::heldStopper = nullptr;
        SetEvent(SoundTestSupport::release);
        ThreadCountSettlingAt(1, 3000);
        CloseHandle(SoundTestSupport::release);
    }
}

// Ten clicks in a row on a working device: each costs about the length of the click, each has
// its worker, and every worker has ended when its click is over. (The sound system's own
// threads come and go as they like; the process's thread and handle counts are printed.)
TEST(TreadSoundCornersDevice, ClicksInARowLeaveNoThreadBehind) {
    ASSERT_TRUE(TestSupport::SoundCaptureAvailable());
    PlayOneClick();
    ThreadCountSettlingAt(1, 500);
    const int threadsBefore = ThreadCount();
    const DWORD handlesBefore = HandleCount();
    const long long before = SoundCaptureSize();
    constexpr int clicks = 10;
    ULONGLONG longest = 0;
    ULONGLONG longestDelete = 0;
    const ULONGLONG start = GetTickCount64();
    for (int i = 0; i < clicks; ++i) {
        const ULONGLONG clickStart = GetTickCount64();
        auto click = std::make_unique<ScriptedSound>(Behaviour::PlayClick);
        EXPECT_NE(click->thread, nullptr) << "click " << i + 1;
        click->Start();
        HANDLE worker = SoundTestSupport::WatchThread(click->thread);
        click->Stop();
        EXPECT_EQ(WaitForSingleObject(worker, 0), WAIT_OBJECT_0) << "click " << i + 1;
        CloseHandle(worker);
        const ULONGLONG deleteStart = GetTickCount64();
        click.reset();
        const ULONGLONG now = GetTickCount64();
        longest = now - clickStart > longest ? now - clickStart : longest;
        longestDelete = now - deleteStart > longestDelete ? now - deleteStart : longestDelete;
    }
    const ULONGLONG total = GetTickCount64() - start;
    const long long played = SoundCaptureSize() - before;
    std::printf("%d clicks: %llu ms in all, longest %llu ms, longest delete %llu ms, %lld bytes "
                "played (%lld a click); threads %d -> %d, handles %lu -> %lu\n",
                clicks, total, longest, longestDelete, played, played / clicks, threadsBefore,
                ThreadCount(), handlesBefore, HandleCount());
    EXPECT_EQ(record.runs.load(), clicks);
    EXPECT_EQ(record.finished.load(), clicks);
    EXPECT_GE(played, clicks * 8860LL) << "every click played whole";
}
