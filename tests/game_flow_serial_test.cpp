// The game played with the real mouse: "GIOCA" and the boxes clicked through the system's
// input queue, so the system decides what reaches which window.

#include "support/TestSupport.h"
#include "support_game.h"
#include "support_game_input.h"

#include "framework/about/FormAbout.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <vector>

using namespace GameTest;

namespace {

class RealPlayTest : public ::testing::Test {
public:
    void SetUp() override {
        form = MakeMainWindow();
        ASSERT_NE(form->window, nullptr);
        form->timer->Stop();
        ASSERT_TRUE(MakeForeground(form->window));
    }

    void ClickPlayButton() { RealClick(form->playButton->window, {50, 20}); }

    // Clicks a box and waits until the count shows the press was handled (or a while).
    void ClickBox(int box) {
        const std::string before = Text(form->countCell) + Text(form->messageCell);
        RealClick(form->board->window, BoxCentre[box]);
        TestSupport::PumpUntil(
            [&] { return Text(form->countCell) + Text(form->messageCell) != before; }, 3000);
        TestSupport::PumpMessages(50);
    }

    std::unique_ptr<MyGame::FormMain> form;
};

TEST_F(RealPlayTest, ClicksPlayAWholeLevel) {
    ClickPlayButton();
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return form->playing; }, 3000));
    ShowWholeLevel(*form);
    const std::vector<int> boxes = form->sequence;
    ASSERT_EQ(boxes.size(), 3u);

    ClickBox(boxes[0]);
    EXPECT_EQ(Text(form->countCell), "-2");
    ClickBox(boxes[1]);
    EXPECT_EQ(Text(form->countCell), "-1");
    ClickBox(boxes[2]); // includes the one-second wait
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return form->showing; }, 5000));
    EXPECT_EQ(form->targetLength, 4);
}

TEST_F(RealPlayTest, DisabledPlayButtonTakesNoClick) {
    ClickPlayButton();
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return form->playing; }, 3000));
    Step(*form);
    Step(*form);
    const std::vector<int> shown = form->sequence;
    ASSERT_EQ(shown.size(), 2u);
    ClickPlayButton();
    TestSupport::PumpMessages(300);
    EXPECT_EQ(form->sequence, shown);
    EXPECT_TRUE(form->showing);
}

TEST_F(RealPlayTest, BoardTakesNoClickWhileTheAboutBoxIsOpen) {
    ClickPlayButton();
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return form->playing; }, 3000));
    ShowWholeLevel(*form);
    const std::vector<int> boxes = form->sequence;

    SendMessageW(form->infoButton->window, BM_CLICK, 0, 0);
    ASSERT_NE(form->aboutForm, nullptr);
    HWND about = form->aboutForm->window;
    // Out of the way of the board, so a click there is aimed at the board itself.
    SetWindowPos(about, nullptr, 700, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    TestSupport::PumpMessages(100);
    RealClick(form->board->window, BoxCentre[boxes[0]]);
    TestSupport::PumpMessages(400);
    EXPECT_EQ(Text(form->countCell), "-3");
    EXPECT_EQ(form->sequence, boxes);

    SendMessageW(form->aboutForm->okButton->window, BM_CLICK, 0, 0);
    TestSupport::PumpMessages(100);
    ASSERT_FALSE(IsWindow(about));
    ASSERT_TRUE(IsWindowEnabled(form->window));
    ASSERT_TRUE(MakeForeground(form->window));
    // Far enough in time from the ignored click that this is no double click.
    Sleep(GetDoubleClickTime() + 100);
    ClickBox(boxes[0]);
    EXPECT_EQ(Text(form->countCell), "-2");
}

} // namespace
