// A question box becomes the foreground window: these tests run one at a time.
#include "framework/ShellHelpers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

using namespace VelkUtility;

namespace {

// Watches for this process's message box and notes what the box looked like while it was up.
class BoxWatcher {
public:
    explicit BoxWatcher(HWND otherWindow) : other(otherWindow) {
        worker = std::thread([this] { Run(); });
    }
    ~BoxWatcher() { Join(); }

    void Join() {
        if (worker.joinable()) {
            worker.join();
        }
    }

    std::atomic<bool> seen{false};
    bool otherWindowEnabled = true;
    bool hasYes = false;
    bool hasNo = false;
    bool hasCancel = false;
    bool hasOk = false;
    bool questionIcon = false;

private:
    static BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
            TestSupport::WindowClassName(window) == L"#32770") {
            *reinterpret_cast<HWND*>(parameter) = window;
            return FALSE;
        }
        return TRUE;
    }

    void Run() {
        const ULONGLONG end = GetTickCount64() + 10000;
        while (GetTickCount64() < end) {
            HWND box = nullptr;
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
            if (box != nullptr) {
                otherWindowEnabled = IsWindowEnabled(other) != FALSE;
                hasYes = GetDlgItem(box, IDYES) != nullptr;
                hasNo = GetDlgItem(box, IDNO) != nullptr;
                hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
                hasOk = GetDlgItem(box, IDOK) != nullptr;
                HICON question = LoadIconW(nullptr, IDI_QUESTION);
                for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
                     child = GetWindow(child, GW_HWNDNEXT)) {
                    if ((TestSupport::StyleOf(child) & SS_TYPEMASK) == SS_ICON &&
                        reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)) ==
                            question) {
                        questionIcon = true;
                    }
                }
                seen = true;
                return;
            }
            Sleep(2);
        }
    }

    HWND other;
    std::thread worker;
};

} // namespace

TEST(AskYesNo, IsTrueOnlyForTheYesButton) {
    struct Case {
        int button;
        bool expected;
    };
    const Case cases[] = {{IDYES, true}, {IDNO, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        TestSupport::DialogAnswerer answerer("Ondrel", c.button);
        const bool answer = AskYesNo("Vuoi realmente uscire?", "Ondrel");
        answerer.Join();
        ASSERT_TRUE(answerer.Seen());
        EXPECT_TRUE(answerer.HadButton());
        EXPECT_EQ(answerer.Text(), "Vuoi realmente uscire?");
        EXPECT_EQ(answerer.Caption(), "Ondrel");
        EXPECT_EQ(answer, c.expected);
    }
}

TEST(AskYesNo, AsksATaskModalYesNoQuestion) {
    TestSupport::ScratchWindow other;
    BoxWatcher watcher(other.Handle());
    TestSupport::DialogAnswerer answerer("Domanda", IDNO);
    EXPECT_FALSE(AskYesNo("Continuare?", "Domanda"));
    answerer.Join();
    watcher.Join();

    ASSERT_TRUE(watcher.seen);
    EXPECT_TRUE(watcher.hasYes);
    EXPECT_TRUE(watcher.hasNo);
    EXPECT_FALSE(watcher.hasCancel);
    EXPECT_FALSE(watcher.hasOk);
    EXPECT_TRUE(watcher.questionIcon);
    EXPECT_FALSE(watcher.otherWindowEnabled) << "the thread's other windows wait for the answer";
    EXPECT_TRUE(IsWindowEnabled(other.Handle())) << "and are enabled again afterwards";
}
