#include "Child.h"

#include "../Font.h"
#include "../WindowProcedure.h"

namespace VelkUtility {

Child::Child() : GUIElement(nullptr) {}

Child::~Child() {
    // A tooltip subclasses its owner on top of the framework procedure: it goes first, taking
    // its subclass with it, so that the framework procedure is on top again and can be undone.
    if (toolTipWindow != nullptr && IsWindow(toolTipWindow)) {
        DestroyWindow(toolTipWindow);
    }
    toolTipWindow = nullptr;
    // A control that outlives its element must not be routed to it any more; give it back
    // its own procedure, but only while the handle still belongs to this element.
    if (baseWindowProc == nullptr || window == nullptr || !IsWindow(window)) {
        return;
    }
    if (FindByWindow(window) != this) {
        return;
    }
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (current == &FrameworkWindowProc) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(baseWindowProc));
    } else {
        // Some tooltip controls leave their subclass in place when they go.
        LeaveToClassProcedure(window, baseWindowProc);
    }
}

void Child::CreateChildWindow(const wchar_t* className, DWORD style, DWORD exStyle,
                              bool withExtras) {
    if (created) {
        return;
    }
    id = ++nextControlId;
    window = CreateWindowExW(exStyle, className, text.c_str(), style, x, y, width, height,
                             ParentWindow(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             nullptr, nullptr);
    if (window != nullptr) {
        Subclass();
    } else {
        // Failure is not reported; the element simply has no window.
        (void)GetLastError();
    }
    created = true;
    if (!withExtras) {
        return;
    }
    CreateToolTip(window);
    if (font != nullptr) {
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font->GetHandle()), TRUE);
    }
}

void Child::Subclass() {
    if (window == nullptr) {
        return;
    }
    // Subclassing twice would make the framework procedure its own base and loop forever.
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (current == &FrameworkWindowProc) {
        return;
    }
    baseWindowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWindowProc)));
}

HWND Child::ParentWindow() const {
    return parent != nullptr ? parent->window : nullptr;
}

} // namespace VelkUtility
