#include "GUIElement.h"

#include "Font.h"
#include "TextHelpers.h"
#include "WindowProcedure.h"
#include "controls/SubMenu.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <utility>

namespace VelkUtility {

std::vector<GUIElement*> elementRegistry;
int nextControlId = 0;

namespace {

// Longest tooltip text handed to the tooltip control, in characters.
constexpr std::size_t MaxToolTipLength = 2023;

// BeginPaint when made, EndPaint when it goes.
class PaintScope {
public:
    explicit PaintScope(HWND paintedWindow) : window(paintedWindow) {
        dc = BeginPaint(window, &paint);
    }
    ~PaintScope() { EndPaint(window, &paint); }

    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Dc() const { return dc; }

private:
    HWND window;
    PAINTSTRUCT paint{};
    HDC dc = nullptr;
};

template <typename Callback, typename... Arguments>
void CallIfSet(Callback callback, Arguments... arguments) {
    if (callback != nullptr) {
        callback(arguments...);
    }
}

} // namespace

GUIElement::GUIElement(HINSTANCE instanceHandle) : instance(instanceHandle) {
    elementRegistry.push_back(this);
}

// The element leaves the registry and the dispatch's memory, so that no lookup can hand out a
// deleted element when its old window handle or identifier turns up again.
GUIElement::~GUIElement() {
    elementRegistry.erase(std::remove(elementRegistry.begin(), elementRegistry.end(), this),
                          elementRegistry.end());
    // Elements deleted after their parent (a timer, say) must not reach it through their link.
    for (GUIElement* element : elementRegistry) {
        if (element != nullptr && element->parent == this) {
            element->parent = nullptr;
        }
    }
    ForgetElement(this);
    if (toolTipWindow != nullptr && IsWindow(toolTipWindow)) {
        DestroyWindow(toolTipWindow);
    }
}

// On a created element the colour is painted by the next WM_PAINT: painting it here would
// validate the window, and the element's own painting (a cell's text, a control's face) would
// then never come.
void GUIElement::SetBackColor(COLORREF color) {
    backColor = color;
    if (!created) {
        return;
    }
    InvalidateRect(window, nullptr, FALSE);
    backPainted = true;
}

// Runs inside WM_PAINT. A control with a class procedure paints itself after this, so its
// window is left invalid for it; any other window is painted and validated here.
void GUIElement::PaintBackColor() {
    if (!created || window == nullptr) {
        return;
    }
    InvalidateRect(window, nullptr, FALSE);
    RECT client{};
    GetClientRect(window, &client);
    if (baseWindowProc != nullptr) {
        HDC dc = GetDC(window);
        if (dc != nullptr) {
            SetBkColor(dc, backColor);
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, L"", 0, nullptr);
            ReleaseDC(window, dc);
        }
        return;
    }
    PaintScope paint(window);
    if (paint.Dc() != nullptr) {
        SetBkColor(paint.Dc(), backColor);
        ExtTextOutW(paint.Dc(), 0, 0, ETO_OPAQUE, &client, L"", 0, nullptr);
    }
}

void GUIElement::SetEnabled(bool value) {
    enabled = value;
    if (created) {
        EnableWindow(window, value ? TRUE : FALSE);
    }
}

void GUIElement::SetText(std::wstring value) {
    text = std::move(value);
    if (created) {
        SetWindowTextW(window, text.c_str());
    }
}

void GUIElement::SetText(std::string value) {
    SetText(ToWide(std::move(value)));
}

void GUIElement::OnLeftButtonUp(int px, int py) {
    CallIfSet(onLeftButtonUp, this, window, px, py);
}

void GUIElement::OnLeftButtonDown(int px, int py) {
    CallIfSet(onLeftButtonDown, this, window, px, py);
}

void GUIElement::OnLeftDoubleClick(int px, int py) {
    CallIfSet(onLeftDoubleClick, this, window, px, py);
}

void GUIElement::OnRightButtonUp(int px, int py) {
    CallIfSet(onRightButtonUp, this, window, px, py);
}

void GUIElement::OnRightButtonDown(int px, int py) {
    CallIfSet(onRightButtonDown, this, window, px, py);
}

void GUIElement::OnRightDoubleClick(int px, int py) {
    CallIfSet(onRightDoubleClick, this, window, px, py);
}

void GUIElement::OnKeyUp(int key) {
    CallIfSet(onKeyUp, this, key);
}

void GUIElement::OnKeyDown(int key) {
    CallIfSet(onKeyDown, this, key);
}

bool GUIElement::OnChar(int ch) {
    return onChar == nullptr || onChar(this, ch);
}

void GUIElement::OnMouseMove(int px, int py) {
    CallIfSet(onMouseMove, this, px, py);
}

void GUIElement::OnMouseHover() {
    CallIfSet(onMouseHover, this);
}

void GUIElement::OnMouseLeave() {
    CallIfSet(onMouseLeave, this);
}

// An element without a window has nothing to focus: SetFocus(nullptr) would take the keyboard
// focus away from every window of the thread.
void GUIElement::Focus() {
    if (created && window != nullptr) {
        SetFocus(window);
    }
}

void GUIElement::OnMove() {
    GetPosition();
    CallIfSet(onMove, this);
}

void GUIElement::OnSize() {
    CallIfSet(onSize, this);
}

// Runs on every WM_PAINT: a background colour set after creation is painted again each time.
void GUIElement::OnPaint() {
    if (backPainted) {
        PaintBackColor();
    }
    CallIfSet(onPaint, this);
}

HBRUSH GUIElement::OnControlColor(HDC) {
    return nullptr;
}

bool GUIElement::OnClose() {
    return onClose == nullptr || onClose(this);
}

void GUIElement::OnDestroy() {
    CallIfSet(onDestroy, this);
}

void GUIElement::OnSetFocus() {
    focusText = GetText();
    CallIfSet(onSetFocus, this);
}

void GUIElement::OnKillFocus() {
    CallIfSet(onKillFocus, this);
    if (GetText() != focusText) {
        CallIfSet(onTextChanged, this);
    }
}

void GUIElement::OnActivate() {
    CallIfSet(onActivate, this);
}

void GUIElement::OnDeactivate() {
    CallIfSet(onDeactivate, this);
}

// Runs inside WM_CREATE for forms, before CreateWindowExW has returned the handle.
void GUIElement::OnCreated(HWND handle) {
    if (window == nullptr) {
        window = handle;
    }
    if (!createdNotified) {
        // Marked first: the callback builds children and may come back here.
        createdNotified = true;
        CallIfSet(onCreated, this, window);
    }
}

void GUIElement::Redraw() {
    if (created) {
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    }
}

bool GUIElement::GetWaitCursor() {
    return waitCursor;
}

bool GUIElement::GetHandCursor() {
    return handCursor;
}

void GUIElement::SetWaitCursor(bool value) {
    waitCursor = value;
}

void GUIElement::SetHandCursor(bool value) {
    handCursor = value;
}

void GUIElement::OnShow() {}

void GUIElement::OnNotify(int, std::vector<int>, std::vector<std::string>) {}

std::wstring GUIElement::GetText() {
    if (created) {
        const int length = GetWindowTextLengthW(window);
        if (length <= 0) {
            text.clear();
        } else {
            std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
            const int copied = GetWindowTextW(window, &buffer[0], length + 1);
            if (copied != 0) {
                buffer.resize(static_cast<std::size_t>(copied));
                text = std::move(buffer);
            }
        }
    }
    return text;
}

std::string GUIElement::GetTextNarrow() {
    return ToNarrow(GetText());
}

std::string GUIElement::GetToolTip() {
    return toolTip;
}

POINT GUIElement::GetPosition() {
    if (created) {
        RECT bounds{};
        if (GetWindowRect(window, &bounds)) {
            POINT corner{bounds.left, bounds.top};
            if (parent != nullptr) {
                ScreenToClient(parent->window, &corner);
            }
            x = corner.x;
            y = corner.y;
        }
    }
    return POINT{x, y};
}

void GUIElement::SetSize(int newWidth, int newHeight) {
    width = newWidth;
    height = newHeight;
    if (created) {
        SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOMOVE);
        UpdateToolTip();
        Redraw();
    }
}

void GUIElement::SetLocation(int newX, int newY) {
    x = newX;
    y = newY;
    if (created) {
        SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOSIZE);
        Redraw();
    }
}

void GUIElement::SetFont(Font* newFont) {
    font = newFont;
    if (created) {
        HFONT handle = font != nullptr ? font->GetHandle() : nullptr;
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
    }
}

void GUIElement::CreateToolTip(HWND owner) {
    if (toolTip.empty() || owner == nullptr) {
        return;
    }
    // A second tooltip for the same element would leave the first one behind.
    if (toolTipWindow != nullptr && IsWindow(toolTipWindow)) {
        DestroyWindow(toolTipWindow);
    }
    toolTipWindow = nullptr;

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);

    toolTipWindow = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0, 0, owner,
                                    nullptr, nullptr, nullptr);
    if (toolTipWindow == nullptr) {
        return;
    }
    SetWindowPos(toolTipWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    SendToolInfo(TTM_ADDTOOLW, owner);
}

// Called after the size or the tooltip text of a created element changed.
void GUIElement::UpdateToolTip() {
    if (toolTipWindow == nullptr) {
        CreateToolTip(window);
        return;
    }
    SendToolInfo(TTM_UPDATETIPTEXTW, window);
    SendToolInfo(TTM_NEWTOOLRECTW, window);
}

void GUIElement::SendToolInfo(UINT message, HWND owner) {
    // The control copies the text during SendMessageW; the buffer only has to live until then.
    std::wstring tipText = ToWide(toolTip);
    if (tipText.size() > MaxToolTipLength) {
        tipText.resize(MaxToolTipLength);
    }

    TTTOOLINFOW tool{};
    // The record without its trailing reserved pointer, as every comctl32 version accepts it.
    tool.cbSize = static_cast<UINT>(offsetof(TTTOOLINFOW, lpReserved));
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(owner);
    GetClientRect(owner, &tool.rect);
    tool.hinst = nullptr;
    tool.lpszText = &tipText[0];
    SendMessageW(toolTipWindow, message, 0, reinterpret_cast<LPARAM>(&tool));
}

void GUIElement::ClearCallbacks() {
    onCreated = nullptr;
    onLeftButtonUp = nullptr;
    onLeftButtonDown = nullptr;
    onLeftDoubleClick = nullptr;
    onRightButtonUp = nullptr;
    onRightButtonDown = nullptr;
    onRightDoubleClick = nullptr;
    onKeyUp = nullptr;
    onKeyDown = nullptr;
    onChar = nullptr;
    onMove = nullptr;
    onSize = nullptr;
    onPaint = nullptr;
    onClose = nullptr;
    onDestroy = nullptr;
    onSetFocus = nullptr;
    onKillFocus = nullptr;
    onActivate = nullptr;
    onDeactivate = nullptr;
    onTextChanged = nullptr;
    onMouseMove = nullptr;
    onMouseHover = nullptr;
    onMouseLeave = nullptr;
}

GUIElement* FindByWindow(HWND handle) {
    // No element has the null window, not even one whose window is not made yet.
    if (handle == nullptr) {
        return nullptr;
    }
    GUIElement* match = nullptr;
    for (GUIElement* element : elementRegistry) {
        if (element != nullptr && element->window == handle) {
            match = element;
        }
    }
    if (match != nullptr || elementRegistry.empty()) {
        return match;
    }
    // Messages sent during CreateWindowExW (WM_CREATE among them) arrive before the handle is
    // stored: they belong to the element under construction, the last one registered. A menu
    // entry or an element whose creation failed has no window either, but is created already.
    GUIElement* last = elementRegistry.back();
    if (last != nullptr && last->window == nullptr && !last->created) {
        return last;
    }
    return nullptr;
}

// 0 is the identifier of elements that never took one: it names no element.
GUIElement* FindById(int identifier) {
    if (identifier == 0) {
        return nullptr;
    }
    for (GUIElement* element : elementRegistry) {
        if (element != nullptr && element->id == identifier) {
            return element;
        }
    }
    return nullptr;
}

SubMenu* FindSubMenuById(int identifier) {
    if (identifier == 0) {
        return nullptr;
    }
    for (GUIElement* element : elementRegistry) {
        auto* entry = dynamic_cast<SubMenu*>(element);
        if (entry != nullptr && entry->id == identifier) {
            return entry;
        }
    }
    return nullptr;
}

} // namespace VelkUtility
