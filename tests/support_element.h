#pragma once

// Test-only elements for the element core's tests: a GUIElement whose Create makes a real
// child window, and recorders for every callback.

#include "framework/Font.h"
#include "framework/GUIElement.h"

#include <windows.h>

#include <string>
#include <vector>

namespace ElementTest {

// A plain child window class with a white background and DefWindowProcW behind it.
inline const wchar_t* PlainClass() {
    static const wchar_t* const name = L"OndrelElementTestWindow";
    static bool registered = false;
    if (!registered) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = name;
        RegisterClassW(&windowClass);
        registered = true;
    }
    return name;
}

// A concrete element: Create takes the next identifier and makes a visible child window of
// host with the element's geometry and text, then applies its font.
class TestElement : public VelkUtility::GUIElement {
public:
    explicit TestElement(HWND hostWindow, const wchar_t* className = nullptr)
        : GUIElement(nullptr), host(hostWindow),
          windowClassName(className != nullptr ? className : PlainClass()) {}

    void Create() override {
        if (created) {
            return;
        }
        id = ++VelkUtility::nextControlId;
        window = CreateWindowExW(
            0, windowClassName, text.c_str(), WS_CHILD | WS_VISIBLE, x, y, width, height, host,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
        created = true;
        if (window != nullptr && font != nullptr) {
            SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font->GetHandle()), TRUE);
        }
    }

    HWND host;
    const wchar_t* windowClassName;
};

// One callback call as a recorder saw it.
struct Call {
    std::string name;
    VelkUtility::GUIElement* element = nullptr;
    HWND window = nullptr;
    int a = 0;
    int b = 0;
};

inline std::vector<Call>& Calls() {
    static std::vector<Call> calls;
    return calls;
}

inline void Record(const char* name, VelkUtility::GUIElement* element, HWND window = nullptr,
                   int a = 0, int b = 0) {
    Calls().push_back(Call{name, element, window, a, b});
}

// What the recording onChar and onClose answer.
inline bool& CallbackAnswer() {
    static bool answer = true;
    return answer;
}

// Sets every callback of the element to a recorder that names the callback.
inline void RecordEveryCallback(VelkUtility::GUIElement& e) {
    using VelkUtility::GUIElement;
    e.onCreated = [](GUIElement* el, HWND w) { Record("Created", el, w); };
    e.onLeftButtonUp = [](GUIElement* el, HWND w, int x, int y) {
        Record("LeftButtonUp", el, w, x, y);
        return 0;
    };
    e.onLeftButtonDown = [](GUIElement* el, HWND w, int x, int y) {
        Record("LeftButtonDown", el, w, x, y);
        return 0;
    };
    e.onLeftDoubleClick = [](GUIElement* el, HWND w, int x, int y) {
        Record("LeftDoubleClick", el, w, x, y);
        return 0;
    };
    e.onRightButtonUp = [](GUIElement* el, HWND w, int x, int y) {
        Record("RightButtonUp", el, w, x, y);
        return 0;
    };
    e.onRightButtonDown = [](GUIElement* el, HWND w, int x, int y) {
        Record("RightButtonDown", el, w, x, y);
        return 0;
    };
    e.onRightDoubleClick = [](GUIElement* el, HWND w, int x, int y) {
        Record("RightDoubleClick", el, w, x, y);
        return 0;
    };
    e.onKeyUp = [](GUIElement* el, int key) {
        Record("KeyUp", el, nullptr, key);
        return 0;
    };
    e.onKeyDown = [](GUIElement* el, int key) {
        Record("KeyDown", el, nullptr, key);
        return 0;
    };
    e.onChar = [](GUIElement* el, int ch) {
        Record("Char", el, nullptr, ch);
        return CallbackAnswer();
    };
    e.onMove = [](GUIElement* el) { Record("Move", el, nullptr, el->x, el->y); };
    e.onSize = [](GUIElement* el) { Record("Size", el); };
    e.onPaint = [](GUIElement* el) { Record("Paint", el); };
    e.onClose = [](GUIElement* el) {
        Record("Close", el);
        return CallbackAnswer();
    };
    e.onDestroy = [](GUIElement* el) { Record("Destroy", el); };
    e.onSetFocus = [](GUIElement* el) { Record("SetFocus", el); };
    e.onKillFocus = [](GUIElement* el) { Record("KillFocus", el); };
    e.onActivate = [](GUIElement* el) { Record("Activate", el); };
    e.onDeactivate = [](GUIElement* el) { Record("Deactivate", el); };
    e.onTextChanged = [](GUIElement* el) { Record("TextChanged", el); };
    e.onMouseMove = [](GUIElement* el, int x, int y) { Record("MouseMove", el, nullptr, x, y); };
    e.onMouseHover = [](GUIElement* el) { Record("MouseHover", el); };
    e.onMouseLeave = [](GUIElement* el) { Record("MouseLeave", el); };
}

inline std::vector<std::string> CallNames() {
    std::vector<std::string> names;
    for (const Call& call : Calls()) {
        names.push_back(call.name);
    }
    return names;
}

// A window's rectangle in the client coordinates of its parent.
inline RECT RectInParent(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

} // namespace ElementTest
