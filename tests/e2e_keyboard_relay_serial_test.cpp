// The game played from outside with the keyboard alone: the built Ondrel.exe runs as a process
// of its own, and this test presses real keys through the system's input queue and looks at the
// screen. F2 starts the game, the digits of the main keyboard and of the numeric keypad repeat
// two levels, a wrong digit loses, Tab and Space open the about box and Escape closes it, F2
// starts again, and Alt+F4 with Enter quits; the program then ends with 0. The mouse is never
// moved. Where Wine traces them, the click sounds and the error beep are counted too.
// ctest-timeout: 300

#include "game/ProgramInfo.h"
#include "support/TestSupport.h"
#include "tools/PlayerDriver.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using OndrelTools::PlayerDriver;

// Generous limits: the game shows about one box a second, and a loaded machine is slower.
constexpr int StartMs = 30000;
constexpr int ReactionMs = 5000;

std::wstring MainTitle() {
    return OndrelTools::Latin1(std::string(MyGame::ProductName) + " " + MyGame::CopyrightNotice);
}

std::wstring Number(int value) {
    return std::to_wstring(value);
}

std::string Show(const std::vector<int>& boxes) {
    std::string text;
    for (int box : boxes) {
        text += std::to_string(box) + " ";
    }
    return text;
}

WORD DigitKey(int box) {
    return static_cast<WORD>('0' + box);
}

WORD KeypadKey(int box) {
    return static_cast<WORD>(VK_NUMPAD1 + box - 1);
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    do {
        if (done()) {
            return true;
        }
        Sleep(20);
    } while (GetTickCount64() < end);
    return false;
}

BOOL CALLBACK TakeStaticText(HWND child, LPARAM data) {
    if (_wcsicmp(TestSupport::WindowClassName(child).c_str(), L"Static") == 0 &&
        GetWindowTextLengthW(child) > 0) {
        *reinterpret_cast<std::wstring*>(data) = TestSupport::WindowText(child);
        return FALSE;
    }
    return TRUE;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, TakeStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

class KeyboardPlayer : public ::testing::Test {
protected:
    // Watches one showing to the player's turn; onBox is called as each box lights up.
    std::vector<int> WatchLevel(int level, const std::function<void(size_t, int)>& onBox = {}) {
        const int length = 3 + level;
        std::vector<int> boxes;
        const bool turn = player.WatchShowing(4000 * (length + 2), boxes, onBox);
        EXPECT_TRUE(turn) << "level " << level << ": the player's turn did not come; seen "
                          << Show(boxes) << "; message " << player.MessageText().c_str();
        EXPECT_EQ(boxes.size(), static_cast<size_t>(length))
            << "level " << level << " showed " << Show(boxes);
        EXPECT_EQ(player.LevelText(), L"Livello: " + Number(level));
        EXPECT_EQ(player.CountText(), L"-" + Number(length));
        EXPECT_FALSE(player.PlayButtonRed()) << "\"GIOCA\" stays disabled during a game";
        shownBoxes += static_cast<int>(boxes.size());
        return boxes;
    }

    // Sees a key's press light its box and, but for the last, count down.
    void ExpectPressed(const std::vector<int>& boxes, size_t i) {
        EXPECT_TRUE(player.WaitForLitBox(boxes[i], ReactionMs))
            << "the key for box " << boxes[i] << " (press " << i + 1 << ") did not light it";
        if (i + 1 < boxes.size()) {
            const std::wstring left = L"-" + Number(static_cast<int>(boxes.size() - i - 1));
            EXPECT_TRUE(WaitUntil([&] { return player.CountText() == left; }, ReactionMs))
                << "count after press " << i + 1 << ": " << player.CountText().c_str();
        }
        ++correctPresses;
    }

    // The praise, then the next level with a dark board and empty lines.
    void ExpectWon() {
        ASSERT_TRUE(player.WaitForMessage(OndrelTools::WonMessage, ReactionMs))
            << "no praise after the last key; message: " << player.MessageText().c_str();
        EXPECT_EQ(player.CountText(), L"0");
        ASSERT_TRUE(WaitUntil([&] { return player.MessageText().empty(); }, ReactionMs));
        EXPECT_TRUE(player.WaitForLitBox(0, ReactionMs));
    }

    PlayerDriver player;
    int shownBoxes = 0;
    int correctPresses = 0;
};

TEST_F(KeyboardPlayer, StartsWithF2PlaysWithTheKeysAndQuitsWithoutTheMouse) {
    const std::wstring program = PlayerDriver::ProgramInBuild();
    ASSERT_FALSE(program.empty()) << "no Ondrel.exe in the build";
    ASSERT_TRUE(player.Start(program));
    HWND main = player.WaitForMainWindow(MainTitle(), StartMs);
    ASSERT_NE(main, nullptr) << "no main window titled with the product and its notice";
    EXPECT_TRUE(player.WaitForClientSize(640, 480, ReactionMs));
    ASSERT_TRUE(player.BringToFront(main));
    POINT mouse{};
    GetCursorPos(&mouse);

    ASSERT_TRUE(player.WaitForLitBox(0, ReactionMs)) << "the board is not on the screen, dark";
    ASSERT_TRUE(player.WaitForPlayButtonRed(true, ReactionMs)) << "\"GIOCA\" is not red";

    player.PressKey(VK_F2);
    ASSERT_TRUE(player.WaitForPlayButtonRed(false, ReactionMs)) << "F2 started nothing";

    // Level 0 with the main keyboard; a key pressed while the first box is shown is ignored.
    std::vector<int> boxes = WatchLevel(0, [&](size_t i, int box) {
        if (i == 0) {
            player.PressKey(DigitKey(box % 4 + 1));
        }
    });
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(player.MessageText(), OndrelTools::TurnMessage);
    for (size_t i = 0; i < boxes.size(); ++i) {
        player.PressKey(DigitKey(boxes[i]));
        ExpectPressed(boxes, i);
    }
    ExpectWon();

    // Level 1 with the keypad; the first key is held long enough for a repeat, counted once.
    boxes = WatchLevel(1);
    ASSERT_EQ(boxes.size(), 4u);
    player.KeyDown(KeypadKey(boxes[0]));
    Sleep(100);
    player.KeyDown(KeypadKey(boxes[0]));
    Sleep(100);
    player.KeyUp(KeypadKey(boxes[0]));
    ExpectPressed(boxes, 0);
    Sleep(300);
    EXPECT_NE(player.MessageText(), OndrelTools::LostMessage) << "the repeat was judged";
    for (size_t i = 1; i < boxes.size(); ++i) {
        player.PressKey(KeypadKey(boxes[i]));
        ExpectPressed(boxes, i);
    }
    ExpectWon();

    // Level 2: a wrong digit loses.
    boxes = WatchLevel(2);
    ASSERT_EQ(boxes.size(), 5u);
    player.PressKey(DigitKey(boxes[0] % 4 + 1));
    ASSERT_TRUE(player.WaitForMessage(OndrelTools::LostMessage, ReactionMs))
        << "message after a wrong key: " << player.MessageText().c_str();
    EXPECT_TRUE(player.WaitForPlayButtonRed(true, ReactionMs)) << "\"GIOCA\" not usable again";
    EXPECT_EQ(player.LitBox(), 0) << "a wrong key lights no box";
    EXPECT_EQ(player.CountText(), L"-5");
    EXPECT_EQ(player.LevelText(), L"Livello: 2");

    // Tab to "Info", Space opens the about box, Escape closes it.
    HWND info = player.ChildAt(PlayerDriver::InfoButtonRect);
    ASSERT_NE(info, nullptr);
    for (int tabs = 0; tabs < 12 && player.FocusedWindow() != info; ++tabs) {
        player.PressKey(VK_TAB);
        WaitUntil([&] { return player.FocusedWindow() != nullptr; }, 500);
        Sleep(50);
    }
    ASSERT_EQ(player.FocusedWindow(), info) << "Tab never reached \"Info\"";
    player.PressKey(VK_SPACE);
    HWND about = player.WaitForTopLevel(L"", L"Info...", ReactionMs);
    ASSERT_NE(about, nullptr) << "Space on \"Info\" opened no about box";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == about; }, ReactionMs));
    player.PressKey(VK_ESCAPE);
    EXPECT_TRUE(player.WaitUntilGone(about, ReactionMs)) << "Escape left the about box open";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }, ReactionMs))
        << "the main window did not come back to the front";

    // F2 again: level 0 from the start.
    player.PressKey(VK_F2);
    ASSERT_TRUE(player.WaitForPlayButtonRed(false, ReactionMs)) << "F2 started nothing";
    boxes = WatchLevel(0);
    ASSERT_EQ(boxes.size(), 3u);
    player.PressKey(DigitKey(boxes[0]));
    ExpectPressed(boxes, 0);

    // Alt+F4: the exit question, answered Yes with Enter.
    player.PressChord({VK_MENU, VK_F4});
    HWND question = player.WaitForTopLevel(L"#32770", L"Uscita", ReactionMs);
    ASSERT_NE(question, nullptr) << "Alt+F4 asked nothing";
    EXPECT_EQ(MessageBoxText(question), L"Vuoi realmente uscire?");
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == question; }, ReactionMs));
    player.PressKey(VK_RETURN);
    DWORD exitCode = 12345;
    ASSERT_TRUE(player.WaitForExit(15000, &exitCode)) << "the program did not end";
    EXPECT_EQ(exitCode, 0u);

    POINT mouseAfter{};
    GetCursorPos(&mouseAfter);
    EXPECT_TRUE(mouse.x == mouseAfter.x && mouse.y == mouseAfter.y) << "the mouse was moved";

    // Heard along the way: a click for every box shown and every right key, one error beep.
    if (TestSupport::RelayLogAvailable()) {
        const std::string log = TestSupport::ReadRelayLog();
        int clicks = 0;
        for (const std::string& call : TestSupport::RelayCalls(log, "winmm.PlaySoundW")) {
            if (call.find("PlaySoundW(000003f0,") != std::string::npos) {
                ++clicks;
            }
        }
        EXPECT_EQ(clicks, shownBoxes + correctPresses);
        const std::vector<std::string> beeps = TestSupport::RelayCalls(log, "user32.MessageBeep");
        ASSERT_EQ(beeps.size(), 1u);
        EXPECT_NE(beeps[0].find("MessageBeep(00000010)"), std::string::npos) << beeps[0];
    }
}

} // namespace
