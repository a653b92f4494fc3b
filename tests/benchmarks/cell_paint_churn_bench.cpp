// Repaints a text cell (text, mark and picture) and a coloured control inside a panel many times
// and reports the time per round. The GDI objects each round makes must all be released again:
// run it with Wine's GDI trace on and compare the live object count at the two markers that it
// writes to stderr, e.g. with tests/benchmarks/gdi_live_count.sh.
//
// Usage: cell_paint_churn_bench [rounds]   (default 2000)

#include "framework/Form.h"
#include "framework/controls/CellControl.h"
#include "framework/controls/PanelChildren.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace VelkUtility;

namespace {

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

void Dispatch() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A picture with a transparent (black) border around a coloured square.
HBITMAP MakePicture() {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 16, 16};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT inner{2, 2, 14, 14};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &inner, red);
    DeleteObject(red);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

void Marker(const char* name) {
    std::fprintf(stderr, "ONDREL-MARK %s\n", name);
    std::fflush(stderr);
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 2000;

    auto form = std::make_unique<Form>(GetModuleHandleW(nullptr));
    form->width = 400;
    form->height = 300;
    form->Create();

    HBITMAP picture = MakePicture();
    auto cell = std::make_unique<CellControl>(form.get());
    cell->x = 10;
    cell->y = 10;
    cell->width = 200;
    cell->height = 50;
    cell->marked = true;
    cell->picture = picture;
    cell->pictureWidth = 16;
    cell->pictureHeight = 16;
    cell->bold = true;
    cell->Create();
    cell->SetBackColor(RGB(240, 240, 200));

    auto panel = std::make_unique<PanelChildren>(form.get());
    panel->x = 10;
    panel->y = 80;
    panel->width = 200;
    panel->height = 60;
    panel->childBackColor = RGB(0, 255, 0);
    panel->childTextColor = RGB(0, 0, 255);
    panel->Create();
    HWND label = CreateWindowExW(0, L"static", L"Livello", WS_CHILD | WS_VISIBLE, 5, 5, 150, 30,
                                 panel->window, nullptr, nullptr, nullptr);

    auto round = [&](int index) {
        cell->SetText("Livello: " + std::to_string(index));
        UpdateWindow(cell->window);
        InvalidateRect(label, nullptr, TRUE);
        UpdateWindow(label);
        Dispatch();
    };

    // Lets caches that live for the whole process (fonts, stock objects) fill first.
    for (int i = 0; i < 50; ++i) {
        round(i);
    }
    Marker("before");
    const double start = NowMs();
    for (int i = 0; i < rounds; ++i) {
        round(i);
    }
    const double elapsed = NowMs() - start;
    Marker("after");

    std::printf("cell_paint_churn: %d rounds in %.1f ms, %.3f ms per round "
                "(cell paint with text, mark and picture + WM_CTLCOLORSTATIC on a panel)\n",
                rounds, elapsed, rounds > 0 ? elapsed / rounds : 0.0);

    panel.reset();
    cell.reset();
    DeleteObject(picture);
    form.reset();
    return 0;
}
