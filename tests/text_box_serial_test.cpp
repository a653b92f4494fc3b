// Focus moves between text boxes (activates the host form).

#include "framework/Form.h"
#include "framework/controls/TextBox.h"
#include "support/TestSupport.h"
#include "support_panel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

using namespace VelkUtility;
using namespace TestSupport;
using PanelSupport::MakeHostForm;

namespace {

int changes = 0;
int focusLosses = 0;

} // namespace

TEST(TextBoxFocus, TextChangedFiresOnFocusLossOnlyWhenTheTextChanged) {
    changes = 0;
    focusLosses = 0;
    std::unique_ptr<Form> form = MakeHostForm();
    ASSERT_NE(form->window, nullptr);
    TextBox box(form.get(), "abc");
    box.x = 10;
    box.y = 10;
    box.onTextChanged = [](GUIElement*) { ++changes; };
    box.onKillFocus = [](GUIElement*) { ++focusLosses; };
    box.Create();
    TextBox other(form.get(), "");
    other.x = 10;
    other.y = 60;
    other.Create();
    SetForegroundWindow(form->window);
    PumpMessages(100);

    box.Focus();
    PumpMessages(20);
    ASSERT_EQ(GetFocus(), box.window);
    EXPECT_EQ(box.focusText, L"abc");
    other.Focus();
    PumpMessages(20);
    ASSERT_EQ(GetFocus(), other.window);
    EXPECT_EQ(focusLosses, 1);
    EXPECT_EQ(changes, 0) << "unchanged text";

    box.Focus();
    SendMessageW(box.window, WM_CHAR, 'd', 1);
    other.Focus();
    PumpMessages(20);
    EXPECT_EQ(focusLosses, 2);
    EXPECT_EQ(changes, 1);

    const std::wstring typed = box.GetText();
    EXPECT_EQ(typed.size(), 4u);

    // Typed and then restored: the same text as at focus time.
    box.Focus();
    SendMessageW(box.window, WM_CHAR, 'e', 1);
    SendMessageW(box.window, WM_CHAR, VK_BACK, 1);
    other.Focus();
    PumpMessages(20);
    EXPECT_EQ(box.GetText(), typed);
    EXPECT_EQ(focusLosses, 3);
    EXPECT_EQ(changes, 1);
}
