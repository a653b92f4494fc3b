// The message loop and the one-second wait.

#include "framework/Form.h"
#include "framework/MessageLoop.h"
#include "framework/WindowProcedure.h"
#include "framework/controls/Button.h"
#include "framework/controls/Timer.h"
#include "support/TestSupport.h"
#include "support_forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace VelkUtility;
using FormsTest::CountOf;
using FormsTest::Instance;
using FormsTest::Log;
using FormsTest::Names;
using FormsTest::Record;
using FormsTest::TakeQuit;

namespace {

double Seconds(ULONGLONG fromMs, ULONGLONG toMs) {
    return static_cast<double>(toMs - fromMs) / 1000.0;
}

int RecordKeyDown(GUIElement* element, int key) {
    Record("keydown", element, key);
    return 0;
}

bool RecordChar(GUIElement* element, int ch) {
    Record("char", element, ch);
    return true;
}

TEST(RunMessageLoop, DispatchesAndTranslatesUntilQuit) {
    std::unique_ptr<Form> form(FormsTest::NewForm());
    form->onKeyDown = RecordKeyDown;
    form->onChar = RecordChar;
    PostMessageW(form->window, WM_KEYDOWN, 'A', 0);
    PostQuitMessage(3);

    RunMessageLoop(form.get());

    // WM_KEYDOWN was dispatched, and TranslateMessage made a WM_CHAR of it.
    EXPECT_EQ(CountOf("keydown"), 1);
    EXPECT_EQ(CountOf("char"), 1);
    EXPECT_FALSE(TakeQuit()) << "the loop took the WM_QUIT";
}

TEST(RunMessageLoop, EndsWhenTheMainWindowIsClosedWithOtherFormsOpen) {
    std::unique_ptr<Form> main(FormsTest::NewForm());
    std::unique_ptr<Form> other(FormsTest::NewForm(200, 100, 300, 300));
    ASSERT_EQ(mainWindow, main->window);
    PostMessageW(main->window, WM_CLOSE, 0, 0);

    RunMessageLoop(main.get());

    EXPECT_FALSE(IsWindow(main->window));
    EXPECT_TRUE(IsWindow(other->window));
}

TEST(RunMessageLoop, AcceptsNoMainForm) {
    PostQuitMessage(0);
    RunMessageLoop(nullptr);
    EXPECT_FALSE(TakeQuit());
}

struct DialogCase {
    const char* name;
    bool dialogStyle;
    int keyDowns;
};

class DialogMessages : public ::testing::TestWithParam<DialogCase> {};

// A dialog-style main form lets IsDialogMessageW take the navigation keys for itself; a plain
// one gets them as messages like any other.
TEST_P(DialogMessages, ArrowKeyReachesTheControlOnlyWithoutDialogStyle) {
    Log().clear();
    std::unique_ptr<Form> form(new Form(Instance(), GetParam().dialogStyle));
    form->Create();
    std::unique_ptr<Button> button(new Button(form.get(), "OK"));
    button->SetLocation(10, 10);
    button->onKeyDown = RecordKeyDown;
    button->Create();

    PostMessageW(button->window, WM_KEYDOWN, VK_RIGHT, 0);
    PostQuitMessage(0);
    RunMessageLoop(form.get());

    EXPECT_EQ(CountOf("keydown"), GetParam().keyDowns);
}

INSTANTIATE_TEST_SUITE_P(Styles, DialogMessages,
                         ::testing::Values(DialogCase{"Dialog", true, 0},
                                           DialogCase{"Plain", false, 1}),
                         [](const ::testing::TestParamInfo<DialogCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(WaitOneSecond, ReturnsAfterAboutASecondWithNoMessages) {
    const ULONGLONG start = GetTickCount64();
    WaitOneSecond();
    const double elapsed = Seconds(start, GetTickCount64());
    EXPECT_GE(elapsed, 0.9);
    EXPECT_LE(elapsed, 3.0);
}

TEST(WaitOneSecond, DispatchesMessagesAndRepaintsMeanwhile) {
    static ULONGLONG start = 0;
    static double tickAt = -1;
    std::unique_ptr<Form> form(FormsTest::NewForm());
    form->onKeyDown = RecordKeyDown;
    form->onPaint = [](GUIElement* element) {
        Record("paint", element, static_cast<int>(GetTickCount64() - start));
    };
    std::unique_ptr<Timer> timer(new Timer(form.get(), 200));
    // A tick in the middle of the wait asks for a repaint.
    timer->onTick = [](GUIElement* element) {
        static_cast<Timer*>(element)->Stop();
        tickAt = Seconds(start, GetTickCount64());
        InvalidateRect(element->parent->window, nullptr, TRUE);
    };
    TestSupport::PumpMessages(50);
    Log().clear();

    start = GetTickCount64();
    PostMessageW(form->window, WM_KEYDOWN, 'B', 0);
    timer->Start();
    WaitOneSecond();
    const double elapsed = Seconds(start, GetTickCount64());

    EXPECT_EQ(CountOf("keydown"), 1) << "a posted message is dispatched during the wait";
    EXPECT_GT(tickAt, 0.0) << "the timer ticked during the wait";
    ASSERT_GE(CountOf("paint"), 1) << "the repaint ran during the wait";
    EXPECT_GE(elapsed, 0.9);
    EXPECT_LE(elapsed, 3.0);
}

TEST(WaitOneSecond, KeepsWaitingAfterQuitAndPostsItAgain) {
    std::unique_ptr<Form> form(FormsTest::NewForm());
    form->onKeyDown = RecordKeyDown;
    PostQuitMessage(7);
    PostMessageW(form->window, WM_KEYDOWN, 'C', 0);

    const ULONGLONG start = GetTickCount64();
    WaitOneSecond();
    const double elapsed = Seconds(start, GetTickCount64());

    EXPECT_GE(elapsed, 0.9) << "the wait lasts its second even after WM_QUIT";
    EXPECT_LE(elapsed, 3.0);
    EXPECT_EQ(CountOf("keydown"), 1);
    int exitCode = -1;
    EXPECT_TRUE(TakeQuit(&exitCode));
    EXPECT_EQ(exitCode, 7);
    EXPECT_FALSE(TakeQuit()) << "posted again once, not once per pass";
}

TEST(WaitOneSecond, QuitDuringTheWaitStillEndsTheMainLoop) {
    std::unique_ptr<Form> form(FormsTest::NewForm());
    form->onKeyDown = [](GUIElement* element, int key) {
        Record("keydown", element, key);
        // A handler inside the wait ends the program, as the main window's closing does.
        if (key == 'D') {
            PostQuitMessage(4);
        }
        return 0;
    };
    PostMessageW(form->window, WM_KEYDOWN, 'D', 0);
    WaitOneSecond();
    ASSERT_EQ(CountOf("keydown"), 1);

    // Should the quit be lost, this watchdog ends the loop after a while, with a key first.
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const DWORD loopThread = GetCurrentThreadId();
    HWND target = form->window;
    std::thread watchdog([done, loopThread, target] {
        if (WaitForSingleObject(done, 5000) == WAIT_TIMEOUT) {
            PostMessageW(target, WM_KEYDOWN, 'W', 0);
            PostThreadMessageW(loopThread, WM_QUIT, 0, 0);
        }
    });
    RunMessageLoop(form.get());
    SetEvent(done);
    watchdog.join();
    CloseHandle(done);

    EXPECT_EQ(CountOf("keydown"), 1) << "the loop did not end on the re-posted quit";
}

} // namespace
