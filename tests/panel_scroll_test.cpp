#include "framework/Form.h"
#include "framework/WindowProcedure.h"
#include "framework/controls/PanelChildren.h"
#include "support/TestSupport.h"
#include "support_panel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

using namespace VelkUtility;
using namespace TestSupport;
using PanelSupport::ChildOrigin;
using PanelSupport::MakeHostForm;

namespace {

struct ScrollReport {
    PanelChildren* panel;
    int delta;
};

std::vector<ScrollReport> verticalReports;
std::vector<ScrollReport> horizontalReports;

void RecordVertical(PanelChildren* panel, int delta) {
    verticalReports.push_back({panel, delta});
}

void RecordHorizontal(PanelChildren* panel, int delta) {
    horizontalReports.push_back({panel, delta});
}

// A form holding a panel with both scroll bars (range 0..100, page 10, so the last position
// is 91) and a static control inside it, whose moves show how far the contents scrolled.
class PanelScrollTest : public ::testing::Test {
protected:
    void SetUp() override {
        verticalReports.clear();
        horizontalReports.clear();
        form = MakeHostForm();
        ASSERT_NE(form->window, nullptr);
        panel = std::make_unique<PanelChildren>(form.get());
        panel->x = 10;
        panel->y = 10;
        panel->width = 220;
        panel->height = 160;
        panel->verticalScroll = true;
        panel->horizontalScroll = true;
        panel->onVerticalScroll = RecordVertical;
        panel->onHorizontalScroll = RecordHorizontal;
        panel->Create();
        ASSERT_NE(panel->window, nullptr);
        child = CreateWindowExW(0, L"static", L"", WS_CHILD | WS_VISIBLE, 60, 50, 40, 20,
                                panel->window, nullptr, nullptr, nullptr);
        ASSERT_NE(child, nullptr);
        PumpMessages(30);
    }

    int Position(int bar) const {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_POS;
        GetScrollInfo(panel->window, bar, &info);
        return info.nPos;
    }

    // Puts the bar at a position without moving the contents.
    void Place(int bar, int position) {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_POS;
        info.nPos = position;
        SetScrollInfo(panel->window, bar, &info, TRUE);
        ASSERT_EQ(Position(bar), position);
    }

    std::unique_ptr<Form> form;
    std::unique_ptr<PanelChildren> panel;
    HWND child = nullptr;
};

struct RequestCase {
    const char* name;
    UINT message;
    int code;
    int start;
    int position;  // after the request, clamped
    bool reported; // the callback runs
    int delta;     // what the callback gets: old - requested, unclamped
};

} // namespace

TEST_F(PanelScrollTest, RequestsMoveTheBarAndTheContentsAndReportTheUnclampedDelta) {
    const RequestCase cases[] = {
        {"line down", WM_VSCROLL, SB_LINEDOWN, 0, 1, true, -1},
        {"line up", WM_VSCROLL, SB_LINEUP, 5, 4, true, 1},
        {"page down", WM_VSCROLL, SB_PAGEDOWN, 0, 10, true, -10},
        {"page up", WM_VSCROLL, SB_PAGEUP, 50, 40, true, 10},
        {"top from 40", WM_VSCROLL, SB_TOP, 40, 0, true, 40},
        {"bottom", WM_VSCROLL, SB_BOTTOM, 0, 91, true, -100},
        {"line down at the end", WM_VSCROLL, SB_LINEDOWN, 91, 91, true, -1},
        {"line up at the start", WM_VSCROLL, SB_LINEUP, 0, 0, true, 1},
        {"page up near the start", WM_VSCROLL, SB_PAGEUP, 4, 0, true, 10},
        {"thumb position", WM_VSCROLL, SB_THUMBPOSITION, 30, 30, false, 0},
        {"end scroll", WM_VSCROLL, SB_ENDSCROLL, 30, 30, false, 0},
        {"thumb track outside a drag", WM_VSCROLL, SB_THUMBTRACK, 30, 30, false, 0},
        {"line right", WM_HSCROLL, SB_LINERIGHT, 0, 1, true, -1},
        {"line left", WM_HSCROLL, SB_LINELEFT, 7, 6, true, 1},
        {"page right", WM_HSCROLL, SB_PAGERIGHT, 85, 91, true, -10},
        {"page left", WM_HSCROLL, SB_PAGELEFT, 20, 10, true, 10},
        {"left is not handled", WM_HSCROLL, SB_LEFT, 20, 20, false, 0},
        {"right is not handled", WM_HSCROLL, SB_RIGHT, 20, 20, false, 0},
    };
    for (const RequestCase& c : cases) {
        SCOPED_TRACE(c.name);
        const bool vertical = c.message == WM_VSCROLL;
        const int bar = vertical ? SB_VERT : SB_HORZ;
        Place(bar, c.start);
        verticalReports.clear();
        horizontalReports.clear();
        const POINT before = ChildOrigin(child);

        EXPECT_EQ(SendMessageW(panel->window, c.message, MAKEWPARAM(c.code, 0), 0), 0);

        EXPECT_EQ(Position(bar), c.position);
        const POINT after = ChildOrigin(child);
        const int moved = c.start - c.position;
        EXPECT_EQ(after.y - before.y, vertical ? moved : 0);
        EXPECT_EQ(after.x - before.x, vertical ? 0 : moved);
        const std::vector<ScrollReport>& reports = vertical ? verticalReports : horizontalReports;
        const std::vector<ScrollReport>& others = vertical ? horizontalReports : verticalReports;
        EXPECT_TRUE(others.empty());
        if (c.reported) {
            ASSERT_EQ(reports.size(), 1u);
            EXPECT_EQ(reports[0].panel, panel.get());
            EXPECT_EQ(reports[0].delta, c.delta);
        } else {
            EXPECT_TRUE(reports.empty());
        }
    }
}

TEST_F(PanelScrollTest, ScrollingRepaintsTheUncoveredStrip) {
    HWND stripe = CreateWindowExW(0, L"static", L"", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 0, 0,
                                  220, 30, panel->window, nullptr, nullptr, nullptr);
    ASSERT_NE(stripe, nullptr);
    PumpMessages(30);
    const COLORREF stripeColour = ReadPixel(panel->window, 100, 5);
    ASSERT_NE(stripeColour, GetSysColor(COLOR_BTNFACE));
    ASSERT_EQ(ReadPixel(panel->window, 100, 15), stripeColour);

    SendMessageW(panel->window, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    SendMessageW(panel->window, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    PumpMessages(30);
    EXPECT_EQ(ChildOrigin(stripe).y, -20);
    EXPECT_EQ(ReadPixel(panel->window, 100, 5), stripeColour) << "rows 20..29 of the stripe";
    EXPECT_EQ(ReadPixel(panel->window, 100, 15), GetSysColor(COLOR_BTNFACE))
        << "below the stripe the panel background is repainted";
}

TEST_F(PanelScrollTest, VerticalRequestMakesThePanelTheWheelTarget) {
    scrollPanel = nullptr;
    SendMessageW(panel->window, WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
    EXPECT_EQ(scrollPanel, nullptr) << "a horizontal request does not";
    SendMessageW(panel->window, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    EXPECT_EQ(scrollPanel, panel.get());
}

TEST_F(PanelScrollTest, WheelOnThePanelScrollsAPageEitherWay) {
    // Toward the user: down a page.
    EXPECT_EQ(SendMessageW(panel->window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0), 0);
    EXPECT_EQ(Position(SB_VERT), 10);
    EXPECT_EQ(ChildOrigin(child).y, 40);
    ASSERT_EQ(verticalReports.size(), 1u);
    EXPECT_EQ(verticalReports[0].delta, -10);

    // Away from the user at the start: nothing moves, the full request is reported.
    Place(SB_VERT, 0);
    verticalReports.clear();
    const POINT before = ChildOrigin(child);
    EXPECT_EQ(SendMessageW(panel->window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0), 0);
    EXPECT_EQ(Position(SB_VERT), 0);
    EXPECT_EQ(ChildOrigin(child).y, before.y);
    ASSERT_EQ(verticalReports.size(), 1u);
    EXPECT_EQ(verticalReports[0].delta, 10);
    EXPECT_TRUE(horizontalReports.empty());
}

TEST_F(PanelScrollTest, WheelOnAnotherElementScrollsTheLastVerticallyScrolledPanel) {
    scrollPanel = nullptr;
    SendMessageW(form->window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(Position(SB_VERT), 0) << "no panel to scroll yet";
    EXPECT_TRUE(verticalReports.empty());

    SendMessageW(panel->window, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    ASSERT_EQ(scrollPanel, panel.get());
    verticalReports.clear();
    EXPECT_EQ(SendMessageW(form->window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0), 0);
    EXPECT_EQ(Position(SB_VERT), 11);
    ASSERT_EQ(verticalReports.size(), 1u);
    EXPECT_EQ(verticalReports[0].delta, -10);
}

TEST_F(PanelScrollTest, PanelWithoutScrollFlagsIgnoresScrollMessages) {
    PanelChildren plain(form.get());
    plain.x = 240;
    plain.y = 10;
    plain.onVerticalScroll = RecordVertical;
    plain.onHorizontalScroll = RecordHorizontal;
    plain.Create();
    scrollPanel = nullptr;
    SendMessageW(plain.window, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    SendMessageW(plain.window, WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
    SendMessageW(plain.window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_TRUE(verticalReports.empty());
    EXPECT_TRUE(horizontalReports.empty());
    EXPECT_EQ(scrollPanel, nullptr);
}

TEST_F(PanelScrollTest, CallbacksAreOptional) {
    panel->onVerticalScroll = nullptr;
    panel->onHorizontalScroll = nullptr;
    SendMessageW(panel->window, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
    SendMessageW(panel->window, WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), 0);
    EXPECT_EQ(Position(SB_VERT), 10);
    EXPECT_EQ(Position(SB_HORZ), 10);
    const POINT origin = ChildOrigin(child);
    EXPECT_EQ(origin.x, 50);
    EXPECT_EQ(origin.y, 40);
}

TEST_F(PanelScrollTest, ScrollRequestsBeforeCreateDoNothing) {
    PanelChildren unmade(form.get());
    unmade.verticalScroll = true;
    unmade.onVerticalScroll = RecordVertical;
    unmade.ScrollByRequest(SB_VERT, SB_LINEDOWN);
    unmade.ScrollByWheel(-WHEEL_DELTA);
    EXPECT_TRUE(verticalReports.empty());
}
