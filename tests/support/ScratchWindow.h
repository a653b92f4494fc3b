#pragma once

#include <windows.h>

namespace TestSupport {

// A throw-away visible top-level window with a white background and DefWindowProcW behind it,
// to own or host what a test builds. Destroyed with the object.
class ScratchWindow {
public:
    explicit ScratchWindow(int clientWidth = 320, int clientHeight = 240,
                           DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ~ScratchWindow();

    ScratchWindow(const ScratchWindow&) = delete;
    ScratchWindow& operator=(const ScratchWindow&) = delete;

    HWND Handle() const { return window; }
    operator HWND() const { return window; }

private:
    HWND window = nullptr;
};

} // namespace TestSupport
