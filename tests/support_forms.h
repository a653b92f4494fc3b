#pragma once

// Helpers of the form, window procedure and message loop tests: a call log that callbacks
// write to, forms made in one line, and small queue checks.

#include "framework/Form.h"
#include "framework/GUIElement.h"

#include <windows.h>

#include <string>
#include <vector>

namespace FormsTest {

// One callback or virtual operation call: who was called, with what.
struct Call {
    std::string name;
    VelkUtility::GUIElement* element = nullptr;
    int a = 0;
    int b = 0;
};

// Calls seen since the test began; callbacks append to it.
inline std::vector<Call>& Log() {
    static std::vector<Call> calls;
    return calls;
}

inline void Record(std::string name, VelkUtility::GUIElement* element = nullptr, int a = 0,
                   int b = 0) {
    Log().push_back(Call{std::move(name), element, a, b});
}

inline int CountOf(const std::string& name) {
    int count = 0;
    for (const Call& call : Log()) {
        if (call.name == name) {
            ++count;
        }
    }
    return count;
}

// Names of the logged calls, in order.
inline std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Call& call : Log()) {
        names.push_back(call.name);
    }
    return names;
}

inline HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

// A plain form at a fixed place, created and shown.
inline VelkUtility::Form* NewForm(int width = 300, int height = 200, int left = 50, int top = 50) {
    auto* form = new VelkUtility::Form(Instance());
    form->SetLocation(left, top);
    form->SetSize(width, height);
    form->Create();
    return form;
}

// Takes a WM_QUIT waiting in this thread's queue; returns whether there was one and its code.
inline bool TakeQuit(int* exitCode = nullptr) {
    MSG message{};
    if (!PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        return false;
    }
    if (exitCode != nullptr) {
        *exitCode = static_cast<int>(message.wParam);
    }
    return true;
}

} // namespace FormsTest
