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

class TextBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = MakeHostForm();
        ASSERT_NE(form->window, nullptr);
    }

    // Sends characters to the edit window the way the keyboard's translation does.
    static void Type(HWND window, const std::wstring& characters) {
        for (wchar_t ch : characters) {
            SendMessageW(window, WM_CHAR, ch, 1);
        }
    }

    std::unique_ptr<Form> form;
};

} // namespace

TEST(TextBox, NewBoxHasTheDocumentedFields) {
    TextBox box(nullptr, "Caf\xE9");
    EXPECT_EQ(box.text, L"Caf\u00E9");
    EXPECT_EQ(box.typeName, "textbox");
    EXPECT_EQ(box.width, 80);
    EXPECT_EQ(box.height, 30);
    EXPECT_EQ(box.x, 100);
    EXPECT_EQ(box.y, 100);
    EXPECT_EQ(box.maxLength, -1);
    EXPECT_TRUE(box.border);
    EXPECT_FALSE(box.created);
}

TEST(TextBox, StyleFollowsTheFlags) {
    struct Case {
        const char* name;
        void (*configure)(TextBox& box);
        DWORD style;
    };
    const Case cases[] = {
        {"new box", [](TextBox&) {}, 0x50810080},
        {"about box notice",
         [](TextBox& box) {
             box.multiline = true;
             box.readOnly = true;
             box.verticalScroll = true;
         },
         0x50A118C4},
        {"multiline with word wrap",
         [](TextBox& box) {
             box.multiline = true;
             box.wordWrap = true;
         },
         0x50811044},
        {"word wrap alone keeps single-line scrolling", [](TextBox& box) { box.wordWrap = true; },
         0x50810080},
        {"uppercase wins over lowercase",
         [](TextBox& box) {
             box.uppercase = true;
             box.lowercase = true;
         },
         0x50810088},
        {"lowercase", [](TextBox& box) { box.lowercase = true; }, 0x50810090},
        {"right wins over centre",
         [](TextBox& box) {
             box.alignRight = true;
             box.alignCenter = true;
         },
         0x50810082},
        {"centre", [](TextBox& box) { box.alignCenter = true; }, 0x50810081},
        {"digits only", [](TextBox& box) { box.numbersOnly = true; }, 0x50812080},
        {"horizontal bar", [](TextBox& box) { box.horizontalScroll = true; }, 0x50910080},
        {"no border", [](TextBox& box) { box.border = false; }, 0x50010080},
        {"disabled", [](TextBox& box) { box.enabled = false; }, 0x58810080},
        {"password is not a style", [](TextBox& box) { box.password = true; }, 0x50810080},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextBox box(nullptr, "");
        c.configure(box);
        EXPECT_EQ(box.ComputeStyle(), c.style);
    }
}

TEST_F(TextBoxTest, CreatedWindowCarriesTheStyleAndClientEdge) {
    struct Case {
        const char* name;
        bool border;
        bool multiline;
        DWORD exStyle;
    };
    const Case cases[] = {{"bordered", true, false, WS_EX_CLIENTEDGE},
                          {"bordered multiline", true, true, WS_EX_CLIENTEDGE},
                          {"borderless", false, false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = nextControlId;
        TextBox box(form.get(), "abc");
        box.border = c.border;
        box.multiline = c.multiline;
        box.Create();
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(WindowClassName(box.window), L"Edit");
        EXPECT_EQ(GetParent(box.window), form->window);
        EXPECT_EQ(box.id, before + 1);
        EXPECT_EQ(GetDlgCtrlID(box.window), box.id);
        EXPECT_NE(box.baseWindowProc, nullptr) << "subclassed";
        EXPECT_EQ(WindowText(box.window), L"abc");
        // The edit control drops WS_BORDER from its style and draws the client edge instead,
        // so the border bit is compared on the computed style only.
        EXPECT_EQ(static_cast<DWORD>(StyleOf(box.window)) | (box.ComputeStyle() & WS_BORDER),
                  box.ComputeStyle());
        EXPECT_EQ(static_cast<DWORD>(ExStyleOf(box.window)) & WS_EX_CLIENTEDGE, c.exStyle);

        HWND window = box.window;
        box.Create();
        EXPECT_EQ(box.window, window);
        EXPECT_EQ(nextControlId, before + 1) << "a second Create takes no identifier";
    }
}

TEST_F(TextBoxTest, MaxLengthLimitsTypingAndMinusOneKeepsTheSystemLimit) {
    TextBox limited(form.get(), "");
    limited.maxLength = 10;
    limited.Create();
    EXPECT_EQ(SendMessageW(limited.window, EM_GETLIMITTEXT, 0, 0), 10);
    Type(limited.window, L"abcdefghijklmno");
    EXPECT_EQ(limited.GetText(), L"abcdefghij");

    TextBox unlimited(form.get(), "");
    unlimited.Create();
    HWND plainEdit = CreateWindowExW(WS_EX_CLIENTEDGE, L"edit", L"", unlimited.ComputeStyle(), 0, 0,
                                     80, 30, form->window, nullptr, nullptr, nullptr);
    ASSERT_NE(plainEdit, nullptr);
    EXPECT_EQ(SendMessageW(unlimited.window, EM_GETLIMITTEXT, 0, 0),
              SendMessageW(plainEdit, EM_GETLIMITTEXT, 0, 0));
    Type(unlimited.window, L"abcdefghijklmno");
    EXPECT_EQ(unlimited.GetText(), L"abcdefghijklmno");
    DestroyWindow(plainEdit);
}

TEST_F(TextBoxTest, PasswordShowsPlainUntilApplyStyleAfterCreate) {
    TextBox box(form.get(), "secret");
    box.password = true;
    box.ApplyStyle();
    EXPECT_EQ(box.window, nullptr) << "nothing before Create";
    EXPECT_FALSE(box.created);
    box.Create();
    EXPECT_EQ(SendMessageW(box.window, EM_GETPASSWORDCHAR, 0, 0), 0) << "plain text";

    box.ApplyStyle();
    EXPECT_EQ(SendMessageW(box.window, EM_GETPASSWORDCHAR, 0, 0), L'*');
    EXPECT_EQ(box.GetText(), L"secret") << "only the display changes";

    box.password = false;
    box.ApplyStyle();
    EXPECT_EQ(SendMessageW(box.window, EM_GETPASSWORDCHAR, 0, 0), 0);
}

TEST_F(TextBoxTest, ApplyStyleMakesTheWindowFollowChangedFlags) {
    TextBox box(form.get(), "abc");
    box.Create();
    box.readOnly = true;
    box.ApplyStyle();
    EXPECT_NE(StyleOf(box.window) & ES_READONLY, 0);
    Type(box.window, L"xyz");
    EXPECT_EQ(box.GetText(), L"abc") << "read-only refuses typing";

    box.readOnly = false;
    box.alignRight = true;
    box.ApplyStyle();
    EXPECT_EQ(StyleOf(box.window) & ES_READONLY, 0);
    EXPECT_NE(StyleOf(box.window) & ES_RIGHT, 0);
    SendMessageW(box.window, EM_SETSEL, 3, 3);
    Type(box.window, L"d");
    EXPECT_EQ(box.GetText(), L"abcd");
}

TEST_F(TextBoxTest, CharacterRefusedByOnCharNeverReachesTheEdit) {
    TextBox box(form.get(), "");
    box.onChar = [](GUIElement*, int ch) { return ch != 'x'; };
    box.Create();
    EXPECT_EQ(SendMessageW(box.window, WM_CHAR, 'x', 1), 1);
    Type(box.window, L"axbx");
    EXPECT_EQ(box.GetText(), L"ab");
}

TEST_F(TextBoxTest, TextIsReadBackFromTheWindow) {
    TextBox box(form.get(), "Ciao");
    box.Create();
    SetWindowTextW(box.window, L"Pu\u00F2");
    EXPECT_EQ(box.GetTextNarrow(), "Pu\xF2");
    box.SetText(std::string("Ci\xF2"));
    EXPECT_EQ(WindowText(box.window), L"Ci\u00F2");
}
