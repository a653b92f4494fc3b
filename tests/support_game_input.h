#pragma once

// Real input for the serial tests of the main window: synthesised mouse clicks and keys.

#include "support/TestSupport.h"

#include <windows.h>

#include <vector>

namespace GameTest {

// A left click at a point of a window's client area, through the system's input queue.
inline void RealClick(HWND window, POINT point) {
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);
    TestSupport::PumpMessages(30);
    INPUT inputs[2]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// Keys pressed in order and released in reverse order.
inline void RealChord(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Brings a window to the front and waits until the system agrees.
inline bool MakeForeground(HWND window) {
    SetForegroundWindow(window);
    return TestSupport::PumpUntil([window] { return GetForegroundWindow() == window; }, 3000);
}

} // namespace GameTest
