// The framework window procedure: every message row that needs no cursor, foreground or
// synthesised input, driven with real messages on real windows.

#include "framework/Form.h"
#include "framework/WindowProcedure.h"
#include "framework/controls/Button.h"
#include "framework/controls/Label.h"
#include "framework/controls/Menu.h"
#include "framework/controls/MenuBar.h"
#include "framework/controls/PanelChildren.h"
#include "framework/controls/SubMenu.h"
#include "framework/controls/TextBox.h"
#include "framework/controls/Timer.h"
#include "support/TestSupport.h"
#include "support_forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
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

// A form created at a fixed place; its children are deleted before it.
class WindowProcedure : public ::testing::Test {
protected:
    void SetUp() override { form.reset(FormsTest::NewForm(400, 300)); }

    void TearDown() override {
        children.clear();
        form.reset();
        TakeQuit();
    }

    template <typename T> T* Add(T* element) {
        children.emplace_back(element);
        return element;
    }

    std::unique_ptr<Form> form;
    std::vector<std::unique_ptr<GUIElement>> children;
};

LPARAM Point(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)),
                      static_cast<WORD>(static_cast<short>(y)));
}

// ---- closing and destruction ----------------------------------------------------------

TEST_F(WindowProcedure, ClosingRefusedKeepsTheWindow) {
    form->onClose = [](GUIElement* element) {
        Record("close", element);
        return false;
    };
    EXPECT_EQ(SendMessageW(form->window, WM_CLOSE, 0, 0), 1);
    EXPECT_TRUE(IsWindow(form->window));
    EXPECT_EQ(CountOf("close"), 1);
}

struct CloseCase {
    const char* name;
    CloseCallback onClose;
};

class ClosingAllowed : public ::testing::TestWithParam<CloseCase> {};

TEST_P(ClosingAllowed, DestroysTheWindowThroughTheDefaultProcessing) {
    Log().clear();
    std::unique_ptr<Form> form(FormsTest::NewForm());
    form->onClose = GetParam().onClose;
    form->onDestroy = [](GUIElement* element) { Record("destroy", element); };
    HWND window = form->window;

    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    ASSERT_EQ(CountOf("destroy"), 1);
    EXPECT_EQ(Log()[0].element, form.get());
    EXPECT_TRUE(form->created) << "created stays set after WM_DESTROY";
    EXPECT_EQ(form->window, window) << "the element keeps its old handle";
    TakeQuit();
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ClosingAllowed,
    ::testing::Values(CloseCase{"NoOnClose", nullptr},
                      CloseCase{"OnCloseSaysYes", [](GUIElement*) { return true; }}),
    [](const ::testing::TestParamInfo<CloseCase>& info) { return std::string(info.param.name); });

TEST_F(WindowProcedure, DestroyingTheMainWindowPostsQuitWithCodeZero) {
    ASSERT_EQ(mainWindow, form->window);
    form->onDestroy = [](GUIElement* element) { Record("destroy", element); };
    TakeQuit();

    DestroyWindow(form->window);
    int exitCode = -1;
    EXPECT_TRUE(TakeQuit(&exitCode));
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(CountOf("destroy"), 1);
}

TEST_F(WindowProcedure, DestroyingASecondFormPostsNoQuit) {
    std::unique_ptr<Form> second(FormsTest::NewForm());
    second->onDestroy = [](GUIElement* element) { Record("destroy", element); };
    TakeQuit();

    DestroyWindow(second->window);
    EXPECT_EQ(CountOf("destroy"), 1);
    EXPECT_FALSE(TakeQuit());
    EXPECT_TRUE(IsWindow(form->window));
}

// ---- rows that call one operation -----------------------------------------------------

struct MouseCase {
    const char* name;
    UINT message;
    MouseButtonCallback GUIElement::*callback;
};

class MouseButtons : public ::testing::TestWithParam<MouseCase> {};

TEST_P(MouseButtons, ReachTheirCallbackWithSignedCoordinates) {
    Log().clear();
    std::unique_ptr<Form> form(FormsTest::NewForm());
    form.get()->*(GetParam().callback) = [](GUIElement* element, HWND window, int x, int y) {
        Record("button", element, x, y);
        EXPECT_EQ(window, element->window);
        return 0;
    };
    PostMessageW(form->window, GetParam().message, 0, Point(-5, 300));
    TestSupport::PumpMessages(50);

    ASSERT_EQ(CountOf("button"), 1);
    EXPECT_EQ(Log()[0].element, form.get());
    EXPECT_EQ(Log()[0].a, -5);
    EXPECT_EQ(Log()[0].b, 300);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MouseButtons,
    ::testing::Values(MouseCase{"LeftDown", WM_LBUTTONDOWN, &GUIElement::onLeftButtonDown},
                      MouseCase{"LeftUp", WM_LBUTTONUP, &GUIElement::onLeftButtonUp},
                      MouseCase{"LeftDouble", WM_LBUTTONDBLCLK, &GUIElement::onLeftDoubleClick},
                      MouseCase{"RightDown", WM_RBUTTONDOWN, &GUIElement::onRightButtonDown},
                      MouseCase{"RightUp", WM_RBUTTONUP, &GUIElement::onRightButtonUp},
                      MouseCase{"RightDouble", WM_RBUTTONDBLCLK, &GUIElement::onRightDoubleClick}),
    [](const ::testing::TestParamInfo<MouseCase>& info) { return std::string(info.param.name); });

TEST_F(WindowProcedure, KeysReachTheirCallbacks) {
    form->onKeyDown = [](GUIElement* element, int key) {
        Record("down", element, key);
        return 0;
    };
    form->onKeyUp = [](GUIElement* element, int key) {
        Record("up", element, key);
        return 0;
    };
    PostMessageW(form->window, WM_KEYDOWN, 'Q', 0);
    PostMessageW(form->window, WM_KEYUP, VK_ESCAPE, 0);
    TestSupport::PumpMessages(50);

    ASSERT_EQ(Names(), (std::vector<std::string>{"down", "up"}));
    EXPECT_EQ(Log()[0].a, 'Q');
    EXPECT_EQ(Log()[1].a, VK_ESCAPE);
}

TEST_F(WindowProcedure, MouseMoveHoverAndLeaveReachTheirCallbacks) {
    form->onMouseMove = [](GUIElement* element, int x, int y) { Record("move", element, x, y); };
    form->onMouseHover = [](GUIElement* element) { Record("hover", element); };
    form->onMouseLeave = [](GUIElement* element) { Record("leave", element); };

    SendMessageW(form->window, WM_MOUSEMOVE, 0, Point(12, -3));
    EXPECT_TRUE(mouseTracking) << "the first move asks for hover and leave reports";
    SendMessageW(form->window, WM_MOUSEHOVER, 0, Point(12, 7));
    SendMessageW(form->window, WM_MOUSELEAVE, 0, 0);

    ASSERT_GE(Log().size(), 3u);
    EXPECT_EQ(Log()[0].name, "move");
    EXPECT_EQ(Log()[0].a, 12);
    EXPECT_EQ(Log()[0].b, -3);
    EXPECT_EQ(CountOf("hover"), 1);
    EXPECT_GE(CountOf("leave"), 1);
    EXPECT_FALSE(mouseTracking) << "WM_MOUSELEAVE ends the pending tracking request";
}

TEST_F(WindowProcedure, SwallowedCharacterNeverReachesTheEdit) {
    auto* box = Add(new TextBox(form.get(), ""));
    box->onChar = [](GUIElement* element, int ch) {
        Record("char", element, ch);
        return ch != 'x';
    };
    box->Create();
    ASSERT_NE(box->baseWindowProc, nullptr) << "the edit control is subclassed";

    EXPECT_EQ(SendMessageW(box->window, WM_CHAR, 'x', 0), 1);
    EXPECT_EQ(TestSupport::WindowText(box->window), L"");
    SendMessageW(box->window, WM_CHAR, 'y', 0);
    EXPECT_EQ(TestSupport::WindowText(box->window), L"y");
    EXPECT_EQ(CountOf("char"), 2);
}

TEST_F(WindowProcedure, FocusRowsReportATextChangeOnlyWhenTheTextChanged) {
    auto* box = Add(new TextBox(form.get(), "uno"));
    box->onSetFocus = [](GUIElement* element) { Record("set", element); };
    box->onKillFocus = [](GUIElement* element) { Record("kill", element); };
    box->onTextChanged = [](GUIElement* element) { Record("changed", element); };
    box->Create();

    SendMessageW(box->window, WM_SETFOCUS, 0, 0);
    SendMessageW(box->window, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"set", "kill"}));

    SendMessageW(box->window, WM_SETFOCUS, 0, 0);
    SetWindowTextW(box->window, L"due");
    SendMessageW(box->window, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"set", "kill", "set", "kill", "changed"}));
}

TEST_F(WindowProcedure, MovingAndSizingReachTheirCallbacks) {
    form->onMove = [](GUIElement* element) { Record("move", element, element->x, element->y); };
    form->onSize = [](GUIElement* element) { Record("size", element); };

    SetWindowPos(form->window, nullptr, 70, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_GE(CountOf("move"), 1);
    EXPECT_EQ(CountOf("size"), 0);
    // OnMove refreshed the stored place from the window before the callback ran.
    EXPECT_EQ(Log().back().a, 70);
    EXPECT_EQ(Log().back().b, 80);

    SetWindowPos(form->window, nullptr, 0, 0, 320, 250, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_GE(CountOf("size"), 1);
}

// A form that reports OnShow, to see its order against OnSize.
class ShowingForm : public Form {
public:
    using Form::Form;
    void OnShow() override { Record("show", this); }
};

TEST_F(WindowProcedure, ShowWindowCallsOnShowThenOnSize) {
    ShowingForm second(Instance());
    second.onSize = [](GUIElement* element) { Record("size", element); };
    second.Create();
    Log().clear();

    ShowWindow(second.window, SW_HIDE);
    EXPECT_EQ(Names(), (std::vector<std::string>{"show", "size"}));
}

TEST_F(WindowProcedure, PaintCallsOnPaintAndTheDefaultValidates) {
    form->onPaint = [](GUIElement* element) { Record("paint", element); };
    InvalidateRect(form->window, nullptr, TRUE);
    UpdateWindow(form->window);

    EXPECT_EQ(CountOf("paint"), 1);
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(form->window, &update, FALSE));
}

TEST_F(WindowProcedure, MessageForAWindowWithoutElementGetsTheDefault) {
    TestSupport::ScratchWindow scratch;
    // The class procedure of the scratch window is DefWindowProcW; call ours on it directly.
    EXPECT_EQ(FrameworkWindowProc(scratch, WM_GETTEXTLENGTH, 0, 0),
              DefWindowProcW(scratch, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ(FrameworkWindowProc(scratch, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(scratch)) << "WM_CLOSE's default processing destroys the window";
}

// ---- routing to child elements --------------------------------------------------------

// A bitmap in a memory context, to render one draw request into.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~MemoryCanvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC dc = nullptr;

private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

DRAWITEMSTRUCT DrawRequest(GUIElement* element, HDC dc, UINT controlType) {
    DRAWITEMSTRUCT item{};
    item.CtlType = controlType;
    item.CtlID = static_cast<UINT>(element->id);
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = element->window;
    item.hDC = dc;
    item.rcItem = RECT{0, 0, element->width, element->height};
    return item;
}

TEST_F(WindowProcedure, DrawItemOfAButtonPaintsTheButtonLook) {
    auto* button = Add(new Button(form.get(), "OK"));
    button->ownerDraw = true;
    button->Create();
    MemoryCanvas canvas(button->width, button->height);
    SetTextColor(canvas.dc, RGB(255, 0, 0));
    SetBkColor(canvas.dc, RGB(0, 255, 0));
    DRAWITEMSTRUCT item = DrawRequest(button, canvas.dc, ODT_BUTTON);

    EXPECT_EQ(SendMessageW(form->window, WM_DRAWITEM, button->id, reinterpret_cast<LPARAM>(&item)),
              TRUE);
    EXPECT_EQ(GetPixel(canvas.dc, 0, 0), RGB(255, 0, 0)) << "border in the text colour";
    EXPECT_EQ(GetPixel(canvas.dc, 3, button->height / 2), RGB(0, 255, 0)) << "background fill";
}

TEST_F(WindowProcedure, DrawItemOfAnythingElseGetsTheDefault) {
    auto* button = Add(new Button(form.get(), "OK"));
    button->ownerDraw = true;
    button->Create();
    auto* label = Add(new Label(form.get(), "testo"));
    label->Create();
    MemoryCanvas canvas(80, 30);

    DRAWITEMSTRUCT wrongType = DrawRequest(button, canvas.dc, ODT_STATIC);
    EXPECT_EQ(
        SendMessageW(form->window, WM_DRAWITEM, button->id, reinterpret_cast<LPARAM>(&wrongType)),
        0);
    DRAWITEMSTRUCT notAButton = DrawRequest(label, canvas.dc, ODT_BUTTON);
    EXPECT_EQ(
        SendMessageW(form->window, WM_DRAWITEM, label->id, reinterpret_cast<LPARAM>(&notAButton)),
        0);
    EXPECT_EQ(GetPixel(canvas.dc, 0, 0), RGB(255, 255, 255)) << "nothing was drawn";
}

TEST_F(WindowProcedure, OwnerDrawnButtonIsPaintedByItsLookOnScreen) {
    // The base form answers the control-colour message by default: the look then uses the
    // colours the system puts into the context, and its border differs from the fill.
    auto* button = Add(new Button(form.get(), ""));
    button->ownerDraw = true;
    button->SetLocation(10, 10);
    button->Create();
    UpdateWindow(form->window);
    TestSupport::PumpMessages(50);

    const COLORREF border = TestSupport::ReadPixel(button->window, 0, 0);
    const COLORREF fill = TestSupport::ReadPixel(button->window, 5, 15);
    EXPECT_NE(border, fill) << "the owner-drawn button was left unpainted";
}

TEST_F(WindowProcedure, ButtonCommandsCallOnCommandForEveryNotification) {
    auto* button = Add(new Button(form.get(), "Vai"));
    button->onCommand = [](GUIElement* element) { Record("command", element); };
    button->Create();
    auto* silent = Add(new Button(form.get(), "Muto"));
    silent->Create();
    const LPARAM from = reinterpret_cast<LPARAM>(button->window);

    SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(button->id, BN_CLICKED), from);
    SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(button->id, BN_DOUBLECLICKED), from);
    SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(silent->id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(silent->window));

    ASSERT_EQ(CountOf("command"), 2);
    EXPECT_EQ(Log()[0].element, static_cast<GUIElement*>(button))
        << "onCommand gets the element itself, not its command part";
}

TEST_F(WindowProcedure, CommandFromAControlWithoutElementDoesNothing) {
    auto* button = Add(new Button(form.get(), "Vai"));
    button->onCommand = [](GUIElement* element) { Record("command", element); };
    button->Create();
    HWND stranger = CreateWindowExW(0, L"BUTTON", L"x", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20,
                                    form->window, reinterpret_cast<HMENU>(500), nullptr, nullptr);
    SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(button->id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(stranger));
    EXPECT_EQ(CountOf("command"), 0);
    DestroyWindow(stranger);
}

class MenuChoice : public WindowProcedure {
protected:
    void SetUp() override {
        WindowProcedure::SetUp();
        bar = Add(new MenuBar(form.get()));
        menu = Add(new Menu(bar, "&File"));
        entry = Add(new SubMenu(menu, "&Opzione"));
        entry->checkable = true;
        entry->onCommand = [](GUIElement* element) {
            Record("command", element, static_cast<SubMenu*>(element)->checked ? 1 : 0);
        };
        bar->Create();
    }
    UINT MenuState() { return GetMenuState(menu->menuHandle, entry->id, MF_BYCOMMAND); }

    MenuBar* bar = nullptr;
    Menu* menu = nullptr;
    SubMenu* entry = nullptr;
};

TEST_F(MenuChoice, CheckableEntryFlipsItsMarkBeforeOnCommand) {
    PostMessageW(form->window, WM_COMMAND, MAKEWPARAM(entry->id, 0), 0);
    TestSupport::PumpMessages(30);
    ASSERT_EQ(CountOf("command"), 1);
    EXPECT_EQ(Log()[0].a, 1) << "onCommand sees the new state";
    EXPECT_EQ(MenuState() & MF_CHECKED, static_cast<UINT>(MF_CHECKED));

    PostMessageW(form->window, WM_COMMAND, MAKEWPARAM(entry->id, 0), 0);
    TestSupport::PumpMessages(30);
    ASSERT_EQ(CountOf("command"), 2);
    EXPECT_EQ(Log()[1].a, 0);
    EXPECT_EQ(MenuState() & MF_CHECKED, 0u);
}

TEST_F(MenuChoice, AcceleratorsAndUnknownIdentifiersChangeNothing) {
    SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(entry->id, 1), 0);
    SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(entry->id + 100, 0), 0);
    EXPECT_EQ(CountOf("command"), 0);
    EXPECT_FALSE(entry->checked);
    EXPECT_EQ(MenuState() & MF_CHECKED, 0u);
}

TEST_F(WindowProcedure, TimerTicksReachOnlyTheTimer) {
    auto* button = Add(new Button(form.get(), "Vai"));
    button->onCommand = [](GUIElement* element) { Record("command", element); };
    button->Create();
    auto* timer = Add(new Timer(form.get(), 10));
    timer->onTick = [](GUIElement* element) { Record("tick", element); };
    timer->Start();

    EXPECT_TRUE(TestSupport::PumpUntil([] { return CountOf("tick") >= 3; }, 3000));
    timer->Stop();
    TestSupport::PumpMessages(30);
    Log().clear();

    SendMessageW(form->window, WM_TIMER, static_cast<WPARAM>(button->id), 0);
    SendMessageW(form->window, WM_TIMER, 999, 0);
    EXPECT_TRUE(Log().empty()) << "an identifier that is not a timer's calls nothing";
    SendMessageW(form->window, WM_TIMER, static_cast<WPARAM>(timer->id), 0);
    ASSERT_EQ(CountOf("tick"), 1);
    EXPECT_EQ(Log()[0].element, static_cast<GUIElement*>(timer));
}

// ---- control colours -----------------------------------------------------------------

// A form that colours its controls with a brush of its own.
class ColouringForm : public Form {
public:
    using Form::Form;
    ~ColouringForm() override { DeleteObject(brush); }
    HBRUSH OnControlColor(HDC dc) override {
        SetTextColor(dc, RGB(0, 0, 255));
        return brush;
    }
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
};

class ControlColour : public ::testing::TestWithParam<UINT> {};

TEST_P(ControlColour, AnswerIsTheFormsBrush) {
    Log().clear();
    ColouringForm form(Instance());
    form.Create();
    HDC dc = GetDC(form.window);
    const LRESULT answer = SendMessageW(form.window, GetParam(), reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(answer), form.brush);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
    ReleaseDC(form.window, dc);
}

TEST_P(ControlColour, WithoutABrushTheSystemAnswers) {
    Log().clear();
    Form form(Instance());
    form.Create();
    HDC dc = GetDC(form.window);
    const LRESULT expected =
        DefWindowProcW(form.window, GetParam(), reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(SendMessageW(form.window, GetParam(), reinterpret_cast<WPARAM>(dc), 0), expected);
    ReleaseDC(form.window, dc);
}

INSTANTIATE_TEST_SUITE_P(Messages, ControlColour,
                         ::testing::Values(WM_CTLCOLOREDIT, WM_CTLCOLORBTN, WM_CTLCOLORSTATIC));

TEST_F(WindowProcedure, LabelInAPanelTakesThePanelsChildColours) {
    auto* panel = Add(new PanelChildren(form.get()));
    panel->SetLocation(10, 10);
    panel->SetSize(200, 100);
    panel->childBackColor = RGB(0, 255, 0);
    panel->Create();
    auto* label = Add(new Label(panel, ""));
    label->SetLocation(10, 10);
    label->SetSize(100, 30);
    label->Create();
    RedrawWindow(form->window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);

    EXPECT_NE(panel->childBrush, nullptr) << "the label asked its panel for colours";
    EXPECT_EQ(TestSupport::ReadPixel(label->window, 50, 15), RGB(0, 255, 0));
}

// ---- scrolling ------------------------------------------------------------------------

class Scrolling : public WindowProcedure {
protected:
    void SetUp() override {
        WindowProcedure::SetUp();
        panel = Add(new PanelChildren(form.get()));
        panel->SetLocation(10, 10);
        panel->SetSize(200, 100);
        panel->verticalScroll = true;
        panel->onVerticalScroll = [](PanelChildren* element, int delta) {
            Record("vertical", element, delta);
        };
        panel->onHorizontalScroll = [](PanelChildren* element, int delta) {
            Record("horizontal", element, delta);
        };
        panel->Create();
    }
    int Position() { return GetScrollPos(panel->window, SB_VERT); }

    PanelChildren* panel = nullptr;
};

TEST_F(Scrolling, VerticalRequestScrollsThePanelAndRemembersIt) {
    scrollPanel = nullptr;
    EXPECT_EQ(SendMessageW(panel->window, WM_VSCROLL, SB_PAGEDOWN, 0), 0);
    EXPECT_EQ(Position(), 10);
    EXPECT_EQ(scrollPanel, panel);
    ASSERT_EQ(CountOf("vertical"), 1);
    EXPECT_EQ(Log()[0].a, -10);
}

TEST_F(Scrolling, HorizontalRequestWithoutTheBarIsLeftToTheDefault) {
    SendMessageW(panel->window, WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(CountOf("horizontal"), 0);
    EXPECT_EQ(GetScrollPos(panel->window, SB_HORZ), 0);
}

TEST_F(Scrolling, WheelOverThePanelScrollsIt) {
    EXPECT_EQ(SendMessageW(panel->window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0), 0);
    EXPECT_EQ(Position(), 10);
    ASSERT_EQ(CountOf("vertical"), 1);
    EXPECT_EQ(Log()[0].a, -10);
}

TEST_F(Scrolling, WheelElsewhereScrollsTheLastClickedPanel) {
    SendMessageW(form->window, WM_LBUTTONDOWN, 0, Point(1, 1));
    EXPECT_EQ(scrollPanel, nullptr) << "a click outside any panel forgets it";
    SendMessageW(form->window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(Position(), 0);

    SendMessageW(panel->window, WM_LBUTTONDOWN, 0, Point(5, 5));
    EXPECT_EQ(scrollPanel, panel);
    EXPECT_EQ(SendMessageW(form->window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0), 0);
    EXPECT_EQ(Position(), 10);
}

TEST_F(Scrolling, DeletedPanelIsForgotten) {
    SendMessageW(panel->window, WM_LBUTTONDOWN, 0, Point(5, 5));
    ASSERT_EQ(scrollPanel, panel);
    children.clear();
    EXPECT_EQ(scrollPanel, nullptr);
    // A wheel turn now finds no panel instead of a deleted one.
    SendMessageW(form->window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
}

// ---- a callback that throws -----------------------------------------------------------

// The default processing of WM_CLOSE would close without the question's answer.
TEST_F(WindowProcedure, ThrowingCloseCallbackRefusesTheClose) {
    std::unique_ptr<Form> second(FormsTest::NewForm());
    second->onClose = [](GUIElement*) -> bool { throw std::runtime_error("close"); };
    HWND window = second->window;
    EXPECT_EQ(SendMessageW(window, WM_CLOSE, 0, 0), 1);
    EXPECT_TRUE(IsWindow(window));
    second->onClose = nullptr;
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window)) << "a close without a question still goes ahead";
}

TEST_F(WindowProcedure, ThrowingCharCallbackLetsTheCharacterThroughOnce) {
    auto* box = Add(new TextBox(form.get(), ""));
    box->onChar = [](GUIElement*, int) -> bool { throw std::runtime_error("char"); };
    box->Create();
    SendMessageW(box->window, WM_CHAR, 'a', 0);
    EXPECT_EQ(TestSupport::WindowText(box->window), L"a");
}

TEST_F(WindowProcedure, ThrowingDestroyCallbackOfTheMainWindowStillPostsQuit) {
    form->onDestroy = [](GUIElement*) { throw std::runtime_error("destroy"); };
    TakeQuit();
    DestroyWindow(form->window);
    int exitCode = -1;
    EXPECT_TRUE(TakeQuit(&exitCode));
    EXPECT_EQ(exitCode, 0);
}

TEST_F(WindowProcedure, ThrowingPaintCallbackStillValidates) {
    form->onPaint = [](GUIElement* element) {
        Record("paint", element);
        throw std::runtime_error("paint");
    };
    InvalidateRect(form->window, nullptr, TRUE);
    UpdateWindow(form->window);
    TestSupport::PumpMessages(50);
    EXPECT_EQ(CountOf("paint"), 1) << "the default processing ended the paint request";
}

} // namespace
