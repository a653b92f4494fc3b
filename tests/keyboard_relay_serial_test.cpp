// The game played with the keyboard: 1 to 4 (main keyboard and numeric keypad) press the boxes
// and F2 presses "GIOCA", whichever element of the main window has the focus. The keys arrive
// as the system delivers them: WM_KEYDOWN and WM_KEYUP posted to the focused window and
// translated by the message loop, or real key strokes through the input queue. Click sounds and
// error beeps are read from Wine's relay trace where it is on.

#include "support/TestSupport.h"
#include "support_game.h"
#include "support_game_input.h"

#include "framework/about/FormAbout.h"
#include "framework/controls/Image.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using namespace GameTest;
using TestSupport::DialogAnswerer;

namespace {

// The elements of the main window that can hold the focus.
enum class Target { Form, Logo, Board, LevelCell, CountCell, MessageCell, Info, Close, Play };

const char* NameOf(Target target) {
    switch (target) {
    case Target::Form:
        return "form";
    case Target::Logo:
        return "logo";
    case Target::Board:
        return "board";
    case Target::LevelCell:
        return "level cell";
    case Target::CountCell:
        return "count cell";
    case Target::MessageCell:
        return "message cell";
    case Target::Info:
        return "Info";
    case Target::Close:
        return "Chiudi";
    case Target::Play:
        return "GIOCA";
    }
    return "?";
}

// Every target but "GIOCA", which is disabled while a game runs.
const Target inGameTargets[] = {Target::Form,      Target::Logo,      Target::Board,
                                Target::LevelCell, Target::CountCell, Target::MessageCell,
                                Target::Info,      Target::Close};
const Target allTargets[] = {Target::Form,      Target::Logo,      Target::Board,
                             Target::LevelCell, Target::CountCell, Target::MessageCell,
                             Target::Info,      Target::Close,     Target::Play};

WORD DigitKey(int box) {
    return static_cast<WORD>('0' + box);
}

WORD KeypadKey(int box) {
    return static_cast<WORD>(VK_NUMPAD1 + box - 1);
}

// The eight keys that press boxes.
const WORD boxKeys[] = {'1', '2', '3', '4', VK_NUMPAD1, VK_NUMPAD2, VK_NUMPAD3, VK_NUMPAD4};

// lParam of a key message as the system builds it: one stroke, the key's scan code, bit 30 the
// key's previous state (set for auto-repeat and for every key-up), bit 31 set for key-up.
LPARAM KeyData(WORD key, bool wasDown, bool up) {
    DWORD data = 1 | (MapVirtualKeyW(key, MAPVK_VK_TO_VSC) & 0xFF) << 16;
    if (wasDown) {
        data |= 1u << 30;
    }
    if (up) {
        data |= 1u << 31;
    }
    return static_cast<LPARAM>(data);
}

// A seed whose first showing starts with the box; 0 when none is found.
unsigned SeedStartingWith(int box, int second = 0) {
    for (unsigned seed = 1; seed < 100000; ++seed) {
        const std::vector<int> level = PredictLevels(seed, {3})[0];
        if (level[0] == box && (second == 0 || level[1] == second)) {
            return seed;
        }
    }
    return 0;
}

int CountClicks(const std::string& log) {
    int clicks = 0;
    for (const std::string& call : TestSupport::RelayCalls(log, "winmm.PlaySoundW")) {
        // The click is the WAVE resource 1008.
        if (call.find("PlaySoundW(000003f0,") != std::string::npos) {
            ++clicks;
        }
    }
    return clicks;
}

class KeyboardTest : public ::testing::Test {
public:
    void SetUp() override {
        form = MakeMainWindow();
        ASSERT_NE(form->window, nullptr);
        form->timer->Stop();
        ASSERT_TRUE(MakeForeground(form->window));
        TestSupport::PumpMessages(50);
    }

    HWND WindowOf(Target target) const {
        switch (target) {
        case Target::Form:
            return form->window;
        case Target::Logo:
            return form->logo->window;
        case Target::Board:
            return form->board->window;
        case Target::LevelCell:
            return form->levelCell->window;
        case Target::CountCell:
            return form->countCell->window;
        case Target::MessageCell:
            return form->messageCell->window;
        case Target::Info:
            return form->infoButton->window;
        case Target::Close:
            return form->closeButton->window;
        case Target::Play:
            return form->playButton->window;
        }
        return nullptr;
    }

    bool FocusOn(Target target) {
        HWND window = WindowOf(target);
        SetFocus(window);
        TestSupport::PumpMessages(10);
        return GetFocus() == window;
    }

    // A key stroke as the keyboard delivers it to the focused window: WM_KEYDOWN (the message
    // loop makes WM_CHAR of it) and WM_KEYUP, handled before this returns.
    void Stroke(WORD key) {
        KeyDown(key);
        KeyUp(key);
        TestSupport::PumpMessages(20);
    }
    void KeyDown(WORD key, bool repeat = false) {
        PostMessageW(GetFocus(), WM_KEYDOWN, key, KeyData(key, repeat, false));
        TestSupport::PumpMessages(10);
    }
    void KeyUp(WORD key) {
        PostMessageW(GetFocus(), WM_KEYUP, key, KeyData(key, true, true));
        TestSupport::PumpMessages(10);
    }

    // "GIOCA" and the whole showing: the player's turn.
    std::vector<int> StartTurn(unsigned seed) {
        EXPECT_NE(seed, 0u);
        SeedGame(seed);
        ClickPlay(*form);
        ShowWholeLevel(*form);
        EXPECT_FALSE(form->showing);
        return form->sequence;
    }

    // Ends a running game with a wrong press of the mouse.
    void Lose() {
        if (form->playing && !form->showing && !form->sequence.empty()) {
            Press(*form, form->sequence.front() % 4 + 1);
        }
        ASSERT_FALSE(form->playing);
    }

    int Clicks() const { return CountClicks(TestSupport::ReadRelayLog()); }
    int Beeps() const {
        return TestSupport::CountRelayCalls(TestSupport::ReadRelayLog(), "user32.MessageBeep");
    }

    // Everything a press could change.
    struct Snapshot {
        bool playing, showing;
        std::vector<int> sequence;
        int targetLength, lit;
        std::string level, count, message;
        bool playEnabled, aboutOpen;
        int clicks, beeps;

        bool operator==(const Snapshot& other) const {
            return playing == other.playing && showing == other.showing &&
                   sequence == other.sequence && targetLength == other.targetLength &&
                   lit == other.lit && level == other.level && count == other.count &&
                   message == other.message && playEnabled == other.playEnabled &&
                   aboutOpen == other.aboutOpen && clicks == other.clicks && beeps == other.beeps;
        }
    };

    Snapshot Take() const {
        return {form->playing,
                form->showing,
                form->sequence,
                form->targetLength,
                LitBox(*form->board),
                Text(form->levelCell),
                Text(form->countCell),
                Text(form->messageCell),
                IsWindowEnabled(form->playButton->window) != FALSE,
                form->aboutForm != nullptr,
                Clicks(),
                Beeps()};
    }

    std::unique_ptr<MyGame::FormMain> form;
};

// A right key and then a wrong one, from each element that can have the focus during a game,
// with the main keyboard and the numeric keypad: each goes the way a click on its box goes.
TEST_F(KeyboardTest, DigitKeysPressTheBoxesWhereverTheFocusIs) {
    int box = 1;
    for (Target target : inGameTargets) {
        for (bool keypad : {false, true}) {
            SCOPED_TRACE(std::string(NameOf(target)) + (keypad ? ", keypad" : ", main keyboard"));
            box = box % 4 + 1;
            const std::vector<int> boxes = StartTurn(SeedStartingWith(box));
            ASSERT_EQ(boxes.size(), 3u);
            ASSERT_EQ(boxes[0], box);
            ASSERT_TRUE(FocusOn(target));
            const int clicks = Clicks();
            const int beeps = Beeps();

            Stroke(keypad ? KeypadKey(box) : DigitKey(box));
            EXPECT_EQ(Text(form->countCell), "-2");
            EXPECT_EQ(LitBox(*form->board), box);
            EXPECT_EQ(form->sequence, std::vector<int>(boxes.begin() + 1, boxes.end()));
            EXPECT_TRUE(form->playing);
            EXPECT_EQ(GetFocus(), WindowOf(target)) << "the key moved the focus";
            EXPECT_EQ(form->aboutForm, nullptr) << "a digit clicked \"Info\"";
            EXPECT_TRUE(IsWindow(form->window));
            if (TestSupport::RelayLogAvailable()) {
                EXPECT_EQ(Clicks(), clicks + 1) << "one click for the right key";
                EXPECT_EQ(Beeps(), beeps);
            }

            const int wrong = boxes[1] % 4 + 1;
            Stroke(keypad ? KeypadKey(wrong) : DigitKey(wrong));
            EXPECT_EQ(Text(form->messageCell), "Peccato. Hai sbagliato.");
            EXPECT_EQ(Text(form->countCell), "-2");
            EXPECT_FALSE(form->playing);
            EXPECT_TRUE(IsWindowEnabled(form->playButton->window));
            EXPECT_FALSE(form->board->handCursor);
            if (TestSupport::RelayLogAvailable()) {
                EXPECT_EQ(Clicks(), clicks + 1) << "a wrong key clicks nothing";
                EXPECT_EQ(Beeps(), beeps + 1) << "one error beep";
            }
        }
    }
}

// The same game played twice from the same seed, once with clicks and once with keys: every
// press leaves the same state behind, the winning one after the same one-second wait.
TEST_F(KeyboardTest, KeysPlayExactlyAsClicks) {
    const unsigned seed = SeedStartingWith(1);
    ASSERT_NE(seed, 0u);
    struct Record {
        Snapshot state;
        ULONGLONG ms;
    };
    auto play = [&](const std::function<void(int)>& press) {
        std::vector<Record> records;
        const int clicksBefore = Clicks();
        const int beepsBefore = Beeps();
        SeedGame(seed);
        ClickPlay(*form);
        for (int level = 0; level < 2; ++level) {
            ShowWholeLevel(*form);
            const std::vector<int> boxes = form->sequence;
            for (size_t i = 0; i < boxes.size(); ++i) {
                // The second level ends with a wrong press on its last box.
                const bool lose = level == 1 && i + 1 == boxes.size();
                const ULONGLONG start = GetTickCount64();
                press(lose ? boxes[i] % 4 + 1 : boxes[i]);
                Snapshot state = Take();
                state.clicks -= clicksBefore;
                state.beeps -= beepsBefore;
                records.push_back({state, GetTickCount64() - start});
            }
        }
        return records;
    };
    const std::vector<Record> clicked = play([&](int box) { Press(*form, box); });
    ASSERT_FALSE(form->playing);
    ASSERT_TRUE(FocusOn(Target::Board));
    const std::vector<Record> typed = play([&](int box) { Stroke(DigitKey(box)); });

    ASSERT_EQ(clicked.size(), 7u) << "3 presses, then 4";
    ASSERT_EQ(typed.size(), clicked.size());
    for (size_t i = 0; i < clicked.size(); ++i) {
        SCOPED_TRACE("press " + std::to_string(i + 1));
        EXPECT_TRUE(typed[i].state == clicked[i].state)
            << "count " << Text(form->countCell) << ", key: " << typed[i].state.count << " "
            << typed[i].state.message << ", click: " << clicked[i].state.count << " "
            << clicked[i].state.message;
    }
    // The third press wins the first level: the praise stays one second.
    EXPECT_GE(clicked[2].ms, 950u);
    EXPECT_GE(typed[2].ms, 950u);
    EXPECT_TRUE(typed[2].state.showing) << "the next level follows the wait";
    EXPECT_EQ(typed[2].state.targetLength, 4);
    EXPECT_EQ(typed.back().state.message, "Peccato. Hai sbagliato.");
}

// Before the first game, during a showing, during the one-second wait after a won level and
// after a wrong press, no key that presses a box changes anything, wherever the focus is; in
// particular no digit clicks a focused button.
TEST_F(KeyboardTest, DigitKeysOutsideThePlayersTurnChangeNothing) {
    auto tryAllKeys = [&](const char* state, const std::vector<Target>& targets) {
        for (Target target : targets) {
            SCOPED_TRACE(std::string(state) + ", focus on " + NameOf(target));
            ASSERT_TRUE(FocusOn(target));
            const Snapshot before = Take();
            for (WORD key : boxKeys) {
                Stroke(key);
            }
            EXPECT_TRUE(Take() == before)
                << "count " << Text(form->countCell) << ", message " << Text(form->messageCell);
        }
    };
    const std::vector<Target> idle(std::begin(allTargets), std::end(allTargets));
    const std::vector<Target> running(std::begin(inGameTargets), std::end(inGameTargets));

    tryAllKeys("before the first game", idle);

    ClickPlay(*form);
    Step(*form);
    ASSERT_TRUE(form->showing);
    tryAllKeys("showing", running);

    ShowWholeLevel(*form);
    Lose();
    tryAllKeys("after a wrong press", idle);

    // The winning key's one-second wait handles the keys queued behind it.
    for (Target target : running) {
        SCOPED_TRACE(std::string("one-second wait, focus on ") + NameOf(target));
        const std::vector<int> boxes = StartTurn(SeedStartingWith(2));
        Press(*form, boxes[0]);
        Press(*form, boxes[1]);
        ASSERT_TRUE(FocusOn(target));
        const int clicks = Clicks();
        const WORD winning = DigitKey(boxes[2]);
        PostMessageW(GetFocus(), WM_KEYDOWN, winning, KeyData(winning, false, false));
        PostMessageW(GetFocus(), WM_KEYUP, winning, KeyData(winning, true, true));
        for (WORD key : boxKeys) {
            PostMessageW(GetFocus(), WM_KEYDOWN, key, KeyData(key, false, false));
            PostMessageW(GetFocus(), WM_KEYUP, key, KeyData(key, true, true));
        }
        const ULONGLONG start = GetTickCount64();
        TestSupport::PumpMessages(20);
        EXPECT_GE(GetTickCount64() - start, 950u) << "no one-second wait";
        EXPECT_TRUE(form->showing);
        EXPECT_EQ(form->targetLength, 4);
        EXPECT_TRUE(form->sequence.empty());
        EXPECT_EQ(Text(form->countCell), "");
        EXPECT_EQ(Text(form->messageCell), "");
        if (TestSupport::RelayLogAvailable()) {
            EXPECT_EQ(Clicks(), clicks + 1) << "only the winning key clicks";
        }
        ShowWholeLevel(*form);
        Lose();
    }
}

// A held key repeats its WM_KEYDOWN with bit 30 set; it counts once, on the main keyboard and
// on the keypad alike.
TEST_F(KeyboardTest, AHeldKeyCountsOnce) {
    for (bool keypad : {false, true}) {
        SCOPED_TRACE(keypad ? "keypad" : "main keyboard");
        const std::vector<int> boxes = StartTurn(SeedStartingWith(3));
        ASSERT_TRUE(FocusOn(Target::Board));
        const int clicks = Clicks();
        const WORD first = keypad ? KeypadKey(boxes[0]) : DigitKey(boxes[0]);
        KeyDown(first);
        for (int i = 0; i < 5; ++i) {
            KeyDown(first, true);
        }
        KeyUp(first);
        EXPECT_TRUE(form->playing) << "a repeat was judged as a second press";
        EXPECT_EQ(Text(form->countCell), "-2");
        if (TestSupport::RelayLogAvailable()) {
            EXPECT_EQ(Clicks(), clicks + 1);
        }

        // Pressed again after its release, the key counts again: here it is wrong.
        Stroke(first);
        EXPECT_FALSE(form->playing);
        EXPECT_EQ(Text(form->messageCell), "Peccato. Hai sbagliato.");
    }
}

// A key released while the focus was in another window counts again at its next press; a key
// already down when the focus comes to this window (pressed in the about box, say) repeats
// here with bit 30 set and presses nothing until it is released and pressed again.
TEST_F(KeyboardTest, KeysHeldOrReleasedElsewhereAreTakenAsTheSystemSawThem) {
    const unsigned seed = SeedFor({1, 2, 1});
    ASSERT_NE(seed, 0u);
    StartTurn(seed);
    ASSERT_TRUE(FocusOn(Target::Board));
    KeyDown(DigitKey(1));
    ASSERT_EQ(Text(form->countCell), "-2");
    {
        // The key goes up in another window.
        TestSupport::ScratchWindow other;
        SetFocus(other);
        TestSupport::PumpMessages(20);
        ASSERT_EQ(GetFocus(), other.Handle());
        KeyUp(DigitKey(1));
    }
    ASSERT_TRUE(MakeForeground(form->window));
    ASSERT_TRUE(FocusOn(Target::Board));
    Stroke(DigitKey(2));
    ASSERT_EQ(Text(form->countCell), "-1");
    // The winning press returns after its one-second wait, with the next level under way.
    Stroke(DigitKey(1));
    EXPECT_TRUE(form->showing) << "the key released elsewhere did not count again";
    EXPECT_EQ(form->targetLength, 4);

    ShowWholeLevel(*form);
    const std::vector<int> boxes = form->sequence;
    ASSERT_TRUE(FocusOn(Target::Form));
    const WORD first = DigitKey(boxes[0]);
    BYTE keys[256] = {};
    ASSERT_TRUE(GetKeyboardState(keys));
    keys[first] |= 0x80;
    ASSERT_TRUE(SetKeyboardState(keys));
    // The focus arrives while the key is down.
    ASSERT_TRUE(FocusOn(Target::Close));
    KeyDown(first, true);
    KeyDown(first, true);
    EXPECT_EQ(Text(form->countCell), "-4") << "a key held before the focus came pressed a box";
    keys[first] &= 0x7F;
    ASSERT_TRUE(SetKeyboardState(keys));
    KeyUp(first);
    KeyDown(first);
    EXPECT_EQ(Text(form->countCell), "-3");
    KeyUp(first);
}

// F2 presses "GIOCA" whenever it is enabled, wherever the focus is, "GIOCA" itself included;
// the focus stays in the window, so the next keys still play.
TEST_F(KeyboardTest, F2StartsAGameWhenGiocaIsEnabled) {
    for (Target target : allTargets) {
        SCOPED_TRACE(std::string("focus on ") + NameOf(target));
        const std::vector<int> boxes = StartTurn(SeedStartingWith(4));
        Press(*form, boxes[0]);
        Lose();
        ASSERT_EQ(Text(form->levelCell), "Livello: 0");
        ASSERT_TRUE(FocusOn(target));

        const unsigned seed = SeedStartingWith(2);
        SeedGame(seed);
        Stroke(VK_F2);
        EXPECT_TRUE(form->playing);
        EXPECT_TRUE(form->showing);
        EXPECT_TRUE(form->sequence.empty());
        EXPECT_EQ(form->targetLength, 3);
        EXPECT_FALSE(IsWindowEnabled(form->playButton->window));
        EXPECT_EQ(Text(form->levelCell), "Livello: 0");
        EXPECT_EQ(Text(form->countCell), "");
        EXPECT_EQ(Text(form->messageCell), "");
        EXPECT_EQ(LitBox(*form->board), 0);
        HWND focus = GetFocus();
        ASSERT_TRUE(focus == form->window || IsChild(form->window, focus))
            << "the focus left the window";
        if (target != Target::Play) {
            EXPECT_EQ(focus, WindowOf(target));
        }

        ShowWholeLevel(*form);
        ASSERT_EQ(form->sequence[0], 2);
        PostMessageW(focus, WM_KEYDOWN, '2', KeyData('2', false, false));
        PostMessageW(focus, WM_KEYUP, '2', KeyData('2', true, true));
        TestSupport::PumpMessages(20);
        EXPECT_EQ(Text(form->countCell), "-2") << "the keys do not play after F2";
        Lose();
    }
}

TEST_F(KeyboardTest, F2StartsTheFirstGame) {
    ASSERT_TRUE(FocusOn(Target::Form));
    Stroke(VK_F2);
    EXPECT_TRUE(form->playing);
    EXPECT_TRUE(form->showing);
    EXPECT_FALSE(IsWindowEnabled(form->playButton->window));
    Ticks(*form, TicksPerStep);
    EXPECT_EQ(form->sequence.size(), 1u) << "the first box comes one step after F2";
}

// While a game runs "GIOCA" is disabled and F2 does nothing: during the showing, the player's
// turn and the one-second wait.
TEST_F(KeyboardTest, F2DoesNothingWhileAGameRuns) {
    ClickPlay(*form);
    Step(*form);
    Step(*form);
    for (Target target : inGameTargets) {
        SCOPED_TRACE(std::string("showing, focus on ") + NameOf(target));
        ASSERT_TRUE(FocusOn(target));
        const Snapshot before = Take();
        Stroke(VK_F2);
        EXPECT_TRUE(Take() == before);
    }
    ShowWholeLevel(*form);
    const std::vector<int> boxes = form->sequence;
    for (Target target : inGameTargets) {
        SCOPED_TRACE(std::string("turn, focus on ") + NameOf(target));
        ASSERT_TRUE(FocusOn(target));
        const Snapshot before = Take();
        Stroke(VK_F2);
        EXPECT_TRUE(Take() == before);
    }
    Press(*form, boxes[0]);
    Press(*form, boxes[1]);
    ASSERT_TRUE(FocusOn(Target::Board));
    const WORD winning = DigitKey(boxes[2]);
    PostMessageW(GetFocus(), WM_KEYDOWN, winning, KeyData(winning, false, false));
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_F2, KeyData(VK_F2, false, false));
    TestSupport::PumpMessages(20);
    EXPECT_TRUE(form->showing);
    EXPECT_EQ(form->targetLength, 4) << "F2 in the wait started the game again";
}

// While the about box is open the main window is disabled: keys posted to its elements do
// nothing, and real keys go to the about box. Once it is closed the keys play again.
TEST_F(KeyboardTest, KeysDoNothingWhileTheAboutBoxIsOpen) {
    const std::vector<int> boxes = StartTurn(SeedStartingWith(1, 3));
    SendMessageW(form->infoButton->window, BM_CLICK, 0, 0);
    ASSERT_NE(form->aboutForm, nullptr);
    HWND about = form->aboutForm->window;
    ASSERT_FALSE(IsWindowEnabled(form->window));
    const Snapshot before = Take();
    for (Target target : inGameTargets) {
        SCOPED_TRACE(NameOf(target));
        for (WORD key : {DigitKey(1), KeypadKey(1), WORD(VK_F2)}) {
            PostMessageW(WindowOf(target), WM_KEYDOWN, key, KeyData(key, false, false));
            PostMessageW(WindowOf(target), WM_KEYUP, key, KeyData(key, true, true));
        }
        TestSupport::PumpMessages(20);
        EXPECT_TRUE(Take() == before);
    }

    ASSERT_TRUE(MakeForeground(about));
    RealChord({DigitKey(1)});
    RealChord({VK_F2});
    TestSupport::PumpMessages(200);
    EXPECT_TRUE(Take() == before);
    EXPECT_TRUE(IsWindow(about));

    RealChord({VK_ESCAPE});
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return !IsWindow(about); }, 3000));
    ASSERT_TRUE(
        TestSupport::PumpUntil([&] { return GetForegroundWindow() == form->window; }, 3000));
    RealChord({DigitKey(boxes[0])});
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return Text(form->countCell) == "-2"; }, 3000))
        << "the keys do not play after the about box";
}

// The exit question disables the main window too; a key that reaches it meanwhile does nothing,
// and after No the game goes on with the keys.
TEST_F(KeyboardTest, KeysDoNothingWhileTheExitQuestionIsOpen) {
    const std::vector<int> boxes = StartTurn(SeedStartingWith(4));
    ASSERT_TRUE(FocusOn(Target::Board));
    const Snapshot before = Take();
    // Queued now, handled by the question's own message loop.
    for (WORD key : {DigitKey(boxes[0]), KeypadKey(boxes[0])}) {
        PostMessageW(form->board->window, WM_KEYDOWN, key, KeyData(key, false, false));
        PostMessageW(form->board->window, WM_KEYUP, key, KeyData(key, true, true));
    }
    DialogAnswerer answer("Uscita", IDNO);
    SendMessageW(form->closeButton->window, BM_CLICK, 0, 0);
    answer.Join();
    ASSERT_TRUE(answer.Seen());
    TestSupport::PumpMessages(20);
    Snapshot after = Take();
    if (TestSupport::RelayLogAvailable()) {
        // The question is a message box of its own, traced too.
        EXPECT_EQ(TestSupport::CountRelayCalls(TestSupport::ReadRelayLog(), "user32.MessageBoxA"),
                  1);
    }
    EXPECT_TRUE(after == before) << "count " << after.count;

    ASSERT_TRUE(MakeForeground(form->window));
    ASSERT_TRUE(FocusOn(Target::Board));
    Stroke(KeypadKey(boxes[0]));
    EXPECT_EQ(Text(form->countCell), "-2");
}

// Records the data of the key-downs that reach the form's window, in front of its procedure.
std::vector<LPARAM> formKeyDowns;
WNDPROC formProcedure = nullptr;

LRESULT CALLBACK RecordFormKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        formKeyDowns.push_back(lParam);
    }
    return CallWindowProcW(formProcedure, window, message, wParam, lParam);
}

// Real key strokes through the input queue: F2 starts the game, the keys of both rows play a
// level and a wrong one ends the game; a key held down (the system repeats it) counts once.
TEST_F(KeyboardTest, RealKeysStartAndPlayAGame) {
    const unsigned seed = SeedStartingWith(2);
    ASSERT_NE(seed, 0u);
    SeedGame(seed);
    ASSERT_TRUE(FocusOn(Target::Form));
    RealChord({VK_F2});
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return form->playing; }, 3000));
    ShowWholeLevel(*form);
    std::vector<int> boxes = form->sequence;
    ASSERT_EQ(boxes.size(), 3u);
    const int clicks = Clicks();

    // The first key is held: two key-downs before its key-up, the second one a repeat.
    INPUT held[3]{};
    for (INPUT& input : held) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = DigitKey(boxes[0]);
    }
    held[2].ki.dwFlags = KEYEVENTF_KEYUP;
    formKeyDowns.clear();
    formProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(form->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordFormKeys)));
    SendInput(3, held, sizeof(INPUT));
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return Text(form->countCell) == "-2"; }, 3000));
    TestSupport::PumpMessages(100);
    SetWindowLongPtrW(form->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(formProcedure));
    EXPECT_TRUE(form->playing) << "the repeat counted as a press";
    ASSERT_EQ(formKeyDowns.size(), 2u);
    EXPECT_EQ(formKeyDowns[0] & (LPARAM(1) << 30), 0) << "the first key-down";
    EXPECT_NE(formKeyDowns[1] & (LPARAM(1) << 30), 0) << "the system sent no repeat";

    RealChord({KeypadKey(boxes[1])});
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return Text(form->countCell) == "-1"; }, 3000));
    RealChord({DigitKey(boxes[2])});
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return form->showing; }, 5000)) << "level not won";
    EXPECT_EQ(form->targetLength, 4);

    ShowWholeLevel(*form);
    boxes = form->sequence;
    RealChord({DigitKey(boxes[0] % 4 + 1)});
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return !form->playing; }, 3000));
    EXPECT_EQ(Text(form->messageCell), "Peccato. Hai sbagliato.");
    if (TestSupport::RelayLogAvailable()) {
        // Three right keys and the four boxes of the second showing.
        EXPECT_EQ(Clicks(), clicks + 3 + 4);
        EXPECT_EQ(Beeps(), 1);
    }

    // F2 again, from the same focus.
    RealChord({VK_F2});
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return form->playing; }, 3000));
    EXPECT_EQ(Text(form->levelCell), "Livello: 0");
}

// "GIOCA" pressed with the mouse takes the focus and is then disabled: the window keeps the
// focus, so the keys, Tab among them, still work.
TEST_F(KeyboardTest, AGameStartedWithTheMouseKeepsTheKeyboard) {
    SeedGame(SeedStartingWith(3));
    RealClick(form->playButton->window, {50, 20});
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return form->playing; }, 3000));
    EXPECT_EQ(GetFocus(), form->window);
    ShowWholeLevel(*form);
    RealChord({DigitKey(form->sequence[0])});
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return Text(form->countCell) == "-2"; }, 3000));

    RealChord({VK_TAB});
    EXPECT_TRUE(TestSupport::PumpUntil(
        [&] { return GetFocus() != form->window && IsChild(form->window, GetFocus()); }, 3000))
        << "Tab moved the focus nowhere";
}

// Records what reaches a button's own procedure, behind the framework's.
std::vector<UINT> buttonMessages;
std::vector<WPARAM> buttonChars;
WNDPROC buttonProcedure = nullptr;

LRESULT CALLBACK RecordButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    buttonMessages.push_back(message);
    if (message == WM_CHAR) {
        buttonChars.push_back(wParam);
    }
    return CallWindowProcW(buttonProcedure, window, message, wParam, lParam);
}

// Real digit keys on a focused button never reach its own procedure as characters and never
// click it; Space still does.
TEST_F(KeyboardTest, DigitsNeverReachAFocusedButton) {
    for (Target target : {Target::Info, Target::Close, Target::Play}) {
        SCOPED_TRACE(NameOf(target));
        auto* button = target == Target::Info    ? form->infoButton
                       : target == Target::Close ? form->closeButton
                                                 : form->playButton;
        ASSERT_TRUE(FocusOn(target));
        buttonProcedure = button->baseWindowProc;
        button->baseWindowProc = RecordButton;
        buttonMessages.clear();
        buttonChars.clear();
        const Snapshot before = Take();
        for (WORD key : boxKeys) {
            RealChord({key});
        }
        TestSupport::PumpMessages(300);
        button->baseWindowProc = buttonProcedure;
        EXPECT_TRUE(Take() == before);
        EXPECT_TRUE(buttonChars.empty()) << buttonChars.size() << " characters, the first "
                                         << (buttonChars.empty() ? 0 : buttonChars[0]);
        EXPECT_NE(std::find(buttonMessages.begin(), buttonMessages.end(), UINT(WM_KEYDOWN)),
                  buttonMessages.end())
            << "the keys did not come to the button at all";
        EXPECT_EQ(GetFocus(), button->window);
    }

    // Space on the focused "GIOCA" presses it as before; the focus stays in the window.
    ASSERT_TRUE(FocusOn(Target::Play));
    RealChord({VK_SPACE});
    ASSERT_TRUE(TestSupport::PumpUntil([&] { return form->playing; }, 3000));
    EXPECT_EQ(GetFocus(), form->window);
}

// Tab and Shift+Tab still go round the tab stops of the window in the system's order, and
// Space on "Info" opens the about box.
TEST_F(KeyboardTest, TabShiftTabAndSpaceBehaveAsBefore) {
    ASSERT_TRUE(FocusOn(Target::Info));
    std::vector<HWND> expected;
    HWND at = form->infoButton->window;
    for (int i = 0; i < 4; ++i) {
        at = GetNextDlgTabItem(form->window, at, FALSE);
        expected.push_back(at);
    }
    for (int i = 0; i < 4; ++i) {
        RealChord({VK_TAB});
        EXPECT_TRUE(TestSupport::PumpUntil([&] { return GetFocus() == expected[i]; }, 3000))
            << "Tab " << i + 1;
    }
    for (int i = 2; i >= 0; --i) {
        RealChord({VK_SHIFT, VK_TAB});
        EXPECT_TRUE(TestSupport::PumpUntil([&] { return GetFocus() == expected[i]; }, 3000))
            << "Shift+Tab back to " << i + 1;
    }
    ASSERT_TRUE(FocusOn(Target::Info));
    RealChord({VK_SPACE});
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return form->aboutForm != nullptr; }, 3000));
}

// Runs script on a thread of its own while this thread pumps messages: the menu loop and the
// exit question run on this thread, inside the dispatch of the keys that opened them.
bool RunInput(const std::function<bool()>& script) {
    std::atomic<bool> done{false};
    std::atomic<bool> result{false};
    std::thread driver([&] {
        result = script();
        done = true;
    });
    TestSupport::PumpUntil([&] { return done.load(); }, 15000);
    driver.join();
    TestSupport::PumpMessages(200);
    return result;
}

void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

void Tap(WORD key) {
    SendKey(key, false);
    SendKey(key, true);
}

HWND OpenDropDown() {
    HWND popup = FindWindowW(L"#32768", nullptr);
    return popup != nullptr && IsWindowVisible(popup) ? popup : nullptr;
}

bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 300; ++i) {
        if (done()) {
            Sleep(50);
            return true;
        }
        Sleep(10);
    }
    return false;
}

// During the player's turn: Alt+F then E, F10 then F then E, and Alt+F4 each ask the exit
// question (answered No), and Alt with a digit presses no box.
TEST_F(KeyboardTest, MenuAndCloseKeysBehaveAsBefore) {
    const std::vector<int> boxes = StartTurn(SeedStartingWith(1));
    ASSERT_TRUE(FocusOn(Target::Form));
    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"Alt+F, E",
         [] {
             SendKey(VK_MENU, false);
             Tap('F');
             SendKey(VK_MENU, true);
             if (WaitFor([] { return OpenDropDown() != nullptr; })) {
                 Tap('E');
             }
         }},
        {"F10, F, E",
         [] {
             Tap(VK_F10);
             Sleep(100);
             Tap('F');
             if (WaitFor([] { return OpenDropDown() != nullptr; })) {
                 Tap('E');
             }
         }},
        {"Alt+F4",
         [] {
             SendKey(VK_MENU, false);
             Tap(VK_F4);
             SendKey(VK_MENU, true);
         }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.first);
        DialogAnswerer answer("Uscita", IDNO);
        ASSERT_TRUE(MakeForeground(form->window));
        RunInput([&] {
            way.second();
            return true;
        });
        TestSupport::PumpUntil([&] { return answer.Seen(); }, 5000);
        answer.Join();
        EXPECT_TRUE(answer.Seen()) << "no exit question";
        EXPECT_EQ(answer.Text(), "Vuoi realmente uscire?");
        EXPECT_TRUE(IsWindow(form->window));
        EXPECT_EQ(Text(form->countCell), "-3");
    }

    ASSERT_TRUE(MakeForeground(form->window));
    RunInput([&] {
        SendKey(VK_MENU, false);
        Tap(DigitKey(boxes[0]));
        SendKey(VK_MENU, true);
        Sleep(200);
        // Whatever Alt left open, Escape closes it.
        if (OpenDropDown() != nullptr) {
            Tap(VK_ESCAPE);
        }
        return true;
    });
    EXPECT_EQ(Text(form->countCell), "-3") << "Alt with a digit pressed a box";
    EXPECT_TRUE(form->playing);
}

} // namespace
