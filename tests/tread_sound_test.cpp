// The sound worker in a process without a sound device: PlaySoundW fails at once there, so these
// tests look at the worker's life (suspended, started, stopped, abandoned) and its failures.

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
using VelkUtility::LastErrorText;
using VelkUtility::TreadSound;

namespace {

std::string SystemText(DWORD code) {
    SetLastError(code);
    return LastErrorText();
}

// Lets the process make whatever the sound system keeps for good on its first use, so that
// what one click leaves behind can be counted.
void WarmUp() {
    TreadSound click;
    click.Start();
    click.Stop();
    ThreadCountSettlingAt(1, 500);
}

} // namespace

TEST(TreadSound, SerialNumbersCountFromOneInAFreshProcess) {
    EXPECT_EQ(0, VelkUtility::soundSerial);
    TreadSound first;
    TreadSound second;
    EXPECT_EQ(1, first.serial);
    EXPECT_EQ(2, second.serial);
    EXPECT_EQ(2, VelkUtility::soundSerial);
}

TEST(TreadSound, ConstructorMakesAWorkerThatWaitsForStart) {
    const int threadsBefore = ThreadCount();
    auto sound = std::make_unique<ScriptedSound>(Behaviour::PlayClick);
    ASSERT_NE(nullptr, sound->thread);
    EXPECT_EQ(GetThreadId(sound->thread), sound->threadId);
    EXPECT_FALSE(sound->failed);
    EXPECT_EQ("", sound->errorText);
    EXPECT_EQ(1000, sound->waitMs);
    EXPECT_EQ(threadsBefore + 1, ThreadCount());
    Sleep(200);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(sound->thread, 0));
    EXPECT_EQ(0, record.runs.load());
}

TEST(TreadSound, ClickWithoutDeviceEndsByItselfAndLeavesNothingBehind) {
    WarmUp();
    const int threadsBefore = ThreadCount();
    const DWORD handlesBefore = HandleCount();

    auto sound = std::make_unique<ScriptedSound>(Behaviour::PlayClick);
    sound->soundId = 7;
    sound->waitMs = 5;
    EXPECT_TRUE(sound->Start());
    EXPECT_EQ(1008, sound->soundId);
    EXPECT_EQ(1000, sound->waitMs);
    HANDLE worker = WatchThread(sound->thread);
    sound->Stop();
    EXPECT_EQ(nullptr, sound->thread);
    // Ended within the wait by returning from its routine, not given up on.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 0));
    EXPECT_EQ(0u, ExitCodeOf(worker));
    CloseHandle(worker);
    EXPECT_EQ(1, record.runs.load());
    EXPECT_EQ(1008, record.soundId.load());
    EXPECT_EQ(sound->threadId, record.threadId.load());
    EXPECT_NE(GetCurrentThreadId(), record.threadId.load());
    EXPECT_FALSE(sound->failed);

    // A second Stop finds no thread and changes nothing.
    sound->Stop();
    EXPECT_EQ(nullptr, sound->thread);
    EXPECT_FALSE(sound->failed);
    sound.reset();

    EXPECT_EQ(threadsBefore, ThreadCountSettlingAt(threadsBefore));
    EXPECT_EQ(handlesBefore, HandleCount());
}

// A worker that was never let run cannot end by itself: Stop ends it without waiting waitMs.
TEST(TreadSound, StopWithoutStartEndsTheWaitingWorkerAtOnce) {
    const int threadsBefore = ThreadCount();
    const DWORD handlesBefore = HandleCount();
    auto sound = std::make_unique<ScriptedSound>(Behaviour::PlayClick);
    sound->waitMs = 60000;
    const ULONGLONG start = GetTickCount64();
    sound->Stop();
    EXPECT_LT(GetTickCount64() - start, 30000u);
    EXPECT_EQ(nullptr, sound->thread);
    EXPECT_FALSE(sound->failed);
    sound.reset();
    EXPECT_EQ(threadsBefore, ThreadCountSettlingAt(threadsBefore));
    EXPECT_EQ(handlesBefore, HandleCount());
    EXPECT_EQ(0, record.runs.load());
}

// The worker's handle is replaced by one that may wait for and end the thread but not resume it.
TEST(TreadSound, FailedResumeReportsTheSystemTextAndStopEndsTheWorker) {
    const int threadsBefore = ThreadCount();
    const DWORD handlesBefore = HandleCount();
    auto sound = std::make_unique<ScriptedSound>(Behaviour::PlayClick);
    HANDLE limited = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), sound->thread, GetCurrentProcess(), &limited,
                                SYNCHRONIZE | THREAD_TERMINATE | THREAD_QUERY_INFORMATION, FALSE,
                                0));
    CloseHandle(sound->thread);
    sound->thread = limited;

    EXPECT_FALSE(sound->Start());
    EXPECT_TRUE(sound->failed);
    EXPECT_EQ(SystemText(ERROR_ACCESS_DENIED), sound->errorText);
    EXPECT_NE("", sound->errorText);

    sound->Stop();
    EXPECT_EQ(nullptr, sound->thread);
    sound.reset();
    EXPECT_EQ(threadsBefore, ThreadCountSettlingAt(threadsBefore));
    EXPECT_EQ(handlesBefore, HandleCount());
    EXPECT_EQ(0, record.runs.load());
}

namespace {

DWORD creationError = 0;

HANDLE WINAPI FailingCreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID,
                                  DWORD, LPDWORD) {
    SetLastError(creationError);
    return nullptr;
}

} // namespace

TEST(TreadSound, FailedThreadCreationKeepsItsTextAndStartPlaysNothing) {
    struct Case {
        DWORD error;
        std::string text;
    };
    const Case cases[] = {
        {ERROR_NOT_ENOUGH_MEMORY, SystemText(ERROR_NOT_ENOUGH_MEMORY)},
        {0, "Errore nella creazione del Tread"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("error " + std::to_string(c.error));
        creationError = c.error;
        const int threadsBefore = ThreadCount();
        ScriptedSound sound(Behaviour::PlayClick, FailingCreateThread);
        EXPECT_EQ(nullptr, sound.thread);
        EXPECT_TRUE(sound.failed);
        EXPECT_EQ(c.text, sound.errorText);
        EXPECT_NE("", sound.errorText);
        EXPECT_TRUE(sound.Start());
        EXPECT_EQ(1008, sound.soundId);
        sound.Stop();
        EXPECT_EQ(c.text, sound.errorText);
        EXPECT_EQ(threadsBefore, ThreadCount());
    }
    EXPECT_EQ(0, record.runs.load());
    EXPECT_EQ(2, VelkUtility::soundSerial);
}

TEST(TreadSound, LastErrorTextGivesTheSystemTextOfTheLastError) {
    SetLastError(0);
    EXPECT_EQ("", LastErrorText());

    SetLastError(ERROR_FILE_NOT_FOUND);
    const std::string text = LastErrorText();
    ASSERT_GT(text.size(), 2u);
    EXPECT_EQ('\n', text.back()); // the system text keeps its line break
    EXPECT_EQ(std::string::npos, text.find('\0'));
    EXPECT_NE(text, SystemText(ERROR_ACCESS_DENIED));

    // A code the system has no text for.
    SetLastError(0x20001234);
    EXPECT_EQ("", LastErrorText());
}

// A sound that does not end: the caller is let go after about waitMs, and the worker, never
// ended by force, finishes by itself once the sound does.
TEST(TreadSound, StuckSoundReleasesTheCallerAndTheWorkerEndsLater) {
    WarmUp();
    const int threadsBefore = ThreadCount();
    SoundTestSupport::release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const DWORD handlesBefore = HandleCount();

    auto sound = std::make_unique<ScriptedSound>(Behaviour::WaitForRelease);
    ASSERT_TRUE(sound->Start());
    sound->waitMs = 300;
    HANDLE worker = WatchThread(sound->thread);
    const ULONGLONG start = GetTickCount64();
    sound->Stop();
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, 250u);
    EXPECT_LT(waited, 300u + 1500u);
    EXPECT_EQ(nullptr, sound->thread);
    EXPECT_FALSE(sound->failed);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(worker, 0)) << "the worker was ended by force";

    // The object goes while its worker still runs.
    sound.reset();
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(worker, 0));

    SetEvent(SoundTestSupport::release);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 5000));
    EXPECT_EQ(0u, ExitCodeOf(worker));
    EXPECT_EQ(1, record.finished.load());
    CloseHandle(worker);
    EXPECT_EQ(threadsBefore, ThreadCountSettlingAt(threadsBefore));
    EXPECT_EQ(handlesBefore, HandleCount());
    CloseHandle(SoundTestSupport::release);
}

namespace {

DWORD WINAPI ReleaseLater(LPVOID) {
    Sleep(300);
    SetEvent(SoundTestSupport::release);
    return 0;
}

} // namespace

// A Run still using its object when Stop gives up keeps the object alive until it lets go.
TEST(TreadSound, ObjectOutlivesARunThatStillUsesIt) {
    SoundTestSupport::release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto sound = std::make_unique<ScriptedSound>(Behaviour::HoldUntilRelease);
    ASSERT_TRUE(sound->Start());
    sound->waitMs = 200;
    HANDLE worker = WatchThread(sound->thread);
    sound->Stop();
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(worker, 0));

    HANDLE releaser = CreateThread(nullptr, 0, ReleaseLater, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, releaser);
    sound.reset();
    EXPECT_EQ(1, record.touchedAfterRelease.load());

    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 5000));
    WaitForSingleObject(releaser, 5000);
    CloseHandle(releaser);
    CloseHandle(worker);
    CloseHandle(SoundTestSupport::release);
}

// Several clicks one after the other, as a showing plays them.
TEST(TreadSound, ClicksInARowEachEndTheirWorker) {
    WarmUp();
    const int threadsBefore = ThreadCount();
    const DWORD handlesBefore = HandleCount();
    for (int i = 0; i < 5; ++i) {
        auto* click = new TreadSound;
        EXPECT_TRUE(click->Start());
        click->Stop();
        EXPECT_FALSE(click->failed);
        delete click;
    }
    EXPECT_EQ(threadsBefore, ThreadCountSettlingAt(threadsBefore));
    EXPECT_EQ(handlesBefore, HandleCount());
}
