#include "framework/controls/CellControl.h"
#include "framework/controls/Label.h"
#include "framework/controls/PanelChildren.h"
#include "framework/controls/TextBox.h"
#include "support/TestSupport.h"
#include "support_about.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using namespace VelkUtility;
using namespace AboutTest;

namespace {

using AboutLinks = AboutFixture;

void Press(HWND window) {
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 8));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(10, 8));
}

std::vector<std::string> ShellCalls() {
    return TestSupport::RelayCalls(TestSupport::ReadRelayLog(), "shell32.ShellExecuteW");
}

TEST_F(AboutLinks, SiteLinkOpensTheSiteAndMailLinkTheMailAddress) {
    ASSERT_TRUE(TestSupport::RelayLogAvailable());
    Open();
    ASSERT_TRUE(ShellCalls().empty());

    Press(about->siteLink->window);
    std::vector<std::string> calls = ShellCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find("L\"open\""), std::string::npos) << calls[0];
    EXPECT_NE(calls[0].find("L\"http://www.ondrel.test\""), std::string::npos) << calls[0];

    Press(about->mailLink->window);
    calls = ShellCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_NE(calls[1].find("L\"open\""), std::string::npos) << calls[1];
    EXPECT_NE(calls[1].find("L\"mailto:info@ondrel.test\""), std::string::npos) << calls[1];

    EXPECT_TRUE(IsWindow(about->window)) << "a link leaves the box open";
    EXPECT_FALSE(IsWindowEnabled(owner->window));
}

// The mail link opens what it shows, whatever the site address holds besides the prefix.
TEST_F(AboutLinks, MailAddressFollowsTheSiteAddress) {
    ASSERT_TRUE(TestSupport::RelayLogAvailable());
    about = new FormAbout(owner.get());
    about->siteAddress = "http://www.esempio.example";
    about->logoId = 1006;
    about->logoWidth = 164;
    about->logoHeight = 50;
    about->Create();
    EXPECT_EQ(about->mailLink->GetTextNarrow(), "info@esempio.example");

    Press(about->mailLink->window);
    const std::vector<std::string> calls = ShellCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find("L\"mailto:info@esempio.example\""), std::string::npos) << calls[0];
}

TEST_F(AboutLinks, ClickingTitleCopyrightOrNoticeOpensNothing) {
    ASSERT_TRUE(TestSupport::RelayLogAvailable());
    Open();
    for (HWND window : {about->titleLabel->window, about->copyrightLabel->window,
                        about->noticeBox->window, about->logoPanel->window, about->window}) {
        Press(window);
    }
    TestSupport::PumpMessages(50);
    EXPECT_TRUE(ShellCalls().empty());
    EXPECT_TRUE(IsWindow(about->window));
    EXPECT_TRUE(about->created);
}

} // namespace
