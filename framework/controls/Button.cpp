#include "framework/controls/Button.h"

#include "framework/Font.h"
#include "framework/TextHelpers.h"
#include "framework/controls/Drawing.h"

#include <utility>

namespace VelkUtility {

Button::Button(GUIElement* parentElement, std::string caption) {
    text = ToWide(std::move(caption));
    parent = parentElement;
    typeName = "button";
    width = 80;
    height = 30;
}

void Button::Create() {
    CreateChildWindow(L"Button", ComputeStyle(), 0);
}

DWORD Button::ComputeStyle() const {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    style |= ownerDraw ? BS_OWNERDRAW : BS_PUSHBUTTON;
    if (!enabled) {
        style |= WS_DISABLED;
    }
    return style;
}

int Button::DrawImage(Drawing& painter, const RECT& item) {
    HBITMAP picture = enabled ? image : disabledImage;
    if (picture == nullptr) {
        return 0;
    }
    BITMAP info{};
    GetObjectW(picture, sizeof(info), &info);
    const int itemHeight = item.bottom - item.top;
    painter.DrawTransparentBitmap(item.left + 5, (itemHeight - info.bmHeight) / 2, info.bmWidth,
                                  info.bmHeight, picture);
    return item.left + info.bmWidth + 8;
}

// Runs inside WM_DRAWITEM, after the parent has set the colours of the context while
// answering the control-colour message.
void Button::DrawLook(const DRAWITEMSTRUCT& item) {
    Drawing painter(this);
    painter.AttachDC(item.hDC);
    HDC dc = item.hDC;
    const RECT& area = item.rcItem;
    const int itemWidth = area.right - area.left;
    const int itemHeight = area.bottom - area.top;

    const COLORREF textColor = GetTextColor(dc);
    const COLORREF backColorOfItem = GetBkColor(dc);

    // Selecting a font hands back the one the context holds; it goes straight back in.
    Font probe;
    int fontHeight = 0;
    HGDIOBJ current = SelectObject(dc, probe.GetHandle());
    if (current != nullptr && current != HGDI_ERROR) {
        SelectObject(dc, current);
        LOGFONTW description{};
        if (GetObjectW(current, sizeof(description), &description) != 0) {
            fontHeight = description.lfHeight;
        }
    }
    int captionTop = (itemHeight - fontHeight) / 2;
    if (captionTop < 0) {
        captionTop = 0;
    }

    painter.FillRectangle(area.left, area.top, itemWidth, itemHeight, backColorOfItem);

    COLORREF borderColor = textColor;
    COLORREF captionColor = textColor;
    if (item.itemState & ODS_DISABLED) {
        borderColor = RGB(105, 105, 105);
        captionColor = RGB(150, 150, 150);
    } else if (item.itemState & ODS_SELECTED) {
        borderColor = 0xFFFFFF - textColor;
    }
    painter.FrameRectangle(area.left, area.top, itemWidth, itemHeight, borderColor);

    const int captionLeft = DrawImage(painter, area);
    painter.DrawString(captionLeft, captionTop, itemWidth - captionLeft, itemHeight,
                       GetTextNarrow(), AlignCenter, captionColor, nullptr);

    if (item.itemState & ODS_FOCUS) {
        RECT focus = area;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
    // The probe font is deleted first, then the painter lets go of the borrowed context.
}

} // namespace VelkUtility
