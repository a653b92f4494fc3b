#pragma once

#include <windows.h>

#include <string>

namespace VelkUtility {

// Text of the thread's last system error, or "" when there is none.
std::string LastErrorText();

// Plays the click sound resource on a worker thread of its own. Used once: construct, Start,
// Stop (waits at most waitMs), delete.
//
// A sound still playing when Stop gives up is asked to stop and left to wind down by itself;
// the worker is never ended by force while it runs, since that could leave the sound system or
// the heap locked. From then on the worker no longer touches the object, which may be deleted.
// The stop ends that click's playback only, never that of a click made after it. A sound
// device that hangs keeps such workers for good: while four sound threads are alive, a new
// object gets no worker (as if CreateThread had failed) and plays nothing.
class TreadSound {
public:
    TreadSound();
    virtual ~TreadSound();

    TreadSound(const TreadSound&) = delete;
    TreadSound& operator=(const TreadSound&) = delete;

    bool Start();
    void Stop();
    // Runs on the worker thread. An override reads what it needs from the object, then calls
    // ReleaseObject before it plays: once Stop has given up waiting, the object may be deleted
    // while the sound still plays, and the destructor waits for that call.
    virtual void Run();

    // Worker thread routine; parameter is the worker's link to its object.
    static DWORD WINAPI ThreadMain(LPVOID parameter);

    bool failed = false;
    std::string errorText;
    int serial = 0;
    DWORD threadId = 0;
    HANDLE thread = nullptr;
    int soundId = 0;
    int waitMs = 1000;

protected:
    using ThreadCreator = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE,
                                          LPVOID, DWORD, LPDWORD);

    // Makes the worker with createThread in place of CreateThread.
    explicit TreadSound(ThreadCreator createThread);

    // Called by Run on the worker thread once it needs nothing more from the object.
    void ReleaseObject();

private:
    struct WorkerLink;

    void Fail(const char* fallbackText);
    // Ends a worker that was never resumed: it holds no locks and would never end by itself.
    void EndSuspendedWorker();
    void StartStopper();

    // Makes the worker and the thread that asks a late playback to stop.
    ThreadCreator creator;

    // Shared with the worker; freed by whichever of the two lets go of it last.
    WorkerLink* link = nullptr;
    bool resumed = false;
};

// Instances made so far in this process.
extern int soundSerial;

} // namespace VelkUtility
