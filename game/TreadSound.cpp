#include "TreadSound.h"
#include "resources/resource.h"

#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <mutex>
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
// Workers and stoppers that may be alive at once. A hung sound device keeps every one of them
// for good; past this many a click plays nothing and costs no wait.
constexpr int MaxSoundThreads = 4;

const char* const CreateFailureText = "Errore nella creazione del Tread";
const char* const TerminateFailureText = "Errore durante la terminazione del Tread";

// Workers and stoppers made and not yet ended.
std::atomic<int> soundThreads{0};
// A stopper is under way; a second one would only wait behind it.
std::atomic<bool> stopperRunning{false};
// Numbers of the clicks, in the order they are made.
std::atomic<unsigned> lastClick{0};

// Orders a click that starts playing against a stopper of an earlier click: a stop ends only
// the playback of its own click, never one that started after it.
std::mutex playbackLock;
// The latest click whose worker has begun; guarded by playbackLock. 0 for none.
unsigned playingClick = 0;

// Runs on a thread of its own: PlaySoundW(nullptr) waits until the playing call has wound
// down, which a stuck sound device could drag out well past the caller's limit.
DWORD WINAPI StopPlayback(LPVOID parameter) {
    const auto click = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(parameter));
    {
        std::lock_guard<std::mutex> guard(playbackLock);
        if (playingClick == click) {
            PlaySoundW(nullptr, nullptr, 0);
        }
    }
    stopperRunning = false;
    --soundThreads;
    return 0;
}

} // namespace

// What the object and its worker share. The worker may use the object only while it holds
// it (InUse); once the object has been given up before the worker took it (Abandoned) the
// worker leaves it alone.
struct TreadSound::WorkerLink {
    enum State { Waiting, InUse, LetGo, Abandoned };

    WorkerLink(TreadSound* object, unsigned number)
        : owner(object), click(number), released(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~WorkerLink() {
        if (released != nullptr) {
            CloseHandle(released);
        }
    }
    WorkerLink(const WorkerLink&) = delete;
    WorkerLink& operator=(const WorkerLink&) = delete;

    // Called by the worker when it needs the object no more.
    void Release() {
        int expected = InUse;
        if (state.compare_exchange_strong(expected, LetGo) && released != nullptr) {
            SetEvent(released);
        }
    }

    // Called when the object goes: waits until the worker has let go of it, if it holds it.
    void WaitUntilLetGo() {
        while (state.load() == InUse) {
            if (released == nullptr || WaitForSingleObject(released, INFINITE) == WAIT_FAILED) {
                Sleep(1);
            }
        }
    }

    // One reference for the object, one for the worker.
    static void Drop(WorkerLink* link) {
        if (link->references.fetch_sub(1) == 1) {
            delete link;
        }
    }

    TreadSound* const owner;
    const unsigned click;
    // Set when the worker lets go of the object.
    const HANDLE released;
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

TreadSound::TreadSound(ThreadCreator createThread) : creator(createThread) {
    serial = ++soundSerial;
    if (soundThreads.load() >= MaxSoundThreads) {
        // Earlier clicks are still stuck in the sound device: this one stays silent.
        SetLastError(ERROR_TOO_MANY_TCBS);
    } else {
        link = new (std::nothrow) WorkerLink(this, ++lastClick);
        if (link == nullptr) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        } else {
            ++soundThreads;
            thread = creator(nullptr, 0, &ThreadMain, link, CREATE_SUSPENDED, &threadId);
            if (thread == nullptr) {
                const DWORD error = GetLastError();
                --soundThreads;
                SetLastError(error);
            }
        }
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
        link->WaitUntilLetGo();
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
            StartStopper();
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

// Asks the playback of this click to stop, from a thread of its own; none is made while one is
// under way already or too many sound threads are alive.
void TreadSound::StartStopper() {
    if (link == nullptr || soundThreads.load() >= MaxSoundThreads ||
        stopperRunning.exchange(true)) {
        return;
    }
    ++soundThreads;
    DWORD stopperId = 0;
    HANDLE stopper =
        creator(nullptr, 0, &StopPlayback,
                reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(link->click)), 0, &stopperId);
    if (stopper == nullptr) {
        --soundThreads;
        stopperRunning = false;
        return;
    }
    CloseHandle(stopper);
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
        --soundThreads;
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
    const unsigned click = worker->click;
    {
        // Taken before the object: a stuck stopper may hold the lock, and the object must
        // still be free to go meanwhile. A click that comes late never displaces a later one.
        std::lock_guard<std::mutex> guard(playbackLock);
        if (click > playingClick) {
            playingClick = click;
        }
    }
    int expected = WorkerLink::Waiting;
    if (worker->state.compare_exchange_strong(expected, WorkerLink::InUse)) {
        worker->owner->Run();
        worker->Release();
    }
    {
        std::lock_guard<std::mutex> guard(playbackLock);
        if (playingClick == click) {
            playingClick = 0;
        }
    }
    WorkerLink::Drop(worker);
    --soundThreads;
    return 0;
}

} // namespace VelkUtility
