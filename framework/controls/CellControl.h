#pragma once

#include "framework/controls/PanelChildren.h"

#include <string>

namespace VelkUtility {

// A self-painted text cell with its own font, colour and alignment, an optional "*" mark and
// an optional picture. Changing its text repaints it.
class CellControl : public PanelChildren {
public:
    explicit CellControl(GUIElement* parentElement);

    void SetText(std::wstring value) override;
    void SetText(std::string value) override;
    void OnPaint() override;

    // Paints the cell's layers into dc, whose client area is the given rectangle.
    void PaintInto(HDC dc, const RECT& client);

    HBITMAP picture = nullptr;
    int pictureAlign = 1;
    int pictureWidth = 0;
    int pictureHeight = 0;
    bool marked = false;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    std::string fontName = "Tahoma";
    int fontSize = 14;
    int textAlign = 2;
    COLORREF textColor = 0;
};

} // namespace VelkUtility
