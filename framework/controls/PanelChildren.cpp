#include "framework/controls/PanelChildren.h"

#include "framework/Font.h"
#include "framework/TextHelpers.h"
#include "framework/WindowProcedure.h"

namespace VelkUtility {

PanelChildren::PanelChildren(GUIElement* parentElement) {
    typeName = "panel";
    parent = parentElement;
}

PanelChildren::~PanelChildren() {
    ReleaseChildBrush();
    // The class (and the background brush it owns) can only go once no window uses it, so a
    // panel that is deleted before its parent window takes its own window with it. Owner
    // callbacks must not run from inside the element's destruction.
    if (window != nullptr && IsWindow(window) && FindByWindow(window) == this) {
        ClearCallbacks();
        DestroyWindow(window);
    }
    if (classRegistered) {
        // Frees the class brush as well when it was one the panel made.
        UnregisterClassW(className.c_str(), classInstance);
    }
}

void PanelChildren::ReleaseChildBrush() {
    if (childBrush != nullptr) {
        DeleteObject(childBrush);
        childBrush = nullptr;
    }
}

DWORD PanelChildren::ComputeStyle() const {
    DWORD style = 0;
    if (tabStop) {
        style |= WS_TABSTOP;
    }
    if (floating) {
        // A top-level window that the owner shows when it wants.
        style |= 0x80;
    } else {
        style |= WS_CHILD | WS_VISIBLE;
    }
    if (!enabled) {
        style |= WS_DISABLED;
    }
    if (border) {
        style |= WS_BORDER;
    }
    if (horizontalScroll) {
        style |= WS_HSCROLL;
    }
    if (verticalScroll) {
        style |= WS_VSCROLL;
    }
    return style;
}

DWORD PanelChildren::ComputeExStyle() const {
    DWORD exStyle = 0;
    if (floating) {
        exStyle |= WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME;
    }
    if (border && !flatBorder) {
        exStyle |= WS_EX_CLIENTEDGE;
    }
    return exStyle;
}

void PanelChildren::Create() {
    if (created) {
        return;
    }
    className = L"PanelChildren" + Int64ToWide(nextControlId);
    id = ++nextControlId;

    // Child elements carry no instance of their own; the program's module stands in.
    classInstance = parent != nullptr && parent->instance != nullptr ? parent->instance
                                                                     : GetModuleHandleW(nullptr);
    const bool ownBrush = backColor != NoColor;
    HBRUSH classBrush = ownBrush ? CreateSolidBrush(backColor) : GetSysColorBrush(COLOR_BTNFACE);

    windowClass = WNDCLASSW{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &FrameworkWindowProc;
    windowClass.hInstance = classInstance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = classBrush;
    windowClass.lpszClassName = className.c_str();
    classRegistered = RegisterClassW(&windowClass) != 0;
    if (!classRegistered && ownBrush) {
        // No class took the brush over.
        DeleteObject(classBrush);
        windowClass.hbrBackground = nullptr;
    }

    HWND parentWindow = nullptr;
    HMENU childId = nullptr;
    if (!floating) {
        parentWindow = ParentWindow();
        childId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    }
    window = CreateWindowExW(ComputeExStyle(), className.c_str(), text.c_str(), ComputeStyle(), x,
                             y, width, height, parentWindow, childId, classInstance, nullptr);
    if (window == nullptr) {
        // Failure is not reported; the panel simply has no window.
        (void)GetLastError();
    }
    // Set before the first paint, which would otherwise find the panel without its window
    // and leave a cell's text unpainted until something invalidates it.
    created = true;
    if (!floating) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }
    OnCreated(window);
    SendScrollRange();
    CreateToolTip(window);
    if (font != nullptr) {
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font->GetHandle()), TRUE);
    }
}

void PanelChildren::SetBorder(bool value) {
    border = value;
    flatBorder = false;
    if (!created) {
        return;
    }
    if (SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>(ComputeStyle())) == 0) {
        (void)GetLastError();
        return;
    }
    // Makes the system redraw the frame with the new border.
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void PanelChildren::SetScrollLimits(int minimum, int maximum) {
    scrollMin = minimum;
    scrollMax = maximum;
    SendScrollRange();
}

void PanelChildren::SendScrollRange() {
    if (!created) {
        return;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = scrollMin;
    info.nMax = scrollMax;
    info.nPage = static_cast<UINT>((scrollMax - scrollMin) / 10);
    if (verticalScroll) {
        SetScrollInfo(window, SB_VERT, &info, TRUE);
    }
    if (horizontalScroll) {
        SetScrollInfo(window, SB_HORZ, &info, TRUE);
    }
}

HBRUSH PanelChildren::OnControlColor(HDC dc) {
    ReleaseChildBrush();
    if (font != nullptr) {
        SelectObject(dc, font->GetHandle());
    }
    HBRUSH brush = nullptr;
    const COLORREF colour = childBackColor != NoColor ? childBackColor : backColor;
    if (colour != NoColor) {
        SetBkColor(dc, colour);
        childBrush = CreateSolidBrush(colour);
        brush = childBrush;
    } else {
        // Lent by the system: never kept in childBrush, which is deleted later.
        brush = GetSysColorBrush(COLOR_BTNFACE);
    }
    if (childTextColor != NoColor) {
        SetTextColor(dc, childTextColor);
    }
    return brush;
}

void PanelChildren::ScrollByRequest(int bar, int code) {
    if (!created) {
        return;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(window, bar, &info)) {
        return;
    }
    const int page = static_cast<int>(info.nPage);
    int requested = info.nPos;
    if (bar == SB_VERT) {
        switch (code) {
        case SB_LINEUP:
            requested = info.nPos - 1;
            break;
        case SB_LINEDOWN:
            requested = info.nPos + 1;
            break;
        case SB_PAGEUP:
            requested = info.nPos - page;
            break;
        case SB_PAGEDOWN:
            requested = info.nPos + page;
            break;
        case SB_THUMBTRACK:
            requested = info.nTrackPos;
            break;
        case SB_TOP:
            requested = info.nMin;
            break;
        case SB_BOTTOM:
            requested = info.nMax;
            break;
        default:
            break;
        }
    } else {
        switch (code) {
        case SB_LINELEFT:
            requested = info.nPos - 1;
            break;
        case SB_LINERIGHT:
            requested = info.nPos + 1;
            break;
        case SB_PAGELEFT:
            requested = info.nPos - page;
            break;
        case SB_PAGERIGHT:
            requested = info.nPos + page;
            break;
        case SB_THUMBTRACK:
            requested = info.nTrackPos;
            break;
        default:
            break;
        }
    }
    ScrollTo(bar, requested);
}

void PanelChildren::ScrollByWheel(int wheelDelta) {
    if (!created) {
        return;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(window, SB_VERT, &info)) {
        return;
    }
    const int page = static_cast<int>(info.nPage);
    ScrollTo(SB_VERT, wheelDelta > 0 ? info.nPos - page : info.nPos + page);
}

void PanelChildren::ScrollTo(int bar, int requested) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(window, bar, &info);
    const int old = info.nPos;

    SCROLLINFO request{};
    request.cbSize = sizeof(request);
    request.fMask = SIF_POS;
    request.nPos = requested;
    SetScrollInfo(window, bar, &request, TRUE);

    // The system has clamped the request to the range.
    info.fMask = SIF_POS;
    GetScrollInfo(window, bar, &info);
    const int now = info.nPos;
    if (now != old) {
        const int moved = old - now;
        ScrollWindow(window, bar == SB_HORZ ? moved : 0, bar == SB_VERT ? moved : 0, nullptr,
                     nullptr);
        UpdateWindow(window);
    }
    if (requested != old) {
        ScrollCallback callback = bar == SB_HORZ ? onHorizontalScroll : onVerticalScroll;
        if (callback != nullptr) {
            callback(this, old - requested);
        }
    }
}

} // namespace VelkUtility
