#include "framework/Font.h"
#include "framework/WindowProcedure.h"
#include "framework/controls/Label.h"
#include "support/TestSupport.h"
#include "support_controls.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

using namespace VelkUtility;
using ControlsTest::ColourForm;

namespace {

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

// What the label's own callbacks and the parent saw of one click.
struct ClickLog {
    std::vector<std::string> events;
    GUIElement* element = nullptr;
    int x = -1;
    int y = -1;
};
ClickLog* clickLog = nullptr;

int LeftDown(GUIElement* element, HWND, int x, int y) {
    clickLog->events.push_back("down");
    clickLog->element = element;
    clickLog->x = x;
    clickLog->y = y;
    return 0;
}

int LeftUp(GUIElement* element, HWND, int x, int y) {
    clickLog->events.push_back("up");
    clickLog->element = element;
    clickLog->x = x;
    clickLog->y = y;
    return 0;
}

// Records the WM_COMMAND messages that reach a window, through a hook on the thread.
HWND commandTarget = nullptr;
std::vector<WPARAM>* commandsSeen = nullptr;
LRESULT CALLBACK CommandHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_COMMAND && message->hwnd == commandTarget &&
        commandsSeen != nullptr) {
        commandsSeen->push_back(message->wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST(Label, ConstructionGivesAnUncreated80By30LabelWithWidenedText) {
    ColourForm form;
    Label label(&form, "ci\xF2");
    EXPECT_EQ(label.text, L"ci\u00F2");
    EXPECT_EQ(label.width, 80);
    EXPECT_EQ(label.height, 30);
    EXPECT_EQ(label.x, 100);
    EXPECT_EQ(label.y, 100);
    EXPECT_EQ(label.typeName, "label");
    EXPECT_EQ(label.parent, &form);
    EXPECT_EQ(label.instance, nullptr);
    EXPECT_FALSE(label.created);
    EXPECT_FALSE(label.border);
    EXPECT_FALSE(label.alignRight);
    EXPECT_FALSE(label.alignCenter);
    EXPECT_EQ(label.id, 0);
}

// Styles from the flags, computed and as the window was made.
TEST(Label, StylesFollowTheFlags) {
    struct Case {
        bool enabled;
        bool border;
        bool alignRight;
        bool alignCenter;
        DWORD style;
        DWORD exStyle;
    };
    const Case cases[] = {
        {true, false, false, false, 0x50000100, 0},
        {false, false, false, false, 0x58000100, 0},
        {true, true, false, false, 0x50800100, WS_EX_CLIENTEDGE},
        {true, false, true, false, 0x50000102, 0},
        {true, false, false, true, 0x50000101, 0},
        {true, false, true, true, 0x50000102, 0}, // right wins over centre
        {false, true, false, true, 0x58800101, WS_EX_CLIENTEDGE},
    };
    ColourForm form;
    form.Create();
    ASSERT_NE(form.window, nullptr);
    for (const Case& c : cases) {
        Label label(&form, "Livello");
        label.enabled = c.enabled;
        label.border = c.border;
        label.alignRight = c.alignRight;
        label.alignCenter = c.alignCenter;
        EXPECT_EQ(label.ComputeStyle(), c.style);
        EXPECT_EQ(label.ComputeExStyle(), c.exStyle);
        label.Create();
        ASSERT_NE(label.window, nullptr);
        EXPECT_EQ(static_cast<DWORD>(TestSupport::StyleOf(label.window)), c.style);
        EXPECT_EQ(static_cast<DWORD>(TestSupport::ExStyleOf(label.window)) & ~WS_EX_NOPARENTNOTIFY,
                  c.exStyle);
        DestroyWindow(label.window);
    }
}

TEST(Label, CreateMakesASubclassedStaticChildWithTextGeometryAndId) {
    ColourForm form;
    form.Create();
    Font font("Arial", 16);
    Label label(&form, "Peccato.");
    label.SetLocation(12, 34);
    label.SetSize(150, 20);
    label.SetFont(&font);
    const int before = nextControlId;
    label.Create();

    ASSERT_NE(label.window, nullptr);
    EXPECT_TRUE(label.created);
    EXPECT_EQ(label.id, before + 1);
    EXPECT_EQ(GetDlgCtrlID(label.window), label.id);
    EXPECT_EQ(GetParent(label.window), form.window);
    EXPECT_EQ(TestSupport::WindowClassName(label.window), L"Static");
    EXPECT_EQ(TestSupport::WindowText(label.window), L"Peccato.");
    RECT area{};
    GetWindowRect(label.window, &area);
    MapWindowPoints(nullptr, form.window, reinterpret_cast<POINT*>(&area), 2);
    EXPECT_EQ(area.left, 12);
    EXPECT_EQ(area.top, 34);
    EXPECT_EQ(area.right - area.left, 150);
    EXPECT_EQ(area.bottom - area.top, 20);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(label.window, WM_GETFONT, 0, 0)),
              font.GetHandle());
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(label.window, GWLP_WNDPROC)),
              &FrameworkWindowProc);
    EXPECT_NE(label.baseWindowProc, nullptr);
    EXPECT_NE(label.baseWindowProc, &FrameworkWindowProc);
    EXPECT_EQ(FindByWindow(label.window), &label);
    EXPECT_EQ(label.toolTipWindow, nullptr); // empty tooltip text: no tooltip control
}

TEST(Label, SecondCreateMakesNoSecondWindowAndTakesNoSecondId) {
    ColourForm form;
    form.Create();
    Label label(&form, "uno");
    label.Create();
    const HWND first = label.window;
    const int firstId = label.id;
    const int counter = nextControlId;
    label.Create();
    EXPECT_EQ(label.window, first);
    EXPECT_EQ(label.id, firstId);
    EXPECT_EQ(nextControlId, counter);
    EXPECT_EQ(ChildWindows(form.window).size(), 1u);
}

TEST(Label, LabelsCreatedInTurnGetConsecutiveIds) {
    ColourForm form;
    form.Create();
    Label first(&form, "uno");
    Label second(&form, "due");
    first.Create();
    second.Create();
    EXPECT_EQ(second.id, first.id + 1);
    EXPECT_EQ(GetDlgCtrlID(second.window), second.id);
    EXPECT_EQ(FindById(first.id), &first);
    EXPECT_EQ(FindById(second.id), &second);
}

TEST(Label, FailedWindowCreationStillCountsAsCreated) {
    Label orphan(nullptr, "senza genitore"); // a child window needs a parent
    orphan.Create();
    EXPECT_EQ(orphan.window, nullptr);
    EXPECT_TRUE(orphan.created);
    EXPECT_EQ(orphan.id, 1);
    orphan.Create();
    EXPECT_EQ(orphan.id, 1);
}

TEST(Label, TooltipTextGivesATooltipControl) {
    ColourForm form;
    form.Create();
    Label label(&form, "suggerimento");
    label.toolTip = "Il livello raggiunto";
    label.Create();
    ASSERT_NE(label.toolTipWindow, nullptr);
    EXPECT_EQ(TestSupport::WindowClassName(label.toolTipWindow), L"tooltips_class32");
}

// SS_NOTIFY: the static window takes mouse input itself and reports clicks to the parent,
// which ignores them.
TEST(Label, ClickReachesTheLabelsOwnCallbacksAndTheParentIgnoresIt) {
    ColourForm form;
    form.Create();
    Label label(&form, "Cliccami");
    label.onLeftButtonDown = LeftDown;
    label.onLeftButtonUp = LeftUp;
    label.Create();
    ASSERT_NE(label.window, nullptr);

    ClickLog log;
    clickLog = &log;
    std::vector<WPARAM> commands;
    commandsSeen = &commands;
    commandTarget = form.window;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CommandHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);

    SendMessageW(label.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 9));
    SendMessageW(label.window, WM_LBUTTONUP, 0, MAKELPARAM(7, 9));
    TestSupport::PumpMessages(50);
    UnhookWindowsHookEx(hook);
    commandsSeen = nullptr;
    clickLog = nullptr;

    EXPECT_EQ(log.events, (std::vector<std::string>{"down", "up"}));
    EXPECT_EQ(log.element, &label);
    EXPECT_EQ(log.x, 7);
    EXPECT_EQ(log.y, 9);
    // The notification went to the form, and the form is still there and unchanged.
    bool notified = false;
    for (WPARAM w : commands) {
        if (LOWORD(w) == label.id && HIWORD(w) == STN_CLICKED) {
            notified = true;
        }
    }
    EXPECT_TRUE(notified);
    EXPECT_TRUE(IsWindow(form.window));
    EXPECT_TRUE(IsWindow(label.window));
}

// A label deleted while its window lives gives the window its own procedure back.
TEST(Label, WindowOutlivingTheElementGetsItsOwnProcedureBack) {
    ColourForm form;
    form.Create();
    auto label = std::make_unique<Label>(&form, "prima");
    label->onLeftButtonDown = LeftDown;
    label->Create();
    const HWND window = label->window;
    const WNDPROC own = label->baseWindowProc;
    ASSERT_NE(own, nullptr);
    label.reset();

    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)), own);
    EXPECT_EQ(FindByWindow(window), nullptr);
    // The static control keeps working on its own.
    ClickLog log;
    clickLog = &log;
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    clickLog = nullptr;
    EXPECT_TRUE(log.events.empty());
    EXPECT_TRUE(SetWindowTextW(window, L"dopo"));
    EXPECT_EQ(TestSupport::WindowText(window), L"dopo");
}

// A label deleted after its window went with the parent touches nothing.
TEST(Label, ElementDeletedAfterItsWindowIsGoneReleasesQuietly) {
    auto form = std::make_unique<ColourForm>();
    form->Create();
    auto label = std::make_unique<Label>(form.get(), "ultimo");
    label->Create();
    const HWND window = label->window;
    DestroyWindow(form->window);
    EXPECT_FALSE(IsWindow(window));
    label.reset();
    EXPECT_EQ(FindByWindow(window), nullptr);
    form.reset();
}
