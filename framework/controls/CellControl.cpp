#include "framework/controls/CellControl.h"

#include "framework/Font.h"
#include "framework/TextHelpers.h"
#include "framework/controls/Drawing.h"

namespace VelkUtility {

CellControl::CellControl(GUIElement* parentElement) : PanelChildren(parentElement) {
    tabStop = false;
}

void CellControl::SetText(std::wstring value) {
    GUIElement::SetText(std::move(value));
    if (created) {
        InvalidateRect(window, nullptr, TRUE);
    }
}

void CellControl::SetText(std::string value) {
    SetText(ToWide(std::move(value)));
    if (created) {
        InvalidateRect(window, nullptr, TRUE);
    }
}

// Runs for WM_PAINT of the cell's window.
void CellControl::OnPaint() {
    RECT client{};
    if (created && GetClientRect(window, &client)) {
        Drawing painter(this);
        painter.BeginPainting();
        PaintInto(painter.dc, client);
        painter.EndPainting();
    }
    if (onPaint != nullptr) {
        // The cell has painted its own background; the callback must not repaint it.
        const bool painted = backPainted;
        backPainted = false;
        onPaint(this);
        backPainted = painted;
    }
}

void CellControl::PaintInto(HDC dc, const RECT& client) {
    if (dc == nullptr) {
        return;
    }
    // Made for this paint only; its font handle goes with it.
    Font cellFont(fontName, fontSize);
    cellFont.bold = bold;
    cellFont.italic = italic;
    cellFont.underline = underline;
    Font* textFont = font != nullptr ? font : &cellFont;

    Drawing drawing(this);
    drawing.AttachDC(dc);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;

    if (backPainted) {
        drawing.FillRectangle(client.left, client.top, clientWidth, clientHeight, backColor);
    }
    const int lineHeight = drawing.TextHeight(textFont);
    if (!text.empty()) {
        const int top = client.top + (clientHeight - lineHeight) / 2;
        drawing.DrawString(client.left, top, clientWidth, client.bottom - top, text, textAlign,
                           textColor, textFont);
    }
    if (marked) {
        drawing.DrawString(client.right - lineHeight, client.bottom - lineHeight, lineHeight,
                           lineHeight, std::string("*"), AlignCenter, textColor, textFont);
    }
    if (picture != nullptr) {
        const int pictureY = client.top + (clientHeight - pictureHeight) / 2;
        int pictureX = client.left + 3;
        if (pictureAlign == 1) {
            pictureX = client.right - pictureWidth - 3;
        } else if (pictureAlign == 2) {
            pictureX = client.left + (clientWidth - pictureWidth) / 2;
        }
        drawing.DrawTransparentBitmap(pictureX, pictureY, pictureWidth, pictureHeight, picture);
    }
    drawing.EndPainting();
}

} // namespace VelkUtility
