#pragma once

// Helpers for the tests that drive the game's main window.

#include "game/BoxGame.h"
#include "game/FormMain.h"
#include "game/ProgramInfo.h"

#include "framework/controls/Button.h"
#include "framework/controls/CellControl.h"
#include "framework/controls/Timer.h"

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace GameTest {

// Ticks from one step of the showing to the next.
constexpr int TicksPerStep = 31;

// Centre of each box on the 400 x 350 board, in the board's client coordinates (index 1 to 4).
constexpr POINT BoxCentre[5] = {{0, 0}, {102, 90}, {297, 90}, {102, 260}, {297, 260}};
constexpr COLORREF LitColour[5] = {0, 0x0000FF, 0x00FFFF, 0xFF0000, 0x00FF00};
constexpr COLORREF DarkColour[5] = {0, 0x0000AE, 0x00AEAE, 0xAE0000, 0x00AE00};

inline std::string Caption() {
    return std::string("Ondrel ") + MyGame::CopyrightNotice;
}

inline std::unique_ptr<MyGame::FormMain> MakeMainWindow() {
    return std::make_unique<MyGame::FormMain>(GetModuleHandleW(nullptr), Caption());
}

inline void Ticks(MyGame::FormMain& form, int count) {
    for (int i = 0; i < count; ++i) {
        form.OnTick();
    }
}

inline void Step(MyGame::FormMain& form) {
    Ticks(form, TicksPerStep);
}

// Steps until the showing is over; gives up after a generous number of steps.
inline void ShowWholeLevel(MyGame::FormMain& form) {
    for (int steps = 0; form.showing && steps < 64; ++steps) {
        Step(form);
    }
}

// The one lit box, 0 when all are dark, -1 when more than one is lit.
inline int LitBox(const VelkUtility::BoxGame& board) {
    const bool lit[5] = {false, board.redLit, board.yellowLit, board.blueLit, board.greenLit};
    int found = 0;
    for (int box = 1; box <= 4; ++box) {
        if (lit[box]) {
            if (found != 0) {
                return -1;
            }
            found = box;
        }
    }
    return found;
}

inline LPARAM BoxPoint(int box) {
    return MAKELPARAM(BoxCentre[box].x, BoxCentre[box].y);
}

// A left press on a box, handled before this returns (a winning press includes its
// one-second wait).
inline void Press(MyGame::FormMain& form, int box) {
    SendMessageW(form.board->window, WM_LBUTTONDOWN, MK_LBUTTON, BoxPoint(box));
    SendMessageW(form.board->window, WM_LBUTTONUP, 0, BoxPoint(box));
}

// A left press on a box, queued for whoever pumps messages next.
inline void PostPress(MyGame::FormMain& form, int box) {
    PostMessageW(form.board->window, WM_LBUTTONDOWN, MK_LBUTTON, BoxPoint(box));
    PostMessageW(form.board->window, WM_LBUTTONUP, 0, BoxPoint(box));
}

// "GIOCA" clicked as the button control reports it.
inline void ClickPlay(MyGame::FormMain& form) {
    SendMessageW(form.playButton->window, BM_CLICK, 0, 0);
}

inline std::string Text(VelkUtility::GUIElement* element) {
    return element->GetTextNarrow();
}

// Seeds the game's random generator as a test wants it.
inline void SeedGame(unsigned seed) {
    srand(seed);
    MyGame::randomSeeded = true;
}

// The boxes the game shows for the given levels after srand(seed): rand() % 4 + 1, drawn
// again while it equals the box shown just before within the same showing.
inline std::vector<std::vector<int>> PredictLevels(unsigned seed, const std::vector<int>& lengths) {
    srand(seed);
    std::vector<std::vector<int>> levels;
    for (int length : lengths) {
        std::vector<int> boxes;
        int last = -1;
        while (static_cast<int>(boxes.size()) < length) {
            int box = rand() % 4 + 1;
            while (box == last) {
                box = rand() % 4 + 1;
            }
            boxes.push_back(box);
            last = box;
        }
        levels.push_back(boxes);
    }
    return levels;
}

// A seed whose first level shows the given boxes; 0 when none is found.
inline unsigned SeedFor(const std::vector<int>& firstLevel) {
    for (unsigned seed = 1; seed < 200000; ++seed) {
        if (PredictLevels(seed, {static_cast<int>(firstLevel.size())})[0] == firstLevel) {
            return seed;
        }
    }
    return 0;
}

// The window's rectangle in the client coordinates of its parent.
inline RECT RectInParent(HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The cursor the window procedure picks for a point in the window's client area.
inline HCURSOR CursorOver(HWND window) {
    SetCursor(LoadCursorW(nullptr, IDC_CROSS));
    SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}

} // namespace GameTest
