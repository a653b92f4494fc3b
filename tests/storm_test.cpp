// The game under a storm of random but well-formed messages to every window of its elements,
// in every state of play: the process survives, the game stays in one of the four states it
// knows (at most one box lit, the flags and "GIOCA" as they belong together), and afterwards
// the window still plays a level. Each storm is reproducible from its seed, which the test
// prints (ONDREL_STORM_SEED replays another one).
// ctest-timeout: 120

#include "support/TestSupport.h"
#include "support_game.h"
#include "support_reliability.h"

#include "framework/WindowProcedure.h"
#include "framework/about/FormAbout.h"
#include "framework/controls/SubMenu.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace GameTest;
using namespace Reliability;
using MyGame::FormMain;

namespace {

constexpr int StormSize = 4000;
constexpr int BatchSize = 100;
// Share of the storm handed to the window procedures at once; the rest goes through the queue.
constexpr int PercentSent = 30;

// The states of play: playing, showing, judging, "GIOCA" enabled, hand cursor over the board.
struct PlayState {
    const char* name;
    bool playing;
    bool showing;
    bool judging;
    bool playEnabled;
    bool hand;
};
constexpr PlayState PlayStates[] = {
    {"idle", false, false, false, true, false},
    {"showing", true, true, false, false, false},
    {"player's turn", true, false, false, false, true},
    {"level won", true, false, true, false, true},
};

std::string Flags(FormMain& form) {
    auto yes = [](bool value) { return value ? "T" : "F"; };
    return std::string("playing ") + yes(form.playing) + ", showing " + yes(form.showing) +
           ", judging " + yes(MyGame::judging) + ", GIOCA enabled " +
           yes(IsWindowEnabled(form.playButton->window) != FALSE) + ", hand " +
           yes(form.board->handCursor);
}

const PlayState* StateOf(FormMain& form) {
    const bool playEnabled = IsWindowEnabled(form.playButton->window) != FALSE;
    for (const PlayState& state : PlayStates) {
        if (state.playing == form.playing && state.showing == form.showing &&
            state.judging == MyGame::judging && state.playEnabled == playEnabled &&
            state.hand == form.board->handCursor) {
            return &state;
        }
    }
    return nullptr;
}

// A hidden window of the test whose WM_APP messages, queued among the storm's, report when
// the loop that takes them has reached them.
class Probe {
public:
    Probe() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"StormProbe";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, L"StormProbe", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        Handler() = nullptr;
    }
    ~Probe() {
        DestroyWindow(window);
        Handler() = nullptr;
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    void Post(WPARAM what) const { PostMessageW(window, WM_APP, what, 0); }
    static std::function<void(WPARAM)>& Handler() {
        static std::function<void(WPARAM)> handler;
        return handler;
    }

private:
    static LRESULT CALLBACK Procedure(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_APP) {
            if (Handler()) {
                Handler()(wParam);
            }
            return 0;
        }
        return DefWindowProcW(w, message, wParam, lParam);
    }

    HWND window = nullptr;
};

BOOL CALLBACK MatchQuestion(HWND window, LPARAM found) {
    if (ClassOf(window) == L"#32770" && TextOf(window) == L"Uscita") {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

// Whether this thread has an exit question, shown yet or not.
bool QuestionOpen() {
    bool found = false;
    EnumThreadWindows(GetCurrentThreadId(), MatchQuestion, reinterpret_cast<LPARAM>(&found));
    return found;
}

class StormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gate.Active());
        form = MakeMainWindow();
        ASSERT_NE(form->window, nullptr);
        // The test gives the ticks, except where it starts the timer itself.
        form->timer->Stop();
        TestSupport::PumpMessages(50);
    }

    void TearDown() override {
        form.reset();
        answerer.reset();
    }

    // Seeds the game's random draws and the storm, and says which seed ran.
    unsigned Seed(unsigned fixed) {
        seed = StormSeed(fixed);
        std::printf("storm seed %u (ONDREL_STORM_SEED=%u replays it)\n", seed, seed);
        std::fflush(stdout);
        SeedGame(seed);
        return seed;
    }

    // The menu choices that open the shell stay out; "&Esci" and "Chiudi" are in, answered No.
    StormRules Rules() { return RulesFromRegistry({form->homeItem->id, form->guideItem->id}); }

    void AnswerNo() { answerer = std::make_unique<RepeatedAnswerer>(IDNO); }

    bool AboutOpen() {
        return form->aboutForm != nullptr && form->aboutForm->window != nullptr &&
               IsWindow(form->aboutForm->window);
    }

    void ClickInfo() { SendMessageW(form->infoButton->window, BM_CLICK, 0, 0); }

    static void DrainQueue() {
        TestSupport::PumpMessages(0);
        TestSupport::PumpMessages(0);
    }

    // The storm from this thread, in batches: each batch aims at the windows that exist when
    // it begins, part of it sent at once and the rest queued and then taken by the pump.
    void RunStorm(MessageStorm& storm, int count, const std::function<void()>& beforeBatch = {}) {
        for (int done = 0; done < count; done += BatchSize) {
            if (beforeBatch) {
                beforeBatch();
            }
            const std::vector<StormTarget> targets = TakeTargets();
            for (int i = 0; i < BatchSize && done + i < count; ++i) {
                storm.Deliver(storm.Next(targets), PercentSent);
            }
            DrainQueue();
        }
        DrainQueue();
        std::printf("storm: %s; input kept from windows that take none: %d; menus closed with "
                    "Escape: %d\n",
                    storm.Summary().c_str(), InputGate::Dropped(), menus.Dismissed());
        if (answerer) {
            std::printf("exit questions answered No: %d\n", answerer->Answered());
        }
        std::fflush(stdout);
    }

    // What the game must look like whatever the storm did.
    void ExpectConsistent() {
        ASSERT_TRUE(IsWindow(form->window)) << "the main window is gone";
        ASSERT_TRUE(IsWindow(form->board->window));
        EXPECT_FALSE(MyGame::judging) << "a one-second wait is still marked as running";
        EXPECT_NE(LitBox(*form->board), -1) << "more than one box lit";
        EXPECT_EQ(form->playButton->enabled, IsWindowEnabled(form->playButton->window) != FALSE);
        const PlayState* state = StateOf(*form);
        ASSERT_NE(state, nullptr) << "no state of play has these flags: " << Flags(*form);
        if (std::string(state->name) == "player's turn") {
            EXPECT_FALSE(form->sequence.empty());
            EXPECT_EQ(Text(form->countCell), "-" + std::to_string(form->sequence.size()));
        }
        if (form->showing) {
            EXPECT_LE(static_cast<int>(form->sequence.size()), form->targetLength);
        }
        const bool aboutOpen = AboutOpen();
        EXPECT_EQ(IsWindowEnabled(form->window) != FALSE, !aboutOpen);
        EXPECT_EQ(form->enabled, !aboutOpen);
        EXPECT_EQ(form->companion,
                  aboutOpen ? static_cast<VelkUtility::Form*>(form->aboutForm) : nullptr);
        EXPECT_EQ(VelkUtility::FindByWindow(form->window), form.get());
        EXPECT_EQ(VelkUtility::FindByWindow(form->board->window), form->board);
        EXPECT_FALSE(QuestionOpen()) << "an exit question was left open";
        std::printf("after the storm: %s, about box %s\n", state->name,
                    aboutOpen ? "open" : "closed");
    }

    // From wherever the storm left the game: close the about box, start or finish the showing,
    // repeat the sequence and see the next level begin with a lit box on the screen.
    void ExpectStillPlays() {
        if (AboutOpen()) {
            SendMessageW(form->aboutForm->window, WM_CLOSE, 0, 0);
        }
        ASSERT_TRUE(IsWindowEnabled(form->window));
        if (!form->playing) {
            ClickPlay(*form);
        }
        ASSERT_TRUE(form->playing) << "GIOCA did not start a game";
        ShowWholeLevel(*form);
        ASSERT_FALSE(form->showing);
        ASSERT_FALSE(form->sequence.empty());
        const int target = form->targetLength;
        const std::vector<int> rest = form->sequence;
        for (int box : rest) {
            Press(*form, box);
        }
        EXPECT_EQ(form->targetLength, target + 1);
        EXPECT_TRUE(form->showing);
        EXPECT_TRUE(form->playing);
        EXPECT_FALSE(MyGame::judging);
        Step(*form);
        ASSERT_EQ(form->sequence.size(), 1u);
        const int lit = form->sequence.back();
        EXPECT_EQ(LitBox(*form->board), lit);
        TestSupport::PumpMessages(50);
        const COLORREF pixel =
            TestSupport::ReadPixel(form->board->window, BoxCentre[lit].x, BoxCentre[lit].y);
        EXPECT_TRUE(TestSupport::ColorNear(pixel, LitColour[lit], 2)) << std::hex << pixel;
    }

    // Everything of the game that the storm could change.
    struct Snapshot {
        bool playing, showing;
        std::vector<int> sequence;
        int targetLength, lit;
        std::string level, count, message;
        bool playEnabled;

        bool operator==(const Snapshot& o) const {
            return playing == o.playing && showing == o.showing && sequence == o.sequence &&
                   targetLength == o.targetLength && lit == o.lit && level == o.level &&
                   count == o.count && message == o.message && playEnabled == o.playEnabled;
        }
    };

    Snapshot Take() {
        return {form->playing,
                form->showing,
                form->sequence,
                form->targetLength,
                LitBox(*form->board),
                Text(form->levelCell),
                Text(form->countCell),
                Text(form->messageCell),
                IsWindowEnabled(form->playButton->window) != FALSE};
    }

    InputGate gate;
    // The edit control's context menu, opened by a right click of the storm, is closed with
    // Escape when the storm does not close it itself.
    MenuDismisser menus;
    HangReporter hang{100000};
    std::unique_ptr<RepeatedAnswerer> answerer;
    std::unique_ptr<FormMain> form;
    unsigned seed = 0;
};

TEST_F(StormTest, IdleGameSurvivesAndStillPlays) {
    MessageStorm storm(Seed(1101), Rules());
    AnswerNo();
    RunStorm(storm, StormSize);
    ExpectConsistent();
    ExpectStillPlays();
}

// Nothing in a showing takes input that changes the game: "GIOCA" is disabled, presses are
// ignored, the ticks are the test's. The showing is exactly where it was.
TEST_F(StormTest, ShowingIsLeftExactlyWhereItWas) {
    MessageStorm storm(Seed(1202), Rules());
    AnswerNo();
    ClickPlay(*form);
    Step(*form);
    Step(*form);
    ASSERT_EQ(form->sequence.size(), 2u);
    const Snapshot before = Take();
    RunStorm(storm, StormSize);
    ExpectConsistent();
    EXPECT_TRUE(Take() == before) << "the storm changed the showing";
    ExpectStillPlays();
}

TEST_F(StormTest, PlayersTurnSurvivesAndStillPlays) {
    MessageStorm storm(Seed(1303), Rules());
    AnswerNo();
    ClickPlay(*form);
    ShowWholeLevel(*form);
    ASSERT_EQ(StateOf(*form), &PlayStates[2]);
    RunStorm(storm, StormSize);
    ExpectConsistent();
    ExpectStillPlays();
}

// The storm reaches the game while the winning press waits its second: queued before the
// press, so that the wait itself takes every message of it, and more from a second thread
// while the wait runs. The wait ignores all of it and the next level follows as usual.
TEST_F(StormTest, OneSecondWaitTakesTheStormAndTheNextLevelFollows) {
    MessageStorm storm(Seed(1404), Rules());
    AnswerNo();
    ClickPlay(*form);
    ShowWholeLevel(*form);
    const std::vector<int> boxes = form->sequence;
    ASSERT_EQ(boxes.size(), 3u);
    Press(*form, boxes[0]);
    Press(*form, boxes[1]);

    Probe probe;
    std::vector<bool> judgingSeen;
    Probe::Handler() = [&](WPARAM) { judgingSeen.push_back(MyGame::judging); };
    const std::vector<StormTarget> targets = TakeTargets();
    for (int i = 0; i < 3000; ++i) {
        storm.Post(storm.Next(targets));
        if (i % 100 == 99) {
            probe.Post(0);
        }
    }
    const StormRules rules = Rules();
    std::thread injector([targets, rules, this] {
        MessageStorm second(seed + 1, rules);
        for (int i = 0; i < 1000; ++i) {
            second.Post(second.Next(targets));
        }
    });
    Press(*form, boxes[2]);
    injector.join();
    const std::vector<bool> seenInTheWait = judgingSeen;
    Probe::Handler() = nullptr;
    DrainQueue();
    std::printf("storm: %s; input kept from windows that take none: %d\n", storm.Summary().c_str(),
                InputGate::Dropped());

    ASSERT_EQ(seenInTheWait.size(), 30u) << "the wait did not take the whole queued storm";
    for (size_t i = 0; i < seenInTheWait.size(); ++i) {
        EXPECT_TRUE(seenInTheWait[i]) << "probe " << i << " ran outside the wait";
    }
    EXPECT_FALSE(MyGame::judging);
    EXPECT_TRUE(form->playing);
    EXPECT_TRUE(form->showing);
    EXPECT_EQ(form->targetLength, 4);
    EXPECT_TRUE(form->sequence.empty());
    EXPECT_EQ(Text(form->messageCell), "");
    EXPECT_EQ(Text(form->countCell), "");
    ExpectConsistent();
    ExpectStillPlays();
}

// With the about box open over a showing, every batch of the storm begins with the box open
// (the storm's own Escape, Enter and OK close it now and then; the test opens it again). The
// main window takes no input meanwhile, so the showing is untouched.
TEST_F(StormTest, AboutBoxOverAShowingLeavesTheShowingUntouched) {
    MessageStorm storm(Seed(1505), Rules());
    AnswerNo();
    ClickPlay(*form);
    Step(*form);
    const Snapshot before = Take();
    int reopened = -1;
    RunStorm(storm, StormSize, [&] {
        if (!AboutOpen()) {
            ClickInfo();
            ++reopened;
        }
        ASSERT_TRUE(AboutOpen());
        ASSERT_FALSE(IsWindowEnabled(form->window));
    });
    std::printf("about box opened again by the test: %d times\n", reopened);
    ExpectConsistent();
    EXPECT_TRUE(Take() == before) << "the storm changed the showing behind the about box";
    ExpectStillPlays();
}

// The storm is queued, then the exit question opens: its own loop takes every message of the
// storm while the question is open, with the 30 ms timer running, and only then is it answered
// No. The windows behind the question take no input; the showing goes on behind it.
TEST_F(StormTest, ExitQuestionTakesTheStormAndNoKeepsTheGameGoing) {
    MessageStorm storm(Seed(1606), Rules());
    form->timer->Start();
    ClickPlay(*form);

    Probe probe;
    std::vector<bool> questionSeen;
    HANDLE drained = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Probe::Handler() = [&](WPARAM what) {
        if (what == 1) {
            SetEvent(drained);
        } else {
            questionSeen.push_back(QuestionOpen());
        }
    };
    const std::vector<StormTarget> targets = TakeTargets();
    for (int i = 0; i < 3000; ++i) {
        storm.Post(storm.Next(targets));
        if (i % 100 == 99) {
            probe.Post(0);
        }
    }
    probe.Post(1);

    std::wstring question;
    std::thread answer([&] {
        HWND box =
            Reliability::Outside::WaitFor(
                [] { return FindDialog(GetCurrentProcessId(), L"Uscita") != nullptr; }, 20000)
                ? FindDialog(GetCurrentProcessId(), L"Uscita")
                : nullptr;
        if (box == nullptr) {
            return;
        }
        WaitForSingleObject(drained, 60000);
        // Long enough for the showing to take a step behind the question.
        Sleep(1500);
        question = MessageBoxText(box);
        PressDialogButton(box, IDNO);
    });
    const int droppedBefore = InputGate::Dropped();
    SendMessageW(form->window, WM_CLOSE, 0, 0);
    answer.join();
    const std::vector<bool> seen = questionSeen;
    Probe::Handler() = nullptr;
    CloseHandle(drained);
    std::printf("storm: %s; input kept from windows that take none: %d\n", storm.Summary().c_str(),
                InputGate::Dropped() - droppedBefore);

    EXPECT_EQ(question, L"Vuoi realmente uscire?");
    ASSERT_EQ(seen.size(), 30u);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_TRUE(seen[i]) << "probe " << i << " ran while no question was open";
    }
    EXPECT_GT(InputGate::Dropped() - droppedBefore, 0) << "no input was kept from the windows";
    ASSERT_TRUE(IsWindow(form->window));
    EXPECT_TRUE(form->timer->running);
    EXPECT_TRUE(form->playing);
    EXPECT_TRUE(!form->showing || !form->sequence.empty()) << "the showing stood still";
    form->timer->Stop();
    DrainQueue();
    ExpectConsistent();
    ExpectStillPlays();
}

// The real 30 ms timer runs through the whole storm, from an idle game: whatever the storm
// starts (a game, the about box, exit questions answered No), the game stays consistent.
TEST_F(StormTest, StormWithTheTimerRunningLeavesAConsistentGame) {
    MessageStorm storm(Seed(1707), Rules());
    AnswerNo();
    form->timer->Start();
    RunStorm(storm, StormSize);
    EXPECT_TRUE(form->timer->running);
    form->timer->Stop();
    DrainQueue();
    ExpectConsistent();
    ExpectStillPlays();
}

} // namespace
