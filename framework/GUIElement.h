#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace VelkUtility {

class Font;
class GUIElement;
class SubMenu;

// Event callbacks: plain function pointers, each taking the element first. A null pointer
// means the event is not handled.
using CreatedCallback = void (*)(GUIElement* element, HWND window);
using MouseButtonCallback = int (*)(GUIElement* element, HWND window, int x, int y);
using KeyCallback = int (*)(GUIElement* element, int key);
using CharCallback = bool (*)(GUIElement* element, int ch);
using EventCallback = void (*)(GUIElement* element);
using CloseCallback = bool (*)(GUIElement* element);
using MouseMoveCallback = void (*)(GUIElement* element, int x, int y);

// No colour set: the system colour applies.
constexpr COLORREF NoColor = 0xFFFFFFFF;

// Root of every window-backed object of the framework. Elements enter the process-wide
// registry when constructed and leave it when destroyed, so the window procedure can map
// a window handle, a control identifier or a menu command back to a live element.
class GUIElement {
public:
    explicit GUIElement(HINSTANCE instance);
    virtual ~GUIElement();

    GUIElement(const GUIElement&) = delete;
    GUIElement& operator=(const GUIElement&) = delete;

    // Virtual operations, in their fixed order.
    virtual void SetBackColor(COLORREF color);
    virtual void SetEnabled(bool value);
    virtual void SetText(std::wstring value);
    virtual void SetText(std::string value);
    virtual void OnLeftButtonUp(int x, int y);
    virtual void OnLeftButtonDown(int x, int y);
    virtual void OnLeftDoubleClick(int x, int y);
    virtual void OnRightButtonUp(int x, int y);
    virtual void OnRightButtonDown(int x, int y);
    virtual void OnRightDoubleClick(int x, int y);
    virtual void OnKeyUp(int key);
    virtual void OnKeyDown(int key);
    virtual bool OnChar(int ch);
    virtual void OnMouseMove(int x, int y);
    virtual void OnMouseHover();
    virtual void OnMouseLeave();
    virtual void Focus();
    virtual void OnMove();
    virtual void OnSize();
    virtual void OnPaint();
    virtual HBRUSH OnControlColor(HDC dc);
    virtual bool OnClose();
    virtual void OnDestroy();
    virtual void OnSetFocus();
    virtual void OnKillFocus();
    virtual void OnActivate();
    virtual void OnDeactivate();
    virtual void OnCreated(HWND handle);
    virtual void Redraw();
    virtual bool GetWaitCursor();
    virtual bool GetHandCursor();
    virtual void SetWaitCursor(bool value);
    virtual void SetHandCursor(bool value);
    virtual void OnShow();
    virtual void OnNotify(int kind, std::vector<int> numbers, std::vector<std::string> texts);
    virtual void Create() = 0;

    std::wstring GetText();
    std::string GetTextNarrow();
    std::string GetToolTip();
    POINT GetPosition();
    void SetSize(int newWidth, int newHeight);
    void SetLocation(int newX, int newY);
    void SetFont(Font* newFont);
    void CreateToolTip(HWND owner);
    void UpdateToolTip();

    // Clears every callback, so that no message arriving from now on reaches the owner's code.
    void ClearCallbacks();

    bool waitCursor = false;
    bool handCursor = false;
    HWND toolTipWindow = nullptr;
    HWND window = nullptr;
    HINSTANCE instance = nullptr;
    WNDCLASSW windowClass{};
    Font* font = nullptr;
    int width = 100;
    int height = 50;
    int x = 100;
    int y = 100;
    bool created = false;
    COLORREF backColor = NoColor;
    std::wstring text;
    std::wstring focusText;
    bool backPainted = false;
    bool enabled = true;
    int id = 0;
    std::string typeName;
    std::string toolTip;
    GUIElement* parent = nullptr;
    WNDPROC baseWindowProc = nullptr;
    CreatedCallback onCreated = nullptr;
    bool createdNotified = false;
    MouseButtonCallback onLeftButtonUp = nullptr;
    MouseButtonCallback onLeftButtonDown = nullptr;
    MouseButtonCallback onLeftDoubleClick = nullptr;
    MouseButtonCallback onRightButtonUp = nullptr;
    MouseButtonCallback onRightButtonDown = nullptr;
    MouseButtonCallback onRightDoubleClick = nullptr;
    KeyCallback onKeyUp = nullptr;
    KeyCallback onKeyDown = nullptr;
    CharCallback onChar = nullptr;
    EventCallback onMove = nullptr;
    EventCallback onSize = nullptr;
    EventCallback onPaint = nullptr;
    CloseCallback onClose = nullptr;
    EventCallback onDestroy = nullptr;
    EventCallback onSetFocus = nullptr;
    EventCallback onKillFocus = nullptr;
    EventCallback onActivate = nullptr;
    EventCallback onDeactivate = nullptr;
    EventCallback onTextChanged = nullptr;
    MouseMoveCallback onMouseMove = nullptr;
    EventCallback onMouseHover = nullptr;
    EventCallback onMouseLeave = nullptr;

protected:
    // Paints the client area in backColor; OnPaint calls it once the colour has been set.
    void PaintBackColor();
    // Fills the tool record sent to the tooltip control for the given owner window.
    void SendToolInfo(UINT message, HWND owner);
};

// Process-wide registry of live elements, in construction order; non-owning.
extern std::vector<GUIElement*> elementRegistry;
// Last identifier handed out; identifiers run 1, 2, 3 in creation order.
extern int nextControlId;

// The last element whose window is the handle; failing that, the last registered element
// while it has no window and is not created yet (its window is being made, and the messages
// sent during creation arrive before the handle is stored); otherwise null. Null for null.
GUIElement* FindByWindow(HWND handle);
// The first element with the identifier; null when none, and for 0 (no identifier).
GUIElement* FindById(int id);
SubMenu* FindSubMenuById(int id);

} // namespace VelkUtility
