// Notifications of the common controls that the window procedure turns into calls on the
// kinds it knows, made by changing the real controls with their own messages.

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

class DispatchControls : public ::testing::Test {
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

SYSTEMTIME lastDate{};

void RecordText(GUIElement* element) {
    Record("text", element);
}

SYSTEMTIME Date(int year, int month, int day, int hour = 0, int minute = 0) {
    SYSTEMTIME date{};
    date.wYear = static_cast<WORD>(year);
    date.wMonth = static_cast<WORD>(month);
    date.wDay = static_cast<WORD>(day);
    date.wHour = static_cast<WORD>(hour);
    date.wMinute = static_cast<WORD>(minute);
    return date;
}

// The notification a date picker sends when its date changes.
void SendDateChange(HWND form, HWND picker, DWORD flags, const SYSTEMTIME& date) {
    NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = picker;
    change.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(picker));
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = flags;
    change.st = date;
    SendMessageW(form, WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
}

TEST_F(DispatchControls, DatePickerReportsItsDateWithoutTheTimeOfDay) {
    auto* picker = Add(new Real<DatePicker>(form.get(), DATETIMEPICK_CLASSW, 0, 10, 10, 200, 25));
    picker->onDateChanged = [](DatePicker* element, SYSTEMTIME date) {
        Record("date", element);
        lastDate = date;
    };
    picker->onTextChanged = RecordText;
    SYSTEMTIME chosen = Date(2024, 3, 15, 10, 20);
    ASSERT_TRUE(SendMessageW(picker->window, DTM_SETSYSTEMTIME, GDT_VALID,
                             reinterpret_cast<LPARAM>(&chosen)));

    SendDateChange(form->window, picker->window, GDT_VALID, chosen);

    ASSERT_EQ(CountOf("date"), 1);
    EXPECT_EQ(lastDate.wYear, 2024);
    EXPECT_EQ(lastDate.wMonth, 3);
    EXPECT_EQ(lastDate.wDay, 15);
    EXPECT_EQ(lastDate.wHour, 0);
    EXPECT_EQ(lastDate.wMinute, 0);
    EXPECT_EQ(picker->date.wDay, 15);
    EXPECT_EQ(FormsTest::Names(), (std::vector<std::string>{"date", "text"}));
}

TEST_F(DispatchControls, DatePickerWithoutADateClearsIt) {
    auto* picker =
        Add(new Real<DatePicker>(form.get(), DATETIMEPICK_CLASSW, DTS_SHOWNONE, 10, 10, 200, 25));
    picker->date = Date(2001, 2, 3, 4, 5);
    picker->onDateChanged = [](DatePicker* element, SYSTEMTIME date) {
        Record("date", element);
        lastDate = date;
    };
    SYSTEMTIME unused = Date(2001, 2, 3);
    ASSERT_TRUE(SendMessageW(picker->window, DTM_SETSYSTEMTIME, GDT_NONE,
                             reinterpret_cast<LPARAM>(&unused)));
    SYSTEMTIME shown{};
    ASSERT_EQ(SendMessageW(picker->window, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)),
              GDT_NONE);

    SendDateChange(form->window, picker->window, GDT_NONE, SYSTEMTIME{});

    ASSERT_EQ(CountOf("date"), 1);
    EXPECT_EQ(lastDate.wYear, 0);
    EXPECT_EQ(lastDate.wDay, 0);
    EXPECT_EQ(picker->date.wYear, 0);
}

TEST_F(DispatchControls, DatePickerWithoutCallbackCallsNothing) {
    auto* picker = Add(new Real<DatePicker>(form.get(), DATETIMEPICK_CLASSW, 0, 10, 10, 200, 25));
    picker->onTextChanged = RecordText;
    SendDateChange(form->window, picker->window, GDT_VALID, Date(2024, 1, 1));
    EXPECT_TRUE(Log().empty());
}

TEST_F(DispatchControls, TabControlReportsTheNewSelection) {
    auto* tabs = Add(new Real<TabControl>(form.get(), WC_TABCONTROLW, 0, 10, 10, 300, 100));
    tabs->onSelectionChanged = [](TabControl* element, int index) {
        Record("selection", element, index);
    };
    for (const wchar_t* caption : {L"Uno", L"Due", L"Tre"}) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(caption);
        SendMessageW(tabs->window, TCM_INSERTITEMW, 99, reinterpret_cast<LPARAM>(&item));
    }

    // Moving the focus to another tab selects it and notifies the parent.
    SendMessageW(tabs->window, TCM_SETCURFOCUS, 2, 0);

    ASSERT_EQ(CountOf("selection"), 1);
    EXPECT_EQ(Log()[0].a, 2);
    EXPECT_EQ(Log()[0].element, static_cast<GUIElement*>(tabs));
}

TEST_F(DispatchControls, SliderReportsItsPositionWhenTheMoveEnds) {
    auto* slider = Add(new Real<Slider>(form.get(), TRACKBAR_CLASSW, 0, 10, 10, 200, 30));
    slider->onPositionChanged = [](Slider* element, int position) {
        Record("position", element, position);
    };
    slider->onTextChanged = RecordText;
    SendMessageW(slider->window, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    SendMessageW(slider->window, TBM_SETPOS, TRUE, 5);

    // A key press moves the thumb (TB_LINEDOWN); its release ends the move (TB_ENDTRACK).
    SendMessageW(slider->window, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(CountOf("position"), 0) << "only the end of the move is reported";
    SendMessageW(slider->window, WM_KEYUP, VK_RIGHT, 0);

    ASSERT_EQ(CountOf("position"), 1);
    EXPECT_EQ(Log()[0].a, 6);
    EXPECT_EQ(FormsTest::Names(), (std::vector<std::string>{"position", "text"}));
}

TEST_F(DispatchControls, ListBoxCommandsOnlyOnSelectionChange) {
    auto* list = Add(new Real<ListBox>(form.get(), L"LISTBOX", LBS_NOTIFY, 10, 10, 150, 100));
    list->onCommand = [](GUIElement* element) {
        Record("command", element,
               static_cast<int>(SendMessageW(element->window, LB_GETCURSEL, 0, 0)));
    };
    DispatchTest::AddItems(list->window, LB_ADDSTRING, {L"uno", L"due", L"tre"});
    SendMessageW(list->window, LB_SETCURSEL, 0, 0);

    SendMessageW(list->window, WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_EQ(CountOf("command"), 1);
    EXPECT_EQ(Log()[0].a, 1);
    EXPECT_EQ(Log()[0].element, static_cast<GUIElement*>(list));

    // Other notifications of the list box call nothing.
    const LPARAM from = reinterpret_cast<LPARAM>(list->window);
    for (int code : {LBN_DBLCLK, LBN_SETFOCUS, LBN_KILLFOCUS, LBN_SELCANCEL}) {
        SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(list->id, code), from);
    }
    EXPECT_EQ(CountOf("command"), 1);
}

TEST_F(DispatchControls, HeaderChangesReachOnNotify) {
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

    HDITEMW wider{};
    wider.mask = HDI_WIDTH;
    wider.cxy = 77;
    SendMessageW(header->window, HDM_SETITEMW, 1, reinterpret_cast<LPARAM>(&wider));

    ASSERT_EQ(header->kinds, std::vector<int>{1});
    EXPECT_EQ(header->numberLists[0], (std::vector<int>{1, 77}));
    EXPECT_EQ(header->textCounts[0], 0);
}

TEST_F(DispatchControls, NotificationsOfWindowsWithoutElementCallNothing) {
    auto* header =
        Add(new DispatchTest::NotifiedElement(form.get(), WC_HEADERW, 0, 10, 10, 300, 25));
    HWND stranger = CreateWindowExW(0, WC_HEADERW, L"", WS_CHILD | WS_VISIBLE, 10, 50, 300, 25,
                                    form->window, reinterpret_cast<HMENU>(700), nullptr, nullptr);
    NMHDR click{stranger, 700, static_cast<UINT>(NM_RCLICK)};
    SendMessageW(form->window, WM_NOTIFY, 700, reinterpret_cast<LPARAM>(&click));
    EXPECT_TRUE(header->kinds.empty());
    NMHDR own{header->window, static_cast<UINT_PTR>(header->id), static_cast<UINT>(NM_RCLICK)};
    SendMessageW(form->window, WM_NOTIFY, own.idFrom, reinterpret_cast<LPARAM>(&own));
    EXPECT_EQ(header->kinds, std::vector<int>{3});
    DestroyWindow(stranger);
}

// A tooltip tool whose text the owner supplies on request (TTN_GETDISPINFOW).
HWND MakeCallbackTip(HWND owner, UINT_PTR toolId, TTTOOLINFOW& tool) {
    HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                               owner, nullptr, nullptr, nullptr);
    tool = TTTOOLINFOW{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = owner;
    tool.uId = toolId;
    tool.rect = RECT{0, 0, 50, 50};
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    return tip;
}

TEST_F(DispatchControls, ToolTipAsksTheToolBarItemForItsText) {
    auto* item = Add(new DispatchTest::ToolBarItem());
    item->toolTip = "Apri il file \xE8 semplice";
    TTTOOLINFOW tool{};
    HWND tip = MakeCallbackTip(form->window, static_cast<UINT_PTR>(item->id), tool);

    wchar_t text[256] = {};
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));

    EXPECT_EQ(std::wstring(text), L"Apri il file \u00E8 semplice");
    DestroyWindow(tip);
}

TEST_F(DispatchControls, ToolTipTextIsCutTo2023CharactersAndOutlivesTheCall) {
    auto* item = Add(new DispatchTest::ToolBarItem());
    item->toolTip = std::string(3000, 'a');
    NMTTDISPINFOW request{};
    request.hdr.hwndFrom = form->window;
    request.hdr.idFrom = static_cast<UINT_PTR>(item->id);
    request.hdr.code = TTN_GETDISPINFOW;

    SendMessageW(form->window, WM_NOTIFY, request.hdr.idFrom, reinterpret_cast<LPARAM>(&request));

    ASSERT_NE(request.lpszText, nullptr);
    EXPECT_EQ(std::wstring(request.lpszText), std::wstring(2023, L'a'));
}

TEST_F(DispatchControls, ToolTipRequestForOtherElementsIsLeftAlone) {
    auto* plain = Add(new DispatchTest::ToolBarItem());
    plain->typeName = "button";
    plain->toolTip = "no";
    auto* silent = Add(new DispatchTest::ToolBarItem());
    for (GUIElement* element :
         {static_cast<GUIElement*>(plain), static_cast<GUIElement*>(silent)}) {
        NMTTDISPINFOW request{};
        request.hdr.hwndFrom = form->window;
        request.hdr.idFrom = static_cast<UINT_PTR>(element->id);
        request.hdr.code = TTN_GETDISPINFOW;
        SendMessageW(form->window, WM_NOTIFY, request.hdr.idFrom,
                     reinterpret_cast<LPARAM>(&request));
        EXPECT_EQ(request.lpszText, nullptr) << element->typeName;
    }
}

} // namespace
