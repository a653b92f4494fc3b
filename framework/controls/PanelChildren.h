#pragma once

#include "framework/controls/Child.h"

#include <string>

namespace VelkUtility {

class PanelChildren;
using ScrollCallback = void (*)(PanelChildren* panel, int delta);

// A container window of its own class, handled directly by the framework window procedure.
// It colours the controls placed in it and can scroll them.
class PanelChildren : public Child {
public:
    explicit PanelChildren(GUIElement* parentElement);
    ~PanelChildren() override;

    HBRUSH OnControlColor(HDC dc) override;
    void Create() override;

    DWORD ComputeStyle() const;
    DWORD ComputeExStyle() const;
    void SetBorder(bool value);
    void SetScrollLimits(int minimum, int maximum);

    // Applies a WM_HSCROLL or WM_VSCROLL request code to bar SB_HORZ or SB_VERT.
    void ScrollByRequest(int bar, int code);
    // Applies a mouse-wheel turn to the vertical bar.
    void ScrollByWheel(int wheelDelta);

    ScrollCallback onVerticalScroll = nullptr;
    ScrollCallback onHorizontalScroll = nullptr;
    bool border = false;
    bool flatBorder = false;
    bool verticalScroll = false;
    bool horizontalScroll = false;
    int scrollMin = 0;
    int scrollMax = 100;
    bool tabStop = true;
    HBRUSH childBrush = nullptr;
    COLORREF childTextColor = NoColor;
    COLORREF childBackColor = NoColor;
    bool floating = false;

private:
    void SendScrollRange();
    void ScrollTo(int bar, int requested);
    // Deletes childBrush; only ever holds a brush this panel made.
    void ReleaseChildBrush();

    // The registered window class, released with the panel together with its brush.
    std::wstring className;
    HINSTANCE classInstance = nullptr;
    bool classRegistered = false;
};

} // namespace VelkUtility
