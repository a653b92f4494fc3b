// The rules of play, driven through the main window's own tick and real board presses.
// The 30 ms timer is stopped in most tests so that every tick is one the test gives.

#include "support/TestSupport.h"
#include "support_game.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

using namespace GameTest;
using TestSupport::ColorNear;

namespace {

class GameFlowTest : public ::testing::Test {
public:
    void SetUp() override {
        form = MakeMainWindow();
        ASSERT_NE(form->window, nullptr);
        form->timer->Stop();
        TestSupport::PumpMessages(50);
    }

    // "GIOCA", then the whole showing; returns the boxes shown.
    std::vector<int> StartAndShow() {
        ClickPlay(*form);
        ShowWholeLevel(*form);
        return form->sequence;
    }

    // Repeats the whole sequence correctly (the last press includes the one-second wait).
    void RepeatSequence() {
        const std::vector<int> boxes = form->sequence;
        for (int box : boxes) {
            Press(*form, box);
        }
    }

    // Everything a press could change.
    struct Snapshot {
        bool playing, showing;
        std::vector<int> sequence;
        int targetLength, lit;
        std::string level, count, message;
        bool playEnabled;

        bool operator==(const Snapshot& other) const {
            return playing == other.playing && showing == other.showing &&
                   sequence == other.sequence && targetLength == other.targetLength &&
                   lit == other.lit && level == other.level && count == other.count &&
                   message == other.message && playEnabled == other.playEnabled;
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

    std::unique_ptr<MyGame::FormMain> form;
};

TEST_F(GameFlowTest, IdleBeforeTheFirstGame) {
    EXPECT_FALSE(form->playing);
    EXPECT_FALSE(form->showing);
    EXPECT_FALSE(MyGame::judging);
    EXPECT_TRUE(IsWindowEnabled(form->playButton->window));
    EXPECT_EQ(LitBox(*form->board), 0);
    EXPECT_EQ(form->targetLength, 3);
}

TEST_F(GameFlowTest, PlayStartsTheShowingAndDisablesItself) {
    ClickPlay(*form);
    EXPECT_TRUE(form->playing);
    EXPECT_TRUE(form->showing);
    EXPECT_FALSE(IsWindowEnabled(form->playButton->window));
    EXPECT_FALSE(form->playButton->enabled);
    EXPECT_TRUE(form->sequence.empty());
    EXPECT_EQ(Text(form->levelCell), "Livello: 0");
}

TEST_F(GameFlowTest, PlayCommandAsTheButtonSendsIt) {
    SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(form->playButton->id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(form->playButton->window));
    EXPECT_TRUE(form->playing);
    EXPECT_TRUE(form->showing);
}

TEST_F(GameFlowTest, FirstBoxComesAtTheThirtyFirstTickAfterPlay) {
    // Ticks while idle do not count toward the first step.
    Ticks(*form, 100);
    EXPECT_EQ(MyGame::tickCount, 0);
    ClickPlay(*form);
    Ticks(*form, 30);
    EXPECT_TRUE(form->sequence.empty());
    EXPECT_EQ(LitBox(*form->board), 0);
    form->OnTick();
    ASSERT_EQ(form->sequence.size(), 1u);
    EXPECT_EQ(LitBox(*form->board), form->sequence.back());
    EXPECT_EQ(MyGame::tickCount, 0);
    EXPECT_EQ(MyGame::lastShownBox, form->sequence.back());
}

TEST_F(GameFlowTest, ShowingFollowsTheRandomRuleWithoutRepeats) {
    // A seed whose raw draws repeat a box, so the rule of drawing again is exercised.
    unsigned seed = 0;
    for (unsigned s = 1; s < 1000 && seed == 0; ++s) {
        srand(s);
        int a = rand() % 4 + 1;
        int b = rand() % 4 + 1;
        if (a == b) {
            seed = s;
        }
    }
    ASSERT_NE(seed, 0u);
    const std::vector<int> expected = PredictLevels(seed, {3})[0];
    SeedGame(seed);
    ClickPlay(*form);
    for (size_t i = 0; i < expected.size(); ++i) {
        Step(*form);
        ASSERT_EQ(form->sequence.size(), i + 1);
        EXPECT_EQ(form->sequence[i], expected[i]);
        EXPECT_EQ(LitBox(*form->board), expected[i]) << "step " << i;
        if (i > 0) {
            EXPECT_NE(form->sequence[i], form->sequence[i - 1]);
        }
    }
}

TEST_F(GameFlowTest, BoardShowsTheLitBoxInFullColourAndTheOthersDark) {
    ClickPlay(*form);
    Step(*form);
    const int lit = form->sequence.back();
    TestSupport::PumpMessages(50);
    for (int box = 1; box <= 4; ++box) {
        SCOPED_TRACE(box);
        const COLORREF pixel =
            TestSupport::ReadPixel(form->board->window, BoxCentre[box].x, BoxCentre[box].y);
        EXPECT_TRUE(ColorNear(pixel, box == lit ? LitColour[box] : DarkColour[box], 2))
            << std::hex << pixel;
    }
    // The margins show the board's black background.
    EXPECT_TRUE(ColorNear(TestSupport::ReadPixel(form->board->window, 200, 175), 0, 0));
}

TEST_F(GameFlowTest, EndOfShowingHandsOverToThePlayer) {
    const std::vector<int> boxes = StartAndShow();
    EXPECT_EQ(boxes.size(), 3u);
    EXPECT_FALSE(form->showing);
    EXPECT_TRUE(form->playing);
    EXPECT_EQ(LitBox(*form->board), 0);
    EXPECT_EQ(MyGame::lastShownBox, -1);
    EXPECT_EQ(Text(form->messageCell), "Ora tocca a te. Ripeti la sequenza");
    EXPECT_EQ(Text(form->countCell), "-3");
    EXPECT_EQ(Text(form->levelCell), "Livello: 0");
    EXPECT_TRUE(form->board->handCursor);
    EXPECT_FALSE(IsWindowEnabled(form->playButton->window));

    TestSupport::PumpMessages(50);
    for (int box = 1; box <= 4; ++box) {
        const COLORREF pixel =
            TestSupport::ReadPixel(form->board->window, BoxCentre[box].x, BoxCentre[box].y);
        EXPECT_TRUE(ColorNear(pixel, DarkColour[box], 2)) << box << " " << std::hex << pixel;
    }

    // Ticks in the player's turn change nothing.
    const Snapshot before = Take();
    Ticks(*form, 200);
    EXPECT_TRUE(Take() == before);
}

// With the boxes 2, 4, 1 the counts run -2, -1, 0, then the praise,
// and one second later the next level starts with empty texts.
TEST_F(GameFlowTest, CorrectPressesCountDownAndWinTheLevel) {
    const unsigned seed = SeedFor({2, 4, 1});
    ASSERT_NE(seed, 0u);
    SeedGame(seed);
    ASSERT_EQ(StartAndShow(), (std::vector<int>{2, 4, 1}));

    Press(*form, 2);
    EXPECT_EQ(Text(form->countCell), "-2");
    EXPECT_EQ(LitBox(*form->board), 2);
    Press(*form, 4);
    EXPECT_EQ(Text(form->countCell), "-1");
    EXPECT_EQ(LitBox(*form->board), 4);

    // The winning press returns when its one-second wait is over.
    Press(*form, 1);
    EXPECT_FALSE(MyGame::judging);
    EXPECT_EQ(Text(form->countCell), "");
    EXPECT_EQ(Text(form->messageCell), "");
    EXPECT_EQ(LitBox(*form->board), 0);
    EXPECT_TRUE(form->showing);
    EXPECT_TRUE(form->sequence.empty());
    EXPECT_EQ(form->targetLength, 4);
    EXPECT_FALSE(form->board->handCursor);
    // The level line changes only at the first step of the new showing.
    EXPECT_EQ(Text(form->levelCell), "Livello: 0");
    Step(*form);
    EXPECT_EQ(Text(form->levelCell), "Livello: 1");
    ShowWholeLevel(*form);
    EXPECT_EQ(form->sequence.size(), 4u);
    EXPECT_EQ(Text(form->countCell), "-4");
}

// What a message handled inside the one-second wait finds.
struct SeenDuringWait {
    std::string count, message;
    bool judging = false;
    int lit = 0;
};
SeenDuringWait seenDuringWait;
MyGame::FormMain* observedForm = nullptr;

void CALLBACK ProbeDuringWait(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    seenDuringWait = {Text(observedForm->countCell), Text(observedForm->messageCell),
                      MyGame::judging, LitBox(*observedForm->board)};
}

// The praise is what the player sees during the one-second wait, which runs inside the
// winning press and keeps dispatching messages.
TEST_F(GameFlowTest, PraiseShowsDuringTheWait) {
    StartAndShow();
    const std::vector<int> boxes = form->sequence;
    Press(*form, boxes[0]);
    Press(*form, boxes[1]);

    observedForm = form.get();
    ASSERT_NE(SetTimer(nullptr, 0, 200, ProbeDuringWait), 0u);
    Press(*form, boxes[2]);
    EXPECT_TRUE(seenDuringWait.judging);
    EXPECT_EQ(seenDuringWait.count, "0");
    EXPECT_EQ(seenDuringWait.message, "Bravo. Hai indovinato.");
    EXPECT_EQ(seenDuringWait.lit, boxes[2]);
    EXPECT_EQ(Text(form->messageCell), "");
}

TEST_F(GameFlowTest, EachWonLevelShowsOneBoxMore) {
    unsigned seed = 4242;
    const std::vector<std::vector<int>> expected = PredictLevels(seed, {3, 4, 5});
    SeedGame(seed);
    ClickPlay(*form);
    for (int level = 0; level < 3; ++level) {
        SCOPED_TRACE(level);
        ShowWholeLevel(*form);
        EXPECT_EQ(form->sequence, expected[static_cast<size_t>(level)]);
        EXPECT_EQ(Text(form->levelCell), "Livello: " + std::to_string(level));
        EXPECT_EQ(Text(form->countCell), "-" + std::to_string(3 + level));
        RepeatSequence();
    }
    EXPECT_EQ(form->targetLength, 6);
}

TEST_F(GameFlowTest, WrongPressEndsTheGame) {
    const unsigned seed = SeedFor({2, 4, 1});
    ASSERT_NE(seed, 0u);
    SeedGame(seed);
    StartAndShow();
    Press(*form, 3);
    EXPECT_EQ(Text(form->messageCell), "Peccato. Hai sbagliato.");
    EXPECT_EQ(Text(form->countCell), "-3");
    EXPECT_EQ(Text(form->levelCell), "Livello: 0");
    EXPECT_FALSE(form->playing);
    EXPECT_TRUE(IsWindowEnabled(form->playButton->window));
    EXPECT_FALSE(form->board->handCursor);
    EXPECT_EQ(form->sequence, (std::vector<int>{2, 4, 1}));
    // Idle again: ticks hold the step counter at zero.
    Ticks(*form, 5);
    EXPECT_EQ(MyGame::tickCount, 0);
}

TEST_F(GameFlowTest, WrongPressLeavesTheLastCorrectBoxLit) {
    StartAndShow();
    const std::vector<int> boxes = form->sequence;
    Press(*form, boxes[0]);
    const int wrong = boxes[1] % 4 + 1;
    Press(*form, wrong);
    EXPECT_EQ(Text(form->messageCell), "Peccato. Hai sbagliato.");
    EXPECT_EQ(Text(form->countCell), "-2");
    EXPECT_EQ(LitBox(*form->board), boxes[0]);
    EXPECT_EQ(form->sequence, (std::vector<int>{boxes[1], boxes[2]}));
    TestSupport::PumpMessages(50);
    const COLORREF pixel =
        TestSupport::ReadPixel(form->board->window, BoxCentre[boxes[0]].x, BoxCentre[boxes[0]].y);
    EXPECT_TRUE(ColorNear(pixel, LitColour[boxes[0]], 2)) << std::hex << pixel;
}

TEST_F(GameFlowTest, PlayAfterAWrongPressStartsAgainAtLevelZero) {
    StartAndShow();
    RepeatSequence(); // level 0 won
    ShowWholeLevel(*form);
    ASSERT_EQ(Text(form->levelCell), "Livello: 1");
    Press(*form, form->sequence.front() % 4 + 1);
    ASSERT_FALSE(form->playing);

    ClickPlay(*form);
    EXPECT_EQ(Text(form->levelCell), "Livello: 0");
    EXPECT_EQ(Text(form->countCell), "");
    EXPECT_EQ(Text(form->messageCell), "");
    EXPECT_EQ(LitBox(*form->board), 0);
    EXPECT_EQ(form->targetLength, 3);
    EXPECT_TRUE(form->sequence.empty());
    ShowWholeLevel(*form);
    EXPECT_EQ(form->sequence.size(), 3u);
}

TEST_F(GameFlowTest, PressOutsideTheBoxesChangesNothing) {
    StartAndShow();
    const Snapshot before = Take();
    for (LPARAM point : {MAKELPARAM(200, 175), MAKELPARAM(5, 5), MAKELPARAM(196, 100)}) {
        SendMessageW(form->board->window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    }
    EXPECT_TRUE(Take() == before);
    Press(*form, form->sequence.front());
    EXPECT_EQ(Text(form->countCell), "-2");
}

// Presses in the states that ignore them: idle before a game, during the showing and after
// a wrong press.
TEST_F(GameFlowTest, PressesAreIgnoredOutsideThePlayersTurn) {
    struct Case {
        const char* state;
        void (*enter)(GameFlowTest&);
    };
    const Case cases[] = {
        {"idle", [](GameFlowTest&) {}},
        {"showing, before the first box", [](GameFlowTest& t) { ClickPlay(*t.form); }},
        {"showing, a box lit",
         [](GameFlowTest& t) {
             Step(*t.form);
             Step(*t.form);
         }},
        {"after a wrong press",
         [](GameFlowTest& t) {
             ShowWholeLevel(*t.form);
             Press(*t.form, t.form->sequence.front() % 4 + 1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        c.enter(*this);
        const Snapshot before = Take();
        for (int box = 1; box <= 4; ++box) {
            Press(*form, box);
        }
        EXPECT_TRUE(Take() == before);
    }
}

// Presses queued before the winning press are handled inside its one-second wait and must
// not count for anything, not even for the level that follows.
TEST_F(GameFlowTest, PressesDuringTheWaitAreIgnored) {
    const unsigned seed = SeedFor({2, 4, 1});
    ASSERT_NE(seed, 0u);
    SeedGame(seed);
    StartAndShow();
    Press(*form, 2);
    Press(*form, 4);
    for (int box = 1; box <= 4; ++box) {
        PostPress(*form, box);
    }
    Press(*form, 1);
    // Nothing is left in the queue that the wait did not take.
    MSG pending{};
    EXPECT_FALSE(
        PeekMessageW(&pending, form->board->window, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE));
    EXPECT_EQ(Text(form->messageCell), "");
    EXPECT_EQ(Text(form->countCell), "");
    EXPECT_TRUE(form->playing);
    EXPECT_TRUE(form->showing);
    EXPECT_TRUE(form->sequence.empty());
    EXPECT_EQ(form->targetLength, 4);
}

// Other messages keep flowing while the winning press waits: ticks arrive but step nothing,
// because the showing has not started yet.
TEST_F(GameFlowTest, TicksDuringTheWaitStepNothing) {
    StartAndShow();
    form->timer->Start();
    const std::vector<int> boxes = form->sequence;
    Press(*form, boxes[0]);
    Press(*form, boxes[1]);
    MyGame::tickCount = 0;
    Press(*form, boxes[2]);
    form->timer->Stop();
    EXPECT_EQ(MyGame::tickCount, 0);
    EXPECT_TRUE(form->sequence.empty());
}

// "GIOCA" is disabled while a game runs, but another program can still send its command, as
// the button would (BN_CLICKED with the button's window), directly or through the queue.
TEST_F(GameFlowTest, CommandOfTheDisabledPlayButtonChangesNothing) {
    const unsigned seed = SeedFor({2, 4, 1});
    ASSERT_NE(seed, 0u);
    SeedGame(seed);
    const WPARAM command = MAKEWPARAM(form->playButton->id, BN_CLICKED);
    const LPARAM button = reinterpret_cast<LPARAM>(form->playButton->window);
    auto expectNoRestart = [&](const char* when) {
        SCOPED_TRACE(when);
        const Snapshot before = Take();
        const int ticks = MyGame::tickCount;
        SendMessageW(form->window, WM_COMMAND, command, button);
        PostMessageW(form->window, WM_COMMAND, command, button);
        TestSupport::PumpMessages(50);
        EXPECT_TRUE(Take() == before);
        EXPECT_EQ(MyGame::tickCount, ticks);
    };

    ClickPlay(*form);
    Ticks(*form, 10);
    expectNoRestart("before the first box");
    Step(*form);
    Step(*form);
    ASSERT_EQ(form->sequence, (std::vector<int>{2, 4}));
    expectNoRestart("in the middle of the showing");
    ShowWholeLevel(*form);
    ASSERT_FALSE(form->showing);
    expectNoRestart("at the start of the player's turn");
    Press(*form, 2);
    expectNoRestart("after a correct press");

    // Enabled again after a wrong press, the same command starts a new game.
    Press(*form, 3);
    ASSERT_FALSE(form->playing);
    SendMessageW(form->window, WM_COMMAND, command, button);
    EXPECT_TRUE(form->playing);
    EXPECT_TRUE(form->showing);
    EXPECT_EQ(form->targetLength, 3);
}

// The one timing test: the real 30 ms timer, with the message loop pumped, shows a whole
// level by itself. Bounds are generous (a step is 31 ticks, about a second).
TEST_F(GameFlowTest, TimerDrivesTheShowingByItself) {
    form->timer->Start();
    const ULONGLONG start = GetTickCount64();
    ClickPlay(*form);
    const bool done =
        TestSupport::PumpUntil([&] { return !form->showing && form->sequence.size() == 3; }, 20000);
    const ULONGLONG elapsed = GetTickCount64() - start;
    ASSERT_TRUE(done) << "showing not over after " << elapsed << " ms";
    EXPECT_GE(elapsed, 3000u);
    EXPECT_EQ(Text(form->countCell), "-3");
}

} // namespace
