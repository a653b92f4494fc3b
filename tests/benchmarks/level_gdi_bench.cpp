// Plays twenty levels and opens and closes the about box three hundred times in the game's real
// main window, writing a marker line to stderr ("ONDREL-MARK <name>") at each point where the
// live GDI objects are counted: scripts/perf.sh runs it with Wine's GDI trace on and reads the
// count at each marker. Levels are driven as the tests drive them: the form's own tick and
// presses on the board, each won level with its one-second wait. On its own it prints the
// time each part took.
//
// Usage: level_gdi_bench [levels (20)] [about box openings (300)]

#include "../support_game.h"

#include "framework/about/FormAbout.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace GameTest;

namespace {

void Pump() {
    MSG message;
    for (int round = 0; round < 2; ++round) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void Mark(const char* name) {
    Pump();
    std::fprintf(stderr, "ONDREL-MARK %s\n", name);
    std::fflush(stderr);
}

double NowMs() {
    return static_cast<double>(GetTickCount64());
}

// Repeats the showing on the board and wins the level; false when the game did not follow.
bool WinLevel(MyGame::FormMain& form) {
    ShowWholeLevel(form);
    if (form.showing || form.sequence.empty()) {
        return false;
    }
    const int target = form.targetLength;
    const std::vector<int> boxes = form.sequence;
    for (int box : boxes) {
        Press(form, box);
        Pump();
    }
    return form.targetLength == target + 1;
}

} // namespace

int main(int argc, char** argv) {
    const int levels = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const int openings = argc > 2 ? std::max(1, std::atoi(argv[2])) : 300;

    Mark("before");
    std::unique_ptr<MyGame::FormMain> form = MakeMainWindow();
    if (form->window == nullptr) {
        std::fprintf(stderr, "no main window\n");
        return 1;
    }
    form->timer->Stop();
    SeedGame(2026);
    Pump();
    Mark("start");

    double start = NowMs();
    ClickPlay(*form);
    int won = 0;
    for (int level = 0; level < levels; ++level) {
        if (!WinLevel(*form)) {
            std::fprintf(stderr, "level %d not won\n", level);
            break;
        }
        ++won;
        if (won == 1) {
            Mark("level-1");
        }
    }
    Mark(("level-" + std::to_string(won)).c_str());
    std::printf("%d levels won in %.0f ms\n", won, NowMs() - start);

    start = NowMs();
    for (int opening = 1; opening <= openings; ++opening) {
        SendMessageW(form->infoButton->window, BM_CLICK, 0, 0);
        Pump();
        if (form->aboutForm == nullptr || form->aboutForm->okButton == nullptr) {
            std::fprintf(stderr, "the about box did not open\n");
            break;
        }
        SendMessageW(form->aboutForm->okButton->window, BM_CLICK, 0, 0);
        if (opening == 1) {
            Mark("about-1");
        }
    }
    Mark(("about-" + std::to_string(openings)).c_str());
    std::printf("%d about box openings in %.0f ms\n", openings, NowMs() - start);
    std::fflush(stdout);

    form.reset();
    Mark("end");
    return 0;
}
