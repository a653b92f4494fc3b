#include "WindowProcedure.h"

#include "Calendar.h"
#include "CheckBox.h"
#include "ComboBox.h"
#include "CommandElement.h"
#include "DatePicker.h"
#include "Form.h"
#include "GUIElement.h"
#include "ListBox.h"
#include "NumericBox.h"
#include "Slider.h"
#include "TabControl.h"
#include "TextHelpers.h"
#include "controls/Button.h"
#include "controls/Child.h"
#include "controls/PanelChildren.h"
#include "controls/SubMenu.h"
#include "controls/Timer.h"

#include <commctrl.h>
#include <windowsx.h>

#include <optional>
#include <string>
#include <vector>

namespace VelkUtility {

HWND mainWindow = nullptr;
Form* activeForm = nullptr;
PanelChildren* activePanel = nullptr;
PanelChildren* scrollPanel = nullptr;
bool mouseTracking = false;
HCURSOR waitCursorHandle = nullptr;
HCURSOR handCursorHandle = nullptr;

namespace {

// Window property that holds the class procedure of a control left to it.
constexpr const wchar_t* ClassProcedureProperty = L"VelkUtility.ClassProcedure";

// The window that the pending TrackMouseEvent request watches.
HWND trackedWindow = nullptr;

// The tracked window goes before its WM_MOUSELEAVE could come: without this, no element would
// ever be tracked again.
void ForgetTrackedWindow(HWND window) {
    if (window != nullptr && window == trackedWindow) {
        trackedWindow = nullptr;
        mouseTracking = false;
    }
}

} // namespace

void LeaveToClassProcedure(HWND window, WNDPROC classProcedure) {
    if (window != nullptr && classProcedure != nullptr) {
        SetPropW(window, ClassProcedureProperty, reinterpret_cast<HANDLE>(classProcedure));
    }
}

void ForgetElement(const void* element) {
    if (element == nullptr) {
        return;
    }
    ForgetTrackedWindow(static_cast<const GUIElement*>(element)->window);
    if (activeForm != nullptr && static_cast<const GUIElement*>(activeForm) == element) {
        activeForm = nullptr;
    }
    if (activePanel != nullptr && static_cast<const GUIElement*>(activePanel) == element) {
        activePanel = nullptr;
    }
    if (scrollPanel != nullptr && static_cast<const GUIElement*>(scrollPanel) == element) {
        scrollPanel = nullptr;
    }
}

namespace {

// Notification codes as the common controls send them.
constexpr int DateTimeChanged = -759;
constexpr int CalendarSelect = -746;
constexpr int UpDownDeltaPos = -722;
constexpr int TabSelectionChanged = -551;
constexpr int ToolTipGetDispInfo = -530;
constexpr int HeaderItemChanged = -321;
constexpr int HeaderItemClicked = -322;
constexpr int RightClick = -5;

static_assert(static_cast<int>(DTN_DATETIMECHANGE) == DateTimeChanged, "DTN_DATETIMECHANGE");
static_assert(static_cast<int>(MCN_SELECT) == CalendarSelect, "MCN_SELECT");
static_assert(static_cast<int>(UDN_DELTAPOS) == UpDownDeltaPos, "UDN_DELTAPOS");
static_assert(static_cast<int>(TCN_SELCHANGE) == TabSelectionChanged, "TCN_SELCHANGE");
static_assert(static_cast<int>(TTN_GETDISPINFOW) == ToolTipGetDispInfo, "TTN_GETDISPINFOW");
static_assert(static_cast<int>(HDN_ITEMCHANGEDW) == HeaderItemChanged, "HDN_ITEMCHANGEDW");
static_assert(static_cast<int>(HDN_ITEMCLICKW) == HeaderItemClicked, "HDN_ITEMCLICKW");
static_assert(static_cast<int>(NM_RCLICK) == RightClick, "NM_RCLICK");

// Longest tooltip text handed to a tooltip control, in characters.
constexpr size_t ToolTipTextLimit = 2023;

// Text of the last TTN_GETDISPINFOW reply; the tooltip reads it after we return.
wchar_t toolTipReply[ToolTipTextLimit + 1] = {};

// A message as the handlers see it, with its mouse coordinates unpacked once.
struct Message {
    HWND window;
    UINT id;
    WPARAM wParam;
    LPARAM lParam;
    int x;
    int y;
};

// A handler's verdict: an answer of its own, or nothing for the default processing.
using Answer = std::optional<LRESULT>;

void LoadCursors() {
    if (waitCursorHandle == nullptr) {
        waitCursorHandle = LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)) /* IDC_WAIT */;
    }
    if (handCursorHandle == nullptr) {
        handCursorHandle = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)) /* IDC_HAND */;
    }
}

void CallTextChanged(GUIElement* element) {
    if (element->onTextChanged != nullptr) {
        element->onTextChanged(element);
    }
}

void ClearTimeOfDay(SYSTEMTIME& date) {
    date.wHour = 0;
    date.wMinute = 0;
    date.wSecond = 0;
    date.wMilliseconds = 0;
}

// Runs on WM_ACTIVATE: what counts is whether the window is now in the foreground.
void HandleActivate(GUIElement* element, HWND window) {
    const bool foreground = GetForegroundWindow() == window;
    if (auto* form = dynamic_cast<Form*>(element)) {
        scrollPanel = nullptr;
        if (!foreground) {
            form->UnregisterHotKeys();
            form->OnDeactivate();
            return;
        }
        if (activeForm != nullptr) {
            activeForm->UnregisterHotKeys();
            activeForm->OnDeactivate();
        }
        if (activePanel != nullptr) {
            activePanel->OnDeactivate();
            activePanel = nullptr;
        }
        form->RegisterHotKeys();
        form->OnActivate();
        activeForm = form;
        Form* companion = form->companion;
        if (companion != nullptr && companion->created && companion->window != nullptr &&
            form->window != nullptr) {
            // The companion only goes behind the form; activating it would take the
            // activation away from the form that has just received it.
            SetWindowPos(companion->window, form->window, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        }
    } else if (auto* panel = dynamic_cast<PanelChildren*>(element)) {
        if (!foreground) {
            panel->OnDeactivate();
            return;
        }
        if (activePanel != nullptr) {
            activePanel->OnDeactivate();
        }
        panel->OnActivate();
        activePanel = panel;
    }
}

// Runs on WM_KEYDOWN with VK_TAB: moves the focus among the tab stops of the container.
void HandleTab(GUIElement* element, HWND window) {
    HWND container = window;
    auto* child = dynamic_cast<Child*>(element);
    if (child != nullptr && child->parent != nullptr) {
        container = child->parent->window;
    }
    const bool previous = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    HWND next = GetNextDlgTabItem(container, window, previous ? TRUE : FALSE);
    if (next == nullptr) {
        return;
    }
    if (GUIElement* target = FindByWindow(next)) {
        target->Focus();
    }
}

void RunCommand(GUIElement* element, CommandElement* command) {
    if (command->onCommand != nullptr) {
        command->onCommand(element);
    }
}

// Runs on WM_COMMAND without a control window: a menu choice or an accelerator.
void HandleMenuChoice(int code, int identifier) {
    if (code != 0) {
        return;
    }
    SubMenu* entry = FindSubMenuById(identifier);
    if (entry == nullptr) {
        return;
    }
    if (entry->checkable) {
        entry->checked = !entry->IsChecked();
        if (entry->created) {
            entry->ApplyCheck();
        }
    }
    RunCommand(entry, entry);
}

void FlipCheckBox(CheckBox* box, HWND receiver) {
    HWND parentWindow = box->parent != nullptr ? box->parent->window : receiver;
    if (box->created) {
        box->checked = IsDlgButtonChecked(parentWindow, box->id) != BST_CHECKED;
        CheckDlgButton(parentWindow, box->id, box->checked ? BST_CHECKED : BST_UNCHECKED);
    } else {
        box->checked = !box->checked;
    }
}

// Runs on WM_COMMAND: commands of controls, menu choices and tool-bar buttons.
Answer HandleCommand(const Message& m) {
    const int code = HIWORD(m.wParam);
    const int identifier = LOWORD(m.wParam);
    if (m.lParam == 0) {
        HandleMenuChoice(code, identifier);
        return std::nullopt;
    }
    GUIElement* control = FindByWindow(reinterpret_cast<HWND>(m.lParam));
    if (control == nullptr) {
        return std::nullopt;
    }
    auto* command = dynamic_cast<CommandElement*>(control);
    if (command == nullptr) {
        if (control->typeName == "toolbar") {
            GUIElement* item = FindById(identifier);
            if (auto* itemCommand = dynamic_cast<CommandElement*>(item)) {
                RunCommand(item, itemCommand);
            }
        }
        return std::nullopt;
    }
    auto* checkBox = dynamic_cast<CheckBox*>(control);
    if (checkBox != nullptr) {
        FlipCheckBox(checkBox, m.window);
    }
    if (auto* combo = dynamic_cast<ComboBox*>(control)) {
        switch (code) {
        case CBN_SELCHANGE:
            RunCommand(control, command);
            break;
        case 0:
            if (combo->created) {
                SendMessageW(combo->window, CB_SHOWDROPDOWN, TRUE, 0);
            }
            break;
        case CBN_CLOSEUP:
            if (!combo->OnCloseUp()) {
                return 1;
            }
            break;
        case CBN_DROPDOWN:
            if (!combo->OnDropDown()) {
                return 1;
            }
            break;
        default:
            break;
        }
    } else if (dynamic_cast<ListBox*>(control) != nullptr) {
        if (code == LBN_SELCHANGE) {
            RunCommand(control, command);
        }
    } else {
        RunCommand(control, command);
    }
    return std::nullopt;
}

void HandleDateTimeChange(const NMHDR& header) {
    auto* picker = dynamic_cast<DatePicker*>(FindByWindow(header.hwndFrom));
    if (picker == nullptr || picker->onDateChanged == nullptr) {
        return;
    }
    if (picker->created) {
        const LRESULT kind = SendMessageW(picker->window, DTM_GETSYSTEMTIME, 0,
                                          reinterpret_cast<LPARAM>(&picker->date));
        if (kind == GDT_NONE) {
            picker->date = SYSTEMTIME{};
        } else {
            ClearTimeOfDay(picker->date);
        }
    }
    picker->onDateChanged(picker, picker->date);
    CallTextChanged(picker);
}

void HandleCalendarSelect(const NMHDR& header) {
    auto* calendar = dynamic_cast<Calendar*>(FindByWindow(header.hwndFrom));
    if (calendar == nullptr || calendar->onDateChanged == nullptr) {
        return;
    }
    if (calendar->created) {
        SendMessageW(calendar->window, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&calendar->date));
        ClearTimeOfDay(calendar->date);
    }
    calendar->onDateChanged(calendar, calendar->date);
    CallTextChanged(calendar);
}

void HandleUpDown(const NMHDR& header) {
    auto* box = dynamic_cast<NumericBox*>(FindByWindow(header.hwndFrom));
    if (box == nullptr || box->onValueChanged == nullptr) {
        return;
    }
    const auto& upDown = reinterpret_cast<const NMUPDOWN&>(header);
    int value = upDown.iPos + upDown.iDelta;
    if (value < box->minimum) {
        value = box->minimum;
    }
    if (value > box->maximum) {
        value = box->maximum;
    }
    box->onValueChanged(box, value);
    CallTextChanged(box);
}

void HandleTabChange(const NMHDR& header) {
    auto* tabs = dynamic_cast<TabControl*>(FindByWindow(header.hwndFrom));
    if (tabs == nullptr || !tabs->created || tabs->onSelectionChanged == nullptr) {
        return;
    }
    tabs->onSelectionChanged(tabs,
                             static_cast<int>(SendMessageW(tabs->window, TCM_GETCURSEL, 0, 0)));
}

void HandleToolTipText(NMHDR& header) {
    GUIElement* item = FindById(static_cast<int>(header.idFrom));
    if (item == nullptr || item->typeName != "toolbaritem" || item->toolTip.empty()) {
        return;
    }
    const std::wstring text = ToWide(item->toolTip);
    const size_t length = text.size() < ToolTipTextLimit ? text.size() : ToolTipTextLimit;
    text.copy(toolTipReply, length);
    toolTipReply[length] = L'\0';
    reinterpret_cast<NMTTDISPINFOW&>(header).lpszText = toolTipReply;
}

// Runs on WM_NOTIFY: the common controls' notifications that elements handle.
void HandleNotify(const Message& m) {
    auto* header = reinterpret_cast<NMHDR*>(m.lParam);
    if (header == nullptr) {
        return;
    }
    switch (static_cast<int>(header->code)) {
    case DateTimeChanged:
        HandleDateTimeChange(*header);
        break;
    case CalendarSelect:
        HandleCalendarSelect(*header);
        break;
    case UpDownDeltaPos:
        HandleUpDown(*header);
        break;
    case TabSelectionChanged:
        HandleTabChange(*header);
        break;
    case ToolTipGetDispInfo:
        HandleToolTipText(*header);
        break;
    case HeaderItemChanged:
        if (GUIElement* source = FindByWindow(header->hwndFrom)) {
            const auto& item = reinterpret_cast<const NMHEADERW&>(*header);
            const int itemWidth = item.pitem != nullptr ? item.pitem->cxy : 0;
            source->OnNotify(1, {item.iItem, itemWidth}, {});
        }
        break;
    case HeaderItemClicked:
        if (GUIElement* source = FindByWindow(header->hwndFrom)) {
            source->OnNotify(2, {reinterpret_cast<const NMHEADERW&>(*header).iItem}, {});
        }
        break;
    case RightClick:
        if (GUIElement* source = FindByWindow(header->hwndFrom)) {
            source->OnNotify(3, {}, {});
        }
        break;
    default:
        break;
    }
}

// Runs on WM_HSCROLL and WM_VSCROLL: sliders report their position, panels scroll.
Answer HandleScroll(GUIElement* element, const Message& m, bool vertical) {
    const int code = LOWORD(m.wParam);
    GUIElement* target = element;
    if (m.lParam > 0 && code == SB_ENDSCROLL) {
        target = FindByWindow(reinterpret_cast<HWND>(m.lParam));
    }
    if (target == nullptr) {
        return std::nullopt;
    }
    if (target->typeName == "slider") {
        auto* slider = dynamic_cast<Slider*>(target);
        if (slider != nullptr && slider->onPositionChanged != nullptr) {
            int position = 0;
            if (slider->created) {
                position = static_cast<int>(SendMessageW(slider->window, TBM_GETPOS, 0, 0));
            }
            slider->onPositionChanged(slider, position);
            CallTextChanged(slider);
        }
    }
    auto* panel = dynamic_cast<PanelChildren*>(target);
    if (panel == nullptr || !(vertical ? panel->verticalScroll : panel->horizontalScroll)) {
        return std::nullopt;
    }
    if (vertical) {
        scrollPanel = panel;
    }
    panel->ScrollByRequest(vertical ? SB_VERT : SB_HORZ, code);
    return 0;
}

// Runs on WM_MOUSEWHEEL: the wheel scrolls the panel under it or the last scrolled one.
Answer HandleWheel(GUIElement* element, const Message& m) {
    if (element == nullptr) {
        return std::nullopt;
    }
    PanelChildren* panel = dynamic_cast<PanelChildren*>(element);
    if (panel == nullptr) {
        panel = scrollPanel;
    }
    if (panel == nullptr || !panel->verticalScroll) {
        return std::nullopt;
    }
    panel->ScrollByWheel(GET_WHEEL_DELTA_WPARAM(m.wParam));
    return 0;
}

// Runs on WM_HOTKEY: the hot key goes to the form in the foreground.
void HandleHotKey(GUIElement* element, const Message& m) {
    HWND foreground = GetForegroundWindow();
    auto* form = dynamic_cast<Form*>(element);
    if (form == nullptr || m.wParam < 1 || m.wParam > form->hotKeys.size()) {
        return;
    }
    const HotKey entry = form->hotKeys[m.wParam - 1];
    if (form->window == foreground) {
        if (entry.handler != nullptr) {
            entry.handler(form, entry.modifiers, entry.key);
        }
        return;
    }
    if (foreground == nullptr) {
        return;
    }
    auto* other = dynamic_cast<Form*>(FindByWindow(foreground));
    if (other == nullptr) {
        return;
    }
    for (const HotKey& candidate : other->hotKeys) {
        if (candidate.modifiers == entry.modifiers && candidate.key == entry.key) {
            if (candidate.handler != nullptr) {
                candidate.handler(other, candidate.modifiers, candidate.key);
            }
            return;
        }
    }
}

Answer HandleSetCursor(GUIElement* element, const Message& m) {
    if (element == nullptr || LOWORD(m.lParam) != HTCLIENT) {
        return std::nullopt;
    }
    if (element->GetHandCursor()) {
        SetCursor(handCursorHandle);
        return 1;
    }
    if (element->GetWaitCursor()) {
        SetCursor(waitCursorHandle);
        return 1;
    }
    return std::nullopt;
}

Answer HandleDrawItem(const Message& m) {
    auto* button = dynamic_cast<Button*>(FindById(static_cast<int>(m.wParam)));
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.lParam);
    if (button == nullptr || item == nullptr || item->CtlType != ODT_BUTTON) {
        return std::nullopt;
    }
    button->DrawLook(*item);
    return TRUE;
}

// Only a tick at the timer's parent window is the timer's: any other window, a subclassed
// system control among them, may run timers of its own under the same identifier.
void HandleTimer(const Message& m) {
    auto* timer = dynamic_cast<Timer*>(FindById(static_cast<int>(m.wParam)));
    if (timer != nullptr && timer->onTick != nullptr && timer->parent != nullptr &&
        timer->parent->window == m.window) {
        timer->onTick(timer);
    }
}

void HandleMouseMove(GUIElement* element, const Message& m) {
    element->OnMouseMove(m.x, m.y);
    if (mouseTracking && trackedWindow != nullptr && !IsWindow(trackedWindow)) {
        ForgetTrackedWindow(trackedWindow);
    }
    if (mouseTracking) {
        return;
    }
    TRACKMOUSEEVENT request{};
    request.cbSize = sizeof(request);
    request.dwFlags = TME_HOVER | TME_LEAVE;
    request.hwndTrack = m.window;
    request.dwHoverTime = HOVER_DEFAULT;
    mouseTracking = TrackMouseEvent(&request) != FALSE;
    trackedWindow = mouseTracking ? m.window : nullptr;
}

// Rows that need no element.
Answer DispatchWithoutElement(const Message& m) {
    switch (m.id) {
    case WM_COMMAND:
        return HandleCommand(m);
    case WM_DRAWITEM:
        return HandleDrawItem(m);
    case WM_NOTIFY:
        HandleNotify(m);
        return std::nullopt;
    case WM_TIMER:
        HandleTimer(m);
        return std::nullopt;
    case WM_MOUSELEAVE:
        mouseTracking = false;
        trackedWindow = nullptr;
        return std::nullopt;
    case WM_KEYDOWN:
        if (m.wParam == VK_TAB) {
            HandleTab(nullptr, m.window);
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

// Turns one message into calls on the element behind the window.
Answer Dispatch(GUIElement* e, const Message& m) {
    if (e == nullptr) {
        return DispatchWithoutElement(m);
    }
    switch (m.id) {
    case WM_CREATE:
        if (dynamic_cast<Form*>(e) != nullptr) {
            e->OnCreated(m.window);
        }
        return std::nullopt;
    case WM_DESTROY:
        if (auto* form = dynamic_cast<Form*>(e)) {
            form->UnregisterHotKeys();
        }
        e->OnDestroy();
        return std::nullopt;
    case WM_MOVE:
        e->OnMove();
        return std::nullopt;
    case WM_SIZE:
        e->OnSize();
        return std::nullopt;
    case WM_ACTIVATE:
        HandleActivate(e, m.window);
        return std::nullopt;
    case WM_SETFOCUS:
        e->OnSetFocus();
        return std::nullopt;
    case WM_KILLFOCUS:
        e->OnKillFocus();
        return std::nullopt;
    case WM_PAINT:
        e->OnPaint();
        return std::nullopt;
    case WM_CLOSE:
        if (!e->OnClose()) {
            return 1;
        }
        return std::nullopt;
    case WM_SHOWWINDOW:
        e->OnShow();
        e->OnSize();
        return std::nullopt;
    case WM_SETCURSOR:
        return HandleSetCursor(e, m);
    case WM_KEYDOWN:
        if (m.wParam == VK_TAB) {
            HandleTab(e, m.window);
        }
        e->OnKeyDown(static_cast<int>(m.wParam));
        return std::nullopt;
    case WM_KEYUP:
        e->OnKeyUp(static_cast<int>(m.wParam));
        return std::nullopt;
    case WM_CHAR:
        if (!e->OnChar(static_cast<int>(m.wParam))) {
            return 1;
        }
        return std::nullopt;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        if (HBRUSH brush = e->OnControlColor(reinterpret_cast<HDC>(m.wParam))) {
            return reinterpret_cast<LRESULT>(brush);
        }
        return std::nullopt;
    case WM_HSCROLL:
        return HandleScroll(e, m, false);
    case WM_VSCROLL:
        return HandleScroll(e, m, true);
    case WM_MOUSEMOVE:
        HandleMouseMove(e, m);
        return std::nullopt;
    case WM_LBUTTONDOWN:
        e->OnLeftButtonDown(m.x, m.y);
        scrollPanel = dynamic_cast<PanelChildren*>(e);
        return std::nullopt;
    case WM_LBUTTONUP:
        e->OnLeftButtonUp(m.x, m.y);
        return std::nullopt;
    case WM_LBUTTONDBLCLK:
        e->OnLeftDoubleClick(m.x, m.y);
        return std::nullopt;
    case WM_RBUTTONDOWN:
        e->OnRightButtonDown(m.x, m.y);
        return std::nullopt;
    case WM_RBUTTONUP:
        e->OnRightButtonUp(m.x, m.y);
        return std::nullopt;
    case WM_RBUTTONDBLCLK:
        e->OnRightDoubleClick(m.x, m.y);
        return std::nullopt;
    case WM_MOUSEWHEEL:
        return HandleWheel(e, m);
    case WM_MOUSEHOVER:
        e->OnMouseHover();
        return std::nullopt;
    case WM_MOUSELEAVE:
        mouseTracking = false;
        trackedWindow = nullptr;
        e->OnMouseLeave();
        return std::nullopt;
    case WM_HOTKEY:
        HandleHotKey(e, m);
        return std::nullopt;
    default:
        return DispatchWithoutElement(m);
    }
}

} // namespace

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept {
    WNDPROC baseProc = nullptr;
    Answer answer;
    try {
        GUIElement* element = FindByWindow(window);
        if (element == nullptr || element->window != window) {
            // A control whose element has gone, still routed here from under another subclass.
            if (auto classProcedure =
                    reinterpret_cast<WNDPROC>(GetPropW(window, ClassProcedureProperty))) {
                if (message == WM_NCDESTROY) {
                    RemovePropW(window, ClassProcedureProperty);
                }
                return CallWindowProcW(classProcedure, window, message, wParam, lParam);
            }
        }
        // Taken now: a handler may delete the element before the default processing runs.
        baseProc = element != nullptr ? element->baseWindowProc : nullptr;
        LoadCursors();
        const Message m{
            window, message, wParam, lParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        answer = Dispatch(element, m);
    } catch (...) {
        // No exception may unwind through the system's code: a failed handler leaves the
        // message to the default processing below, which runs once in every case. A close
        // whose question failed is refused: the default processing would close without asking.
        answer.reset();
        if (message == WM_CLOSE) {
            answer = 1;
        }
    }
    if (message == WM_DESTROY) {
        ForgetTrackedWindow(window);
        if (window == mainWindow) {
            PostQuitMessage(0);
        }
    }
    if (answer.has_value()) {
        return *answer;
    }
    if (baseProc != nullptr) {
        return CallWindowProcW(baseProc, window, message, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace VelkUtility
