#include "framework/Form.h"

#include "framework/Font.h"
#include "framework/TextHelpers.h"
#include "framework/WindowProcedure.h"

#include <string>

namespace VelkUtility {

Form::Form(HINSTANCE instance) : GUIElement(instance) {
    typeName = "form";
}

Form::Form(HINSTANCE instance, bool dialog) : GUIElement(instance) {
    typeName = "form";
    dialogStyle = dialog;
}

Form::~Form() {
    // The derived form is already gone: the close below must reach none of its callbacks.
    ClearCallbacks();
    if (created && window != nullptr) {
        SendMessageW(window, WM_CLOSE, 0, 0);
        created = false;
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }
    // Only after the window, which may still show it, is gone. A resource icon is shared and
    // stays.
    if (icon != nullptr && ownsIcon) {
        DestroyIcon(icon);
    }
    icon = nullptr;
    // A class is only released once no window uses it; a window that could not be destroyed
    // keeps its class and brush. Unregistering deletes the class background brush as well: the
    // brush must not be deleted a second time here.
    if (classRegistered && (window == nullptr || !IsWindow(window))) {
        UnregisterClassW(className.c_str(), instance);
    }
    classRegistered = false;
    classBrush = nullptr;
}

DWORD Form::ComputeStyle() const {
    DWORD style = 0;
    if (dialogStyle) {
        style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
        if (maximizeBox) {
            style |= WS_MAXIMIZEBOX;
        }
        if (dialogFrameBit) {
            style |= 0x80;
        }
    } else if (titled) {
        style = WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
        if (minimizeBox) {
            style |= WS_MINIMIZEBOX;
        }
        if (maximizeBox) {
            style |= WS_MAXIMIZEBOX | WS_THICKFRAME;
        }
    } else {
        style = WS_POPUP;
    }
    if (!enabled) {
        style |= WS_DISABLED;
    }
    return style;
}

DWORD Form::ComputeExStyle() const {
    if (!dialogStyle) {
        return 0;
    }
    DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW;
    if (topMost) {
        exStyle |= WS_EX_TOPMOST;
    }
    return exStyle;
}

void Form::Create() {
    if (created) {
        return;
    }
    const std::wstring title = text;
    // Each form registers a class of its own, named after the identifier counter.
    className = L"Window" + Int64ToWide(nextControlId);
    id = ++nextControlId;

    windowClass = WNDCLASSW{};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = FrameworkWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className.c_str();
    // A solid brush belongs to the class and is released with it.
    classBrush = backColor == NoColor ? nullptr : CreateSolidBrush(backColor);
    windowClass.hbrBackground =
        classBrush != nullptr ? classBrush : GetSysColorBrush(COLOR_BTNFACE);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = iconId != 0 ? LoadIconW(instance, MAKEINTRESOURCEW(iconId))
                                    : LoadIconW(nullptr, IDI_APPLICATION);
    classRegistered = RegisterClassW(&windowClass) != 0;
    if (!classRegistered && classBrush != nullptr) {
        DeleteObject(classBrush);
        classBrush = nullptr;
    }

    window = CreateWindowExW(ComputeExStyle(), className.c_str(), title.c_str(), ComputeStyle(), x,
                             y, width, height, nullptr, nullptr, instance, nullptr);
    if (mainWindow == nullptr) {
        mainWindow = window;
    }
    OnCreated(window);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    created = true;
    CreateToolTip(window);
    if (font != nullptr) {
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font->GetHandle()), TRUE);
    }
}

void Form::SetClientSize(int clientWidth, int clientHeight) {
    if (!created) {
        return;
    }
    RECT windowRect{};
    RECT clientRect{};
    GetWindowRect(window, &windowRect);
    GetClientRect(window, &clientRect);
    int frameWidth = (windowRect.right - windowRect.left) - (clientRect.right - clientRect.left);
    int frameHeight = (windowRect.bottom - windowRect.top) - (clientRect.bottom - clientRect.top);
    if (frameWidth < 0) {
        frameWidth = 0;
    }
    if (frameHeight < 0) {
        frameHeight = 0;
    }
    GetPosition();
    width = clientWidth + frameWidth;
    height = clientHeight + frameHeight;
    SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOMOVE);
    UpdateToolTip();
    Redraw();
}

void Form::CenterOnScreen() {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (created) {
        RECT rect{};
        GetWindowRect(window, &rect);
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
    }
    x = (screenWidth - width) / 2;
    y = (screenHeight - height) / 2;
    if (created) {
        SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOSIZE);
        Redraw();
    }
}

void Form::RegisterHotKeys() {
    for (size_t i = 0; i < hotKeys.size(); ++i) {
        RegisterHotKey(window, static_cast<int>(i) + 1, static_cast<UINT>(hotKeys[i].modifiers),
                       static_cast<UINT>(hotKeys[i].key));
    }
}

void Form::UnregisterHotKeys() {
    for (size_t i = 0; i < hotKeys.size(); ++i) {
        UnregisterHotKey(window, static_cast<int>(i) + 1);
    }
}

} // namespace VelkUtility
