// Every way out of the program, each in an Ondrel.exe of its own driven from outside with real
// input where a person would use it: "Chiudi", "&Esci", the caption's close box, the system
// menu's close command and Alt+F4, with the about box open or not, during a showing and during
// the one-second wait after a won level. Each asks "Vuoi realmente uscire?", and answered Yes
// ends the program with exit code 0 and no crash.
// ctest-timeout: 240

#include "support_reliability.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace Reliability;
using namespace Reliability::Outside;

namespace {

std::wstring ProgramPath() {
    // tests\<test>.exe beside the build's Ondrel.exe one level up.
    std::wstring directory = OwnDirectory();
    directory = directory.substr(0, directory.size() - 1);
    return directory.substr(0, directory.find_last_of(L"\\/") + 1) + L"Ondrel.exe";
}

// Whether a debugger is writing a crash report: winedbg running, or a crash dialog shown.
bool CrashReportUnderWay() {
    bool found = false;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32FirstW(snapshot, &entry); more;
             more = Process32NextW(snapshot, &entry)) {
            if (_wcsicmp(entry.szExeFile, L"winedbg.exe") == 0) {
                found = true;
            }
        }
        CloseHandle(snapshot);
    }
    return found || FindWindowW(nullptr, L"Program Error") != nullptr;
}

void SendKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A left click at a point of the screen.
void ClickScreen(POINT point) {
    SetCursorPos(point.x, point.y);
    Sleep(30);
    INPUT inputs[2]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

void ClickClient(HWND window, POINT point) {
    ClientToScreen(window, &point);
    ClickScreen(point);
}

bool BringToFront(HWND window) {
    SetForegroundWindow(window);
    return WaitFor([window] { return GetForegroundWindow() == window; }, 3000);
}

class ExitPathsTest : public ::testing::Test {
public:
    void SetUp() override {
        path = ProgramPath();
        ASSERT_TRUE(FileExists(path)) << "no Ondrel.exe beside the tests";
    }

    // Starts a fresh Ondrel.exe and waits until its main window shows the painted board and
    // is in front.
    void Launch() {
        program = std::make_unique<Program>();
        ASSERT_TRUE(program->Start(path)) << "CreateProcess failed, error " << GetLastError();
        main = program->WaitForWindow(L"Window", 20000);
        ASSERT_NE(main, nullptr) << "no main window";
        board = FindBoard(main);
        ASSERT_NE(board, nullptr);
        ASSERT_TRUE(WaitFor([this] { return LitBoxOnScreen(board) == 0; }, 10000))
            << "the board never showed on the screen";
        ASSERT_TRUE(BringToFront(main));
    }

    void ClickButton(const wchar_t* caption) {
        HWND button = ChildWithText(main, caption);
        ASSERT_NE(button, nullptr) << "no button " << TestName(caption);
        RECT rect{};
        GetClientRect(button, &rect);
        ClickClient(button, {rect.right / 2, rect.bottom / 2});
    }

    static std::string TestName(const wchar_t* text) {
        std::string narrow;
        for (const wchar_t* c = text; *c != 0; ++c) {
            narrow.push_back(static_cast<char>(*c));
        }
        return narrow;
    }

    // A screen point over the caption's close box, found by asking the window.
    POINT CloseBoxPoint() {
        RECT frame{};
        GetWindowRect(main, &frame);
        for (int y = frame.top + 1; y < frame.top + 40; ++y) {
            for (int x = frame.right - 2; x > frame.right - 120; --x) {
                if (SendMessageW(main, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                    return {x - 4, y + 4};
                }
            }
        }
        return {-1, -1};
    }

    // A real click on "GIOCA", which disables itself when it starts a game.
    void ClickPlay() {
        HWND play = ChildWithText(main, L"GIOCA");
        ASSERT_NE(play, nullptr);
        ASSERT_NO_FATAL_FAILURE(ClickButton(L"GIOCA"));
        POINT cursor{};
        GetCursorPos(&cursor);
        ASSERT_TRUE(WaitFor([play] { return !IsWindowEnabled(play); }, 5000))
            << "GIOCA took no click; cursor at " << cursor.x << "," << cursor.y
            << ", foreground is the main window: " << (GetForegroundWindow() == main);
    }

    // Starts a game and waits until the first box of the showing is lit on the screen.
    void StartShowing() {
        ASSERT_NO_FATAL_FAILURE(ClickPlay());
        ASSERT_TRUE(WaitFor([this] { return LitBoxOnScreen(board) > 0; }, 10000))
            << "no box lit after GIOCA";
    }

    // Plays level 0 with real clicks up to the winning press, and returns once that press has
    // lit its box: the one-second wait is running.
    void WinUpToTheWait() {
        ASSERT_NO_FATAL_FAILURE(ClickPlay());
        const std::vector<int> boxes = WatchShowing(board, 3, 20000);
        ASSERT_EQ(boxes.size(), 3u)
            << "the showing was not seen; the board reads " << LitBoxOnScreen(board)
            << ", box 1 pixel 0x" << std::hex << ScreenPixel(board, BoxCentre[1].x, BoxCentre[1].y);
        for (size_t i = 0; i < boxes.size(); ++i) {
            const int box = boxes[i];
            ClickClient(board, BoxCentre[box]);
            ASSERT_TRUE(WaitFor([&] { return LitBoxOnScreen(board) == box; }, 5000))
                << "press " << i << " on box " << box << " not seen";
        }
    }

    // The exit question is asked; answered Yes, the program ends with exit code 0, no crash.
    void ExpectQuestionAndCleanExit(const char* way,
                                    const std::function<void()>& whileAsking = {}) {
        HWND box = program->WaitForDialog(L"Uscita", 10000);
        ASSERT_NE(box, nullptr) << way << ": no exit question";
        Sleep(50);
        EXPECT_EQ(MessageBoxText(box), L"Vuoi realmente uscire?") << way;
        if (whileAsking) {
            whileAsking();
        }
        PressDialogButton(box, IDYES);
        const DWORD code = program->WaitForExit(15000);
        EXPECT_EQ(code, 0u) << way << ": exit code 0x" << std::hex << code
                            << (code == STILL_ACTIVE ? " (still running)" : "");
        EXPECT_FALSE(CrashReportUnderWay()) << way;
        program.reset();
    }

    // Opens the about box with a real click on "Info" and waits for it.
    HWND OpenAbout() {
        ClickButton(L"Info");
        HWND about = nullptr;
        WaitFor(
            [&] {
                about = nullptr;
                EnumThreadWindows(GetWindowThreadProcessId(main, nullptr), FindAbout,
                                  reinterpret_cast<LPARAM>(&about));
                return about != nullptr && !IsWindowEnabled(main);
            },
            10000);
        return about;
    }

    static BOOL CALLBACK FindAbout(HWND window, LPARAM found) {
        if (IsWindowVisible(window) && TextOf(window) == L"Info...") {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    std::wstring path;
    std::unique_ptr<Program> program;
    HWND main = nullptr;
    HWND board = nullptr;
};

struct Way {
    const char* name;
    std::function<void(ExitPathsTest&)> close;
};

TEST_F(ExitPathsTest, EveryWayOutOfAnIdleGameAsksAndExitsZero) {
    const std::vector<Way> ways = {
        {"Chiudi clicked", [](ExitPathsTest& t) { t.ClickButton(L"Chiudi"); }},
        {"&Esci from the menu with Alt+F, E",
         [](ExitPathsTest&) {
             SendKeys({VK_MENU, 'F'});
             Sleep(300);
             SendKeys({'E'});
         }},
        {"caption close box clicked",
         [](ExitPathsTest& t) {
             const POINT point = t.CloseBoxPoint();
             ASSERT_GE(point.x, 0) << "no close box";
             ClickScreen(point);
         }},
        {"system menu close command",
         [](ExitPathsTest& t) { PostMessageW(t.main, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Alt+F4",
         [](ExitPathsTest&) {
             SendKeys({VK_MENU, VK_F4});
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        ASSERT_NO_FATAL_FAILURE(Launch());
        ASSERT_NO_FATAL_FAILURE(way.close(*this));
        ExpectQuestionAndCleanExit(way.name);
    }
}

// The about box disables the main window: "Chiudi", the close box and the system menu's close
// command do nothing then (the system ignores the command for a disabled window). What still
// reaches the main window is a close request from outside; Alt+F4 goes to the about box (which
// it closes) and, once that is gone, to the main window.
TEST_F(ExitPathsTest, WaysOutWithTheAboutBoxOpenAskAndExitZero) {
    const std::vector<Way> ways = {
        {"system menu close command: ignored by the disabled main window, taken once the "
         "about box is closed",
         [](ExitPathsTest& t) {
             PostMessageW(t.main, WM_SYSCOMMAND, SC_CLOSE, 0);
             Sleep(500);
             EXPECT_TRUE(t.program->Running());
             EXPECT_EQ(FindDialog(t.program->Id(), L"Uscita"), nullptr);
             SendKeys({VK_ESCAPE});
             ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(t.main) != FALSE; }, 5000))
                 << "Escape did not close the about box";
             PostMessageW(t.main, WM_SYSCOMMAND, SC_CLOSE, 0);
         }},
        {"close request to the main window",
         [](ExitPathsTest& t) { PostMessageW(t.main, WM_CLOSE, 0, 0); }},
        {"Alt+F4 twice: the about box, then the main window",
         [](ExitPathsTest& t) {
             SendKeys({VK_MENU, VK_F4});
             ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(t.main) != FALSE; }, 5000))
                 << "Alt+F4 did not close the about box";
             EXPECT_TRUE(t.program->Running());
             EXPECT_EQ(FindDialog(t.program->Id(), L"Uscita"), nullptr)
                 << "closing the about box asked the exit question";
             ASSERT_TRUE(BringToFront(t.main));
             SendKeys({VK_MENU, VK_F4});
         }},
        {"Escape closes the about box, then Chiudi",
         [](ExitPathsTest& t) {
             SendKeys({VK_ESCAPE});
             ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(t.main) != FALSE; }, 5000))
                 << "Escape did not close the about box";
             t.ClickButton(L"Chiudi");
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        ASSERT_NO_FATAL_FAILURE(Launch());
        HWND about = OpenAbout();
        ASSERT_NE(about, nullptr) << "the about box did not open";
        ASSERT_TRUE(BringToFront(about));
        ASSERT_NO_FATAL_FAILURE(way.close(*this));
        ExpectQuestionAndCleanExit(way.name);
    }
}

TEST_F(ExitPathsTest, WaysOutDuringAShowingAskAndExitZero) {
    const std::vector<Way> ways = {
        {"Chiudi clicked", [](ExitPathsTest& t) { t.ClickButton(L"Chiudi"); }},
        {"Alt+F4",
         [](ExitPathsTest&) {
             SendKeys({VK_MENU, VK_F4});
         }},
        {"caption close box clicked",
         [](ExitPathsTest& t) {
             const POINT point = t.CloseBoxPoint();
             ASSERT_GE(point.x, 0) << "no close box";
             ClickScreen(point);
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        ASSERT_NO_FATAL_FAILURE(Launch());
        ASSERT_NO_FATAL_FAILURE(StartShowing());
        ASSERT_NO_FATAL_FAILURE(way.close(*this));
        ExpectQuestionAndCleanExit(way.name);
    }
}

// The close request arrives while the winning press waits its second: the wait takes it, asks,
// and the program ends from inside the wait. The praise still on the message cell shows that
// the question came during the wait.
TEST_F(ExitPathsTest, WaysOutDuringTheOneSecondWaitAskAndExitZero) {
    const std::vector<Way> ways = {
        {"Chiudi clicked", [](ExitPathsTest& t) { t.ClickButton(L"Chiudi"); }},
        {"system menu close command",
         [](ExitPathsTest& t) { PostMessageW(t.main, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Alt+F4",
         [](ExitPathsTest&) {
             SendKeys({VK_MENU, VK_F4});
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        ASSERT_NO_FATAL_FAILURE(Launch());
        ASSERT_NO_FATAL_FAILURE(WinUpToTheWait());
        ASSERT_NO_FATAL_FAILURE(way.close(*this));
        ExpectQuestionAndCleanExit(way.name, [this] {
            EXPECT_NE(ChildWithText(main, L"Bravo. Hai indovinato."), nullptr)
                << "the question did not come during the wait";
        });
    }
}

} // namespace
