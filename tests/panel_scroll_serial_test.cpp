// Real mouse input on a panel's scroll bars: the system's scroll bar sends the scroll
// messages itself.

#include "framework/Form.h"
#include "framework/WindowProcedure.h"
#include "framework/controls/PanelChildren.h"
#include "support/TestSupport.h"
#include "support_panel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>
#include <numeric>
#include <thread>
#include <vector>

using namespace VelkUtility;
using namespace TestSupport;
using PanelSupport::ChildOrigin;
using PanelSupport::MakeHostForm;

namespace {

std::vector<int> verticalDeltas;
std::vector<int> horizontalDeltas;

void RecordVertical(PanelChildren*, int delta) {
    verticalDeltas.push_back(delta);
}

void RecordHorizontal(PanelChildren*, int delta) {
    horizontalDeltas.push_back(delta);
}

void SendMouse(DWORD flags, int screenX = 0, int screenY = 0, int wheel = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    if (flags & MOUSEEVENTF_MOVE) {
        // Absolute coordinates run from 0 to 65535 over the primary screen.
        const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        input.mi.dx = static_cast<LONG>((screenX * 65535LL + screenWidth / 2) / (screenWidth - 1));
        input.mi.dy =
            static_cast<LONG>((screenY * 65535LL + screenHeight / 2) / (screenHeight - 1));
        flags |= MOUSEEVENTF_ABSOLUTE;
    }
    input.mi.mouseData = static_cast<DWORD>(wheel);
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

// Plays a list of mouse steps on a thread of its own while the test thread keeps dispatching
// messages (the scroll bar tracks the mouse in a loop of its own on that thread).
class MouseScript {
public:
    struct Step {
        DWORD flags;
        POINT at;
        int wheel;
        int pauseMs;
    };

    explicit MouseScript(std::vector<Step> steps)
        : worker([this, steps] {
              for (const Step& step : steps) {
                  SendMouse(step.flags, step.at.x, step.at.y, step.wheel);
                  Sleep(static_cast<DWORD>(step.pauseMs));
              }
              done = true;
          }) {}

    ~MouseScript() {
        if (worker.joinable()) {
            worker.join();
        }
    }

    // Dispatches messages until the script has played, then a little longer.
    void PlayAndPump() {
        PumpUntil([this] { return done.load(); }, 10000);
        PumpMessages(200);
    }

private:
    std::atomic<bool> done{false};
    std::thread worker;
};

MouseScript::Step MoveTo(POINT at, int pauseMs = 60) {
    return {MOUSEEVENTF_MOVE, at, 0, pauseMs};
}
MouseScript::Step Press(int pauseMs = 60) {
    return {MOUSEEVENTF_LEFTDOWN, {0, 0}, 0, pauseMs};
}
MouseScript::Step Release(int pauseMs = 60) {
    return {MOUSEEVENTF_LEFTUP, {0, 0}, 0, pauseMs};
}

class PanelScrollMouseTest : public ::testing::Test {
protected:
    void SetUp() override {
        verticalDeltas.clear();
        horizontalDeltas.clear();
        form = MakeHostForm();
        ASSERT_NE(form->window, nullptr);
        panel = std::make_unique<PanelChildren>(form.get());
        panel->x = 20;
        panel->y = 20;
        panel->width = 220;
        panel->height = 200;
        panel->verticalScroll = true;
        panel->horizontalScroll = true;
        panel->onVerticalScroll = RecordVertical;
        panel->onHorizontalScroll = RecordHorizontal;
        panel->Create();
        ASSERT_NE(panel->window, nullptr);
        child = CreateWindowExW(0, L"static", L"", WS_CHILD | WS_VISIBLE, 60, 50, 40, 20,
                                panel->window, nullptr, nullptr, nullptr);
        SetForegroundWindow(form->window);
        PumpMessages(200);
        ASSERT_EQ(GetForegroundWindow(), form->window);
    }

    int Position(int bar) const {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_POS;
        GetScrollInfo(panel->window, bar, &info);
        return info.nPos;
    }

    SCROLLBARINFO Bar(LONG object) const {
        SCROLLBARINFO info{};
        info.cbSize = sizeof(info);
        EXPECT_TRUE(GetScrollBarInfo(panel->window, object, &info));
        return info;
    }

    // A short click (shorter than the scroll bar's repeat delay) at a screen point.
    void ClickAt(POINT at) {
        MouseScript script({MoveTo(at), Press(50), Release()});
        script.PlayAndPump();
    }

    std::unique_ptr<Form> form;
    std::unique_ptr<PanelChildren> panel;
    HWND child = nullptr;
};

} // namespace

TEST_F(PanelScrollMouseTest, ClickOnTheArrowsScrollsOneLine) {
    const SCROLLBARINFO bar = Bar(OBJID_VSCROLL);
    const int centreX = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    const POINT downArrow{centreX, bar.rcScrollBar.bottom - bar.dxyLineButton / 2};
    const POINT upArrow{centreX, bar.rcScrollBar.top + bar.dxyLineButton / 2};
    scrollPanel = nullptr;

    ClickAt(downArrow);
    EXPECT_EQ(Position(SB_VERT), 1);
    EXPECT_EQ(verticalDeltas, std::vector<int>{-1});
    EXPECT_EQ(ChildOrigin(child).y, 49);
    EXPECT_EQ(scrollPanel, panel.get());

    verticalDeltas.clear();
    ClickAt(upArrow);
    EXPECT_EQ(Position(SB_VERT), 0);
    EXPECT_EQ(verticalDeltas, std::vector<int>{1});
    EXPECT_EQ(ChildOrigin(child).y, 50);

    verticalDeltas.clear();
    ClickAt(upArrow);
    EXPECT_EQ(Position(SB_VERT), 0) << "nothing above the start";
    EXPECT_EQ(verticalDeltas, std::vector<int>{1}) << "the request is reported all the same";
    EXPECT_EQ(ChildOrigin(child).y, 50);
    EXPECT_TRUE(horizontalDeltas.empty());
}

TEST_F(PanelScrollMouseTest, ClickOnTheRightArrowScrollsOneColumn) {
    const SCROLLBARINFO bar = Bar(OBJID_HSCROLL);
    const POINT rightArrow{bar.rcScrollBar.right - bar.dxyLineButton / 2,
                           (bar.rcScrollBar.top + bar.rcScrollBar.bottom) / 2};
    ClickAt(rightArrow);
    EXPECT_EQ(Position(SB_HORZ), 1);
    EXPECT_EQ(horizontalDeltas, std::vector<int>{-1});
    EXPECT_EQ(ChildOrigin(child).x, 59);
    EXPECT_TRUE(verticalDeltas.empty());
}

TEST_F(PanelScrollMouseTest, DraggingTheThumbFollowsTheTrackPosition) {
    const SCROLLBARINFO bar = Bar(OBJID_VSCROLL);
    const int centreX = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
    const int thumbY = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
    std::vector<MouseScript::Step> steps{MoveTo({centreX, thumbY}), Press()};
    for (int offset = 10; offset <= 50; offset += 10) {
        steps.push_back(MoveTo({centreX, thumbY + offset}));
    }
    steps.push_back(Release());
    MouseScript script(steps);
    script.PlayAndPump();

    const int position = Position(SB_VERT);
    EXPECT_GT(position, 0);
    EXPECT_LT(position, 91);
    ASSERT_FALSE(verticalDeltas.empty());
    for (int delta : verticalDeltas) {
        EXPECT_LT(delta, 0) << "each track step moves further down";
    }
    EXPECT_EQ(std::accumulate(verticalDeltas.begin(), verticalDeltas.end(), 0), -position);
    EXPECT_EQ(ChildOrigin(child).y, 50 - position);
}

TEST_F(PanelScrollMouseTest, WheelAfterAClickInThePanelScrollsItAPage) {
    RECT frame{};
    GetWindowRect(panel->window, &frame);
    const POINT inside{frame.left + 30, frame.top + 30};
    MouseScript script(
        {MoveTo(inside), Press(), Release(), {MOUSEEVENTF_WHEEL, {0, 0}, -WHEEL_DELTA, 100}});
    script.PlayAndPump();
    EXPECT_EQ(Position(SB_VERT), 10);
    EXPECT_EQ(verticalDeltas, std::vector<int>{-10});
    EXPECT_EQ(ChildOrigin(child).y, 40);
}
