#include "framework/Font.h"
#include "framework/GUIElement.h"
#include "framework/controls/Button.h"
#include "framework/controls/CellControl.h"
#include "framework/controls/Image.h"
#include "framework/controls/Label.h"
#include "framework/controls/PanelChildren.h"
#include "framework/controls/TextBox.h"
#include "support/TestSupport.h"
#include "support_about.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using namespace VelkUtility;
using namespace AboutTest;
using TestSupport::ExStyleOf;
using TestSupport::StyleOf;

namespace {

using AboutBox = AboutFixture;

struct Placement {
    const char* name;
    HWND window;
    RECT expected; // left, top, right, bottom in the parent's client area
};

void ExpectPlacements(const std::vector<Placement>& placements) {
    for (const Placement& placement : placements) {
        ASSERT_NE(placement.window, nullptr) << placement.name;
        const RECT actual = RectInParent(placement.window);
        EXPECT_EQ(actual.left, placement.expected.left) << placement.name;
        EXPECT_EQ(actual.top, placement.expected.top) << placement.name;
        EXPECT_EQ(actual.right, placement.expected.right) << placement.name;
        EXPECT_EQ(actual.bottom, placement.expected.bottom) << placement.name;
    }
}

RECT At(int x, int y, int width, int height) {
    return RECT{x, y, x + width, y + height};
}

LOGFONTW FontOf(HWND window) {
    LOGFONTW logFont{};
    auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    EXPECT_NE(handle, nullptr);
    GetObjectW(handle, sizeof(logFont), &logFont);
    return logFont;
}

// Stands between the framework and the notice box's own edit procedure and records the
// characters that reach the edit control.
std::vector<int> charsReachingTheEdit;
WNDPROC editProcedure = nullptr;

LRESULT CALLBACK EditProbe(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR) {
        charsReachingTheEdit.push_back(static_cast<int>(wParam));
    }
    return CallWindowProcW(editProcedure, window, message, wParam, lParam);
}

void ProbeTheEdit(TextBox* box) {
    charsReachingTheEdit.clear();
    editProcedure = box->baseWindowProc;
    box->baseWindowProc = EditProbe;
}

TEST_F(AboutBox, OpeningDisablesTheOwnerAndMakesTheBoxItsCompanion) {
    about = new FormAbout(owner.get());
    EXPECT_FALSE(IsWindowEnabled(owner->window));
    EXPECT_FALSE(owner->enabled);
    EXPECT_EQ(owner->companion, about);
    EXPECT_EQ(about->owner, owner.get());
    EXPECT_FALSE(about->created);
    EXPECT_EQ(about->logoPanel, nullptr) << "the content is made only with the window";

    FillAndOpen(about);
    EXPECT_TRUE(about->created);
    EXPECT_TRUE(IsWindowVisible(about->window));
    EXPECT_EQ(TestSupport::WindowText(about->window), L"Info...");
    // A captioned tool window with a modal frame and a close box only, not topmost.
    EXPECT_EQ(StyleOf(about->window) & ~static_cast<LONG_PTR>(WS_CLIPSIBLINGS), 0x10C80080);
    EXPECT_EQ(ExStyleOf(about->window) & (WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW);
    EXPECT_FALSE(IsWindowEnabled(owner->window));
}

TEST_F(AboutBox, ClientAreaFitsTheLayoutAndTheBoxIsCentred) {
    Open();
    const SIZE client = TestSupport::ClientSize(about->window);
    EXPECT_EQ(client.cx, FormAbout::LayoutWidth);
    EXPECT_EQ(client.cy, FormAbout::LayoutHeight);

    RECT button = RectInParent(about->okButton->window);
    EXPECT_GE(button.left, 0);
    EXPECT_GE(button.top, 0);
    EXPECT_LE(button.right, client.cx);
    EXPECT_LE(button.bottom, client.cy) << "the OK button lies inside the client area";

    RECT frame{};
    GetWindowRect(about->window, &frame);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(frame.left, (screenWidth - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top, (screenHeight - (frame.bottom - frame.top)) / 2);
}

TEST_F(AboutBox, ContentIsLaidOutForTheLogoWidth) {
    struct Case {
        int logoWidth;
        int column;      // X
        int columnWidth; // T
    };
    for (const Case& c : {Case{164, 209, 381}, Case{200, 245, 345}}) {
        SCOPED_TRACE(c.logoWidth);
        Open(c.logoWidth);
        const int panelWidth = c.logoWidth + 20;
        ExpectPlacements({
            {"logoPanel", about->logoPanel->window, At(10, 10, panelWidth, 280)},
            {"titleLabel", about->titleLabel->window, At(c.column, 10, c.columnWidth, 25)},
            {"copyrightLabel", about->copyrightLabel->window, At(c.column, 35, c.columnWidth, 25)},
            {"siteLink", about->siteLink->window, At(c.column, 55, 150, 22)},
            {"mailLink", about->mailLink->window, At(c.column + 160, 55, 150, 22)},
            {"noticeBox", about->noticeBox->window, At(c.column, 85, c.columnWidth, 155)},
            {"okButton", about->okButton->window,
             At(c.column + c.columnWidth / 2 - 40, 250, 80, 25)},
        });
        // The picture control takes the size of the bitmap (163 by 50), not the one asked for.
        ExpectPlacements({{"logo", about->logo->window, At(5, 5, 163, 50)}});
        EXPECT_EQ(GetParent(about->logo->window), about->logoPanel->window);
        EXPECT_EQ(about->logo->width, c.logoWidth);
        EXPECT_EQ(about->logo->resourceId, 1006);
        EXPECT_NE(about->logo->bitmap, nullptr);
    }
}

TEST_F(AboutBox, ElementsHaveTheirKindsStylesAndFocus) {
    Open();
    EXPECT_EQ(TestSupport::WindowClassName(about->titleLabel->window), L"Static");
    EXPECT_EQ(TestSupport::WindowClassName(about->noticeBox->window), L"Edit");
    EXPECT_EQ(TestSupport::WindowClassName(about->okButton->window), L"Button");

    EXPECT_TRUE(StyleOf(about->logoPanel->window) & WS_BORDER);
    EXPECT_TRUE(ExStyleOf(about->logoPanel->window) & WS_EX_CLIENTEDGE)
        << "the panel's border comes with the sunken client edge";

    // The edit control reads back without WS_BORDER under Wine; the computed style has it.
    EXPECT_EQ(about->noticeBox->ComputeStyle(), 0x50A118C4u);
    EXPECT_EQ(static_cast<DWORD>(StyleOf(about->noticeBox->window)) | WS_BORDER, 0x50A118C4u);
    EXPECT_EQ(TestSupport::Narrow(TestSupport::WindowText(about->noticeBox->window)),
              "Programma gratuito.\r\nPu\xF2 essere copiato liberamente.");

    EXPECT_EQ(TestSupport::WindowText(about->okButton->window), L"OK");
    EXPECT_EQ(StyleOf(about->okButton->window) & 0xF, BS_PUSHBUTTON);
    EXPECT_EQ(GetFocus(), about->okButton->window);

    EXPECT_EQ(TestSupport::WindowText(about->titleLabel->window), L"Ondrel 1.1.0.0");
    EXPECT_EQ(TestSupport::WindowText(about->copyrightLabel->window), L"Copyright (C) 2004 Velk");
}

TEST_F(AboutBox, TextsUseTheBoxFonts) {
    Open();
    const LOGFONTW title = FontOf(about->titleLabel->window);
    EXPECT_STREQ(title.lfFaceName, L"Arial");
    EXPECT_EQ(title.lfHeight, 16);
    EXPECT_EQ(title.lfWeight, FW_BOLD);
    EXPECT_FALSE(title.lfUnderline);

    const LOGFONTW copyright = FontOf(about->copyrightLabel->window);
    EXPECT_STREQ(copyright.lfFaceName, L"Arial");
    EXPECT_EQ(copyright.lfHeight, 14);
    EXPECT_EQ(copyright.lfWeight, FW_NORMAL);

    for (CellControl* link : {about->siteLink, about->mailLink}) {
        ASSERT_EQ(link->font, about->linkFont);
        EXPECT_EQ(link->textColor, 0xFF0000u) << "blue";
        EXPECT_EQ(link->textAlign, 0);
        EXPECT_TRUE(link->GetHandCursor());
    }
    EXPECT_EQ(about->linkFont->height, 16);
    EXPECT_TRUE(about->linkFont->underline);
    EXPECT_FALSE(about->linkFont->bold);
}

TEST_F(AboutBox, LinksShowTheSiteAndTheMailAddressDerivedFromIt) {
    Open();
    EXPECT_EQ(about->siteLink->GetTextNarrow(), TestSite);
    EXPECT_EQ(about->mailLink->GetTextNarrow(), TestMail);
    EXPECT_EQ(TestSupport::WindowText(about->mailLink->window), L"info@ondrel.test");
}

// The links are drawn in blue and underlined: one row of the cell is a long blue line.
TEST_F(AboutBox, LinksArePaintedBlueAndUnderlined) {
    Open();
    SetForegroundWindow(about->window);
    TestSupport::PumpMessages(200);
    for (CellControl* link : {about->siteLink, about->mailLink}) {
        const TestSupport::PixelImage image = TestSupport::CaptureClient(link->window);
        ASSERT_FALSE(image.Empty());
        auto isBlue = [](COLORREF c) { return TestSupport::ColorNear(c, RGB(0, 0, 255), 40); };
        EXPECT_GT(image.CountIf(isBlue), 30);
        int longestRow = 0;
        for (int y = 0; y < image.height; ++y) {
            int run = 0;
            for (int x = 0; x < image.width; ++x) {
                run = isBlue(image.At(x, y)) ? run + 1 : 0;
                longestRow = run > longestRow ? run : longestRow;
            }
        }
        EXPECT_GT(longestRow, 60) << "the underline runs along the text";
        EXPECT_EQ(image.CountIf([](COLORREF c) { return TestSupport::ColorNear(c, 0, 40); }), 0)
            << "no black text";
    }
}

TEST_F(AboutBox, EnterAndEscapeCloseTheBoxFromAnyOfItsElements) {
    struct Case {
        const char* target;
        int ch;
    };
    const Case cases[] = {{"box", '\r'},       {"box", 27},         {"noticeBox", 27},
                          {"noticeBox", '\r'}, {"okButton", '\r'},  {"okButton", 27},
                          {"siteLink", 27},    {"titleLabel", '\r'}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.target) + " " + std::to_string(c.ch));
        Open();
        const std::string target = c.target;
        HWND window = target == "box"         ? about->window
                      : target == "noticeBox" ? about->noticeBox->window
                      : target == "okButton"  ? about->okButton->window
                      : target == "siteLink"  ? about->siteLink->window
                                              : about->titleLabel->window;
        HWND aboutWindow = about->window;
        HWND noticeWindow = about->noticeBox->window;
        ProbeTheEdit(about->noticeBox);

        const LRESULT answer = SendMessageW(window, WM_CHAR, static_cast<WPARAM>(c.ch), 0);
        EXPECT_EQ(answer, 1) << "the character is swallowed";
        EXPECT_TRUE(charsReachingTheEdit.empty()) << "the text box does not receive it";
        ExpectClosed(aboutWindow);
        EXPECT_FALSE(IsWindow(noticeWindow));
        EXPECT_FALSE(about->created);
    }
}

// Other characters go on to the element; the read-only notice ignores them.
TEST_F(AboutBox, OtherCharactersLeaveTheBoxOpen) {
    Open();
    const std::wstring before = TestSupport::WindowText(about->noticeBox->window);
    ProbeTheEdit(about->noticeBox);
    const std::vector<int> typed{'a', ' ', 9, 8};
    for (int ch : typed) {
        SendMessageW(about->noticeBox->window, WM_CHAR, static_cast<WPARAM>(ch), 0);
        SendMessageW(about->window, WM_CHAR, static_cast<WPARAM>(ch), 0);
    }
    EXPECT_EQ(charsReachingTheEdit, typed);
    EXPECT_TRUE(IsWindow(about->window));
    EXPECT_TRUE(about->created);
    EXPECT_EQ(TestSupport::WindowText(about->noticeBox->window), before);
    EXPECT_FALSE(IsWindowEnabled(owner->window));
    EXPECT_EQ(owner->companion, about);
}

TEST_F(AboutBox, OkButtonClickClosesTheBox) {
    Open();
    HWND aboutWindow = about->window;
    SendMessageW(about->okButton->window, BM_CLICK, 0, 0);
    TestSupport::PumpMessages(50);
    ExpectClosed(aboutWindow);
    EXPECT_FALSE(about->created);
}

TEST_F(AboutBox, CaptionCloseClosesTheBoxButLeavesItCreated) {
    Open();
    HWND aboutWindow = about->window;
    SendMessageW(aboutWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
    TestSupport::PumpMessages(50);
    ExpectClosed(aboutWindow);
    EXPECT_TRUE(about->created);
    // Deleting it later touches no window.
    delete about;
    about = nullptr;
    EXPECT_TRUE(IsWindow(owner->window));
    EXPECT_TRUE(IsWindowEnabled(owner->window));
}

TEST_F(AboutBox, ClickingTitleOrCopyrightDoesNothing) {
    Open();
    for (Label* label : {about->titleLabel, about->copyrightLabel}) {
        SendMessageW(label->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(label->window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    SendMessageW(about->logo->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    TestSupport::PumpMessages(50);
    EXPECT_TRUE(IsWindow(about->window));
    EXPECT_TRUE(about->created);
    EXPECT_FALSE(IsWindowEnabled(owner->window));
}

TEST_F(AboutBox, ReopeningGivesAFreshBoxWithTheSameContent) {
    Open();
    HWND firstWindow = about->window;
    SendMessageW(about->window, WM_CHAR, 27, 0);
    ASSERT_FALSE(IsWindow(firstWindow));

    // The owner's sequence: delete the old box, make a new one.
    Open();
    EXPECT_NE(about->window, firstWindow);
    EXPECT_TRUE(IsWindow(about->window));
    EXPECT_FALSE(IsWindowEnabled(owner->window));
    EXPECT_EQ(owner->companion, about);
    EXPECT_EQ(TestSupport::WindowText(about->titleLabel->window), L"Ondrel 1.1.0.0");
    EXPECT_EQ(about->mailLink->GetTextNarrow(), TestMail);
    const SIZE client = TestSupport::ClientSize(about->window);
    EXPECT_EQ(client.cx, 600);
    EXPECT_EQ(client.cy, 300);

    SendMessageW(about->okButton->window, BM_CLICK, 0, 0);
    ExpectClosed(about->window);
}

// A deleted box leaves nothing a lookup can reach: neither its handles nor its identifiers.
TEST_F(AboutBox, DeletedBoxLeavesNoTraceInTheRegistry) {
    Open();
    std::vector<HWND> oldWindows{about->window};
    std::vector<int> oldIds{about->id};
    for (GUIElement* element : std::vector<GUIElement*>{
             about->logoPanel, about->logo, about->titleLabel, about->copyrightLabel,
             about->siteLink, about->mailLink, about->noticeBox, about->okButton}) {
        oldWindows.push_back(element->window);
        oldIds.push_back(element->id);
    }
    SendMessageW(about->window, WM_CHAR, '\r', 0);
    const size_t registered = elementRegistry.size();
    delete about;
    about = nullptr;
    EXPECT_EQ(elementRegistry.size(), registered - 9) << "the box and its eight elements";

    for (HWND window : oldWindows) {
        EXPECT_EQ(FindByWindow(window), nullptr);
    }
    for (int id : oldIds) {
        EXPECT_EQ(FindById(id), nullptr);
    }

    Open();
    for (int id : oldIds) {
        GUIElement* found = FindById(id);
        EXPECT_EQ(found, nullptr) << "identifiers of the new box are new ones";
    }
    for (HWND window : oldWindows) {
        GUIElement* found = FindByWindow(window);
        EXPECT_TRUE(found == nullptr || found->window == window);
    }
}

// Records which of the box's own operations run.
std::vector<std::string> hooks;

class RecordingAbout : public FormAbout {
public:
    using FormAbout::FormAbout;
    bool ConfirmClose() override {
        hooks.push_back("ConfirmClose");
        return FormAbout::ConfirmClose();
    }
    void OnResize() override { hooks.push_back("OnResize"); }
    bool OnDialogChar(int ch) override {
        hooks.push_back("OnDialogChar");
        return FormAbout::OnDialogChar(ch);
    }
    void OnButtonClick(GUIElement* element) override {
        hooks.push_back("OnButtonClick");
        FormAbout::OnButtonClick(element);
    }
    void OnShow() override {
        hooks.push_back("OnShow");
        FormAbout::OnShow();
    }
};

// The owner is closed while the box is open, and the box is deleted with its window open.
TEST_F(AboutBox, DeletingAnOpenBoxRunsNoHookAndFreesTheOwner) {
    about = new RecordingAbout(owner.get());
    FillAndOpen(about);
    HWND aboutWindow = about->window;
    std::vector<HWND> children{about->okButton->window, about->noticeBox->window,
                               about->logo->window};
    hooks.clear();

    delete about;
    about = nullptr;
    EXPECT_TRUE(hooks.empty()) << hooks.front();
    EXPECT_FALSE(IsWindow(aboutWindow));
    for (HWND child : children) {
        EXPECT_FALSE(IsWindow(child));
    }
    EXPECT_EQ(owner->companion, nullptr) << "the owner keeps no pointer to the deleted box";
    EXPECT_TRUE(IsWindowEnabled(owner->window));

    // The owner lives on; its activation finds no companion to move.
    SetForegroundWindow(owner->window);
    SendMessageW(owner->window, WM_ACTIVATE, WA_ACTIVE, 0);
    TestSupport::PumpMessages(50);
    EXPECT_TRUE(IsWindow(owner->window));
    EXPECT_EQ(owner->companion, nullptr);
}

} // namespace
