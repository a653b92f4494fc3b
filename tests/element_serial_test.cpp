// Giving the keyboard focus activates the host window: these tests run one at a time.
#include "support_element.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using ElementTest::TestElement;

TEST(ElementFocus, FocusGoesToTheWindowOnlyOnceItExists) {
    TestSupport::ScratchWindow host;
    TestElement first(host), second(host);
    first.Create();
    SetFocus(first.window);
    ASSERT_EQ(GetFocus(), first.window);

    second.Focus();
    EXPECT_EQ(GetFocus(), first.window) << "no window yet: nothing happens";

    second.Create();
    second.Focus();
    EXPECT_EQ(GetFocus(), second.window);
}
