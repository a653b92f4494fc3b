#include "framework/MessageLoop.h"

#include "framework/Form.h"

#include <windows.h>

namespace VelkUtility {

void RunMessageLoop(Form* mainForm) {
    MSG message{};
    for (;;) {
        const BOOL result = GetMessageW(&message, nullptr, 0, 0);
        if (result == 0) {
            return;
        }
        // Only a broken message queue fails here; nothing was retrieved that could be
        // dispatched, and the loop could not go on.
        if (result == -1) {
            return;
        }
        if (mainForm != nullptr && mainForm->dialogStyle && mainForm->window != nullptr &&
            IsDialogMessageW(mainForm->window, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

namespace {

// Milliseconds on a monotonic clock: a change of the wall clock neither stretches nor cuts
// the wait.
ULONGLONG NowMilliseconds() {
    return GetTickCount64();
}

} // namespace

void WaitOneSecond() {
    const ULONGLONG deadline = NowMilliseconds() + 1000;
    bool quitReceived = false;
    WPARAM exitCode = 0;
    for (;;) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Kept for the main loop and posted again when the second is over; posting
                // it now would wake this wait at once, again and again.
                quitReceived = true;
                exitCode = message.wParam;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const ULONGLONG now = NowMilliseconds();
        if (now >= deadline) {
            break;
        }
        // Sleeps until a message arrives or the second is over.
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
    if (quitReceived) {
        PostQuitMessage(static_cast<int>(exitCode));
    }
}

} // namespace VelkUtility
