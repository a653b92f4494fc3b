// Startup time and processor time of the real Ondrel.exe, measured from outside its process,
// beside the bare Win32 window program of the same build (bare_window.exe) as the baseline.
// Prints rows of the performance table (scripts/perf.sh adds the GDI and size rows):
// - time from CreateProcess to the main window's first paint on the screen (the client's grey
//   and the board's dark red box read back from the screen), median and fastest of several runs;
// - processor time (user plus kernel, GetProcessTimes on the process handle) while the window
//   idles, and while levels are won through posted clicks on the board, one-second waits included.
// The processes' own figures only: Wine's server and the X server are not counted. The click
// sound is off, as in the tests (no sound device). Assert nothing; read the figures.
//
// Usage: perf_table_bench [idle seconds (10)] [startup runs (5)] [levels won (3)]

#include "../support_reliability.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace Reliability;
using namespace Reliability::Outside;

namespace {

struct Subject {
    const char* name;
    std::wstring path;
    const wchar_t* classPrefix;
    bool isGame;
};

// The board's box 1 in the main window's client coordinates (the board stands at 120, 70).
constexpr POINT BoardOrigin = {120, 70};

bool Painted(const Subject& subject, HWND window) {
    if (!Near(ScreenPixel(window, 5, 300), FormGrey)) {
        return false;
    }
    const COLORREF box =
        ScreenPixel(window, BoardOrigin.x + BoxCentre[1].x, BoardOrigin.y + BoxCentre[1].y);
    return Near(box, subject.isGame ? DarkColour[1] : FormGrey);
}

// Starts the program and waits for its painted window; the milliseconds from CreateProcess,
// or a negative figure when it never showed.
double StartAndWaitForPaint(const Subject& subject, Program& program, HWND& window) {
    if (!program.Start(subject.path)) {
        return -1;
    }
    window = nullptr;
    const bool shown = WaitFor(
        [&] {
            if (window == nullptr) {
                window = program.WaitForWindow(subject.classPrefix, 0);
            }
            return window != nullptr && Painted(subject, window);
        },
        30000, 1);
    return shown ? NowMs() - program.StartedMs() : -1;
}

// Closes the program as a person would (the game asks first) and returns its exit code.
DWORD Close(const Subject& subject, Program& program, HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (subject.isGame) {
        if (HWND box = program.WaitForDialog(L"Uscita", 10000)) {
            Sleep(50);
            PressDialogButton(box, IDYES);
        }
    }
    return program.WaitForExit(15000);
}

void Row(const char* measure, const std::string& game, const std::string& bare,
         const std::string& ratio, const char* goal) {
    std::printf("%-50s %12s %12s %10s  %s\n", measure, game.c_str(), bare.c_str(), ratio.c_str(),
                goal);
}

std::string Figure(double value, const char* format = "%.1f") {
    if (value < 0) {
        return "n/a";
    }
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return -1;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Share {
    double wallMs = 0;
    double cpuMs = 0;
    double Percent() const { return wallMs > 0 ? 100.0 * cpuMs / wallMs : -1; }
};

Share Idle(Program& program, int seconds) {
    Sleep(1000);
    const double cpu = program.CpuMs();
    const double wall = NowMs();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    return {NowMs() - wall, program.CpuMs() - cpu};
}

// The board is read off the screen this often while a showing is watched. Under Wine every
// reading costs the watched program processor time, so it is read slowly, and not at all while
// the one-second wait is measured; the cost of the reading is shown in a row of its own.
constexpr int WatchPollMs = 100;

// The same idle while this program reads the board off the screen as it does during a showing.
Share IdleWhileWatched(Program& program, HWND main, int seconds) {
    HWND board = FindBoard(main);
    const double cpu = program.CpuMs();
    const double wall = NowMs();
    const double end = wall + seconds * 1000.0;
    while (NowMs() < end) {
        LitBoxOnScreen(board);
        Sleep(WatchPollMs);
    }
    return {NowMs() - wall, program.CpuMs() - cpu};
}

struct LevelFigures {
    Share level;
    Share wait;
    int won = 0;
};

// The time measured after the winning press: the press, its one-second wait and the first half
// second of the next showing, before that showing's first step (about a second after the wait).
constexpr int AfterWinningPressMs = 1500;

// Wins levels in the running game through posted clicks on its board, reading each showing off
// the screen. A level counts from "GIOCA" (or the end of the wait before it) to the end of the
// time measured after its winning press, which is not watched.
LevelFigures WinLevels(Program& program, HWND main, int levels) {
    LevelFigures figures;
    HWND board = FindBoard(main);
    HWND play = ChildWithText(main, L"GIOCA");
    if (board == nullptr || play == nullptr) {
        return figures;
    }
    double levelCpu = program.CpuMs();
    double levelWall = NowMs();
    PostMessageW(play, BM_CLICK, 0, 0);
    for (int level = 0; level < levels; ++level) {
        const std::vector<int> boxes =
            WatchShowing(board, static_cast<size_t>(3 + level), 60000, WatchPollMs);
        if (boxes.size() != static_cast<size_t>(3 + level)) {
            std::fprintf(stderr, "level %d: showing not seen\n", level);
            return figures;
        }
        for (size_t i = 0; i + 1 < boxes.size(); ++i) {
            PostClick(board, BoxCentre[boxes[i]]);
            Sleep(50);
        }
        Sleep(200);
        const double waitCpu = program.CpuMs();
        const double waitWall = NowMs();
        PostClick(board, BoxCentre[boxes.back()]);
        Sleep(AfterWinningPressMs);
        const double nowCpu = program.CpuMs();
        const double nowWall = NowMs();
        if (LitBoxOnScreen(board) != 0) {
            std::fprintf(stderr, "level %d: the next level did not begin\n", level);
            return figures;
        }
        figures.wait.cpuMs += nowCpu - waitCpu;
        figures.wait.wallMs += nowWall - waitWall;
        figures.level.cpuMs += nowCpu - levelCpu;
        figures.level.wallMs += nowWall - levelWall;
        levelCpu = program.CpuMs();
        levelWall = NowMs();
        ++figures.won;
    }
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    const int idleSeconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const int levels = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;

    // tests\benchmarks\<this>.exe: the build's Ondrel.exe is two levels up.
    const std::wstring here = OwnDirectory();
    std::wstring up = here.substr(0, here.size() - 1);
    up = up.substr(0, up.find_last_of(L"\\/"));
    up = up.substr(0, up.find_last_of(L"\\/") + 1);
    const Subject game{"Ondrel.exe", up + L"Ondrel.exe", L"Window", true};
    const Subject bare{"bare_window.exe", here + L"bare_window.exe", L"BareWindow", false};
    const Subject bareImports{"bare_window_imports.exe", here + L"bare_window_imports.exe",
                              L"BareWindow", false};
    const std::vector<const Subject*> subjects = {&game, &bare, &bareImports};
    for (const Subject* subject : subjects) {
        if (!FileExists(subject->path)) {
            std::fprintf(stderr, "missing %ls\n", subject->path.c_str());
            return 1;
        }
    }

    // Startup, taking the programs in turn; the first start of each warms Wine's caches and is
    // left out.
    std::vector<std::vector<double>> starts(subjects.size());
    DWORD gameExit = 0;
    for (int run = 0; run <= runs; ++run) {
        for (size_t i = 0; i < subjects.size(); ++i) {
            const Subject& subject = *subjects[i];
            Program program;
            HWND window = nullptr;
            const double ms = StartAndWaitForPaint(subject, program, window);
            const DWORD code = window != nullptr ? Close(subject, program, window) : 99;
            if (subject.isGame && code != 0) {
                gameExit = code;
            }
            if (run > 0 && ms >= 0) {
                starts[i].push_back(ms);
            }
        }
    }

    // Idle processor time of each, then the levels in the game.
    Share gameIdle{};
    Share bareIdle{};
    Share gameWatched{};
    LevelFigures played;
    {
        Program program;
        HWND window = nullptr;
        if (StartAndWaitForPaint(bare, program, window) >= 0) {
            bareIdle = Idle(program, idleSeconds);
            Close(bare, program, window);
        }
    }
    {
        Program program;
        HWND window = nullptr;
        if (StartAndWaitForPaint(game, program, window) >= 0) {
            gameIdle = Idle(program, idleSeconds);
            gameWatched = IdleWhileWatched(program, window, idleSeconds);
            played = WinLevels(program, window, levels);
            const DWORD code = Close(game, program, window);
            if (code != 0) {
                gameExit = code;
            }
        }
    }

    std::printf("%-50s %12s %12s %10s  %s\n", "measure", "Ondrel.exe", "bare window", "ratio",
                "goal");
    auto fastest = [](const std::vector<double>& values) {
        return values.empty() ? -1.0 : *std::min_element(values.begin(), values.end());
    };
    auto ratio = [](double a, double b) { return a > 0 && b > 0 ? Figure(a / b, "%.2fx") : "n/a"; };
    char label[96];
    std::snprintf(label, sizeof(label), "start to first paint, median of %d (ms)", runs);
    Row(label, Figure(Median(starts[0])), Figure(Median(starts[1])),
        ratio(Median(starts[0]), Median(starts[1])), "within 1.3x the bare program");
    Row("start to first paint, fastest (ms)", Figure(fastest(starts[0])),
        Figure(fastest(starts[1])), ratio(fastest(starts[0]), fastest(starts[1])), "");
    Row("  bare window loading the game's system DLLs, median", "", Figure(Median(starts[2])),
        ratio(Median(starts[0]), Median(starts[2])), "(comctl32, shell32, winmm)");
    std::snprintf(label, sizeof(label), "idle %d s: processor time (ms)", idleSeconds);
    Row(label, Figure(gameIdle.cpuMs), Figure(bareIdle.cpuMs), "", "");
    Row("idle: share of one core (%)", Figure(gameIdle.Percent(), "%.2f"),
        Figure(bareIdle.Percent(), "%.2f"), "", "under 1 %");
    char watched[96];
    std::snprintf(watched, sizeof(watched), "idle, board read off the screen every %d ms (%%)",
                  WatchPollMs);
    Row(watched, Figure(gameWatched.Percent(), "%.2f"), "", "", "(cost of watching)");
    if (played.won > 0) {
        std::snprintf(label, sizeof(label), "%d level(s) won, showings watched: wall (ms)",
                      played.won);
        Row(label, Figure(played.level.wallMs), "", "", "");
        Row("  processor time (ms) / share of one core (%)",
            Figure(played.level.cpuMs) + " / " + Figure(played.level.Percent(), "%.2f"), "", "",
            "");
        std::snprintf(label, sizeof(label),
                      "%d winning press(es), each + %d ms unwatched:", played.won,
                      AfterWinningPressMs);
        Row(label, "", "", "", "");
        Row("  processor time per winning press (ms)", Figure(played.wait.cpuMs / played.won), "",
            "", "");
        Row("  the same as a share of the one-second wait (%)",
            Figure(played.wait.cpuMs / played.won / 10.0, "%.2f"), "", "",
            "under 2 % of its second");
    } else {
        Row("levels won", "0 (not measured)", "", "", "");
    }
    Row("exit code of the game after Yes", Figure(static_cast<double>(gameExit), "%.0f"), "", "",
        "0");
    std::printf("(processor times have the 10 ms resolution of the system's clock ticks)\n");
    std::fflush(stdout);
    return 0;
}
