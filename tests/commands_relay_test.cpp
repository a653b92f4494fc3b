// "&Home" and "&Guida" hand the maker's pages to the shell, seen in Wine's relay trace of
// shell32.ShellExecuteW.

#include "support/TestSupport.h"
#include "support_game.h"

#include "framework/controls/SubMenu.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using namespace GameTest;

namespace {

std::vector<std::string> ShellCalls() {
    return TestSupport::RelayCalls(TestSupport::ReadRelayLog(), "shell32.ShellExecuteW");
}

void ChooseMenuItem(MyGame::FormMain& form, VelkUtility::SubMenu* item) {
    SendMessageW(form.window, WM_COMMAND, MAKEWPARAM(item->id, 0), 0);
}

TEST(WebPages, HomeOpensTheSiteAddress) {
    ASSERT_TRUE(TestSupport::RelayLogAvailable());
    auto form = MakeMainWindow();
    ChooseMenuItem(*form, form->homeItem);
    const std::vector<std::string> calls = ShellCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find("L\"open\""), std::string::npos) << calls[0];
    EXPECT_NE(calls[0].find("L\"http://www.ondrel.test\""), std::string::npos) << calls[0];
    EXPECT_TRUE(IsWindow(form->window));
}

TEST(WebPages, GuideOpensTheProductPage) {
    ASSERT_TRUE(TestSupport::RelayLogAvailable());
    auto form = MakeMainWindow();
    ChooseMenuItem(*form, form->guideItem);
    const std::vector<std::string> calls = ShellCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find("L\"open\""), std::string::npos) << calls[0];
    EXPECT_NE(calls[0].find("L\"http://www.ondrel.test/Ondrel.asp\""), std::string::npos)
        << calls[0];
}

// The other commands open nothing.
TEST(WebPages, OtherCommandsOpenNothing) {
    ASSERT_TRUE(TestSupport::RelayLogAvailable());
    auto form = MakeMainWindow();
    form->timer->Stop();
    ClickPlay(*form);
    SendMessageW(form->infoButton->window, BM_CLICK, 0, 0);
    {
        TestSupport::DialogAnswerer answer("Uscita", IDNO);
        ChooseMenuItem(*form, form->exitItem);
        answer.Join();
        ASSERT_TRUE(answer.Seen());
    }
    EXPECT_TRUE(ShellCalls().empty());
}

} // namespace
