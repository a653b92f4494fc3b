#include "MessagePump.h"

#include <windows.h>

namespace TestSupport {

namespace {

// Dispatches what is queued; false when a WM_QUIT came, which is put back for the code under
// test (its own loop ends on it).
bool DispatchPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

ULONGLONG Deadline(int milliseconds) {
    return GetTickCount64() + static_cast<ULONGLONG>(milliseconds < 0 ? 0 : milliseconds);
}

} // namespace

void PumpMessages(int milliseconds) {
    const ULONGLONG end = Deadline(milliseconds);
    for (;;) {
        if (!DispatchPending()) {
            return;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const ULONGLONG end = Deadline(timeoutMs);
    for (;;) {
        if (done()) {
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end) {
            return false;
        }
        // Wake at least every 10 ms: done() may depend on other threads.
        const DWORD wait = static_cast<DWORD>(end - now < 10 ? end - now : 10);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
        if (!DispatchPending()) {
            return done();
        }
    }
}

} // namespace TestSupport
