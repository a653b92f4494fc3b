#include "Timer.h"

namespace VelkUtility {

Timer::Timer(GUIElement* parentElement, int milliseconds) {
    parent = parentElement;
    interval = milliseconds;
    text = L"timer";
    typeName = "timer";
    width = 50;
    height = 22;
}

Timer::~Timer() {
    Stop();
}

void Timer::Create() {
    // A hidden window that only gives the timer its identifier.
    DWORD style = WS_CHILD;
    if (!enabled) {
        style |= WS_DISABLED;
    }
    CreateChildWindow(L"static", style, 0, false);
}

void Timer::Start() {
    if (running) {
        return;
    }
    Create();
    HWND target = ParentWindow();
    // Without a parent window SetTimer would make a thread timer under another identifier,
    // which KillTimer could never find again.
    if (target != nullptr) {
        SetTimer(target, static_cast<UINT_PTR>(id), static_cast<UINT>(interval), nullptr);
    }
    timerWindow = target;
    running = true;
}

void Timer::Stop() {
    if (!running) {
        return;
    }
    if (timerWindow != nullptr) {
        KillTimer(timerWindow, static_cast<UINT_PTR>(id));
    }
    timerWindow = nullptr;
    running = false;
}

} // namespace VelkUtility
