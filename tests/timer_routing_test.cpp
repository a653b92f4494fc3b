// Which WM_TIMER messages are a timer's ticks, and a timer that outlives its parent element.

#include "framework/Form.h"
#include "framework/controls/Button.h"
#include "framework/controls/Label.h"
#include "framework/controls/PanelChildren.h"
#include "framework/controls/TextBox.h"
#include "framework/controls/Timer.h"
#include "support/TestSupport.h"
#include "support_panel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

using namespace VelkUtility;
using PanelSupport::MakeHostForm;
using TestSupport::PumpMessages;
using TestSupport::PumpUntil;

namespace {

int ticks = 0;

void CountTick(GUIElement*) {
    ++ticks;
}

// System timers under one identifier, set on windows other than the timer's parent.
class TimerRouting : public ::testing::Test {
protected:
    void SetUp() override {
        ticks = 0;
        form = MakeHostForm();
        ASSERT_NE(form->window, nullptr);
        timer = std::make_unique<Timer>(form.get(), 30);
        timer->onTick = CountTick;
        timer->Create();
        ASSERT_NE(timer->id, 0);
    }

    void TearDown() override {
        for (HWND window : foreignTimers) {
            KillTimer(window, static_cast<UINT_PTR>(timer->id));
        }
    }

    // A system timer of another window, with the timer's identifier.
    void SetForeignTimer(HWND window) {
        ASSERT_NE(SetTimer(window, static_cast<UINT_PTR>(timer->id), 15, nullptr), 0u);
        foreignTimers.push_back(window);
    }

    std::unique_ptr<Form> form;
    std::unique_ptr<Timer> timer;
    std::vector<HWND> foreignTimers;
};

// Counts the WM_TIMER messages with the identifier that reach a window's procedure.
struct TimerWatch {
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_TIMER && wParam == watchedId) {
            ++seen;
        }
        return CallWindowProcW(previous, window, message, wParam, lParam);
    }
    static inline WNDPROC previous = nullptr;
    static inline WPARAM watchedId = 0;
    static inline int seen = 0;
};

} // namespace

// The system controls that the framework subclasses, and framework windows that are not the
// timer's parent, each run a timer under the identifier of the form's timer.
TEST_F(TimerRouting, TicksOfOtherWindowsUnderTheTimersIdentifierAreNotTheTimers) {
    Button button(form.get(), "OK");
    button.Create();
    TextBox box(form.get(), "text");
    box.Create();
    PanelChildren panel(form.get());
    panel.Create();
    auto otherForm = MakeHostForm(200, 150);
    ASSERT_NE(button.baseWindowProc, nullptr) << "the button is subclassed";
    ASSERT_NE(box.baseWindowProc, nullptr) << "the text box is subclassed";

    struct Source {
        const char* name;
        HWND window;
    };
    const Source sources[] = {
        {"button", button.window},
        {"text box", box.window},
        {"panel", panel.window},
        {"another form", otherForm->window},
    };
    for (const Source& source : sources) {
        SCOPED_TRACE(source.name);
        ticks = 0;
        SetForeignTimer(source.window);
        TimerWatch::watchedId = static_cast<WPARAM>(timer->id);
        TimerWatch::seen = 0;
        // Watched in front of the framework procedure: the messages do arrive.
        TimerWatch::previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            source.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TimerWatch::Procedure)));
        EXPECT_TRUE(PumpUntil([] { return TimerWatch::seen >= 5; }, 3000));
        SetWindowLongPtrW(source.window, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(TimerWatch::previous));
        KillTimer(source.window, static_cast<UINT_PTR>(timer->id));
        EXPECT_EQ(ticks, 0);
    }

    // The timer's own ticks, at its parent's window, still count.
    timer->Start();
    EXPECT_TRUE(PumpUntil([] { return ticks >= 3; }, 3000));
}

// A tick that another program sends to a control, and one sent to the right window.
TEST_F(TimerRouting, OnlyATickAtTheParentWindowCallsOnTick) {
    Label label(form.get(), "label");
    label.Create();
    SendMessageW(label.window, WM_TIMER, static_cast<WPARAM>(timer->id), 0);
    SendMessageW(timer->window, WM_TIMER, static_cast<WPARAM>(timer->id), 0);
    EXPECT_EQ(ticks, 0);
    SendMessageW(form->window, WM_TIMER, static_cast<WPARAM>(timer->id), 0);
    EXPECT_EQ(ticks, 1);
}

namespace {

// WM_TIMER messages with the identifier that wait for the window, taken out of the queue.
int QueuedTicks(HWND window, UINT_PTR timerId, int milliseconds) {
    int count = 0;
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    while (GetTickCount64() < end) {
        MSG message;
        while (PeekMessageW(&message, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
            if (message.wParam == timerId) {
                ++count;
            }
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_TIMER);
    }
    return count;
}

} // namespace

// The parent is a label whose window outlives it; its storage is overwritten once it is
// deleted, as freed memory may be. Deleting the timer afterwards must still kill its system
// timer, on the window it was set on, without reading the label.
TEST(TimerParent, TimerDeletedAfterItsParentStillKillsItsSystemTimer) {
    auto form = MakeHostForm();
    alignas(Label) unsigned char storage[sizeof(Label)];
    auto* label = new (storage) Label(form.get(), "parent");
    label->Create();
    HWND labelWindow = label->window;
    ASSERT_NE(labelWindow, nullptr);

    auto* timer = new Timer(label, 20);
    timer->Start();
    const UINT_PTR timerId = static_cast<UINT_PTR>(timer->id);
    ASSERT_GT(QueuedTicks(labelWindow, timerId, 200), 0) << "the timer runs on the label";

    label->~Label();
    std::memset(storage, 0xDD, sizeof(storage));
    ASSERT_TRUE(IsWindow(labelWindow));
    EXPECT_EQ(timer->parent, nullptr) << "the timer forgot its deleted parent";

    delete timer;
    QueuedTicks(labelWindow, timerId, 50);
    EXPECT_EQ(QueuedTicks(labelWindow, timerId, 300), 0) << "the system timer still runs";
}

// Both orders of deletion, with a form as parent: nothing is left running or reachable.
TEST(TimerParent, EitherOrderOfDeletionLeavesNoTimerBehind) {
    // The program's main window: the forms below can go without ending the message loop.
    auto mainForm = MakeHostForm(100, 100);
    for (const bool parentFirst : {true, false}) {
        SCOPED_TRACE(parentFirst ? "parent first" : "timer first");
        ticks = 0;
        auto form = MakeHostForm();
        HWND formWindow = form->window;
        auto* timer = new Timer(form.get(), 20);
        timer->onTick = CountTick;
        timer->Start();
        ASSERT_TRUE(PumpUntil([] { return ticks >= 1; }, 3000));
        if (parentFirst) {
            form.reset();
            EXPECT_FALSE(IsWindow(formWindow));
            EXPECT_EQ(timer->parent, nullptr);
            delete timer;
        } else {
            delete timer;
            form.reset();
        }
        const int seen = ticks;
        PumpMessages(150);
        EXPECT_EQ(ticks, seen);
    }
}
