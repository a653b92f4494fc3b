// Repetition without growth: the about box opened and closed hundreds of times, and many games
// played, leave no element, window, window class, thread or handle behind. (GDI objects cannot
// be counted from inside a process under Wine; scripts/perf.sh counts them from Wine's trace.)
// ctest-timeout: 180

#include "support/TestSupport.h"
#include "support_game.h"
#include "support_reliability.h"

#include "framework/about/FormAbout.h"
#include "framework/controls/Button.h"
#include "framework/controls/TextBox.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace GameTest;
using namespace Reliability;
using MyGame::FormMain;

namespace {

// What the process holds, as far as it can be counted from inside.
struct Holdings {
    size_t elements;
    int threads;
    int handles;
    int topLevelWindows;
    int mainChildren;
};

void Print(const char* when, const Holdings& h) {
    std::printf("%-10s elements %zu, threads %d, handles %d, top-level windows %d, "
                "children of the main window %d\n",
                when, h.elements, h.threads, h.handles, h.topLevelWindows, h.mainChildren);
    std::fflush(stdout);
}

DWORD WINAPI WaitForRelease(LPVOID event) {
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return 0;
}

class ChurnTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = MakeMainWindow();
        ASSERT_NE(form->window, nullptr);
        form->timer->Stop();
        TestSupport::PumpMessages(50);
    }

    // The sound workers of the last clicks may still be ending: their count is given a moment
    // to come down to the figure it is compared with.
    Holdings Count(int settleToThreads = -1) {
        TestSupport::PumpMessages(0);
        if (settleToThreads >= 0) {
            TestSupport::PumpUntil([&] { return ThreadCount() <= settleToThreads; }, 3000);
        }
        return {VelkUtility::elementRegistry.size(), ThreadCount(), HandleCount(),
                ThreadWindowCount(), ChildWindowCount(form->window)};
    }

    void ExpectNoGrowth(const Holdings& baseline, const Holdings& now) {
        EXPECT_EQ(now.elements, baseline.elements);
        EXPECT_LE(now.threads, baseline.threads);
        // A handle or two that the system opens once on first use may come late; growth with
        // the rounds would be hundreds.
        EXPECT_LE(now.handles, baseline.handles + 2);
        EXPECT_EQ(now.topLevelWindows, baseline.topLevelWindows);
        EXPECT_EQ(now.mainChildren, baseline.mainChildren);
    }

    // The counts are real measures: one more thread and one more handle show.
    void ExpectCountsSeeGrowth() {
        const Holdings before = Count();
        HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        HANDLE extra = CreateThread(nullptr, 0, WaitForRelease, release, 0, nullptr);
        ASSERT_NE(extra, nullptr);
        const Holdings with = Count();
        SetEvent(release);
        WaitForSingleObject(extra, 5000);
        CloseHandle(extra);
        CloseHandle(release);
        EXPECT_EQ(with.threads, before.threads + 1) << "the thread count does not see a thread";
        EXPECT_GE(with.handles, before.handles + 2) << "the handle count does not see handles";
    }

    std::unique_ptr<FormMain> form;
};

// One opened about box: its windows, the identifiers of its elements and its window classes.
struct OpenedBox {
    std::vector<HWND> windows;
    std::vector<int> ids;
    std::vector<std::wstring> classes;
};

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

OpenedBox Describe(VelkUtility::FormAbout& about) {
    OpenedBox box;
    box.windows.push_back(about.window);
    EnumChildWindows(about.window, Collect, reinterpret_cast<LPARAM>(&box.windows));
    for (HWND window : box.windows) {
        if (VelkUtility::GUIElement* element = VelkUtility::FindByWindow(window)) {
            if (element->id != 0) {
                box.ids.push_back(element->id);
            }
        }
        const std::wstring name = TestSupport::WindowClassName(window);
        // The classes the framework registers for the box and its panels.
        if (name.compare(0, 6, L"Window") == 0 || name.compare(0, 13, L"PanelChildren") == 0) {
            box.classes.push_back(name);
        }
    }
    return box;
}

// The ways the about box is closed, taken in turn.
enum class CloseWay { OkButton, EscapeInTheText, EnterOnOk, CloseBox, Count };

const char* Name(CloseWay way) {
    static const char* const names[] = {"OK", "Escape in the text", "Enter on OK", "close box"};
    return names[static_cast<int>(way)];
}

void CloseAbout(VelkUtility::FormAbout& about, CloseWay way) {
    switch (way) {
    case CloseWay::OkButton:
        SendMessageW(about.okButton->window, BM_CLICK, 0, 0);
        break;
    case CloseWay::EscapeInTheText:
        SendMessageW(about.noticeBox->window, WM_CHAR, 27, 1);
        break;
    case CloseWay::EnterOnOk:
        SendMessageW(about.okButton->window, WM_CHAR, 13, 1);
        break;
    case CloseWay::CloseBox:
        SendMessageW(about.window, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case CloseWay::Count:
        break;
    }
}

TEST_F(ChurnTest, AboutBoxOpenedAndClosedThreeHundredTimesLeavesNothingBehind) {
    constexpr int Rounds = 300;
    constexpr int WarmUp = 20;
    std::vector<OpenedBox> boxes;
    Holdings baseline{};
    for (int round = 0; round < Rounds; ++round) {
        SendMessageW(form->infoButton->window, BM_CLICK, 0, 0);
        ASSERT_NE(form->aboutForm, nullptr);
        VelkUtility::FormAbout& about = *form->aboutForm;
        ASSERT_TRUE(IsWindow(about.window)) << "round " << round;
        ASSERT_FALSE(IsWindowEnabled(form->window)) << "round " << round;
        boxes.push_back(Describe(about));

        const HWND aboutWindow = about.window;
        const CloseWay way = static_cast<CloseWay>(round % static_cast<int>(CloseWay::Count));
        CloseAbout(about, way);
        TestSupport::PumpMessages(0);
        ASSERT_FALSE(IsWindow(aboutWindow)) << "round " << round << ", closed by " << Name(way);
        ASSERT_TRUE(IsWindowEnabled(form->window)) << "round " << round;
        if (round == WarmUp) {
            baseline = Count();
            Print("baseline", baseline);
        }
    }
    const Holdings after = Count(baseline.threads);
    Print("after", after);
    ExpectNoGrowth(baseline, after);

    // Every box but the last is deleted (the main window keeps the last one until it opens
    // another): nothing of it may be found again, and its window classes are gone.
    int reachable = 0;
    int classesLeft = 0;
    std::wstring firstClassLeft;
    for (size_t i = 0; i + 1 < boxes.size(); ++i) {
        for (HWND window : boxes[i].windows) {
            reachable += VelkUtility::FindByWindow(window) != nullptr ? 1 : 0;
        }
        for (int id : boxes[i].ids) {
            reachable += VelkUtility::FindById(id) != nullptr ? 1 : 0;
        }
        for (const std::wstring& name : boxes[i].classes) {
            WNDCLASSEXW info{};
            info.cbSize = sizeof(info);
            if (GetClassInfoExW(GetModuleHandleW(nullptr), name.c_str(), &info)) {
                if (classesLeft++ == 0) {
                    firstClassLeft = name;
                }
            }
        }
    }
    EXPECT_FALSE(boxes.front().ids.empty());
    EXPECT_EQ(reachable, 0) << "deleted elements still found by window or identifier";
    EXPECT_EQ(classesLeft, 0) << "window classes of deleted about boxes still registered, e.g. "
                              << TestSupport::Narrow(firstClassLeft);
    ExpectCountsSeeGrowth();
}

TEST_F(ChurnTest, ManyGamesLeaveNoThreadHandleOrWindowBehind) {
    constexpr int Games = 100;
    constexpr int WarmUp = 5;
    SeedGame(4711);
    Holdings baseline{};
    int levelsWon = 0;
    for (int game = 0; game < Games; ++game) {
        ClickPlay(*form);
        ASSERT_TRUE(form->playing) << "game " << game;
        ShowWholeLevel(*form);
        ASSERT_FALSE(form->showing) << "game " << game;
        // Every tenth game wins a level first, one-second wait included.
        if (game % 10 == 9) {
            const std::vector<int> boxes = form->sequence;
            for (int box : boxes) {
                Press(*form, box);
            }
            ASSERT_EQ(form->targetLength, 4);
            ++levelsWon;
            ShowWholeLevel(*form);
        }
        Press(*form, form->sequence.front() % 4 + 1);
        ASSERT_FALSE(form->playing) << "game " << game;
        if (game == WarmUp) {
            baseline = Count();
            Print("baseline", baseline);
        }
    }
    const Holdings after = Count(baseline.threads);
    Print("after", after);
    std::printf("games %d, levels won %d\n", Games, levelsWon);
    ExpectNoGrowth(baseline, after);
    ExpectCountsSeeGrowth();
}

} // namespace
