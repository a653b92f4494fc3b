// The sound worker's corners with a Run that blocks, as a hung sound device would: what piles
// up, how long the caller waits, and the destructor's wait for a Run that still uses the object.
// The figures are printed; the tests check only what must hold on any machine.

#include "support_sound.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

using SoundTestSupport::Behaviour;
using SoundTestSupport::record;
using SoundTestSupport::ScriptedSound;
using SoundTestSupport::ThreadCount;
using SoundTestSupport::ThreadCountSettlingAt;
using VelkUtility::TreadSound;

namespace {

void WarmUp() {
    TreadSound click;
    click.Start();
    click.Stop();
    ThreadCountSettlingAt(1, 500);
}

} // namespace

// Every click's Run blocks for good: the first clicks each cost their wait and leave their
// worker behind; once four sound threads are alive, a click gets no worker, plays nothing and
// costs nothing. When the device comes back, the stuck workers end and clicks play again.
TEST(TreadSoundCorners, HungDeviceStrandsAtMostFourSoundThreads) {
    WarmUp();
    SoundTestSupport::release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const int threadsBefore = ThreadCount();
    constexpr int clicks = 10;
    int withoutWorker = 0;
    std::printf("click  wait ms  worker  stuck workers  extra threads\n");
    for (int i = 0; i < clicks; ++i) {
        auto sound = std::make_unique<ScriptedSound>(Behaviour::WaitForRelease);
        const bool hasWorker = sound->thread != nullptr;
        const ULONGLONG start = GetTickCount64();
        sound->Start();
        sound->waitMs = 200;
        sound->Stop();
        sound.reset();
        const ULONGLONG waited = GetTickCount64() - start;
        // Workers that ran and have not finished.
        const int stuck = record.runs.load() - record.finished.load();
        std::printf("%5d  %7llu  %6s  %13d  %13d\n", i + 1, waited, hasWorker ? "yes" : "no", stuck,
                    ThreadCount() - threadsBefore);
        EXPECT_LE(stuck, 4) << "click " << i + 1;
        if (!hasWorker) {
            ++withoutWorker;
        }
    }
    EXPECT_EQ(withoutWorker, clicks - 4);
    EXPECT_LE(ThreadCount() - threadsBefore, 4);

    SetEvent(SoundTestSupport::release);
    EXPECT_EQ(threadsBefore, ThreadCountSettlingAt(threadsBefore));
    EXPECT_EQ(record.finished.load(), record.runs.load());

    auto again = std::make_unique<ScriptedSound>(Behaviour::PlayClick);
    EXPECT_NE(again->thread, nullptr) << "the clicks are heard again";
    EXPECT_FALSE(again->failed);
    again->Start();
    again->Stop();
    CloseHandle(SoundTestSupport::release);
}

// A click that can get no worker keeps a failure text, as one whose thread could not be made.
TEST(TreadSoundCorners, ClickWithoutWorkerKeepsItsFailureText) {
    SoundTestSupport::release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<std::unique_ptr<ScriptedSound>> stuck;
    for (int i = 0; i < 4; ++i) {
        stuck.push_back(std::make_unique<ScriptedSound>(Behaviour::WaitForRelease));
        stuck.back()->Start();
    }
    TreadSound silent;
    EXPECT_EQ(silent.thread, nullptr);
    EXPECT_TRUE(silent.failed);
    EXPECT_NE(silent.errorText, "");
    EXPECT_TRUE(silent.Start());
    silent.Stop();
    SetEvent(SoundTestSupport::release);
    for (auto& sound : stuck) {
        sound->waitMs = 5000;
        sound->Stop();
    }
    stuck.clear();
    CloseHandle(SoundTestSupport::release);
}

namespace {

std::atomic<ULONGLONG> releasedAt{0};

DWORD WINAPI ReleaseAfter300Ms(LPVOID) {
    Sleep(300);
    releasedAt = GetTickCount64();
    SetEvent(SoundTestSupport::release);
    return 0;
}

} // namespace

// The object goes while its Run still uses it: the destructor waits for the Run to let go, on
// an event, and returns once it has.
TEST(TreadSoundCorners, DestructorWaitsForTheRunToLetGoOfTheObject) {
    SoundTestSupport::release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto sound = std::make_unique<ScriptedSound>(Behaviour::HoldUntilRelease);
    ASSERT_TRUE(sound->Start());
    sound->waitMs = 100;
    sound->Stop();
    HANDLE releaser = CreateThread(nullptr, 0, ReleaseAfter300Ms, nullptr, 0, nullptr);
    ASSERT_NE(releaser, nullptr);

    const ULONGLONG start = GetTickCount64();
    const double cpuBefore = SoundTestSupport::ThreadCpuMs();
    sound.reset();
    const ULONGLONG end = GetTickCount64();
    const double cpu = SoundTestSupport::ThreadCpuMs() - cpuBefore;
    std::printf("destructor waited %llu ms, %.1f ms of processor time; release came %lld ms "
                "before it returned\n",
                end - start, cpu, static_cast<long long>(end - releasedAt.load()));
    EXPECT_NE(releasedAt.load(), 0u) << "returned before the Run let go";
    EXPECT_EQ(record.touchedAfterRelease.load(), 1);

    WaitForSingleObject(releaser, 5000);
    CloseHandle(releaser);
    CloseHandle(SoundTestSupport::release);
}
