// A control whose element had a tooltip, deleted while the control's window lives on, behaves as
// its class again: the tooltip's own subclass goes first, then the framework's is undone.

#include "framework/Form.h"
#include "framework/WindowProcedure.h"
#include "framework/controls/Button.h"
#include "framework/controls/Label.h"
#include "framework/controls/TextBox.h"
#include "support/TestSupport.h"
#include "support_panel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

using namespace VelkUtility;
using PanelSupport::MakeHostForm;

namespace {

WNDPROC ProcedureOf(HWND window) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
}

struct ControlCase {
    const char* name;
    std::function<Child*(Form*)> make;
    // Asks the control something only its class answers; true when it answered as its class.
    std::function<bool(HWND)> behavesAsItsClass;
};

bool EditKeepsItsLimitAndTakesCharacters(HWND window) {
    SendMessageW(window, EM_SETLIMITTEXT, 7, 0);
    SetWindowTextW(window, L"ab");
    SendMessageW(window, EM_SETSEL, 2, 2);
    SendMessageW(window, WM_CHAR, 'c', 1);
    return SendMessageW(window, EM_GETLIMITTEXT, 0, 0) == 7 &&
           TestSupport::WindowText(window) == L"abc";
}

bool ButtonKeepsItsState(HWND window) {
    SendMessageW(window, BM_SETSTATE, TRUE, 0);
    const bool pushed = (SendMessageW(window, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    SendMessageW(window, BM_SETSTATE, FALSE, 0);
    return pushed;
}

bool StaticAnswersAsAStatic(HWND window) {
    return SendMessageW(window, WM_GETDLGCODE, 0, 0) == DLGC_STATIC;
}

} // namespace

TEST(ToolTipSubclass, DeletedElementWithAToolTipLeavesItsControlToItsClass) {
    const ControlCase cases[] = {
        {"text box", [](Form* form) -> Child* { return new TextBox(form, "text"); },
         EditKeepsItsLimitAndTakesCharacters},
        {"button", [](Form* form) -> Child* { return new Button(form, "OK"); },
         ButtonKeepsItsState},
        {"label", [](Form* form) -> Child* { return new Label(form, "label"); },
         StaticAnswersAsAStatic},
    };
    auto form = MakeHostForm();
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.name);
        Child* element = c.make(form.get());
        element->toolTip = "a tip";
        element->SetLocation(10, 10);
        element->SetSize(120, 30);
        element->Create();
        HWND window = element->window;
        ASSERT_NE(window, nullptr);
        ASSERT_NE(element->toolTipWindow, nullptr);
        HWND toolTip = element->toolTipWindow;
        ASSERT_NE(element->baseWindowProc, nullptr);
        EXPECT_TRUE(c.behavesAsItsClass(window)) << "through the framework";
        // The tooltip watches the mouse through a subclass of its own, on top of ours.
        EXPECT_NE(ProcedureOf(window), &FrameworkWindowProc);

        delete element;
        ASSERT_TRUE(IsWindow(window)) << "the control outlives its element";
        EXPECT_FALSE(IsWindow(toolTip));
        // Where the tooltip took its subclass with it, the class procedure is back on top;
        // where it left it (as Wine's does), the framework procedure passes everything on.
        EXPECT_TRUE(c.behavesAsItsClass(window)) << "after the element went";
        DestroyWindow(window);
    }
}
