// The about box closed with real keys and a real click, as the user closes it.

#include "framework/controls/Button.h"
#include "framework/controls/TextBox.h"
#include "support/TestSupport.h"
#include "support_about.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace VelkUtility;
using namespace AboutTest;

namespace {

using AboutInput = AboutFixture;

void Tap(WORD key) {
    INPUT inputs[2]{};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = key;
    inputs[1].type = INPUT_KEYBOARD;
    inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

TEST_F(AboutInput, EscapeAndEnterKeysCloseTheBoxFromTheButtonAndTheNotice) {
    struct Case {
        bool focusNotice;
        WORD key;
    };
    for (const Case& c : {Case{false, VK_ESCAPE}, Case{false, VK_RETURN}, Case{true, VK_ESCAPE},
                          Case{true, VK_RETURN}}) {
        SCOPED_TRACE(std::to_string(c.key) + (c.focusNotice ? " notice" : " button"));
        Open();
        HWND aboutWindow = about->window;
        SetForegroundWindow(aboutWindow);
        if (c.focusNotice) {
            about->noticeBox->Focus();
        }
        HWND focused = c.focusNotice ? about->noticeBox->window : about->okButton->window;
        ASSERT_TRUE(TestSupport::PumpUntil([&] { return GetFocus() == focused; }, 3000));

        Tap(c.key);
        EXPECT_TRUE(TestSupport::PumpUntil([&] { return !IsWindow(aboutWindow); }, 3000));
        ExpectClosed(aboutWindow);
    }
}

TEST_F(AboutInput, ClickOnOkClosesTheBox) {
    Open();
    HWND aboutWindow = about->window;
    SetForegroundWindow(aboutWindow);
    TestSupport::PumpMessages(100);
    RECT button{};
    GetWindowRect(about->okButton->window, &button);
    SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    INPUT inputs[2]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));

    EXPECT_TRUE(TestSupport::PumpUntil([&] { return !IsWindow(aboutWindow); }, 3000));
    ExpectClosed(aboutWindow);
}

// While the box is open, a click on the owner reaches nothing: the owner is disabled.
TEST_F(AboutInput, OwnerTakesNoClickWhileTheBoxIsOpen) {
    static int ownerClicks = 0;
    ownerClicks = 0;
    owner->onLeftButtonDown = [](GUIElement*, HWND, int, int) {
        ++ownerClicks;
        return 0;
    };
    Open();
    // A point of the owner's client area that the box does not cover.
    RECT client{};
    GetClientRect(owner->window, &client);
    POINT point{5, client.bottom - 5};
    ClientToScreen(owner->window, &point);
    ASSERT_EQ(WindowFromPoint(point), owner->window);
    SetCursorPos(point.x, point.y);
    INPUT inputs[2]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
    TestSupport::PumpMessages(300);
    EXPECT_EQ(ownerClicks, 0);

    SendMessageW(about->window, WM_CHAR, 27, 0);
    // Let the activation that follows the close settle before the next click.
    TestSupport::PumpMessages(300);
    SendInput(2, inputs, sizeof(INPUT));
    EXPECT_TRUE(TestSupport::PumpUntil([] { return ownerClicks == 1; }, 3000))
        << "once the box is closed the owner takes clicks again";
}

// While the box is open the owner's activation keeps the box right behind it.
TEST_F(AboutInput, OwnerActivationKeepsTheOpenBoxAsCompanion) {
    Open();
    SetForegroundWindow(owner->window);
    SendMessageW(owner->window, WM_ACTIVATE, WA_ACTIVE, 0);
    TestSupport::PumpMessages(50);
    EXPECT_EQ(owner->companion, about);
    EXPECT_EQ(GetWindow(owner->window, GW_HWNDNEXT), about->window);
}

} // namespace
