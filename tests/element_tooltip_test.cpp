#include "support_element.h"

#include "framework/GUIElement.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

using namespace VelkUtility;
using ElementTest::TestElement;

namespace {

// Characters '0' to '9' repeated, so a cut shows where it happened.
std::string Digits(std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        text.push_back(static_cast<char>('0' + i % 10));
    }
    return text;
}

// The tool record this element's tooltip holds for its owner window.
TTTOOLINFOW ToolOf(HWND toolTipWindow, HWND owner, wchar_t* textBuffer = nullptr) {
    TTTOOLINFOW tool{};
    tool.cbSize = static_cast<UINT>(offsetof(TTTOOLINFOW, lpReserved));
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(owner);
    tool.lpszText = textBuffer;
    SendMessageW(toolTipWindow, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool));
    return tool;
}

// The text the tooltip holds for the owner's tool. TTM_GETTOOLINFOW copies the whole text,
// where Wine's TTM_GETTEXTW stops at 1023 characters.
std::wstring ToolText(HWND toolTipWindow, HWND owner) {
    std::wstring buffer(8192, L'\0');
    ToolOf(toolTipWindow, owner, &buffer[0]);
    return std::wstring(buffer.c_str());
}

int ToolCount(HWND toolTipWindow) {
    return static_cast<int>(SendMessageW(toolTipWindow, TTM_GETTOOLCOUNT, 0, 0));
}

class ToolTipOnHost : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(host.Handle(), nullptr);
        element = std::make_unique<TestElement>(host.Handle());
        element->SetLocation(10, 10);
        element->SetSize(120, 40);
    }

    TestSupport::ScratchWindow host{320, 240};
    std::unique_ptr<TestElement> element;
};

} // namespace

TEST_F(ToolTipOnHost, ToolTipCoversTheOwnersClientAreaWithItsText) {
    element->toolTip = "Premi per giocare";
    element->Create();
    element->UpdateToolTip();

    HWND tip = element->toolTipWindow;
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(TestSupport::WindowClassName(tip), L"tooltips_class32");
    // A popup's owner is the top-level window of the window it was given.
    EXPECT_EQ(GetWindow(tip, GW_OWNER), GetAncestor(element->window, GA_ROOT));
    const LONG_PTR style = TestSupport::StyleOf(tip);
    EXPECT_EQ(style & (WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP),
              static_cast<LONG_PTR>(WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP));
    EXPECT_NE(TestSupport::ExStyleOf(tip) & WS_EX_TOPMOST, 0);

    ASSERT_EQ(ToolCount(tip), 1);
    const TTTOOLINFOW tool = ToolOf(tip, element->window);
    EXPECT_NE(tool.uFlags & TTF_SUBCLASS, 0u);
    EXPECT_EQ(tool.hwnd, element->window);
    EXPECT_EQ(tool.uId, reinterpret_cast<UINT_PTR>(element->window));
    EXPECT_EQ(tool.rect.left, 0);
    EXPECT_EQ(tool.rect.top, 0);
    EXPECT_EQ(tool.rect.right, 120);
    EXPECT_EQ(tool.rect.bottom, 40);
    EXPECT_EQ(ToolText(tip, element->window), L"Premi per giocare");
}

TEST_F(ToolTipOnHost, LongToolTipShowsItsFirst2023Characters) {
    const std::string longText = Digits(3000);
    element->toolTip = longText;
    element->Create();
    element->CreateToolTip(element->window);
    ASSERT_NE(element->toolTipWindow, nullptr);

    const std::wstring shown = ToolText(element->toolTipWindow, element->window);
    EXPECT_EQ(shown.size(), 2023u);
    EXPECT_EQ(shown, TestSupport::Widen(longText.substr(0, 2023)));
}

TEST_F(ToolTipOnHost, ToolTipTextIsWidenedAsLatin1) {
    element->toolTip = "Cos\xEC pu\xF2 andare";
    element->Create();
    element->UpdateToolTip();
    ASSERT_NE(element->toolTipWindow, nullptr);
    EXPECT_EQ(ToolText(element->toolTipWindow, element->window), L"Cos\u00EC pu\u00F2 andare");
}

TEST_F(ToolTipOnHost, EmptyToolTipOrMissingOwnerMakesNoControl) {
    element->Create();
    element->UpdateToolTip();
    element->CreateToolTip(element->window);
    EXPECT_EQ(element->toolTipWindow, nullptr);

    element->toolTip = "Testo";
    element->CreateToolTip(nullptr);
    EXPECT_EQ(element->toolTipWindow, nullptr);

    TestElement notCreated(host.Handle());
    notCreated.toolTip = "Testo";
    notCreated.UpdateToolTip();
    EXPECT_EQ(notCreated.toolTipWindow, nullptr) << "no window, no owner";
}

TEST_F(ToolTipOnHost, ToolTipSetAfterCreateArrivesThroughUpdateToolTip) {
    element->Create();
    element->toolTip = "Primo";
    element->UpdateToolTip();
    HWND tip = element->toolTipWindow;
    ASSERT_NE(tip, nullptr);

    element->toolTip = "Secondo";
    element->UpdateToolTip();
    EXPECT_EQ(element->toolTipWindow, tip) << "the same control is updated";
    EXPECT_EQ(ToolCount(tip), 1);
    EXPECT_EQ(ToolText(tip, element->window), L"Secondo");
}

TEST_F(ToolTipOnHost, SetSizeSendsTheNewClientRectangle) {
    element->toolTip = "Riquadro";
    element->Create();
    element->UpdateToolTip();
    HWND tip = element->toolTipWindow;
    ASSERT_NE(tip, nullptr);

    element->SetSize(200, 90);
    const TTTOOLINFOW tool = ToolOf(tip, element->window);
    EXPECT_EQ(tool.rect.right, 200);
    EXPECT_EQ(tool.rect.bottom, 90);
    EXPECT_EQ(ToolCount(tip), 1);
}

TEST_F(ToolTipOnHost, SetSizeGivesAToolTipSetAfterCreateItsControl) {
    element->Create();
    element->toolTip = "Dopo";
    element->SetSize(150, 60);
    ASSERT_NE(element->toolTipWindow, nullptr);
    EXPECT_EQ(ToolOf(element->toolTipWindow, element->window).rect.right, 150);
}

TEST_F(ToolTipOnHost, CreatingTheToolTipAgainReplacesTheOldControl) {
    element->toolTip = "Uno";
    element->Create();
    element->CreateToolTip(element->window);
    HWND first = element->toolTipWindow;
    ASSERT_NE(first, nullptr);
    element->CreateToolTip(element->window);
    EXPECT_NE(element->toolTipWindow, nullptr);
    EXPECT_FALSE(IsWindow(first)) << "the first control is not left behind";
}

TEST_F(ToolTipOnHost, DeletingTheElementDestroysItsToolTip) {
    element->toolTip = "Via";
    element->Create();
    element->UpdateToolTip();
    HWND tip = element->toolTipWindow;
    ASSERT_TRUE(IsWindow(tip));
    element.reset();
    EXPECT_FALSE(IsWindow(tip));
}
