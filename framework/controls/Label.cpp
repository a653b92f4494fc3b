#include "framework/controls/Label.h"

#include "framework/TextHelpers.h"

#include <utility>

namespace VelkUtility {

Label::Label(GUIElement* parentElement, std::string caption) {
    text = ToWide(std::move(caption));
    parent = parentElement;
    typeName = "label";
    width = 80;
    height = 30;
}

void Label::Create() {
    CreateChildWindow(L"static", ComputeStyle(), ComputeExStyle());
}

DWORD Label::ComputeStyle() const {
    // SS_NOTIFY lets the static window take mouse input itself, so the label's own mouse
    // callbacks and cursor choice work.
    DWORD style = WS_CHILD | WS_VISIBLE | SS_NOTIFY;
    if (!enabled) {
        style |= WS_DISABLED;
    }
    if (border) {
        style |= WS_BORDER;
    }
    if (alignRight) {
        style |= SS_RIGHT;
    } else if (alignCenter) {
        style |= SS_CENTER;
    }
    return style;
}

DWORD Label::ComputeExStyle() const {
    return border ? WS_EX_CLIENTEDGE : 0;
}

} // namespace VelkUtility
