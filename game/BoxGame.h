#pragma once

#include "framework/controls/PanelChildren.h"

namespace VelkUtility {

class BoxGame;
class Drawing;
using BoxClickCallback = void (*)(BoxGame* board, int box);

// The board: four coloured boxes in a two-by-two grid, numbered 1 (top left, red),
// 2 (top right, yellow), 3 (bottom left, blue) and 4 (bottom right, green). The owner lights
// and darkens them; a press reports the box under the point.
class BoxGame : public PanelChildren {
public:
    explicit BoxGame(GUIElement* parentElement);

    void OnLeftButtonDown(int x, int y) override;
    void OnPaint() override;

    // Box under a point of a board of the given size; 0 for none.
    static int BoxAt(int boardWidth, int boardHeight, int x, int y);
    // Paints the four boxes into dc for a client area of the given size.
    void PaintBoxes(HDC dc, int clientWidth, int clientHeight);

    BoxClickCallback onBoxClick = nullptr;
    bool redLit = false;
    bool blueLit = false;
    bool yellowLit = false;
    bool greenLit = false;

private:
    void DrawBoxes(Drawing& painter, int clientWidth, int clientHeight) const;
};

} // namespace VelkUtility
