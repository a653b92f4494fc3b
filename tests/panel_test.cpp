#include "framework/Font.h"
#include "framework/Form.h"
#include "framework/controls/PanelChildren.h"
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

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = MakeHostForm();
        ASSERT_NE(form->window, nullptr);
    }

    std::unique_ptr<Form> form;
};

COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH logBrush{};
    GetObjectW(brush, sizeof(logBrush), &logBrush);
    return logBrush.lbColor;
}

constexpr COLORREF Green = RGB(0, 255, 0);
constexpr COLORREF Blue = 0x00FF0000;

} // namespace

TEST_F(PanelTest, TwoPanelsRegisterClassesNamedAfterTheCounterBeforeIncrement) {
    const int before = nextControlId;
    PanelChildren first(form.get());
    first.Create();
    PanelChildren second(form.get());
    second.Create();

    EXPECT_EQ(WindowClassName(first.window), L"PanelChildren" + std::to_wstring(before));
    EXPECT_EQ(WindowClassName(second.window), L"PanelChildren" + std::to_wstring(before + 1));
    EXPECT_EQ(first.id, before + 1);
    EXPECT_EQ(second.id, before + 2);
    EXPECT_EQ(GetDlgCtrlID(first.window), first.id);
    EXPECT_EQ(GetParent(first.window), form->window);
    EXPECT_EQ(first.typeName, "panel");
    EXPECT_TRUE(first.created);
    EXPECT_EQ(first.baseWindowProc, nullptr) << "a panel is not subclassed";

    WNDCLASSW registered{};
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), WindowClassName(first.window).c_str(),
                              &registered));
    EXPECT_EQ(registered.style, static_cast<UINT>(CS_DBLCLKS));

    HWND window = first.window;
    first.Create();
    EXPECT_EQ(first.window, window) << "a second Create makes no second window";
    EXPECT_EQ(nextControlId, before + 2) << "nor takes a second identifier";
}

TEST_F(PanelTest, ClassBrushIsButtonFaceWithoutColourAndSolidBlueWithBlue) {
    PanelChildren plain(form.get());
    plain.x = 10;
    plain.y = 10;
    plain.Create();
    PanelChildren blue(form.get());
    blue.x = 150;
    blue.y = 10;
    blue.backColor = Blue;
    blue.Create();

    EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrW(plain.window, GCLP_HBRBACKGROUND)),
              GetSysColorBrush(COLOR_BTNFACE));
    HBRUSH blueBrush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(blue.window, GCLP_HBRBACKGROUND));
    EXPECT_EQ(GetObjectType(blueBrush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(BrushColour(blueBrush), Blue);

    PumpMessages(50);
    EXPECT_EQ(ReadPixel(blue.window, 50, 25), Blue);
    EXPECT_EQ(ReadPixel(plain.window, 50, 25), GetSysColor(COLOR_BTNFACE));
}

TEST_F(PanelTest, StylesFollowTheFlags) {
    struct Case {
        const char* name;
        bool border;
        bool flatBorder;
        bool enabled;
        bool tabStop;
        bool verticalScroll;
        bool horizontalScroll;
        DWORD style;
        DWORD exStyle;
    };
    const Case cases[] = {
        {"default", false, false, true, true, false, false, 0x50010000, 0},
        {"border", true, false, true, true, false, false, 0x50810000, WS_EX_CLIENTEDGE},
        {"flat border", true, true, true, true, false, false, 0x50810000, 0},
        {"flat without border", false, true, true, true, false, false, 0x50010000, 0},
        {"disabled", false, false, false, true, false, false, 0x58010000, 0},
        {"no tab stop", false, false, true, false, false, false, 0x50000000, 0},
        {"vertical bar", false, false, true, true, true, false, 0x50210000, 0},
        {"both bars", false, false, true, true, true, true, 0x50310000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PanelChildren panel(form.get());
        panel.border = c.border;
        panel.flatBorder = c.flatBorder;
        panel.enabled = c.enabled;
        panel.tabStop = c.tabStop;
        panel.verticalScroll = c.verticalScroll;
        panel.horizontalScroll = c.horizontalScroll;
        EXPECT_EQ(panel.ComputeStyle(), c.style);
        EXPECT_EQ(panel.ComputeExStyle(), c.exStyle);
        panel.Create();
        ASSERT_NE(panel.window, nullptr);
        EXPECT_EQ(static_cast<DWORD>(StyleOf(panel.window)), c.style);
        EXPECT_EQ(static_cast<DWORD>(ExStyleOf(panel.window)), c.exStyle);
    }
}

TEST_F(PanelTest, FloatingPanelIsAHiddenTopLevelToolWindowWithoutIdentifier) {
    PanelChildren panel(form.get());
    panel.floating = true;
    EXPECT_EQ(panel.ComputeStyle(), static_cast<DWORD>(WS_TABSTOP | 0x80));
    EXPECT_EQ(panel.ComputeExStyle(), 0x81u);
    panel.Create();
    ASSERT_NE(panel.window, nullptr);

    EXPECT_EQ(GetParent(panel.window), nullptr);
    EXPECT_EQ(GetAncestor(panel.window, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetWindowLongPtrW(panel.window, GWLP_ID), 0);
    EXPECT_FALSE(IsWindowVisible(panel.window));
    EXPECT_EQ(StyleOf(panel.window) & (WS_CHILD | WS_VISIBLE), 0);
    EXPECT_EQ(ExStyleOf(panel.window) & 0x81, 0x81);
    EXPECT_NE(panel.id, 0) << "the element still takes an identifier";
}

TEST_F(PanelTest, SetBorderAfterCreateRestylesTheWindowAndItsFrame) {
    PanelChildren panel(form.get());
    panel.flatBorder = true;
    panel.Create();
    ASSERT_EQ(ClientSize(panel.window).cx, 100);

    panel.SetBorder(true);
    EXPECT_TRUE(panel.border);
    EXPECT_FALSE(panel.flatBorder);
    EXPECT_NE(StyleOf(panel.window) & WS_BORDER, 0);
    EXPECT_EQ(ExStyleOf(panel.window), 0) << "the extended style stays as created";
    EXPECT_EQ(ClientSize(panel.window).cx, 98) << "the new frame takes its place at once";

    panel.SetBorder(false);
    EXPECT_EQ(StyleOf(panel.window) & WS_BORDER, 0);
    EXPECT_EQ(ClientSize(panel.window).cx, 100);
}

TEST_F(PanelTest, SetBorderBeforeCreateOnlyStores) {
    PanelChildren panel(form.get());
    panel.flatBorder = true;
    panel.SetBorder(true);
    EXPECT_EQ(panel.window, nullptr);
    panel.Create();
    EXPECT_NE(StyleOf(panel.window) & WS_BORDER, 0);
    EXPECT_EQ(ExStyleOf(panel.window), WS_EX_CLIENTEDGE) << "SetBorder cleared flatBorder";
}

TEST_F(PanelTest, ScrollPageIsATenthOfTheRangeOnBothBars) {
    struct Case {
        int minimum;
        int maximum;
        UINT page;
    };
    const Case cases[] = {{0, 100, 10}, {0, 55, 5}, {-20, 20, 4}, {10, 15, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.minimum) + ".." + std::to_string(c.maximum));
        PanelChildren panel(form.get());
        panel.verticalScroll = true;
        panel.horizontalScroll = true;
        panel.scrollMin = c.minimum;
        panel.scrollMax = c.maximum;
        panel.Create();
        for (int bar : {SB_VERT, SB_HORZ}) {
            SCROLLINFO info{};
            info.cbSize = sizeof(info);
            info.fMask = SIF_ALL;
            ASSERT_TRUE(GetScrollInfo(panel.window, bar, &info));
            EXPECT_EQ(info.nMin, c.minimum);
            EXPECT_EQ(info.nMax, c.maximum);
            EXPECT_EQ(info.nPage, c.page);
        }
    }
}

TEST_F(PanelTest, SetScrollLimitsAfterCreateResetsTheRangeAndPage) {
    PanelChildren panel(form.get());
    panel.verticalScroll = true;
    panel.SetScrollLimits(0, 300);
    EXPECT_EQ(panel.scrollMax, 300) << "stored before Create";
    panel.Create();
    panel.SetScrollLimits(0, 55);

    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(panel.window, SB_VERT, &info));
    EXPECT_EQ(info.nMax, 55);
    EXPECT_EQ(info.nPage, 5u);
    EXPECT_EQ(panel.scrollMin, 0);
    EXPECT_EQ(panel.scrollMax, 55);
}

// A static control inside the panel reports to it with WM_CTLCOLORSTATIC whenever it paints.
class PanelChildColourTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        panel = std::make_unique<PanelChildren>(form.get());
        panel->x = 10;
        panel->y = 10;
        panel->width = 200;
        panel->height = 100;
    }

    void CreateWithStatic() {
        panel->Create();
        child = CreateWindowExW(0, L"static", L"", WS_CHILD | WS_VISIBLE, 10, 10, 120, 40,
                                panel->window, nullptr, nullptr, nullptr);
        ASSERT_NE(child, nullptr);
        PumpMessages(30);
    }

    // Repaints the static, which asks the panel for its colours again.
    void RepaintStatic() {
        InvalidateRect(child, nullptr, TRUE);
        UpdateWindow(child);
    }

    std::unique_ptr<PanelChildren> panel;
    HWND child = nullptr;
};

TEST_F(PanelChildColourTest, ChildBackColourPaintsTheChildAndIsReplacedOnEachRequest) {
    panel->childBackColor = Green;
    CreateWithStatic();
    RepaintStatic();

    HBRUSH first = panel->childBrush;
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(BrushColour(first), Green);
    EXPECT_EQ(ReadPixel(child, 60, 20), Green);

    RepaintStatic();
    HBRUSH second = panel->childBrush;
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(GetObjectType(first), 0u) << "the previous brush is deleted";
    EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_BRUSH));

    panel.reset();
    EXPECT_EQ(GetObjectType(second), 0u) << "the last brush goes with the panel";
}

TEST_F(PanelChildColourTest, WithoutColoursTheChildKeepsTheSystemLookAndNoBrushIsKept) {
    CreateWithStatic();
    RepaintStatic();
    EXPECT_EQ(panel->childBrush, nullptr) << "the system brush is lent, not kept for deletion";
    EXPECT_EQ(ReadPixel(child, 60, 20), GetSysColor(COLOR_BTNFACE));
}

TEST_F(PanelChildColourTest, ChildTextColourColoursTheChildText) {
    panel->childBackColor = RGB(255, 255, 255);
    panel->childTextColor = RGB(255, 0, 0);
    panel->Create();
    child = CreateWindowExW(0, L"static", L"WWWW", WS_CHILD | WS_VISIBLE, 10, 10, 120, 40,
                            panel->window, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    PumpMessages(30);
    const PixelImage image = CaptureClient(child);
    ASSERT_FALSE(image.Empty());
    EXPECT_GT(image.CountIf([](COLORREF c) { return IsInkOf(c, RGB(255, 0, 0)); }), 0)
        << "text drawn in the child text colour";
    EXPECT_EQ(image.CountIf([](COLORREF c) { return IsInkOf(c, RGB(0, 0, 0)); }), 0)
        << "no default black text";
}

TEST_F(PanelTest, OnControlColorSetsTheContextColoursAndKeepsOnlyItsOwnBrushes) {
    PanelChildren panel(form.get());
    Font panelFont("Tahoma", 20);
    panel.font = &panelFont;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    const COLORREF sentinelBack = RGB(1, 2, 3);
    const COLORREF sentinelText = RGB(4, 5, 6);
    SetBkColor(dc, sentinelBack);
    SetTextColor(dc, sentinelText);

    // No colours: the system brush, context untouched apart from the panel's font.
    HBRUSH system = panel.OnControlColor(dc);
    EXPECT_EQ(system, GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(panel.childBrush, nullptr);
    EXPECT_EQ(GetBkColor(dc), sentinelBack);
    EXPECT_EQ(GetTextColor(dc), sentinelText);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), panelFont.GetHandle());

    // The panel's own background colour when no child colour is set.
    panel.backColor = Blue;
    HBRUSH blue = panel.OnControlColor(dc);
    EXPECT_EQ(BrushColour(blue), Blue);
    EXPECT_EQ(panel.childBrush, blue);
    EXPECT_EQ(GetBkColor(dc), Blue);

    // The child colour wins over the panel's.
    panel.childBackColor = Green;
    panel.childTextColor = RGB(255, 0, 0);
    HBRUSH green = panel.OnControlColor(dc);
    EXPECT_EQ(BrushColour(green), Green);
    EXPECT_EQ(GetBkColor(dc), Green);
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    EXPECT_EQ(GetObjectType(blue), 0u);

    // Back to no colours: the made brush is deleted and the system brush survives.
    panel.backColor = NoColor;
    panel.childBackColor = NoColor;
    panel.childTextColor = NoColor;
    EXPECT_EQ(panel.OnControlColor(dc), GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(GetObjectType(green), 0u);
    EXPECT_EQ(panel.childBrush, nullptr);
    EXPECT_EQ(GetObjectType(GetSysColorBrush(COLOR_BTNFACE)), static_cast<DWORD>(OBJ_BRUSH));

    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteDC(dc);
}

TEST_F(PanelTest, DeletingThePanelReleasesItsWindowClassAndClassBrush) {
    auto panel = std::make_unique<PanelChildren>(form.get());
    panel->backColor = Blue;
    panel->Create();
    HWND window = panel->window;
    const std::wstring className = WindowClassName(window);
    HBRUSH classBrush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
    ASSERT_EQ(GetObjectType(classBrush), static_cast<DWORD>(OBJ_BRUSH));

    panel.reset();
    EXPECT_FALSE(IsWindow(window));
    WNDCLASSW registered{};
    EXPECT_FALSE(GetClassInfoW(GetModuleHandleW(nullptr), className.c_str(), &registered));
    EXPECT_EQ(GetObjectType(classBrush), 0u);
    EXPECT_TRUE(IsWindow(form->window)) << "the parent stays";
}

TEST_F(PanelTest, CreateCallsOnCreatedOnceWithTheWindow) {
    static HWND seen = nullptr;
    static int calls = 0;
    seen = nullptr;
    calls = 0;
    PanelChildren panel(form.get());
    panel.onCreated = [](GUIElement*, HWND window) {
        seen = window;
        ++calls;
    };
    panel.Create();
    panel.Create();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, panel.window);
    EXPECT_TRUE(IsWindowVisible(panel.window));
}
