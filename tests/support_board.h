#pragma once

// The game board inside a real form, shared by the board's tests.

#include "game/BoxGame.h"

#include "framework/Form.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

namespace BoardTestSupport {

constexpr int BoardWidth = 400;
constexpr int BoardHeight = 350;

struct BoxPlace {
    int left;
    int top;
    COLORREF lit;
    COLORREF dark;
};

// Boxes of a 400 x 350 board: 185 x 160 each. Index = box number - 1.
constexpr int BoxWidth = 185;
constexpr int BoxHeight = 160;
constexpr BoxPlace Boxes[4] = {
    {10, 10, 0x0000FF, 0x0000AE},
    {205, 10, 0x00FFFF, 0x00AEAE},
    {10, 180, 0xFF0000, 0xAE0000},
    {205, 180, 0x00FF00, 0x00AE00},
};

inline POINT Centre(int box) {
    const BoxPlace& place = Boxes[box - 1];
    return {place.left + BoxWidth / 2, place.top + BoxHeight / 2};
}

// A board of 400 x 350 with a black background inside a real form, as the main window has it.
class BoardTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<VelkUtility::Form>(GetModuleHandleW(nullptr));
        form->x = 20;
        form->y = 20;
        form->width = 480;
        form->height = 440;
        form->text = L"Board";
        form->Create();
        ASSERT_NE(nullptr, form->window);

        board = std::make_unique<VelkUtility::BoxGame>(form.get());
        board->x = 20;
        board->y = 20;
        board->width = BoardWidth;
        board->height = BoardHeight;
        board->SetBackColor(0);
        board->Create();
        ASSERT_NE(nullptr, board->window);
        TestSupport::PumpMessages(50);
    }

    // Repaints the board the way its owner asks for it (no erasing) and reads it back.
    TestSupport::PixelImage Screen() {
        InvalidateRect(board->window, nullptr, FALSE);
        UpdateWindow(board->window);
        return TestSupport::CaptureClient(board->window);
    }

    void Press(int x, int y) {
        SendMessageW(board->window, WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
        SendMessageW(board->window, WM_LBUTTONUP, 0,
                     MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }

    std::unique_ptr<VelkUtility::Form> form;
    std::unique_ptr<VelkUtility::BoxGame> board;
};

} // namespace BoardTestSupport
