// A close question that fails refuses the close: the window stays, as it does after No.

#include "framework/controls/SubMenu.h"
#include "support_game.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <stdexcept>

namespace {

// The main window with a close question that throws, as a failing message box call might.
class FailingQuestionWindow : public MyGame::FormMain {
public:
    FailingQuestionWindow() : FormMain(GetModuleHandleW(nullptr), GameTest::Caption()) {}

    bool ConfirmClose() override {
        ++asked;
        throw std::runtime_error("the question could not be asked");
    }

    int asked = 0;
};

} // namespace

TEST(CloseQuestionFailure, EveryWayOfClosingIsRefusedWhenTheQuestionThrows) {
    FailingQuestionWindow form;
    ASSERT_NE(form.window, nullptr);

    EXPECT_EQ(SendMessageW(form.window, WM_CLOSE, 0, 0), 1) << "the close is refused";
    EXPECT_EQ(form.asked, 1);
    EXPECT_TRUE(IsWindow(form.window));

    SendMessageW(form.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(form.asked, 2);
    EXPECT_TRUE(IsWindow(form.window));

    // "Chiudi" and "&Esci" send WM_CLOSE from inside their own command.
    SendMessageW(form.closeButton->window, BM_CLICK, 0, 0);
    SendMessageW(form.window, WM_COMMAND, MAKEWPARAM(form.exitItem->id, 0), 0);
    EXPECT_EQ(form.asked, 4);
    EXPECT_TRUE(IsWindow(form.window));
    EXPECT_TRUE(form.timer->running) << "the game goes on";

    MSG quit{};
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}
