// The whole game played as a person plays it: the built Ondrel.exe runs as a process of its own,
// and this test only looks at the screen and uses the mouse and the keyboard. It wins three
// levels (the showings grow from 3 to 6 boxes), loses on purpose, starts again, opens and
// closes the about box, answers the exit question No and then quits with Alt+F4 and Yes, all
// with real keys; the program then ends with 0.
// Besides pixels it reads only what the system records: window titles, the texts of the
// windows on the screen, whether a window takes input, and, where Wine traces them, the
// click sounds and the error beep.
// ctest-timeout: 300

#include "game/ProgramInfo.h"
#include "support/TestSupport.h"
#include "tools/PlayerDriver.h"

#include <gtest/gtest.h>

#include <cwctype>
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

// The text of a message box: its static control with text.
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

// Whether the window is its thread's active window and some window of it has the focus, as
// the system records it for that thread.
bool HasTheKeyboard(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
        return false;
    }
    return info.hwndActive == window && info.hwndFocus != nullptr &&
           (info.hwndFocus == window || IsChild(window, info.hwndFocus));
}

void PressAltF4() {
    INPUT keys[4]{};
    const WORD order[4] = {VK_MENU, VK_F4, VK_F4, VK_MENU};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = order[i];
        keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
        SendInput(1, &keys[i], sizeof(INPUT));
        Sleep(30);
    }
}

// Presses a button of a message box with the keyboard: its mnemonic letter, or, without one,
// Tab from the default button to it and the space bar.
void AnswerWithKeys(const PlayerDriver& player, HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    const std::wstring caption = button != nullptr ? TestSupport::WindowText(button) : L"";
    const size_t mark = caption.find(L'&');
    if (mark != std::wstring::npos && mark + 1 < caption.size()) {
        player.PressKey(static_cast<WORD>(towupper(caption[mark + 1])));
        return;
    }
    if (buttonId != IDYES) {
        player.PressKey(VK_TAB);
    }
    player.PressKey(VK_SPACE);
}

class Player : public ::testing::Test {
protected:
    // Watches one showing to the player's turn and checks what the turn shows.
    std::vector<int> WatchLevel(int level) {
        const int length = 3 + level;
        std::vector<int> boxes;
        // A showing takes about a second per box, plus one before the first and one after the
        // last; a slow machine gets a lot more.
        const bool turn = player.WatchShowing(4000 * (length + 2), boxes);
        EXPECT_TRUE(turn) << "level " << level << ": the player's turn did not come; seen "
                          << Show(boxes);
        EXPECT_EQ(boxes.size(), static_cast<size_t>(length))
            << "level " << level << " showed " << Show(boxes);
        EXPECT_EQ(player.LevelText(), L"Livello: " + Number(level));
        EXPECT_EQ(player.CountText(), L"-" + Number(length));
        EXPECT_TRUE(player.WaitForMessageInk(true, ReactionMs)) << "the turn shows no message";
        EXPECT_EQ(player.LitBox(), 0) << "the board is dark during the turn";
        EXPECT_FALSE(player.PlayButtonRed()) << "\"GIOCA\" stays disabled during a game";
        shownBoxes += static_cast<int>(boxes.size());
        return boxes;
    }

    // Repeats a sequence box by box, seeing each press light its box and count down.
    void Repeat(const std::vector<int>& boxes) {
        for (size_t i = 0; i < boxes.size(); ++i) {
            player.Click(player.MainWindow(), PlayerDriver::BoxCentre(boxes[i]));
            EXPECT_TRUE(player.WaitForLitBox(boxes[i], ReactionMs))
                << "press " << i + 1 << " on box " << boxes[i] << " did not light it";
            // The last press's "0" goes with the praise, checked by the caller.
            if (i + 1 < boxes.size()) {
                const std::wstring left = L"-" + Number(static_cast<int>(boxes.size() - i - 1));
                EXPECT_TRUE(WaitUntil([&] { return player.CountText() == left; }, ReactionMs))
                    << "count after press " << i + 1 << ": " << player.CountText().c_str();
            }
            ++correctPresses;
        }
    }

    PlayerDriver player;
    int shownBoxes = 0;
    int correctPresses = 0;
};

TEST_F(Player, WinsThreeLevelsLosesOnPurposeStartsAgainAndQuitsWithExitCodeZero) {
    const std::wstring program = PlayerDriver::ProgramInBuild();
    ASSERT_FALSE(program.empty()) << "no Ondrel.exe in the build";
    ASSERT_TRUE(player.Start(program));
    HWND main = player.WaitForMainWindow(MainTitle(), StartMs);
    ASSERT_NE(main, nullptr) << "no main window titled with the product and its notice";
    EXPECT_TRUE(player.WaitForClientSize(640, 480, ReactionMs))
        << "client area " << TestSupport::ClientSize(main).cx << " x "
        << TestSupport::ClientSize(main).cy;
    ASSERT_TRUE(player.BringToFront(main));

    // Idle: a dark board, level 0, no message, "GIOCA" white on red.
    ASSERT_TRUE(player.WaitForLitBox(0, ReactionMs)) << "the board is not on the screen, dark";
    EXPECT_EQ(player.LevelText(), L"Livello: 0");
    EXPECT_EQ(player.MessageInk(), 0);
    ASSERT_TRUE(player.WaitForPlayButtonRed(true, ReactionMs)) << "\"GIOCA\" is not red";

    player.Click(main, PlayerDriver::Centre(PlayerDriver::PlayButtonRect));
    ASSERT_TRUE(player.WaitForPlayButtonRed(false, ReactionMs)) << "\"GIOCA\" started nothing";

    // Three levels won: 3, 4 and 5 boxes, each praised, each followed by a longer one.
    for (int level = 0; level < 3; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        const std::vector<int> boxes = WatchLevel(level);
        ASSERT_EQ(boxes.size(), static_cast<size_t>(3 + level));
        Repeat(boxes);
        ASSERT_TRUE(player.WaitForMessage(OndrelTools::WonMessage, ReactionMs))
            << "no praise after the last press; message: " << player.MessageText().c_str();
        EXPECT_EQ(player.CountText(), L"0");
        EXPECT_TRUE(player.WaitForMessageInk(true, ReactionMs)) << "the praise is not shown";
        // The next level starts with a dark board and empty lines.
        ASSERT_TRUE(WaitUntil([&] { return player.MessageText().empty(); }, ReactionMs));
        EXPECT_TRUE(player.WaitForLitBox(0, ReactionMs));
        EXPECT_TRUE(player.WaitForMessageInk(false, ReactionMs));
        EXPECT_EQ(player.CountText(), L"");
    }

    // The fourth showing has six boxes; a wrong first press loses.
    std::vector<int> boxes = WatchLevel(3);
    ASSERT_EQ(boxes.size(), 6u);
    const int wrong = boxes[0] % 4 + 1;
    player.Click(main, PlayerDriver::BoxCentre(wrong));
    ASSERT_TRUE(player.WaitForMessage(OndrelTools::LostMessage, ReactionMs))
        << "message after a wrong press: " << player.MessageText().c_str();
    EXPECT_TRUE(player.WaitForMessageInk(true, ReactionMs));
    EXPECT_TRUE(player.WaitForPlayButtonRed(true, ReactionMs)) << "\"GIOCA\" not usable again";
    EXPECT_EQ(player.LitBox(), 0) << "a wrong press lights no box";
    EXPECT_EQ(player.CountText(), L"-6");
    EXPECT_EQ(player.LevelText(), L"Livello: 3");

    // "GIOCA" again: back to level 0 with three boxes.
    player.Click(main, PlayerDriver::Centre(PlayerDriver::PlayButtonRect));
    ASSERT_TRUE(player.WaitForPlayButtonRed(false, ReactionMs)) << "\"GIOCA\" started nothing";
    EXPECT_TRUE(WaitUntil([&] { return player.MessageText().empty(); }, ReactionMs));
    boxes = WatchLevel(0);
    EXPECT_EQ(boxes.size(), 3u);

    // "Info": the about box comes up over a main window that takes no input; Escape closes it.
    player.Click(main, PlayerDriver::Centre(PlayerDriver::InfoButtonRect));
    HWND about = player.WaitForTopLevel(L"", L"Info...", ReactionMs);
    ASSERT_NE(about, nullptr) << "\"Info\" opened no window captioned \"Info...\"";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(main); }, ReactionMs));
    // The player presses Escape at once: the about box takes the keyboard by itself.
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == about; }, ReactionMs))
        << "the about box did not come to the front";
    player.PressKey(VK_ESCAPE);
    EXPECT_TRUE(player.WaitUntilGone(about, ReactionMs)) << "Escape left the about box open";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, ReactionMs));
    ASSERT_TRUE(player.BringToFront(main));

    // "Chiudi": the exit question, answered No with the keyboard. The main window has the
    // keyboard again afterwards.
    player.Click(main, PlayerDriver::Centre(PlayerDriver::CloseButtonRect));
    HWND question = player.WaitForTopLevel(L"#32770", L"Uscita", ReactionMs);
    ASSERT_NE(question, nullptr) << "\"Chiudi\" asked nothing";
    EXPECT_EQ(MessageBoxText(question), L"Vuoi realmente uscire?");
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == question; }, ReactionMs));
    AnswerWithKeys(player, question, IDNO);
    ASSERT_TRUE(player.WaitUntilGone(question, ReactionMs)) << "No left the question open";
    EXPECT_TRUE(IsWindow(main));
    EXPECT_TRUE(WaitUntil([&] { return HasTheKeyboard(main); }, ReactionMs))
        << "after No the main window is not active with a focused window";

    // Alt+F4 reaches the main window again: the question, answered Yes with the keyboard.
    PressAltF4();
    question = player.WaitForTopLevel(L"#32770", L"Uscita", ReactionMs);
    ASSERT_NE(question, nullptr) << "Alt+F4 after No asked nothing";
    EXPECT_EQ(MessageBoxText(question), L"Vuoi realmente uscire?");
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == question; }, ReactionMs));
    AnswerWithKeys(player, question, IDYES);
    DWORD exitCode = 12345;
    ASSERT_TRUE(player.WaitForExit(15000, &exitCode)) << "the program did not end";
    EXPECT_EQ(exitCode, 0u);

    // Heard along the way: a click for every box shown and every right press, one error beep.
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
