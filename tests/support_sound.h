#pragma once

// Helpers for the tests of the sound worker: what the process holds (threads, handles), a
// worker whose Run the test chooses, and PCM sounds built in memory.

#include "game/TreadSound.h"

#include "support/TestSupport.h"

#include <windows.h>

#include <tlhelp32.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace SoundTestSupport {

// Threads of this process, from a Toolhelp snapshot; -1 when no snapshot can be taken.
inline int ThreadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return -1;
    }
    int count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) {
            ++count;
        }
    }
    CloseHandle(snapshot);
    return count;
}

inline DWORD HandleCount() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

// Waits up to timeoutMs for the process to be back to `threads` threads; returns the count.
inline int ThreadCountSettlingAt(int threads, int timeoutMs = 5000) {
    TestSupport::PumpUntil([threads] { return ThreadCount() <= threads; }, timeoutMs);
    return ThreadCount();
}

// A second handle to the worker thread, kept to watch it after the object let go of its own.
inline HANDLE WatchThread(HANDLE thread) {
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    return copy;
}

inline DWORD ExitCodeOf(HANDLE thread) {
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    return code;
}

// A RIFF WAVE file of 16-bit mono PCM at 44100 Hz: a quiet tone of the given length.
inline std::string MakeWave(int milliseconds) {
    const uint32_t rate = 44100;
    const uint32_t samples = rate / 1000 * static_cast<uint32_t>(milliseconds);
    const uint32_t dataSize = samples * 2;
    std::string wave;
    auto put32 = [&wave](uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            wave.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
    };
    auto put16 = [&wave](uint16_t value) {
        wave.push_back(static_cast<char>(value & 0xFF));
        wave.push_back(static_cast<char>(value >> 8));
    };
    wave += "RIFF";
    put32(36 + dataSize);
    wave += "WAVEfmt ";
    put32(16);
    put16(1);        // PCM
    put16(1);        // mono
    put32(rate);     // samples per second
    put32(rate * 2); // bytes per second
    put16(2);        // block alignment
    put16(16);       // bits per sample
    wave += "data";
    put32(dataSize);
    for (uint32_t i = 0; i < samples; ++i) {
        put16(static_cast<uint16_t>((i / 50) % 2 ? 1000 : -1000));
    }
    return wave;
}

// The sample data of a WAVE resource of this program; "" when it is missing.
inline std::string ResourceSamples(int id) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"WAVE");
    if (found == nullptr) {
        return "";
    }
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    const DWORD size = SizeofResource(module, found);
    if (bytes == nullptr || size < 12) {
        return "";
    }
    // Chunks after "RIFF", size, "WAVE".
    for (DWORD at = 12; at + 8 <= size;) {
        const uint32_t chunkSize = static_cast<unsigned char>(bytes[at + 4]) |
                                   static_cast<unsigned char>(bytes[at + 5]) << 8 |
                                   static_cast<unsigned char>(bytes[at + 6]) << 16 |
                                   static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 7]))
                                       << 24;
        if (std::string(bytes + at, 4) == "data") {
            return std::string(bytes + at + 8, chunkSize <= size - at - 8 ? chunkSize : 0);
        }
        at += 8 + chunkSize + (chunkSize & 1);
    }
    return "";
}

// What the test worker does on its thread.
enum class Behaviour {
    PlayClick,       // the worker's own Run
    PlayWave,        // plays `wave` from memory after letting go of the object
    WaitForRelease,  // lets go of the object, then blocks until `release` is set
    HoldUntilRelease // blocks until `release` is set while still using the object
};

// Shared with the worker threads; outlives every object.
struct WorkerRecord {
    std::atomic<int> runs{0};
    std::atomic<int> finished{0};
    std::atomic<int> soundId{0};
    std::atomic<DWORD> threadId{0};
    std::atomic<int> touchedAfterRelease{0};
};

inline WorkerRecord record;
inline std::string wave;
inline HANDLE release = nullptr;

// The worker under test with a Run of the test's choice. Stops in its own destructor, before its
// own parts are gone.
class ScriptedSound : public VelkUtility::TreadSound {
public:
    explicit ScriptedSound(Behaviour chosen) : behaviour(chosen) {}
    ScriptedSound(Behaviour chosen, ThreadCreator createThread)
        : TreadSound(createThread), behaviour(chosen) {}
    ~ScriptedSound() override { Stop(); }

    void Run() override {
        const Behaviour what = behaviour;
        record.runs++;
        record.soundId = soundId;
        record.threadId = GetCurrentThreadId();
        switch (what) {
        case Behaviour::PlayClick:
            TreadSound::Run();
            break;
        case Behaviour::PlayWave:
            ReleaseObject();
            PlaySoundW(reinterpret_cast<LPCWSTR>(wave.data()), nullptr, SND_MEMORY | SND_NODEFAULT);
            break;
        case Behaviour::WaitForRelease:
            ReleaseObject();
            WaitForSingleObject(release, INFINITE);
            break;
        case Behaviour::HoldUntilRelease:
            WaitForSingleObject(release, INFINITE);
            Sleep(100);
            // Still the object's own: the destructor waits for this.
            touches++;
            record.touchedAfterRelease++;
            break;
        }
        record.finished++;
    }

    const Behaviour behaviour;
    int touches = 0;
};

// Makes the worker as CreateThread does, but holds every other thread the object makes (the one
// that asks a late playback to stop) suspended in heldStopper, for the test to let it run when
// it wants.
inline HANDLE heldStopper = nullptr;

inline HANDLE WINAPI HoldingStoppers(LPSECURITY_ATTRIBUTES attributes, SIZE_T stack,
                                     LPTHREAD_START_ROUTINE routine, LPVOID parameter, DWORD flags,
                                     LPDWORD id) {
    if (routine == &VelkUtility::TreadSound::ThreadMain) {
        return CreateThread(attributes, stack, routine, parameter, flags, id);
    }
    HANDLE made = CreateThread(attributes, stack, routine, parameter, flags | CREATE_SUSPENDED, id);
    if (made != nullptr && heldStopper == nullptr) {
        DuplicateHandle(GetCurrentProcess(), made, GetCurrentProcess(), &heldStopper, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
    }
    return made;
}

// Milliseconds of user and kernel time the calling thread has used.
inline double ThreadCpuMs() {
    FILETIME creation{}, exit{}, kernel{}, user{};
    GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user);
    auto ms = [](const FILETIME& time) {
        return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

} // namespace SoundTestSupport
