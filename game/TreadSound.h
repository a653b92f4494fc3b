#pragma once

#include <windows.h>

#include <string>

namespace VelkUtility {

// Text of the thread's last system error, or "" when there is none.
std::string LastErrorText();

// Plays the click sound resource on a worker thread of its own. Used once: construct, Start,
// Stop (waits at most waitMs), delete.
class TreadSound {
public:
    TreadSound();
    virtual ~TreadSound();

    TreadSound(const TreadSound&) = delete;
    TreadSound& operator=(const TreadSound&) = delete;

    bool Start();
    void Stop();
    // Runs on the worker thread.
    virtual void Run();

    static DWORD WINAPI ThreadMain(LPVOID parameter);

    bool failed = false;
    std::string errorText;
    int serial = 0;
    DWORD threadId = 0;
    HANDLE thread = nullptr;
    int soundId = 0;
    int waitMs = 1000;
};

// Instances made so far in this process.
extern int soundSerial;

} // namespace VelkUtility
