// The game board: painted boxes read back from its window, and presses sent to its window as
// real mouse messages.

#include "support_board.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using BoardTestSupport::BoardHeight;
using BoardTestSupport::BoardTest;
using BoardTestSupport::BoardWidth;
using BoardTestSupport::Boxes;
using BoardTestSupport::BoxHeight;
using BoardTestSupport::BoxPlace;
using BoardTestSupport::BoxWidth;
using BoardTestSupport::Centre;
using VelkUtility::BoxGame;
using VelkUtility::Form;

namespace {

constexpr COLORREF Black = 0x000000;

// Smallest rectangle holding every pixel of a colour; count 0 when there is none.
struct Extent {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    int count = 0;
};

Extent ExtentOf(const TestSupport::PixelImage& image, COLORREF colour) {
    Extent extent;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.At(x, y) != colour) {
                continue;
            }
            if (extent.count == 0) {
                extent.left = extent.right = x;
                extent.top = extent.bottom = y;
            }
            extent.left = std::min(extent.left, x);
            extent.right = std::max(extent.right, x);
            extent.top = std::min(extent.top, y);
            extent.bottom = std::max(extent.bottom, y);
            ++extent.count;
        }
    }
    return extent;
}

// The four boxes of an image of a whole 400 x 350 board, in the given colours: each fills its
// place (GDI leaves out the last column and row of a shape without outline, so the far edges
// may fall one pixel short), with its corners rounded off.
void ExpectBoxes(const TestSupport::PixelImage& image, const COLORREF (&colours)[4]) {
    for (int box = 1; box <= 4; ++box) {
        SCOPED_TRACE("box " + std::to_string(box));
        const BoxPlace& place = Boxes[box - 1];
        const Extent extent = ExtentOf(image, colours[box - 1]);
        ASSERT_GT(extent.count, 0);
        EXPECT_EQ(place.left, extent.left);
        EXPECT_EQ(place.top, extent.top);
        EXPECT_GE(extent.right, place.left + BoxWidth - 2);
        EXPECT_LE(extent.right, place.left + BoxWidth - 1);
        EXPECT_GE(extent.bottom, place.top + BoxHeight - 2);
        EXPECT_LE(extent.bottom, place.top + BoxHeight - 1);
        // Nearly the whole rectangle is the box's colour; only the corners are cut off.
        const int area = (extent.right - extent.left + 1) * (extent.bottom - extent.top + 1);
        EXPECT_GT(extent.count, area - 100);
        EXPECT_LT(extent.count, area);
        // Rounded corners: the corner pixels show the background.
        EXPECT_EQ(Black, image.At(extent.left, extent.top));
        EXPECT_EQ(Black, image.At(extent.right, extent.top));
        EXPECT_EQ(Black, image.At(extent.left, extent.bottom));
        EXPECT_EQ(Black, image.At(extent.right, extent.bottom));
        EXPECT_EQ(colours[box - 1], image.At(extent.left, place.top + BoxHeight / 2));
        EXPECT_EQ(colours[box - 1], image.At(place.left + BoxWidth / 2, extent.top));
    }
    // Margins: around the boxes and between them, only black.
    const COLORREF expected[4] = {colours[0], colours[1], colours[2], colours[3]};
    int strays = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const COLORREF pixel = image.At(x, y);
            bool known = pixel == Black;
            for (COLORREF colour : expected) {
                known = known || pixel == colour;
            }
            strays += known ? 0 : 1;
        }
    }
    EXPECT_EQ(0, strays) << "pixels neither black nor a box colour";
    for (const POINT margin : std::vector<POINT>{
             {5, 5}, {200, 90}, {100, 175}, {200, 175}, {397, 347}, {300, 5}, {5, 300}}) {
        EXPECT_EQ(Black, image.At(margin.x, margin.y)) << margin.x << "," << margin.y;
    }
}

// What the board reported, in order: a box number, or -1 for the onLeftButtonDown callback.
std::vector<int> reports;
POINT lastPress = {-1, -1};
BoxGame* reportingBoard = nullptr;

void RecordBox(BoxGame* board, int box) {
    reportingBoard = board;
    reports.push_back(box);
}

int RecordPress(VelkUtility::GUIElement* element, HWND window, int x, int y) {
    EXPECT_EQ(element->window, window);
    lastPress = {x, y};
    reports.push_back(-1);
    return 0;
}

} // namespace

TEST_F(BoardTest, AllDarkShowsFourDarkBoxesOnBlack) {
    const TestSupport::PixelImage image = Screen();
    ASSERT_EQ(BoardWidth, image.width);
    ASSERT_EQ(BoardHeight, image.height);
    ExpectBoxes(image, {Boxes[0].dark, Boxes[1].dark, Boxes[2].dark, Boxes[3].dark});
}

TEST_F(BoardTest, EachFlagLightsOnlyItsOwnBox) {
    bool* const flags[4] = {&board->redLit, &board->yellowLit, &board->blueLit, &board->greenLit};
    for (int box = 1; box <= 4; ++box) {
        SCOPED_TRACE("lit box " + std::to_string(box));
        for (bool* flag : flags) {
            *flag = false;
        }
        *flags[box - 1] = true;
        COLORREF colours[4];
        for (int other = 1; other <= 4; ++other) {
            colours[other - 1] = other == box ? Boxes[other - 1].lit : Boxes[other - 1].dark;
        }
        ExpectBoxes(Screen(), colours);
    }
}

TEST_F(BoardTest, YellowLitShowsOnlyTheTopRightBoxInFullYellow) {
    board->yellowLit = true;
    const TestSupport::PixelImage image = Screen();
    EXPECT_EQ(0x00FFFF, TestSupport::ReadPixel(board->window, Centre(2).x, Centre(2).y));
    const Extent yellow = ExtentOf(image, 0x00FFFF);
    EXPECT_EQ(205, yellow.left);
    EXPECT_EQ(10, yellow.top);
    EXPECT_LE(yellow.right, 389);
    EXPECT_LE(yellow.bottom, 169);
    for (int box : {1, 3, 4}) {
        EXPECT_EQ(0, image.Count(Boxes[box - 1].lit)) << "box " << box;
        EXPECT_EQ(Boxes[box - 1].dark, image.At(Centre(box).x, Centre(box).y)) << "box " << box;
    }
}

TEST_F(BoardTest, DarkeningAgainRepaintsTheLitBoxDark) {
    board->greenLit = true;
    EXPECT_EQ(Boxes[3].lit, Screen().At(Centre(4).x, Centre(4).y));
    board->greenLit = false;
    EXPECT_EQ(Boxes[3].dark, Screen().At(Centre(4).x, Centre(4).y));
}

// The paint routine draws into any context: here a memory bitmap, without a window.
TEST(BoxGamePaint, PaintBoxesDrawsIntoAMemoryContext) {
    Form owner(GetModuleHandleW(nullptr));
    BoxGame board(&owner);
    board.blueLit = true;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, BoardWidth, BoardHeight);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    RECT all = {0, 0, BoardWidth, BoardHeight};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    board.PaintBoxes(memory, BoardWidth, BoardHeight);

    const TestSupport::PixelImage image =
        TestSupport::CaptureDC(memory, 0, 0, BoardWidth, BoardHeight);
    ExpectBoxes(image, {Boxes[0].dark, Boxes[1].dark, Boxes[2].lit, Boxes[3].dark});
    // The context is still usable after the painter let go of it.
    EXPECT_NE(CLR_INVALID, SetPixel(memory, 0, 0, 0x123456));
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

// The boxes follow the size they are painted at: (Wb - 30) / 2 by (Hb - 30) / 2.
TEST(BoxGamePaint, BoxSizeFollowsTheClientSize) {
    Form owner(GetModuleHandleW(nullptr));
    BoxGame board(&owner);
    constexpr int width = 231; // boxes of 100 x 60, the odd pixel left over at the right
    constexpr int height = 151;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    board.PaintBoxes(memory, width, height);

    const TestSupport::PixelImage image = TestSupport::CaptureDC(memory, 0, 0, width, height);
    const Extent green = ExtentOf(image, Boxes[3].dark);
    EXPECT_EQ(120, green.left);
    EXPECT_EQ(80, green.top);
    EXPECT_GE(green.right, 218);
    EXPECT_LE(green.right, 219);
    EXPECT_GE(green.bottom, 138);
    EXPECT_LE(green.bottom, 139);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

TEST(BoxGameHitTest, BoxAtUsesInclusiveBoundsOfEachBox) {
    struct Case {
        int width, height, x, y, box;
    };
    const Case cases[] = {
        {400, 350, 195, 170, 1},                          // far corner of box 1, bounds inclusive
        {400, 350, 196, 100, 0},                          // just right of box 1
        {400, 350, 205, 10, 2},                           // near corner of box 2
        {400, 350, 390, 340, 4},                          // far corner of box 4
        {400, 350, 200, 175, 0},                          // between the four boxes
        {400, 350, 10, 180, 3},  {400, 350, 9, 100, 0},   // left margin
        {400, 350, 100, 9, 0},                            // top margin
        {400, 350, 100, 171, 0},                          // between the rows
        {400, 350, 391, 200, 0},                          // right margin
        {400, 350, 300, 341, 0},                          // bottom margin
        {400, 350, 10, 10, 1},                            // the rounded-off corner still counts
        {400, 350, -5, 20, 0},   {401, 351, 196, 100, 0}, // the odd pixel does not widen the boxes
        {231, 151, 110, 70, 1},                           // boxes of 100 x 60
        {231, 151, 111, 70, 0},  {231, 151, 220, 140, 4}, {231, 151, 221, 140, 0},
        {30, 30, 10, 10, 1}, // boxes of no size still hold their corner point
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.box, BoxGame::BoxAt(c.width, c.height, c.x, c.y))
            << c.width << "x" << c.height << " at " << c.x << "," << c.y;
    }
}

TEST_F(BoardTest, PressesReportTheBoxUnderThePoint) {
    struct Case {
        int x, y, box;
    };
    const Case cases[] = {
        {195, 170, 1}, {196, 100, 0}, {205, 10, 2}, {390, 340, 4}, {200, 175, 0}, {102, 260, 3},
    };
    board->onBoxClick = RecordBox;
    board->onLeftButtonDown = RecordPress;
    for (const Case& c : cases) {
        reports.clear();
        Press(c.x, c.y);
        const std::vector<int> expected =
            c.box != 0 ? std::vector<int>{c.box, -1} : std::vector<int>{-1};
        EXPECT_EQ(expected, reports) << "press at " << c.x << "," << c.y;
        EXPECT_EQ(c.x, lastPress.x);
        EXPECT_EQ(c.y, lastPress.y);
    }
    EXPECT_EQ(board.get(), reportingBoard);
}

TEST_F(BoardTest, PostedPressReachesTheBoardThroughTheMessageLoop) {
    board->onBoxClick = RecordBox;
    reports.clear();
    PostMessageW(board->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 250));
    PostMessageW(board->window, WM_LBUTTONUP, 0, MAKELPARAM(300, 250));
    TestSupport::PumpUntil([] { return !reports.empty(); }, 2000);
    EXPECT_EQ(std::vector<int>{4}, reports);
}

// The second press of a double click comes as WM_LBUTTONDBLCLK (the class asks for double
// clicks) and is not a second answer.
TEST_F(BoardTest, DoubleClickReportsTheBoxOnce) {
    EXPECT_NE(0u, GetClassLongPtrW(board->window, GCL_STYLE) & CS_DBLCLKS);
    board->onBoxClick = RecordBox;
    reports.clear();
    const LPARAM point = MAKELPARAM(Centre(2).x, Centre(2).y);
    SendMessageW(board->window, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(board->window, WM_LBUTTONUP, 0, point);
    SendMessageW(board->window, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    SendMessageW(board->window, WM_LBUTTONUP, 0, point);
    EXPECT_EQ(std::vector<int>{2}, reports);
}

TEST_F(BoardTest, PressWithoutBoxCallbackStillReachesTheButtonCallback) {
    board->onLeftButtonDown = RecordPress;
    reports.clear();
    Press(Centre(1).x, Centre(1).y);
    EXPECT_EQ(std::vector<int>{-1}, reports);
    EXPECT_EQ(Centre(1).x, lastPress.x);
}

// The hit test measures the window as it is, not the size last stored in the element.
TEST_F(BoardTest, HitTestFollowsTheWindowSize) {
    board->onBoxClick = RecordBox;
    SetWindowPos(board->window, nullptr, 0, 0, 300, 250, SWP_NOMOVE | SWP_NOZORDER);
    // Boxes of 135 x 110 now: box 1 ends at x = 145, box 2 starts at 155.
    reports.clear();
    Press(150, 50);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(300, board->width);
    EXPECT_EQ(250, board->height);
    Press(155, 50);
    EXPECT_EQ(std::vector<int>{2}, reports);
    // The painting follows the same size. Shrinking leaves the old picture where the window
    // still is; the owner of a resized board would have it erased.
    InvalidateRect(board->window, nullptr, TRUE);
    const TestSupport::PixelImage image = Screen();
    const Extent yellow = ExtentOf(image, Boxes[1].dark);
    EXPECT_EQ(155, yellow.left);
    EXPECT_GE(yellow.right, 288);
    EXPECT_LE(yellow.right, 289);
}

TEST_F(BoardTest, BoardIsABlackBackedPanelOfItsOwnClass) {
    EXPECT_EQ("panel", board->typeName);
    EXPECT_EQ(form->window, GetParent(board->window));
    EXPECT_EQ(0u, TestSupport::WindowClassName(board->window).rfind(L"PanelChildren", 0));
    LOGBRUSH brush = {};
    ASSERT_NE(
        0, GetObjectW(reinterpret_cast<HBRUSH>(GetClassLongPtrW(board->window, GCLP_HBRBACKGROUND)),
                      sizeof(brush), &brush));
    EXPECT_EQ(static_cast<UINT>(BS_SOLID), brush.lbStyle);
    EXPECT_EQ(Black, brush.lbColor);
    EXPECT_EQ(nullptr, board->onBoxClick);
    EXPECT_FALSE(board->redLit || board->yellowLit || board->blueLit || board->greenLit);
}

// A board whose window does not exist paints nothing and still hit-tests with its fields.
TEST(BoxGameWithoutWindow, PressUsesTheStoredSize) {
    Form owner(GetModuleHandleW(nullptr));
    BoxGame board(&owner);
    board.width = BoardWidth;
    board.height = BoardHeight;
    board.onBoxClick = RecordBox;
    reports.clear();
    board.OnPaint();
    board.OnLeftButtonDown(390, 340);
    EXPECT_EQ(std::vector<int>{4}, reports);
}
