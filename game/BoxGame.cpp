#include "BoxGame.h"

#include "../framework/controls/Drawing.h"

namespace VelkUtility {

namespace {

// Margin between the boxes and the board's edges, and between neighbouring boxes.
constexpr int Margin = 10;

struct BoxColors {
    COLORREF lit;
    COLORREF dark;
};

// Indexed by box number - 1.
constexpr BoxColors Colors[4] = {
    {0x0000FF, 0x0000AE}, // 1 red
    {0x00FFFF, 0x00AEAE}, // 2 yellow
    {0xFF0000, 0xAE0000}, // 3 blue
    {0x00FF00, 0x00AE00}, // 4 green
};

// Box size for a board of the given size; truncates toward zero like the hit test.
int BoxExtent(int boardExtent) {
    return (boardExtent - 3 * Margin) / 2;
}

int BoxLeft(int box, int boxWidth) {
    return (box == 1 || box == 3) ? Margin : boxWidth + 2 * Margin;
}

int BoxTop(int box, int boxHeight) {
    return box <= 2 ? Margin : boxHeight + 2 * Margin;
}

} // namespace

BoxGame::BoxGame(GUIElement* parentElement) : PanelChildren(parentElement) {}

int BoxGame::BoxAt(int boardWidth, int boardHeight, int x, int y) {
    const int w = BoxExtent(boardWidth);
    const int h = BoxExtent(boardHeight);
    for (int box = 1; box <= 4; ++box) {
        const int left = BoxLeft(box, w);
        const int top = BoxTop(box, h);
        // Bounds are inclusive and the rounded corners count as part of the box.
        if (x >= left && x <= left + w && y >= top && y <= top + h) {
            return box;
        }
    }
    return 0;
}

void BoxGame::DrawBoxes(Drawing& painter, int clientWidth, int clientHeight) const {
    const int w = BoxExtent(clientWidth);
    const int h = BoxExtent(clientHeight);
    const bool lit[4] = {redLit, yellowLit, blueLit, greenLit};
    for (int box = 1; box <= 4; ++box) {
        const BoxColors& colors = Colors[box - 1];
        painter.FillRoundRectangle(BoxLeft(box, w), BoxTop(box, h), w, h,
                                   lit[box - 1] ? colors.lit : colors.dark);
    }
}

void BoxGame::PaintBoxes(HDC dc, int clientWidth, int clientHeight) {
    Drawing painter(this);
    painter.AttachDC(dc);
    DrawBoxes(painter, clientWidth, clientHeight);
    painter.EndPainting();
}

// Runs inside WM_PAINT of the board's window. The margins are left to the class brush, which
// erases the background before this runs, unless a colour was set after creation.
void BoxGame::OnPaint() {
    if (!created || window == nullptr) {
        return;
    }
    RECT client = {};
    if (!GetClientRect(window, &client)) {
        return;
    }
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;
    Drawing painter(this);
    painter.BeginPainting();
    if (backPainted) {
        // Without an outline the rectangle would leave the last column and row unpainted.
        painter.FillRectangle(0, 0, clientWidth + 1, clientHeight + 1, backColor);
    }
    DrawBoxes(painter, clientWidth, clientHeight);
    painter.EndPainting();
}

// Runs inside WM_LBUTTONDOWN of the board's window; the second press of a double click
// arrives as WM_LBUTTONDBLCLK instead and is not reported.
void BoxGame::OnLeftButtonDown(int pointX, int pointY) {
    if (created && window != nullptr) {
        RECT bounds = {};
        if (GetWindowRect(window, &bounds)) {
            width = bounds.right - bounds.left;
            height = bounds.bottom - bounds.top;
        }
    }
    const int box = BoxAt(width, height, pointX, pointY);
    if (box != 0 && onBoxClick != nullptr) {
        onBoxClick(this, box);
    }
    GUIElement::OnLeftButtonDown(pointX, pointY);
}

} // namespace VelkUtility
