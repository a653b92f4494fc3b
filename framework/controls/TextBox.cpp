#include "framework/controls/TextBox.h"

#include "framework/Font.h"
#include "framework/TextHelpers.h"

namespace VelkUtility {

TextBox::TextBox(GUIElement* parentElement, std::string content) {
    text = ToWide(std::move(content));
    parent = parentElement;
    typeName = "textbox";
    width = 80;
    height = 30;
}

DWORD TextBox::ComputeStyle() const {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    if (!enabled) {
        style |= WS_DISABLED;
    }
    if (horizontalScroll) {
        style |= WS_HSCROLL;
    }
    if (verticalScroll) {
        style |= WS_VSCROLL;
    }
    if (numbersOnly) {
        style |= ES_NUMBER;
    }
    if (border) {
        style |= WS_BORDER;
    }
    if (multiline) {
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
        if (!wordWrap) {
            style |= ES_AUTOHSCROLL;
        }
    } else {
        style |= ES_AUTOHSCROLL;
    }
    if (readOnly) {
        style |= ES_READONLY;
    }
    if (uppercase) {
        style |= ES_UPPERCASE;
    } else if (lowercase) {
        style |= ES_LOWERCASE;
    }
    if (alignRight) {
        style |= ES_RIGHT;
    } else if (alignCenter) {
        style |= ES_CENTER;
    }
    return style;
}

void TextBox::Create() {
    if (created) {
        return;
    }
    CreateChildWindow(L"edit", ComputeStyle(), border ? WS_EX_CLIENTEDGE : 0, false);
    if (maxLength != -1) {
        SendMessageW(window, EM_LIMITTEXT, static_cast<WPARAM>(maxLength), 0);
    }
    CreateToolTip(window);
    if (font != nullptr) {
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font->GetHandle()), TRUE);
    }
}

void TextBox::ApplyStyle() {
    if (!created) {
        return;
    }
    if (SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>(ComputeStyle())) == 0) {
        (void)GetLastError();
        return;
    }
    SendMessageW(window, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
    SendMessageW(window, EM_SETPASSWORDCHAR, password ? L'*' : 0, 0);
    // Makes the system redraw the frame for the new style.
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

} // namespace VelkUtility
