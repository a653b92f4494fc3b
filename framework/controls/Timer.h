#pragma once

#include "Child.h"

namespace VelkUtility {

using TickCallback = void (*)(GUIElement* timer);

// A periodic callback on the user-interface thread: a system timer on the parent's window
// whose identifier is the element's id.
class Timer : public Child {
public:
    Timer(GUIElement* parentElement, int milliseconds);
    ~Timer() override;

    void Create() override;
    void Start();
    void Stop();

    bool running = false;
    int interval = 0;
    TickCallback onTick = nullptr;

private:
    // The window the system timer was set on: Stop needs it whether or not the parent element
    // is still there.
    HWND timerWindow = nullptr;
};

} // namespace VelkUtility
