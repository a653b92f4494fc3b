#include "framework/Form.h"
#include "framework/controls/PanelChildren.h"
#include "framework/controls/Timer.h"
#include "support/TestSupport.h"
#include "support_panel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

using namespace VelkUtility;
using namespace TestSupport;
using PanelSupport::MakeHostForm;

namespace {

int ticks = 0;
GUIElement* lastTicked = nullptr;

void CountTick(GUIElement* timer) {
    ++ticks;
    lastTicked = timer;
}

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ticks = 0;
        lastTicked = nullptr;
        form = MakeHostForm();
        ASSERT_NE(form->window, nullptr);
    }

    // Takes every WM_TIMER of the form with the given identifier out of the queue for a while
    // and counts them, without dispatching them.
    int CountQueuedTimerMessages(UINT_PTR timerId, int milliseconds) {
        int count = 0;
        const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
        while (GetTickCount64() < end) {
            MSG message;
            while (PeekMessageW(&message, form->window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
                if (message.wParam == timerId) {
                    ++count;
                }
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_TIMER);
        }
        return count;
    }

    std::unique_ptr<Form> form;
};

} // namespace

TEST(Timer, NewTimerHasTheDocumentedFields) {
    Timer timer(nullptr, 30);
    EXPECT_EQ(timer.interval, 30);
    EXPECT_FALSE(timer.running);
    EXPECT_EQ(timer.onTick, nullptr);
    EXPECT_EQ(timer.text, L"timer");
    EXPECT_EQ(timer.typeName, "timer");
    EXPECT_EQ(timer.width, 50);
    EXPECT_EQ(timer.height, 22);
}

TEST_F(TimerTest, StartCreatesTheHiddenWindowFirstAndTicksWithItsIdentifier) {
    const int before = nextControlId;
    Timer timer(form.get(), 30);
    timer.onTick = CountTick;
    timer.Start();

    EXPECT_TRUE(timer.created);
    EXPECT_TRUE(timer.running);
    EXPECT_EQ(timer.id, before + 1);
    ASSERT_NE(timer.window, nullptr);
    EXPECT_EQ(WindowClassName(timer.window), L"Static");
    EXPECT_EQ(GetParent(timer.window), form->window);
    EXPECT_EQ(static_cast<DWORD>(StyleOf(timer.window)), static_cast<DWORD>(WS_CHILD));
    EXPECT_FALSE(IsWindowVisible(timer.window));

    ASSERT_TRUE(PumpUntil([] { return ticks >= 3; }, 3000));
    EXPECT_EQ(lastTicked, &timer);
    EXPECT_FALSE(IsWindowVisible(timer.window)) << "never shown";
}

TEST_F(TimerTest, DisabledTimerWindowIsAlsoDisabled) {
    Timer timer(form.get(), 30);
    timer.enabled = false;
    timer.Create();
    EXPECT_EQ(static_cast<DWORD>(StyleOf(timer.window)),
              static_cast<DWORD>(WS_CHILD | WS_DISABLED));
    EXPECT_FALSE(timer.running) << "Create alone does not start it";
}

TEST_F(TimerTest, TicksArriveAboutEveryThirtyMillisecondsWhileMessagesAreDispatched) {
    Timer timer(form.get(), 30);
    timer.onTick = CountTick;
    timer.Start();
    PumpMessages(1000);
    // About 33 in a second; the margin leaves room for a slow machine.
    EXPECT_GE(ticks, 10);
    EXPECT_LE(ticks, 60);
}

TEST_F(TimerTest, StartingARunningTimerLeavesItsSystemTimerAlone) {
    Timer timer(form.get(), 30);
    timer.onTick = CountTick;
    timer.Start();
    // Were the system timer set again, it would now wait more than a minute per tick.
    timer.interval = 100000;
    timer.Start();
    EXPECT_TRUE(PumpUntil([] { return ticks >= 3; }, 3000));

    // A new interval takes effect at the next Start after a Stop.
    timer.Stop();
    EXPECT_FALSE(timer.running);
    timer.Start();
    PumpMessages(50);
    ticks = 0;
    PumpMessages(300);
    EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, StopEndsTheTicks) {
    Timer timer(form.get(), 30);
    timer.onTick = CountTick;
    timer.Start();
    ASSERT_TRUE(PumpUntil([] { return ticks >= 1; }, 3000));
    timer.Stop();
    EXPECT_EQ(CountQueuedTimerMessages(static_cast<UINT_PTR>(timer.id), 300), 0);
}

TEST_F(TimerTest, StopOnAStoppedTimerKillsNothing) {
    Timer timer(form.get(), 30);
    timer.onTick = CountTick;
    timer.Create();
    // A system timer under the timer's identifier that the element did not set.
    ASSERT_NE(SetTimer(form->window, static_cast<UINT_PTR>(timer.id), 30, nullptr), 0u);
    timer.Stop();
    EXPECT_TRUE(PumpUntil([] { return ticks >= 2; }, 3000));
    EXPECT_FALSE(timer.running);
    KillTimer(form->window, static_cast<UINT_PTR>(timer.id));
}

TEST_F(TimerTest, DeletingARunningTimerKillsItsSystemTimer) {
    auto timer = std::make_unique<Timer>(form.get(), 30);
    timer->onTick = CountTick;
    timer->Start();
    ASSERT_TRUE(PumpUntil([] { return ticks >= 1; }, 3000));
    const UINT_PTR timerId = static_cast<UINT_PTR>(timer->id);
    timer.reset();
    EXPECT_EQ(CountQueuedTimerMessages(timerId, 300), 0);
}

TEST_F(TimerTest, TimerMessageForAnotherKindOfElementIsIgnored) {
    Timer timer(form.get(), 30);
    timer.onTick = CountTick;
    timer.Create();
    PanelChildren panel(form.get());
    panel.Create();

    SendMessageW(form->window, WM_TIMER, static_cast<WPARAM>(panel.id), 0);
    SendMessageW(form->window, WM_TIMER, static_cast<WPARAM>(panel.id + 1000), 0);
    EXPECT_EQ(ticks, 0);
    SendMessageW(form->window, WM_TIMER, static_cast<WPARAM>(timer.id), 0);
    EXPECT_EQ(ticks, 1) << "the timer's own identifier reaches it";

    timer.onTick = nullptr;
    SendMessageW(form->window, WM_TIMER, static_cast<WPARAM>(timer.id), 0);
    EXPECT_EQ(ticks, 1) << "a timer without onTick is ignored";
}

TEST_F(TimerTest, TimerWithoutParentWindowStartsWithoutASystemTimer) {
    Timer orphan(nullptr, 30);
    orphan.onTick = CountTick;
    orphan.Start();
    EXPECT_TRUE(orphan.running);
    EXPECT_TRUE(orphan.created);
    PumpMessages(150);
    EXPECT_EQ(ticks, 0);
    orphan.Stop();
    EXPECT_FALSE(orphan.running);
}
