#pragma once

#include "framework/GUIElement.h"

#include <string>
#include <vector>

namespace VelkUtility {

class Form;

using HotKeyHandler = void (*)(Form* form, int modifiers, int key);

// One system hot key of a form; the entry at position i is registered with identifier i + 1.
struct HotKey {
    int modifiers = 0;
    int key = 0;
    HotKeyHandler handler = nullptr;
};

// An element that owns a top-level window with a window class of its own.
class Form : public GUIElement {
public:
    // Plain form.
    explicit Form(HINSTANCE instance);
    // Dialog-style form: a tool window with a dialog frame.
    Form(HINSTANCE instance, bool dialog);
    ~Form() override;

    void Create() override;

    void SetClientSize(int clientWidth, int clientHeight);
    void CenterOnScreen();
    void RegisterHotKeys();
    void UnregisterHotKeys();

    // Window style and extended style that Create gives the window, from the flags.
    DWORD ComputeStyle() const;
    DWORD ComputeExStyle() const;

    Form* companion = nullptr;
    bool topMost = true;
    bool minimizeBox = true;
    bool maximizeBox = true;
    bool titled = true;
    bool dialogStyle = false;
    bool dialogFrameBit = false;
    std::vector<HotKey> hotKeys;
    HICON icon = nullptr;
    // Set when icon was made for this form alone (not a shared resource icon); only then
    // does the destructor destroy it.
    bool ownsIcon = false;
    int iconId = 0;
    // Name of the class registered by Create; windowClass points at it.
    std::wstring className;

private:
    // The class goes with the form, so forms made again and again leave no classes behind.
    bool classRegistered = false;
    // The class background brush when the form made it (a colour of its own).
    HBRUSH classBrush = nullptr;
};

} // namespace VelkUtility
