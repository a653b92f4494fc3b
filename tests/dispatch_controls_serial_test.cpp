// Notifications of common controls driven by clicks and key presses sent to the controls
// themselves (they take the focus and capture the mouse, hence one at a time).

#include "framework/Form.h"
#include "framework/WindowProcedure.h"
#include "support/TestSupport.h"
#include "support_dispatch.h"
#include "support_forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace VelkUtility;
using DispatchTest::Real;
using FormsTest::CountOf;
using FormsTest::Log;
using FormsTest::Record;

namespace {

class ClickedControls : public ::testing::Test {
protected:
    void SetUp() override {
        DispatchTest::InitControls();
        form.reset(FormsTest::NewForm(500, 400));
    }
    void TearDown() override {
        children.clear();
        form.reset();
        FormsTest::TakeQuit();
    }
    template <typename T> T* Add(T* element) {
        children.emplace_back(element);
        element->Create();
        return element;
    }

    std::unique_ptr<Form> form;
    std::vector<std::unique_ptr<GUIElement>> children;
};

LPARAM Point(int x, int y) {
    return MAKELPARAM(x, y);
}

void Click(HWND control, int x, int y) {
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
    SendMessageW(control, WM_LBUTTONUP, 0, Point(x, y));
}

// This dispatch flips the state itself, so it serves a check box that does not toggle on
// its own (BS_CHECKBOX); an automatic one would be flipped twice per click.
TEST_F(ClickedControls, CheckBoxFlipsOnEveryClickAndCommands) {
    auto* box = Add(new Real<CheckBox>(form.get(), L"BUTTON", BS_CHECKBOX, 10, 10, 150, 25));
    box->onCommand = [](GUIElement* element) {
        Record("command", element, static_cast<CheckBox*>(element)->checked ? 1 : 0);
    };

    SendMessageW(box->window, BM_CLICK, 0, 0);
    TestSupport::PumpMessages(30);
    ASSERT_EQ(CountOf("command"), 1);
    EXPECT_EQ(Log()[0].a, 1) << "onCommand sees the new state";
    EXPECT_TRUE(box->checked);
    EXPECT_EQ(IsDlgButtonChecked(form->window, box->id), static_cast<UINT>(BST_CHECKED));

    SendMessageW(box->window, BM_CLICK, 0, 0);
    TestSupport::PumpMessages(30);
    ASSERT_EQ(CountOf("command"), 2);
    EXPECT_FALSE(box->checked);
    EXPECT_EQ(IsDlgButtonChecked(form->window, box->id), static_cast<UINT>(BST_UNCHECKED));
}

TEST_F(ClickedControls, ComboBoxRoutesDropDownCloseUpAndSelection) {
    auto* combo = Add(new DispatchTest::RecordingCombo(form.get(), 10, 10));
    combo->onCommand = [](GUIElement* element) { Record("command", element); };
    DispatchTest::AddItems(combo->window, CB_ADDSTRING, {L"uno", L"due", L"tre"});
    SendMessageW(combo->window, CB_SETCURSEL, 0, 0);

    SendMessageW(combo->window, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageW(combo->window, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(FormsTest::Names(), (std::vector<std::string>{"dropdown", "closeup"}));

    Log().clear();
    SendMessageW(combo->window, WM_KEYDOWN, VK_DOWN, 0);
    TestSupport::PumpMessages(30);
    EXPECT_EQ(CountOf("command"), 1) << "a new selection fires onCommand";
    EXPECT_EQ(SendMessageW(combo->window, CB_GETCURSEL, 0, 0), 1);
    SendMessageW(combo->window, CB_SHOWDROPDOWN, FALSE, 0);
}

struct ComboAnswerCase {
    const char* name;
    int code;
    bool dropDownAnswer;
    bool closeUpAnswer;
    LRESULT answer;
    const char* called;
};

class ComboAnswers : public ::testing::TestWithParam<ComboAnswerCase> {};

TEST_P(ComboAnswers, HookSayingNoAnswersOne) {
    Log().clear();
    const ComboAnswerCase& c = GetParam();
    DispatchTest::InitControls();
    std::unique_ptr<Form> form(FormsTest::NewForm(300, 300));
    DispatchTest::RecordingCombo combo(form.get(), 10, 10);
    combo.Create();
    combo.dropDownAnswer = c.dropDownAnswer;
    combo.closeUpAnswer = c.closeUpAnswer;
    combo.onCommand = [](GUIElement* element) { Record("command", element); };

    const LRESULT answer = SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(combo.id, c.code),
                                        reinterpret_cast<LPARAM>(combo.window));
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(CountOf(c.called), 1);
    EXPECT_EQ(CountOf("command"), c.called == std::string("command") ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ComboAnswers,
    ::testing::Values(ComboAnswerCase{"DropDownRefused", CBN_DROPDOWN, false, true, 1, "dropdown"},
                      ComboAnswerCase{"DropDownAllowed", CBN_DROPDOWN, true, true, 0, "dropdown"},
                      ComboAnswerCase{"CloseUpRefused", CBN_CLOSEUP, true, false, 1, "closeup"},
                      ComboAnswerCase{"SelectionChange", CBN_SELCHANGE, false, false, 0,
                                      "command"}),
    [](const ::testing::TestParamInfo<ComboAnswerCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(ClickedControls, ComboBoxCodeZeroDropsTheListDown) {
    auto* combo = Add(new DispatchTest::RecordingCombo(form.get(), 10, 10));
    DispatchTest::AddItems(combo->window, CB_ADDSTRING, {L"uno", L"due"});

    SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(combo->id, 0),
                 reinterpret_cast<LPARAM>(combo->window));
    EXPECT_TRUE(SendMessageW(combo->window, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(CountOf("dropdown"), 1) << "the list box told its parent it drops down";
    SendMessageW(combo->window, CB_SHOWDROPDOWN, FALSE, 0);
}

// Finds a point of the calendar's client area that shows the given day of the shown month.
bool FindDay(HWND calendar, WORD day, POINT& where) {
    RECT client{};
    GetClientRect(calendar, &client);
    for (int y = 0; y < client.bottom; y += 3) {
        for (int x = 0; x < client.right; x += 3) {
            MCHITTESTINFO hit{};
            hit.cbSize = sizeof(hit);
            hit.pt = POINT{x, y};
            SendMessageW(calendar, MCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
            if (hit.uHit == MCHT_CALENDARDATE && hit.st.wDay == day) {
                where = hit.pt;
                return true;
            }
        }
    }
    return false;
}

TEST_F(ClickedControls, CalendarReportsTheClickedDayWithoutTime) {
    static SYSTEMTIME lastDate{};
    auto* calendar = Add(new Real<Calendar>(form.get(), MONTHCAL_CLASSW, 0, 10, 10, 250, 200));
    calendar->onDateChanged = [](Calendar* element, SYSTEMTIME date) {
        Record("date", element);
        lastDate = date;
    };
    calendar->onTextChanged = [](GUIElement* element) { Record("text", element); };
    SYSTEMTIME start{};
    start.wYear = 2024;
    start.wMonth = 5;
    start.wDay = 10;
    start.wHour = 13;
    ASSERT_TRUE(SendMessageW(calendar->window, MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&start)));
    POINT day{};
    ASSERT_TRUE(FindDay(calendar->window, 20, day));

    Click(calendar->window, day.x, day.y);
    TestSupport::PumpMessages(30);

    ASSERT_GE(CountOf("date"), 1);
    EXPECT_EQ(lastDate.wYear, 2024);
    EXPECT_EQ(lastDate.wMonth, 5);
    EXPECT_EQ(lastDate.wDay, 20);
    EXPECT_EQ(lastDate.wHour, 0);
    EXPECT_EQ(CountOf("text"), CountOf("date"));
}

TEST_F(ClickedControls, UpDownStepIsClampedToTheBoxRange) {
    auto* box = Add(new Real<NumericBox>(form.get(), UPDOWN_CLASSW, 0, 10, 10, 20, 40));
    box->minimum = 0;
    box->maximum = 51;
    box->onValueChanged = [](NumericBox* element, int value) { Record("value", element, value); };
    box->onTextChanged = [](GUIElement* element) { Record("text", element); };
    SendMessageW(box->window, UDM_SETRANGE32, 0, 100);
    SendMessageW(box->window, UDM_SETPOS32, 0, 50);

    // The upper half of a vertical up-down control is its up arrow.
    Click(box->window, 10, 5);
    TestSupport::PumpMessages(30);
    Click(box->window, 10, 5);
    TestSupport::PumpMessages(30);

    std::vector<int> values;
    for (const auto& call : Log()) {
        if (call.name == "value") {
            values.push_back(call.a);
        }
    }
    ASSERT_GE(values.size(), 2u);
    EXPECT_EQ(values[0], 51);
    EXPECT_EQ(values[1], 51) << "52 is above the box's maximum";
    EXPECT_EQ(CountOf("text"), CountOf("value"));
}

TEST_F(ClickedControls, ToolBarButtonCommandsItsItem) {
    auto* item = Add(new DispatchTest::ToolBarItem());
    item->onCommand = [](GUIElement* element) { Record("command", element); };
    auto* bar = Add(new Real<GUIElement>(form.get(), TOOLBARCLASSNAMEW,
                                         CCS_NOPARENTALIGN | CCS_NORESIZE, 10, 10, 300, 40));
    bar->typeName = "toolbar";
    SendMessageW(bar->window, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON button{};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = item->id;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON;
    button.iString = reinterpret_cast<INT_PTR>(L"Apri");
    ASSERT_TRUE(SendMessageW(bar->window, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button)));
    RECT place{};
    ASSERT_TRUE(SendMessageW(bar->window, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&place)));

    Click(bar->window, (place.left + place.right) / 2, (place.top + place.bottom) / 2);
    TestSupport::PumpMessages(30);

    ASSERT_EQ(CountOf("command"), 1);
    EXPECT_EQ(Log()[0].element, static_cast<GUIElement*>(item));
}

TEST_F(ClickedControls, HeaderClicksReachOnNotify) {
    auto* header = Add(
        new DispatchTest::NotifiedElement(form.get(), WC_HEADERW, HDS_BUTTONS, 10, 10, 300, 25));
    for (const wchar_t* caption : {L"Nome", L"Punti"}) {
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.cxy = 100;
        item.pszText = const_cast<wchar_t*>(caption);
        SendMessageW(header->window, HDM_INSERTITEMW, 99, reinterpret_cast<LPARAM>(&item));
    }
    header->kinds.clear();
    header->numberLists.clear();

    Click(header->window, 150, 10);
    TestSupport::PumpMessages(30);
    SendMessageW(header->window, WM_RBUTTONDOWN, MK_RBUTTON, Point(50, 10));
    SendMessageW(header->window, WM_RBUTTONUP, 0, Point(50, 10));
    TestSupport::PumpMessages(30);

    ASSERT_EQ(header->kinds, (std::vector<int>{2, 3}));
    EXPECT_EQ(header->numberLists[0], std::vector<int>{1}) << "the second item was clicked";
    EXPECT_TRUE(header->numberLists[1].empty());
}

} // namespace
