#include "TreadSound.h"
#include "resources/resource.h"

#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <new>

namespace VelkUtility {

int soundSerial = 0;

namespace {

constexpr int ClickSoundId = IDR_CLICK_WAVE;
constexpr int DefaultWaitMs = 1000;
// Part of waitMs kept back for the playback to wind down after it has been asked to stop.
constexpr DWORD StopReserveMs = 150;
// How long a terminated worker that never ran is given to disappear.
constexpr DWORD TerminatedWaitMs = 1000;

const char* const CreateFailureText = "Errore nella creazione del Tread";
const char* const TerminateFailureText = "Errore durante la terminazione del Tread";

// Runs on a thread of its own: PlaySoundW(nullptr) waits until the playing call has wound
// down, which a stuck sound device could drag out well past the caller's limit.
DWORD WINAPI StopPlayback(LPVOID) {
    PlaySoundW(nullptr, nullptr, 0);
    return 0;
}

} // namespace

// What the object and its worker share. The worker may use the object only while it holds
// it (InUse); once the object has been given up before the worker took it (Abandoned) the
// worker leaves it alone.
struct TreadSound::WorkerLink {
    enum State { Waiting, InUse, LetGo, Abandoned };

    explicit WorkerLink(TreadSound* object) : owner(object) {}

    // Called by the worker when it needs the object no more.
    void Release() {
        int expected = InUse;
        state.compare_exchange_strong(expected, LetGo);
    }

    // One reference for the object, one for the worker.
    static void Drop(WorkerLink* link) {
        if (link->references.fetch_sub(1) == 1) {
            delete link;
        }
    }

    TreadSound* const owner;
    std::atomic<int> state{Waiting};
    std::atomic<int> references{2};
};

std::string LastErrorText() {
    const DWORD code = GetLastError();
    if (code == 0) {
        return "";
    }
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&buffer),
        0, nullptr);
    std::string text;
    if (length != 0 && buffer != nullptr) {
        text.assign(buffer, length);
    }
    if (buffer != nullptr) {
        LocalFree(buffer);
    }
    return text;
}

TreadSound::TreadSound() : TreadSound(&CreateThread) {}

TreadSound::TreadSound(ThreadCreator createThread) {
    serial = ++soundSerial;
    link = new (std::nothrow) WorkerLink(this);
    if (link == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    } else {
        thread = createThread(nullptr, 0, &ThreadMain, link, CREATE_SUSPENDED, &threadId);
    }
    if (thread == nullptr) {
        Fail(CreateFailureText);
        delete link;
        link = nullptr;
    }
}

TreadSound::~TreadSound() {
    Stop();
    if (link != nullptr) {
        int expected = WorkerLink::Waiting;
        link->state.compare_exchange_strong(expected, WorkerLink::Abandoned);
        // Run lets go of the object before it plays, so this wait is short.
        while (link->state.load() == WorkerLink::InUse) {
            Sleep(1);
        }
        WorkerLink::Drop(link);
        link = nullptr;
    }
}

void TreadSound::Fail(const char* fallbackText) {
    errorText = LastErrorText();
    if (errorText.empty()) {
        errorText = fallbackText;
    }
    failed = true;
}

bool TreadSound::Start() {
    soundId = ClickSoundId;
    waitMs = DefaultWaitMs;
    if (thread == nullptr) {
        return true;
    }
    if (ResumeThread(thread) == static_cast<DWORD>(-1)) {
        Fail(CreateFailureText);
        return false;
    }
    resumed = true;
    return true;
}

// Called on the user-interface thread, which waits here at most about waitMs: most of it for the
// sound to end, the rest for a playback asked to stop to wind down.
void TreadSound::Stop() {
    if (thread == nullptr) {
        return;
    }
    if (!resumed) {
        EndSuspendedWorker();
    } else {
        const DWORD limit = waitMs > 0 ? static_cast<DWORD>(waitMs) : 0;
        const DWORD reserve = std::min(StopReserveMs, limit / 2);
        DWORD result = WaitForSingleObject(thread, limit - reserve);
        if (result != WAIT_OBJECT_0) {
            HANDLE stopper = CreateThread(nullptr, 0, &StopPlayback, nullptr, 0, nullptr);
            if (stopper != nullptr) {
                CloseHandle(stopper);
            }
            result = WaitForSingleObject(thread, reserve);
        }
        if (result != WAIT_OBJECT_0 && link != nullptr) {
            // Still playing: it ends by itself and must not take the object up any more.
            int expected = WorkerLink::Waiting;
            link->state.compare_exchange_strong(expected, WorkerLink::Abandoned);
        }
    }
    CloseHandle(thread);
    thread = nullptr;
}

void TreadSound::EndSuspendedWorker() {
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeThread(thread, &exitCode);
    if (!TerminateThread(thread, exitCode)) {
        Fail(TerminateFailureText);
        // Left suspended for good; its share of the link stays with it.
        return;
    }
    if (link == nullptr) {
        return;
    }
    link->state.store(WorkerLink::Abandoned);
    // The worker never ran ThreadMain, so its reference is dropped here once it is surely gone.
    if (WaitForSingleObject(thread, TerminatedWaitMs) == WAIT_OBJECT_0) {
        WorkerLink::Drop(link);
    }
}

void TreadSound::ReleaseObject() {
    WorkerLink* const worker = link;
    if (worker != nullptr) {
        worker->Release();
    }
}

void TreadSound::Run() {
    const int id = soundId;
    HMODULE module = GetModuleHandleW(nullptr);
    ReleaseObject();
    PlaySoundW(MAKEINTRESOURCEW(id), module, SND_RESOURCE | SND_NODEFAULT);
}

DWORD WINAPI TreadSound::ThreadMain(LPVOID parameter) {
    WorkerLink* const worker = static_cast<WorkerLink*>(parameter);
    int expected = WorkerLink::Waiting;
    if (worker->state.compare_exchange_strong(expected, WorkerLink::InUse)) {
        worker->owner->Run();
        worker->Release();
    }
    WorkerLink::Drop(worker);
    return 0;
}

} // namespace VelkUtility
