// Window procedure rows that depend on the foreground window, the cursor or real input:
// activation, hot keys, Tab navigation, mouse tracking, cursors and clicks.

#include "framework/Form.h"
#include "framework/WindowProcedure.h"
#include "framework/controls/Button.h"
#include "framework/controls/PanelChildren.h"
#include "support/TestSupport.h"
#include "support_forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace VelkUtility;
using FormsTest::CountOf;
using FormsTest::Instance;
using FormsTest::Log;
using FormsTest::Names;
using FormsTest::Record;
using FormsTest::TakeQuit;

namespace {

void RecordActivate(GUIElement* element) {
    Record("activate", element);
}
void RecordDeactivate(GUIElement* element) {
    Record("deactivate", element);
}

Form* NewRecordingForm(int left, int top) {
    Form* form = FormsTest::NewForm(250, 180, left, top);
    form->onActivate = RecordActivate;
    form->onDeactivate = RecordDeactivate;
    return form;
}

bool BringToFront(HWND window) {
    SetForegroundWindow(window);
    return TestSupport::PumpUntil([window] { return GetForegroundWindow() == window; }, 2000);
}

// Holds Shift in this thread's keyboard state while it lives.
class ShiftHeld {
public:
    ShiftHeld() { SetShift(0x80); }
    ~ShiftHeld() { SetShift(0); }

private:
    static void SetShift(BYTE state) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = state;
        keys[VK_LSHIFT] = state;
        SetKeyboardState(keys);
    }
};

class Activation : public ::testing::Test {
protected:
    void SetUp() override {
        first.reset(NewRecordingForm(20, 20));
        second.reset(NewRecordingForm(120, 120));
        TestSupport::PumpMessages(50);
    }
    void TearDown() override {
        third.reset();
        second.reset();
        first.reset();
        TakeQuit();
    }
    std::unique_ptr<Form> first;
    std::unique_ptr<Form> second;
    std::unique_ptr<Form> third;
};

TEST_F(Activation, ForegroundFormBecomesTheActiveForm) {
    ASSERT_TRUE(BringToFront(first->window));
    EXPECT_EQ(activeForm, first.get());
    Log().clear();

    ASSERT_TRUE(BringToFront(second->window));
    EXPECT_EQ(activeForm, second.get());
    ASSERT_GE(Log().size(), 2u);
    // The form losing the foreground is told so before the new one is.
    EXPECT_EQ(Log().back().name, "activate");
    EXPECT_EQ(Log().back().element, second.get());
    bool firstDeactivated = false;
    for (const auto& call : Log()) {
        firstDeactivated =
            firstDeactivated || (call.name == "deactivate" && call.element == first.get());
    }
    EXPECT_TRUE(firstDeactivated);
}

TEST_F(Activation, ReactivatingTheActiveFormDeactivatesItFirst) {
    ASSERT_TRUE(BringToFront(first->window));
    Log().clear();
    SendMessageW(first->window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"deactivate", "activate"}));
    EXPECT_EQ(activeForm, first.get());
}

TEST_F(Activation, CompanionIsPlacedDirectlyBehindTheActivatedForm) {
    third.reset(NewRecordingForm(200, 60));
    second->companion = third.get();
    ASSERT_TRUE(BringToFront(third->window));

    ASSERT_TRUE(BringToFront(second->window));
    TestSupport::PumpMessages(50);
    EXPECT_EQ(GetWindow(second->window, GW_HWNDNEXT), third->window);
    EXPECT_EQ(GetForegroundWindow(), second->window) << "the companion must not take over";
    EXPECT_EQ(activeForm, second.get());
}

TEST_F(Activation, HotKeysAreTakenOnlyWhileTheFormIsActive) {
    const int modifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
    second->hotKeys.push_back(HotKey{modifiers, VK_F8, nullptr});
    auto taken = [modifiers] {
        if (RegisterHotKey(nullptr, 0x7001, modifiers, VK_F8)) {
            UnregisterHotKey(nullptr, 0x7001);
            return false;
        }
        return true;
    };

    ASSERT_TRUE(BringToFront(first->window));
    EXPECT_FALSE(taken());
    ASSERT_TRUE(BringToFront(second->window));
    EXPECT_TRUE(taken());
    ASSERT_TRUE(BringToFront(first->window));
    EXPECT_FALSE(taken());
    ASSERT_TRUE(BringToFront(second->window));
    EXPECT_TRUE(taken());
    DestroyWindow(second->window);
    EXPECT_FALSE(taken()) << "destruction gives the hot keys back";
}

TEST_F(Activation, DeletedActiveFormIsForgotten) {
    ASSERT_TRUE(BringToFront(second->window));
    ASSERT_EQ(activeForm, second.get());
    // A window of no form takes the foreground: the form stays the last activated one.
    TestSupport::ScratchWindow other;
    ASSERT_TRUE(BringToFront(other));
    ASSERT_EQ(activeForm, second.get());
    second.reset();
    EXPECT_EQ(activeForm, nullptr);
    // Activating another form must not reach the deleted one.
    EXPECT_TRUE(BringToFront(first->window));
    EXPECT_EQ(activeForm, first.get());
}

// ---- hot keys -----------------------------------------------------------------------

void HotKeyHandlerA(Form* form, int modifiers, int key) {
    Record("hotkey", form, modifiers, key);
}

TEST_F(Activation, HotKeyGoesToTheForegroundFormWithTheSameCombination) {
    first->hotKeys.push_back(HotKey{MOD_CONTROL, 'K', HotKeyHandlerA});
    second->hotKeys.push_back(HotKey{MOD_CONTROL, 'K', HotKeyHandlerA});
    second->hotKeys.push_back(HotKey{MOD_ALT, 'Z', HotKeyHandlerA});
    ASSERT_TRUE(BringToFront(first->window));
    Log().clear();

    // For the foreground form itself.
    SendMessageW(first->window, WM_HOTKEY, 1, 0);
    // For a background form: handed to the foreground form's entry with the same keys.
    SendMessageW(second->window, WM_HOTKEY, 1, 0);
    // The foreground form has no Alt+Z: nobody is called.
    SendMessageW(second->window, WM_HOTKEY, 2, 0);

    ASSERT_EQ(CountOf("hotkey"), 2);
    EXPECT_EQ(Log()[0].element, first.get());
    EXPECT_EQ(Log()[1].element, first.get());
    EXPECT_EQ(Log()[1].a, MOD_CONTROL);
    EXPECT_EQ(Log()[1].b, 'K');
}

TEST_F(Activation, HotKeyOutsideTheFormsRangeDoesNothing) {
    first->hotKeys.push_back(HotKey{MOD_CONTROL, 'K', HotKeyHandlerA});
    ASSERT_TRUE(BringToFront(first->window));
    Log().clear();
    for (WPARAM identifier : {WPARAM(0), WPARAM(2), WPARAM(100)}) {
        SendMessageW(first->window, WM_HOTKEY, identifier, 0);
    }
    EXPECT_EQ(CountOf("hotkey"), 0);
}

// ---- Tab navigation -------------------------------------------------------------------

class TabNavigation : public ::testing::Test {
protected:
    void SetUp() override {
        form.reset(FormsTest::NewForm(400, 300));
        ASSERT_TRUE(BringToFront(form->window));
    }
    void TearDown() override {
        children.clear();
        form.reset();
        TakeQuit();
    }
    Button* AddButton(GUIElement* parent, int left, int top) {
        auto* button = new Button(parent, "B");
        button->SetLocation(left, top);
        button->Create();
        children.emplace_back(button);
        return button;
    }
    static void PressTab(HWND focused) { SendMessageW(focused, WM_KEYDOWN, VK_TAB, 0); }

    std::unique_ptr<Form> form;
    std::vector<std::unique_ptr<GUIElement>> children;
};

TEST_F(TabNavigation, TabAndShiftTabMoveAmongTheFormsControls) {
    Button* a = AddButton(form.get(), 10, 10);
    Button* b = AddButton(form.get(), 10, 50);
    Button* c = AddButton(form.get(), 10, 90);
    a->Focus();
    ASSERT_EQ(GetFocus(), a->window);

    PressTab(a->window);
    EXPECT_EQ(GetFocus(), b->window);
    PressTab(b->window);
    EXPECT_EQ(GetFocus(), c->window);
    PressTab(c->window);
    EXPECT_EQ(GetFocus(), a->window) << "Tab wraps round";
    {
        ShiftHeld shift;
        PressTab(a->window);
        EXPECT_EQ(GetFocus(), c->window);
        PressTab(c->window);
        EXPECT_EQ(GetFocus(), b->window);
    }
}

TEST_F(TabNavigation, TabInsideAPanelStaysAmongThePanelsControls) {
    Button* outside = AddButton(form.get(), 10, 10);
    auto* panel = new PanelChildren(form.get());
    panel->SetLocation(100, 10);
    panel->SetSize(200, 200);
    panel->Create();
    children.emplace_back(panel);
    Button* first = AddButton(panel, 10, 10);
    Button* second = AddButton(panel, 10, 60);
    first->Focus();
    ASSERT_EQ(GetFocus(), first->window);

    PressTab(first->window);
    EXPECT_EQ(GetFocus(), second->window);
    PressTab(second->window);
    EXPECT_EQ(GetFocus(), first->window) << "the panel is the container";
    {
        ShiftHeld shift;
        PressTab(first->window);
        EXPECT_EQ(GetFocus(), second->window);
    }
    EXPECT_NE(GetFocus(), outside->window);
}

TEST_F(TabNavigation, RealTabKeyMovesTheFocus) {
    Button* a = AddButton(form.get(), 10, 10);
    Button* b = AddButton(form.get(), 10, 50);
    a->Focus();
    ASSERT_EQ(GetFocus(), a->window);
    a->onKeyDown = [](GUIElement* element, int key) {
        Record("key", element, key);
        return 0;
    };

    INPUT press[2] = {};
    press[0].type = INPUT_KEYBOARD;
    press[0].ki.wVk = VK_TAB;
    press[1] = press[0];
    press[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, press, sizeof(INPUT)), 2u);

    EXPECT_TRUE(TestSupport::PumpUntil([b] { return GetFocus() == b->window; }, 2000));
    ASSERT_EQ(CountOf("key"), 1) << "the key still reaches the control's OnKeyDown";
    EXPECT_EQ(Log()[0].a, VK_TAB);
}

// ---- mouse: tracking, cursors, clicks -------------------------------------------------

POINT ScreenPoint(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    return point;
}

TEST(MouseTracking, HoverAndLeaveArriveAndTrackingStartsAgain) {
    std::unique_ptr<Form> form(FormsTest::NewForm(300, 200, 100, 100));
    ASSERT_TRUE(BringToFront(form->window));
    form->onMouseHover = [](GUIElement* element) { Record("hover", element); };
    form->onMouseLeave = [](GUIElement* element) { Record("leave", element); };
    form->onMouseMove = [](GUIElement* element, int x, int y) { Record("move", element, x, y); };

    const POINT inside = ScreenPoint(form->window, 60, 40);
    SetCursorPos(inside.x, inside.y);
    ASSERT_TRUE(TestSupport::PumpUntil([] { return CountOf("move") > 0; }, 2000))
        << "moving the cursor over the form brings WM_MOUSEMOVE";
    EXPECT_TRUE(mouseTracking);
    EXPECT_TRUE(TestSupport::PumpUntil([] { return CountOf("hover") > 0; }, 3000));

    SetCursorPos(5, 5);
    EXPECT_TRUE(TestSupport::PumpUntil([] { return CountOf("leave") > 0; }, 3000));
    EXPECT_FALSE(mouseTracking);

    SetCursorPos(inside.x + 3, inside.y + 3);
    const int moves = CountOf("move");
    EXPECT_TRUE(TestSupport::PumpUntil([moves] { return CountOf("move") > moves; }, 2000));
    EXPECT_TRUE(mouseTracking) << "the next move asks for tracking again";
    form.reset();
    TakeQuit();
}

struct CursorCase {
    const char* name;
    bool hand;
    bool wait;
    WORD hitTest;
    int expected; // 0 the class arrow, 1 the hand, 2 the wait cursor
};

class Cursors : public ::testing::TestWithParam<CursorCase> {};

TEST_P(Cursors, ClientAreaShowsTheElementsChoice) {
    Log().clear();
    const CursorCase& c = GetParam();
    std::unique_ptr<Form> form(FormsTest::NewForm());
    form->SetHandCursor(c.hand);
    form->SetWaitCursor(c.wait);
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    SetCursor(nullptr);

    const LRESULT answer =
        SendMessageW(form->window, WM_SETCURSOR, reinterpret_cast<WPARAM>(form->window),
                     MAKELPARAM(c.hitTest, WM_MOUSEMOVE));
    const HCURSOR expected[] = {arrow, hand, wait};
    if (c.expected != 0) {
        EXPECT_EQ(answer, 1);
        EXPECT_EQ(GetCursor(), expected[c.expected]);
    } else {
        EXPECT_NE(GetCursor(), hand);
        EXPECT_NE(GetCursor(), wait);
    }
    EXPECT_EQ(handCursorHandle, hand);
    EXPECT_EQ(waitCursorHandle, wait);
    form.reset();
    TakeQuit();
}

INSTANTIATE_TEST_SUITE_P(
    Choices, Cursors,
    ::testing::Values(CursorCase{"HandWins", true, true, HTCLIENT, 1},
                      CursorCase{"Wait", false, true, HTCLIENT, 2},
                      CursorCase{"NeitherTakesTheClassCursor", false, false, HTCLIENT, 0},
                      CursorCase{"CaptionIgnoresTheHand", true, false, HTCAPTION, 0},
                      CursorCase{"BorderIgnoresTheWait", false, true, HTLEFT, 0}),
    [](const ::testing::TestParamInfo<CursorCase>& info) { return std::string(info.param.name); });

// Counts the WM_COMMAND messages that reach a window, whatever handles them.
int commandsSeen = 0;
HWND commandTarget = nullptr;
LRESULT CALLBACK CountCommands(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == commandTarget && message->message == WM_COMMAND) {
        ++commandsSeen;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void ClickAt(POINT point) {
    SetCursorPos(point.x, point.y);
    INPUT click[2] = {};
    click[0].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].type = INPUT_MOUSE;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
}

TEST(OwnerDrawnButton, EveryCommandItSendsCallsOnCommandOnce) {
    std::unique_ptr<Form> form(FormsTest::NewForm(300, 200, 100, 100));
    auto* button = new Button(form.get(), "Gioca");
    std::unique_ptr<Button> owned(button);
    button->ownerDraw = true;
    button->SetLocation(20, 20);
    button->onCommand = [](GUIElement* element) { Record("command", element); };
    button->Create();
    ASSERT_TRUE(BringToFront(form->window));
    commandTarget = form->window;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CountCommands, nullptr, GetCurrentThreadId());

    const POINT middle = ScreenPoint(button->window, 40, 15);
    ClickAt(middle);
    ASSERT_TRUE(TestSupport::PumpUntil([] { return CountOf("command") >= 1; }, 2000));
    EXPECT_EQ(CountOf("command"), 1);
    // A fast second click also brings BN_DOUBLECLICKED from an owner-drawn button.
    ClickAt(middle);
    ClickAt(middle);
    TestSupport::PumpMessages(300);
    UnhookWindowsHookEx(hook);

    EXPECT_GE(CountOf("command"), 3);
    EXPECT_EQ(CountOf("command"), commandsSeen);
    owned.reset();
    form.reset();
    TakeQuit();
}

} // namespace
