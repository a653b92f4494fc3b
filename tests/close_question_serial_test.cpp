// The exit question answered No hands the keyboard back: the main window is active again and
// the control that had the focus before has it again, so the next Alt+F4 asks again.

#include "support/TestSupport.h"
#include "framework/controls/SubMenu.h"
#include "support_game.h"
#include "support_game_input.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

using namespace GameTest;
using TestSupport::DialogAnswerer;
using TestSupport::PumpMessages;
using TestSupport::PumpUntil;

namespace {

class CloseQuestion : public ::testing::Test {
public:
    void SetUp() override {
        form = MakeMainWindow();
        ASSERT_NE(form->window, nullptr);
        ASSERT_TRUE(MakeForeground(form->window));
    }

    // Asks the question the given way and answers it; returns whether it was asked.
    bool AskAndAnswer(const std::function<void()>& ask, int answerId) {
        DialogAnswerer answer("Uscita", answerId);
        ask();
        PumpUntil([&] { return answer.Seen(); }, 5000);
        answer.Join();
        // The box has gone and the handler has returned.
        PumpMessages(200);
        return answer.Seen() && answer.Text() == "Vuoi realmente uscire?";
    }

    std::unique_ptr<MyGame::FormMain> form;
};

void PressAltF4() {
    RealChord({VK_MENU, VK_F4});
}

} // namespace

// Each way of asking, with the focus where the player left it.
TEST_F(CloseQuestion, NoGivesTheActivationAndTheFocusBackToTheMainWindow) {
    struct Case {
        const char* name;
        std::function<HWND()> focusBefore;
        std::function<void()> ask;
    };
    const Case cases[] = {
        {"Alt+F4 with the focus on the main window",
         [this] {
             SetFocus(form->window);
             return form->window;
         },
         PressAltF4},
        {"Alt+F4 with the focus on \"Info\"",
         [this] {
             SetFocus(form->infoButton->window);
             return form->infoButton->window;
         },
         PressAltF4},
        {"\"Chiudi\" clicked", [this] { return form->closeButton->window; },
         [this] {
             RECT button{};
             GetClientRect(form->closeButton->window, &button);
             RealClick(form->closeButton->window, POINT{button.right / 2, button.bottom / 2});
         }},
        {"\"&Esci\" chosen",
         [this] {
             SetFocus(form->playButton->window);
             return form->playButton->window;
         },
         [this] { PostMessageW(form->window, WM_COMMAND, MAKEWPARAM(form->exitItem->id, 0), 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(MakeForeground(form->window));
        const HWND focus = c.focusBefore();
        PumpMessages(50);
        ASSERT_TRUE(AskAndAnswer(c.ask, IDNO));
        ASSERT_TRUE(IsWindow(form->window));
        EXPECT_EQ(GetActiveWindow(), form->window);
        EXPECT_EQ(GetFocus(), focus);
        EXPECT_EQ(GetForegroundWindow(), form->window);
        EXPECT_TRUE(IsWindowEnabled(form->window));
    }
}

// No, then Alt+F4 with nothing but real keys: the second Alt+F4 reaches the window and asks
// again, and Yes then closes it.
TEST_F(CloseQuestion, AltF4AfterNoAsksAgainAndYesCloses) {
    ASSERT_TRUE(AskAndAnswer(PressAltF4, IDNO));
    ASSERT_TRUE(IsWindow(form->window));
    EXPECT_TRUE(AskAndAnswer(PressAltF4, IDNO)) << "the second Alt+F4 went nowhere";
    HWND window = form->window;
    EXPECT_TRUE(AskAndAnswer(PressAltF4, IDYES)) << "the third Alt+F4 went nowhere";
    EXPECT_TRUE(PumpUntil([window] { return !IsWindow(window); }, 3000));
}

// The game goes on after No: a showing in progress keeps stepping.
TEST_F(CloseQuestion, NoDuringAShowingLeavesTheGameWhereItWas) {
    ClickPlay(*form);
    ASSERT_TRUE(form->showing);
    ASSERT_TRUE(AskAndAnswer(PressAltF4, IDNO));
    EXPECT_TRUE(form->playing);
    EXPECT_TRUE(form->timer->running);
    EXPECT_FALSE(IsWindowEnabled(form->playButton->window));
    const size_t shownBefore = form->sequence.size();
    EXPECT_TRUE(PumpUntil([&] { return form->sequence.size() > shownBefore; }, 5000));
}
