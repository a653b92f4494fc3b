// Plays the built game from outside:
//   ondrel_driver shots <folder> [Ondrel.exe]
// for scripts/screenshots.sh: writes <folder>\main-idle.bmp, main-showing.bmp, main-turn.bmp,
// main-won.bmp, main-lost.bmp, about.bmp and exit-question.bmp, then quits the game through its
// exit question. Exit code 0 when every picture was taken and the game ended with 0.
//   ondrel_driver quit <Ondrel.exe> [<program> [<argument>...]]
// for tests/installer_test.sh: starts the game, waits for its main window, runs the program
// while the game is open when one is given (and prints its exit code), then closes the game
// with Alt+F4 and answers Yes to the exit question. Exit code 0 when all of that happened and
// the game ended with 0.

#include "tools/PlayerDriver.h"

#include "game/ProgramInfo.h"

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using OndrelTools::PlayerDriver;

constexpr int WaitMs = 20000;

class ShotSession {
public:
    ShotSession(PlayerDriver& driver, std::wstring folder)
        : player(driver), folder(std::move(folder)) {}

    // Saves the main window (and another window over or beside it) once the screen is still.
    void Shoot(const wchar_t* name, HWND other = nullptr, bool waitForStill = true) {
        const RECT rect = player.ShotRectangle(other);
        if (waitForStill) {
            PlayerDriver::WaitForStillScreen(rect, 300, 5000);
        }
        const std::wstring path = folder + L"\\" + name + L".bmp";
        if (PlayerDriver::SaveScreen(rect, path)) {
            std::printf("saved %ls.bmp (%ld x %ld)\n", name, rect.right - rect.left,
                        rect.bottom - rect.top);
        } else {
            Fail(L"could not save the picture");
        }
    }

    void Fail(const std::wstring& what) {
        std::printf("failed: %ls\n", what.c_str());
        failed = true;
    }

    bool Check(bool condition, const wchar_t* what) {
        if (!condition) {
            Fail(what);
        }
        return condition;
    }

    bool Failed() const { return failed; }

private:
    PlayerDriver& player;
    std::wstring folder;
    bool failed = false;
};

int TakeShots(const std::wstring& folder, std::wstring program) {
    if (program.empty()) {
        program = PlayerDriver::ProgramInBuild();
    }
    PlayerDriver player;
    ShotSession session(player, folder);
    if (program.empty() || !player.Start(program)) {
        std::printf("failed: cannot start Ondrel.exe\n");
        return 1;
    }
    const std::wstring title =
        OndrelTools::Latin1(std::string(MyGame::ProductName) + " " + MyGame::CopyrightNotice);
    HWND main = player.WaitForMainWindow(title, 30000);
    if (!session.Check(main != nullptr, L"no main window")) {
        return 1;
    }
    session.Check(player.WaitForClientSize(640, 480, WaitMs), L"the main window is not 640 x 480");
    player.BringToFront(main);
    session.Check(player.WaitForPlayButtonRed(true, WaitMs), L"\"GIOCA\" is not shown");
    session.Shoot(L"main-idle");

    // A showing, caught while its second box is lit; then the player's turn.
    player.Click(main, PlayerDriver::Centre(PlayerDriver::PlayButtonRect));
    std::vector<int> boxes;
    const bool turn = player.WatchShowing(WaitMs, boxes, [&](size_t index, int) {
        if (index == 1) {
            session.Shoot(L"main-showing", nullptr, false);
        }
    });
    if (!session.Check(turn, L"the player's turn did not come")) {
        return 1;
    }
    player.WaitForMessageInk(true, WaitMs);
    session.Shoot(L"main-turn");

    // A won level, caught during its one second of praise.
    for (int box : boxes) {
        player.Click(main, PlayerDriver::BoxCentre(box));
        player.WaitForLitBox(box, WaitMs);
    }
    if (session.Check(player.WaitForMessage(OndrelTools::WonMessage, WaitMs), L"no praise")) {
        player.WaitForMessageInk(true, WaitMs);
        session.Shoot(L"main-won", nullptr, false);
    }

    // A lost level: the next showing, then a wrong press.
    player.WaitForLitBox(0, WaitMs);
    if (session.Check(player.WatchShowing(WaitMs, boxes), L"the second turn did not come")) {
        player.Click(main, PlayerDriver::BoxCentre(boxes[0] % 4 + 1));
        session.Check(player.WaitForMessage(OndrelTools::LostMessage, WaitMs), L"no loss");
        player.WaitForPlayButtonRed(true, WaitMs);
        session.Shoot(L"main-lost");
    }

    // The about box over the main window.
    player.Click(main, PlayerDriver::Centre(PlayerDriver::InfoButtonRect));
    HWND about = player.WaitForTopLevel(L"", L"Info...", WaitMs);
    if (session.Check(about != nullptr, L"no about box")) {
        session.Shoot(L"about", about);
        player.BringToFront(about);
        player.PressKey(VK_ESCAPE);
        session.Check(player.WaitUntilGone(about, WaitMs), L"the about box stayed open");
    }

    // The exit question, answered Yes.
    player.BringToFront(main);
    player.Click(main, PlayerDriver::Centre(PlayerDriver::CloseButtonRect));
    HWND question = player.WaitForTopLevel(L"#32770", L"Uscita", WaitMs);
    if (session.Check(question != nullptr, L"no exit question")) {
        session.Shoot(L"exit-question", question);
        player.BringToFront(question);
        player.ClickCentre(GetDlgItem(question, IDYES));
    }
    DWORD exitCode = 1;
    session.Check(player.WaitForExit(WaitMs, &exitCode) && exitCode == 0,
                  L"the game did not end with 0");
    return session.Failed() ? 1 : 0;
}

BOOL CALLBACK TakeStaticText(HWND child, LPARAM data) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (_wcsicmp(name, L"Static") == 0 && GetWindowTextLengthW(child) > 0) {
        wchar_t text[256] = {};
        GetWindowTextW(child, text, 256);
        *reinterpret_cast<std::wstring*>(data) = text;
        return FALSE;
    }
    return TRUE;
}

// The text of a message box: its static control with text (the icon's has none).
std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, TakeStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

// Runs a program and waits for it to end: its exit code, or -1 when it did not start or end in
// time. Arguments with spaces are quoted, except "/D=<folder>" and "_?=<folder>", which
// installers and uninstallers take only as they are.
long RunAndWait(const std::vector<std::wstring>& command, int timeoutMs) {
    std::wstring commandLine;
    for (const std::wstring& argument : command) {
        const bool quote = argument.find(L' ') != std::wstring::npos &&
                           argument.compare(0, 3, L"/D=") != 0 &&
                           argument.compare(0, 3, L"_?=") != 0;
        commandLine +=
            (commandLine.empty() ? L"" : L" ") + (quote ? L"\"" + argument + L"\"" : argument);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(command[0].c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return -1;
    }
    long result = -1;
    if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result = static_cast<long>(code);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

int QuitThroughQuestion(const std::wstring& program, const std::vector<std::wstring>& whileOpen) {
    PlayerDriver player;
    if (!player.Start(program)) {
        std::printf("failed: cannot start %ls\n", program.c_str());
        return 1;
    }
    const std::wstring title =
        OndrelTools::Latin1(std::string(MyGame::ProductName) + " " + MyGame::CopyrightNotice);
    HWND main = player.WaitForMainWindow(title, 30000);
    if (main == nullptr) {
        std::printf("failed: no main window with the product name and copyright notice\n");
        return 1;
    }
    std::printf("the main window is open\n");
    if (!whileOpen.empty()) {
        const long code = RunAndWait(whileOpen, 120000);
        std::printf("while the game was open, %ls ended with %ld\n", whileOpen[0].c_str(), code);
        DWORD gameCode = 0;
        if (player.WaitForExit(0, &gameCode)) {
            std::printf("failed: meanwhile the game ended (exit code %lu)\n", gameCode);
            return 1;
        }
    }

    player.BringToFront(main);
    player.PressChord({VK_MENU, VK_F4});
    HWND question = player.WaitForTopLevel(L"#32770", L"Uscita", WaitMs);
    if (question == nullptr) {
        std::printf("failed: Alt+F4 brought no exit question \"Uscita\"\n");
        return 1;
    }
    const std::wstring text = MessageBoxText(question);
    std::printf("exit question: \"%ls\"\n", text.c_str());
    if (text != L"Vuoi realmente uscire?") {
        std::printf("failed: the exit question reads otherwise\n");
        return 1;
    }
    player.BringToFront(question);
    player.ClickCentre(GetDlgItem(question, IDYES));
    DWORD exitCode = 1;
    if (!player.WaitForExit(WaitMs, &exitCode)) {
        std::printf("failed: the game did not end after Yes\n");
        return 1;
    }
    std::printf("the game ended with exit code %lu\n", exitCode);
    return exitCode == 0 ? 0 : 1;
}

} // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    int result = 2;
    if (argv != nullptr && argc >= 3 && std::wstring(argv[1]) == L"shots") {
        result = TakeShots(argv[2], argc >= 4 ? argv[3] : L"");
    } else if (argv != nullptr && argc >= 3 && std::wstring(argv[1]) == L"quit") {
        result = QuitThroughQuestion(argv[2], std::vector<std::wstring>(argv + 3, argv + argc));
    } else {
        std::printf("usage: ondrel_driver shots <folder> [Ondrel.exe]\n"
                    "       ondrel_driver quit <Ondrel.exe> [<program> [<argument>...]]\n");
    }
    LocalFree(argv);
    return result;
}
