// Closing the main window with real input: Alt+F4 and the caption's close box ask the exit
// question like every other way of closing.

#include "support/TestSupport.h"
#include "support_game.h"
#include "support_game_input.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

using namespace GameTest;
using TestSupport::DialogAnswerer;

namespace {

class RealCloseTest : public ::testing::Test {
public:
    void SetUp() override {
        form = MakeMainWindow();
        ASSERT_NE(form->window, nullptr);
        ASSERT_TRUE(MakeForeground(form->window));
    }

    // A screen point over the caption's close box, found by asking the window itself.
    bool FindCloseBox(POINT& found) {
        RECT frame{};
        GetWindowRect(form->window, &frame);
        for (int y = frame.top + 1; y < frame.top + 40; ++y) {
            for (int x = frame.right - 2; x > frame.right - 120; --x) {
                if (SendMessageW(form->window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                    // Aim a few pixels inside the box.
                    found = {x - 4, y + 4};
                    return SendMessageW(form->window, WM_NCHITTEST, 0,
                                        MAKELPARAM(found.x, found.y)) == HTCLOSE;
                }
            }
        }
        return false;
    }

    std::unique_ptr<MyGame::FormMain> form;
};

TEST_F(RealCloseTest, AltF4AsksAndNoKeepsTheWindow) {
    DialogAnswerer answer("", IDNO);
    RealChord({VK_MENU, VK_F4});
    TestSupport::PumpUntil([&] { return answer.Seen(); }, 5000);
    answer.Join();
    ASSERT_TRUE(answer.Seen());
    EXPECT_EQ(answer.Caption(), "Uscita");
    EXPECT_EQ(answer.Text(), "Vuoi realmente uscire?");
    TestSupport::PumpMessages(100);
    EXPECT_TRUE(IsWindow(form->window));
    EXPECT_TRUE(form->timer->running);
}

TEST_F(RealCloseTest, AltF4AnsweredYesEndsTheProgram) {
    DialogAnswerer answer("Uscita", IDYES);
    RealChord({VK_MENU, VK_F4});
    HWND window = form->window;
    TestSupport::PumpUntil([&] { return !IsWindow(window); }, 5000);
    answer.Join();
    ASSERT_TRUE(answer.Seen());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(form->timer->running);
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(RealCloseTest, CaptionCloseBoxAsks) {
    POINT closeBox{};
    ASSERT_TRUE(FindCloseBox(closeBox));
    DialogAnswerer answer("", IDNO);
    SetCursorPos(closeBox.x, closeBox.y);
    TestSupport::PumpMessages(50);
    INPUT inputs[2]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
    TestSupport::PumpUntil([&] { return answer.Seen(); }, 5000);
    answer.Join();
    ASSERT_TRUE(answer.Seen());
    EXPECT_EQ(answer.Caption(), "Uscita");
    EXPECT_EQ(answer.Text(), "Vuoi realmente uscire?");
    TestSupport::PumpMessages(100);
    EXPECT_TRUE(IsWindow(form->window));
}

} // namespace
