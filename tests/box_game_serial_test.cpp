// The game board pressed with the real mouse: input synthesised with SendInput at the boxes'
// screen positions, so the system decides which presses are double clicks.

#include "support_board.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

using BoardTestSupport::BoardTest;
using BoardTestSupport::Centre;
using VelkUtility::BoxGame;
using VelkUtility::GUIElement;

namespace {

std::vector<int> boxes;
int doubleClicks = 0;
int buttonDowns = 0;

void RecordBox(BoxGame*, int box) {
    boxes.push_back(box);
}

int CountDoubleClick(GUIElement*, HWND, int, int) {
    ++doubleClicks;
    return 0;
}

int CountButtonDown(GUIElement*, HWND, int, int) {
    ++buttonDowns;
    return 0;
}

class RealMouseTest : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        boxes.clear();
        doubleClicks = 0;
        buttonDowns = 0;
        board->onBoxClick = RecordBox;
        board->onLeftButtonDown = CountButtonDown;
        board->onLeftDoubleClick = CountDoubleClick;
        SetForegroundWindow(form->window);
        TestSupport::PumpMessages(100);
    }

    // Moves the cursor to a point of the board and clicks there `clicks` times in a row.
    void Click(POINT point, int clicks) {
        ClientToScreen(board->window, &point);
        SetCursorPos(point.x, point.y);
        TestSupport::PumpMessages(50);
        std::vector<INPUT> inputs;
        for (int i = 0; i < clicks; ++i) {
            for (DWORD flag : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
                INPUT input = {};
                input.type = INPUT_MOUSE;
                input.mi.dwFlags = flag;
                inputs.push_back(input);
            }
        }
        ASSERT_EQ(inputs.size(),
                  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)));
    }

    // Waits until the board has seen `presses` presses (single or double), then a little
    // longer for anything that should not come.
    void WaitForPresses(int presses) {
        TestSupport::PumpUntil([presses] { return buttonDowns + doubleClicks >= presses; }, 3000);
        TestSupport::PumpMessages(200);
    }
};

} // namespace

TEST_F(RealMouseTest, ClickOnEachBoxReportsItsNumber) {
    for (int box = 1; box <= 4; ++box) {
        Click(Centre(box), 1);
        WaitForPresses(box);
        // Far enough apart in time that the next click is no double click.
        Sleep(GetDoubleClickTime() + 100);
    }
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), boxes);
    EXPECT_EQ(0, doubleClicks);
}

TEST_F(RealMouseTest, ClickOnTheMarginReportsNoBox) {
    Click({200, 175}, 1);
    WaitForPresses(1);
    EXPECT_EQ(1, buttonDowns);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(RealMouseTest, DoubleClickOnABoxReportsItOnce) {
    Click(Centre(4), 2);
    WaitForPresses(2);
    EXPECT_EQ(1, buttonDowns);
    EXPECT_EQ(1, doubleClicks);
    EXPECT_EQ(std::vector<int>{4}, boxes);
}
