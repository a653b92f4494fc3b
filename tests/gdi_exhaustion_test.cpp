// The process runs out of GDI objects: brushes are hoarded until CreateSolidBrush fails, and the
// main window, the board with a lit box, the cells and the owner-drawn buttons are painted with
// nothing left. Nothing crashes or hangs; once the hoard is released and everything painted
// again, no object made during the failures is left over.
//
// What is left over is counted in the process itself: the number of brushes that can still be
// made before the next failure, before and after. (GetGuiResources counts the same where the
// system keeps the count; the figures of both are printed. Under Wine the live count can also be
// read from its GDI trace at the two ONDREL-MARK lines written to stderr, with
// tests/benchmarks/gdi_live_count.sh.)
// ctest-timeout: 180

#include "support/TestSupport.h"
#include "support_game.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace GameTest;
using TestSupport::PumpMessages;

namespace {

// Brushes made until the system refuses one more.
class BrushHoard {
public:
    ~BrushHoard() { Release(); }

    // Returns how many were made.
    int Fill() {
        for (;;) {
            HBRUSH brush = CreateSolidBrush(RGB(brushes.size() % 256, 7, 9));
            if (brush == nullptr) {
                return static_cast<int>(brushes.size());
            }
            brushes.push_back(brush);
        }
    }

    void Release() {
        for (HBRUSH brush : brushes) {
            DeleteObject(brush);
        }
        brushes.clear();
    }

private:
    std::vector<HBRUSH> brushes;
};

// How many more GDI objects the process can make now.
int RoomLeft() {
    BrushHoard probe;
    return probe.Fill();
}

// Every window of the main form painted: frame, client area, children, owner-drawn buttons.
void PaintEverything(MyGame::FormMain& form) {
    RedrawWindow(form.window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages(100);
}

// What the paint paths do when everything they make fails: cells change text, a button is
// pressed and released, the board lights another box.
void PaintThroughEveryPath(MyGame::FormMain& form) {
    PaintEverything(form);
    form.messageCell->SetText(std::string("Ora tocca a te. Ripeti la sequenza"));
    form.countCell->SetText(std::string("-3"));
    SendMessageW(form.infoButton->window, BM_SETSTATE, TRUE, 0);
    UpdateWindow(form.infoButton->window);
    SendMessageW(form.infoButton->window, BM_SETSTATE, FALSE, 0);
    SetFocus(form.closeButton->window);
    form.board->redLit = false;
    form.board->blueLit = true;
    InvalidateRect(form.board->window, nullptr, FALSE);
    PumpMessages(100);
    PaintEverything(form);
}

DWORD GuiObjects() {
    return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
}

} // namespace

TEST(GdiExhaustion, PaintingWithoutGdiObjectsLeavesNothingBehind) {
    auto form = MakeMainWindow();
    ASSERT_NE(form->window, nullptr);
    form->timer->Stop();
    ClickPlay(*form);
    Step(*form);
    ASSERT_GT(LitBox(*form->board), 0) << "a box is lit";
    // Everything the window keeps for good (fonts, the control brush) is made by a first paint.
    PaintThroughEveryPath(*form);
    PaintThroughEveryPath(*form);

    const int roomBefore = RoomLeft();
    const DWORD countedBefore = GuiObjects();
    std::fprintf(stderr, "ONDREL-MARK before-the-failures\n");
    ASSERT_GT(roomBefore, 100);

    {
        BrushHoard hoard;
        const int hoarded = hoard.Fill();
        EXPECT_EQ(CreateSolidBrush(0x123456), nullptr) << "the process is out of GDI objects";
        const ULONGLONG start = GetTickCount64();
        for (int round = 0; round < 3; ++round) {
            PaintThroughEveryPath(*form);
        }
        const ULONGLONG painted = GetTickCount64() - start;
        EXPECT_TRUE(IsWindow(form->window));
        std::printf("hoarded %d brushes; three rounds of painting without GDI objects took "
                    "%llu ms\n",
                    hoarded, painted);
    }

    PaintThroughEveryPath(*form);
    PaintThroughEveryPath(*form);
    std::fprintf(stderr, "ONDREL-MARK after-the-repaint\n");
    const int roomAfter = RoomLeft();
    const DWORD countedAfter = GuiObjects();
    std::printf("room for GDI objects: %d before, %d after; GetGuiResources(GR_GDIOBJECTS): "
                "%lu before, %lu after\n",
                roomBefore, roomAfter, countedBefore, countedAfter);
    EXPECT_EQ(roomAfter, roomBefore) << "objects made during the failures are left over";
    if (countedBefore != 0) {
        EXPECT_EQ(countedAfter, countedBefore);
    }

    // The window paints as before: the lit box in full colour.
    form->board->redLit = true;
    form->board->blueLit = false;
    InvalidateRect(form->board->window, nullptr, FALSE);
    PumpMessages(50);
    EXPECT_TRUE(TestSupport::ColorNear(
        TestSupport::ReadPixel(form->board->window, BoxCentre[1].x, BoxCentre[1].y), LitColour[1],
        12));
}
