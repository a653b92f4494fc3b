// Processor time of the game's main window: idle with its 30 ms timer running, while a level is
// shown, and while the player repeats it, the winning press's one-second wait included.
// Goal: idle under 1 % of one core.
//
// Usage: game_cpu_bench [idle seconds]   (default 10)

#include "game/BoxGame.h"
#include "game/FormMain.h"
#include "game/ProgramInfo.h"

#include "framework/controls/Button.h"
#include "framework/controls/Timer.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// User plus kernel time of this process, in milliseconds.
double ProcessCpuMs() {
    FILETIME creation{};
    FILETIME exit{};
    FILETIME kernel{};
    FILETIME user{};
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
    auto toUnits = [](const FILETIME& time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(toUnits(kernel) + toUnits(user)) / 10000.0;
}

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER value{};
        QueryPerformanceFrequency(&value);
        return value;
    }();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Dispatches messages as a message loop does (sleeping until one arrives) until done() holds
// or the time is up.
void Pump(const std::function<bool()>& done, double limitMs) {
    const double end = NowMs() + limitMs;
    MSG message;
    while (!done()) {
        const double left = end - NowMs();
        if (left <= 0) {
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

struct Figures {
    double wallMs;
    double cpuMs;
};

Figures Measure(const std::function<void()>& work) {
    const double cpuBefore = ProcessCpuMs();
    const double wallBefore = NowMs();
    work();
    return {NowMs() - wallBefore, ProcessCpuMs() - cpuBefore};
}

void Print(const char* what, const Figures& figures) {
    const double share = figures.wallMs > 0 ? 100.0 * figures.cpuMs / figures.wallMs : 0.0;
    std::printf("%-44s %10.1f %10.1f %8.2f%%\n", what, figures.wallMs, figures.cpuMs, share);
}

void PressBox(MyGame::FormMain& form, int box) {
    static const POINT centre[5] = {{0, 0}, {102, 90}, {297, 90}, {102, 260}, {297, 260}};
    SendMessageW(form.board->window, WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(centre[box].x, centre[box].y));
    SendMessageW(form.board->window, WM_LBUTTONUP, 0, MAKELPARAM(centre[box].x, centre[box].y));
}

} // namespace

int main(int argc, char** argv) {
    const int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 10;
    auto form = std::make_unique<MyGame::FormMain>(
        GetModuleHandleW(nullptr), std::string("Ondrel ") + MyGame::CopyrightNotice);
    Pump([] { return false; }, 300);

    std::printf("%-44s %10s %10s %9s\n", "phase", "wall ms", "cpu ms", "cpu %");
    const Figures idleRun = Measure([&] { Pump([] { return false; }, idleSeconds * 1000.0); });
    Print("idle, timer running, messages pumped", idleRun);

    // For comparison: the same wait with the game's timer stopped, and with a bare 30 ms
    // system timer on a window of the system's own class, handled by nobody.
    form->timer->Stop();
    const Figures stopped = Measure([&] { Pump([] { return false; }, idleSeconds * 1000.0); });
    Print("idle, timer stopped (baseline)", stopped);
    HWND bare = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    SetTimer(bare, 1, 30, nullptr);
    const Figures bareTimer = Measure([&] { Pump([] { return false; }, idleSeconds * 1000.0); });
    Print("idle, bare 30 ms timer on a static window", bareTimer);
    KillTimer(bare, 1);
    DestroyWindow(bare);
    form->timer->Start();

    const Figures showing = Measure([&] {
        SendMessageW(form->playButton->window, BM_CLICK, 0, 0);
        Pump([&] { return !form->showing; }, 20000);
    });
    Print("level 0 shown (3 boxes, 30 ms timer)", showing);

    const std::vector<int> boxes = form->sequence;
    const Figures answer = Measure([&] {
        for (int box : boxes) {
            PressBox(*form, box);
        }
    });
    Print("level 0 repeated (3 presses + 1 s wait)", answer);
    std::printf("won: %s; idle goal under 1%% of one core: %.2f%%\n",
                form->targetLength == 4 ? "yes" : "no",
                idleRun.wallMs > 0 ? 100.0 * idleRun.cpuMs / idleRun.wallMs : 0.0);
    std::fflush(stdout);

    form.reset();
    return 0;
}
