#include "framework/Font.h"
#include "framework/Form.h"
#include "framework/controls/CellControl.h"
#include "support/TestSupport.h"
#include "support_panel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

using namespace VelkUtility;
using namespace TestSupport;
using PanelSupport::FindInk;
using PanelSupport::InkBox;
using PanelSupport::IsDark;
using PanelSupport::MakeBitmap;
using PanelSupport::MakeHostForm;
using PanelSupport::MemoryCanvas;

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Green = RGB(0, 255, 0);

// Renders a cell's layers into a white memory canvas of the given size.
PixelImage Render(CellControl& cell, int width, int height, COLORREF fill = White) {
    MemoryCanvas canvas(width, height, fill);
    cell.PaintInto(canvas.dc, canvas.Rect());
    return canvas.Capture();
}

// Line height of the cell font a new cell uses.
int DefaultLineHeight() {
    Font font("Tahoma", 14);
    return PanelSupport::LineHeightOf(font.GetHandle());
}

int DifferentPixels(const PixelImage& a, const PixelImage& b) {
    if (a.width != b.width || a.height != b.height) {
        return -1;
    }
    int count = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        if (!ColorNear(a.pixels[i], b.pixels[i], 8)) {
            ++count;
        }
    }
    return count;
}

// Gives the cell a picture of the size, placed as align says.
void SetPicture(CellControl& cell, HBITMAP picture, int width, int height, int align) {
    cell.picture = picture;
    cell.pictureWidth = width;
    cell.pictureHeight = height;
    cell.pictureAlign = align;
}

class CellControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = MakeHostForm();
        ASSERT_NE(form->window, nullptr);
    }

    // Puts the cell at (10, 10) in the form, 200 x 50.
    static void Place(CellControl& cell) {
        cell.x = 10;
        cell.y = 10;
        cell.width = 200;
        cell.height = 50;
    }

    std::unique_ptr<Form> form;
};

} // namespace

// A cell with nothing set is a 100 x 50 panel window that is no tab stop, with its picture on
// the right; its text is black, centred and in Tahoma 14 (the next test).
TEST_F(CellControlTest, NewCellIsAnUntabbedPanelWithItsPictureOnTheRight) {
    CellControl cell(form.get());
    EXPECT_EQ(cell.typeName, "panel");
    cell.Create();
    ASSERT_NE(cell.window, nullptr);
    RECT client{};
    GetClientRect(cell.window, &client);
    EXPECT_EQ(client.right, 100);
    EXPECT_EQ(client.bottom, 50);
    EXPECT_EQ(StyleOf(cell.window) & WS_TABSTOP, 0);

    HBITMAP picture = MakeBitmap(16, 16, Red);
    ASSERT_NE(picture, nullptr);
    cell.picture = picture;
    cell.pictureWidth = 16;
    cell.pictureHeight = 16;
    const InkBox red = FindInk(Render(cell, 100, 50), [](COLORREF c) { return c == Red; });
    DeleteObject(picture);
    EXPECT_EQ(red.count, 256);
    EXPECT_EQ(red.left, 81) << "3 pixels from the right edge, as pictureAlign 1 places it";
}

TEST(CellControl, TextIsBlackCentredAndVerticallyPlacedByTheLineHeight) {
    const int lineHeight = DefaultLineHeight();
    ASSERT_GT(lineHeight, 0);
    CellControl cell(nullptr);
    cell.text = L"Livello: 0";

    InkBox previous;
    for (int height : {50, 80}) {
        SCOPED_TRACE(height);
        const PixelImage image = Render(cell, 200, height);
        const InkBox ink = FindInk(image, IsDark);
        ASSERT_FALSE(ink.Empty());
        EXPECT_GT(image.CountIf([](COLORREF p) { return IsInkOf(p, RGB(0, 0, 0)); }), 0)
            << "black text";
        const int top = (height - lineHeight) / 2;
        EXPECT_GE(ink.top, top);
        EXPECT_LT(ink.bottom, top + lineHeight);
        // Centred as plain GDI centres the same text in the same font: the glyphs' own side
        // bearings make the ink itself a few pixels off the middle.
        MemoryCanvas reference(200, height, White);
        Font cellFont("Tahoma", 14);
        HGDIOBJ previousFont = SelectObject(reference.dc, cellFont.GetHandle());
        SetBkMode(reference.dc, TRANSPARENT);
        RECT line{0, 0, 200, height};
        DrawTextW(reference.dc, cell.text.c_str(), -1, &line, DT_CENTER);
        SelectObject(reference.dc, previousFont);
        const InkBox centred = FindInk(reference.Capture(), IsDark);
        ASSERT_FALSE(centred.Empty());
        EXPECT_EQ(ink.left, centred.left) << "centred horizontally";
        EXPECT_EQ(ink.right, centred.right);
        if (!previous.Empty()) {
            EXPECT_EQ(ink.top - previous.top, (80 - lineHeight) / 2 - (50 - lineHeight) / 2)
                << "the line moves with the centre of the cell";
            EXPECT_EQ(ink.left, previous.left);
        }
        previous = ink;
    }
}

TEST(CellControl, TextAlignmentPlacesTheText) {
    struct Case {
        int align;
        const char* name;
    };
    const Case cases[] = {{0, "left"}, {1, "right"}, {2, "centre"}, {9, "unknown as left"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CellControl cell(nullptr);
        cell.text = L"Bravo";
        cell.textAlign = c.align;
        const InkBox ink = FindInk(Render(cell, 200, 50), IsDark);
        ASSERT_FALSE(ink.Empty());
        switch (c.align) {
        case 1:
            EXPECT_GE(ink.right, 196) << "ends at the right edge";
            break;
        case 2:
            EXPECT_LE(std::abs(ink.left - (199 - ink.right)), 3);
            break;
        default:
            EXPECT_LE(ink.left, 3) << "starts at x = 0";
            break;
        }
    }
}

TEST(CellControl, TextColourColoursTheText) {
    CellControl cell(nullptr);
    cell.text = L"Peccato";
    cell.textColor = Red;
    const PixelImage image = Render(cell, 200, 50);
    EXPECT_GT(image.CountIf([](COLORREF p) { return IsInkOf(p, Red); }), 0);
    EXPECT_EQ(FindInk(image, IsDark).count, 0) << "nothing dark: no black text";
}

TEST(CellControl, StyleFlagsShapeTheCellFont) {
    CellControl plain(nullptr);
    plain.text = L"Hai indovinato";
    const PixelImage regular = Render(plain, 220, 50);
    const InkBox regularInk = FindInk(regular, IsDark);
    ASSERT_GT(regularInk.count, 0);

    enum class Shows { MoreInk, OtherPixels, TallerInk };
    struct Case {
        const char* name;
        void (*set)(CellControl& cell);
        Shows shows;
    };
    const Case cases[] = {
        {"bold", [](CellControl& cell) { cell.bold = true; }, Shows::MoreInk},
        {"italic", [](CellControl& cell) { cell.italic = true; }, Shows::OtherPixels},
        {"underline", [](CellControl& cell) { cell.underline = true; }, Shows::MoreInk},
        {"size 28", [](CellControl& cell) { cell.fontSize = 28; }, Shows::TallerInk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CellControl cell(nullptr);
        cell.text = plain.text;
        c.set(cell);
        const PixelImage image = Render(cell, 220, 50);
        switch (c.shows) {
        case Shows::MoreInk:
            EXPECT_GT(FindInk(image, IsDark).count, regularInk.count);
            break;
        case Shows::OtherPixels:
            EXPECT_GT(DifferentPixels(image, regular), 0);
            break;
        case Shows::TallerInk:
            EXPECT_GT(FindInk(image, IsDark).Height(), regularInk.Height());
            break;
        }
    }
}

TEST(CellControl, ElementFontReplacesTheCellFontForHeightAndDrawing) {
    Font big("Tahoma", 30);
    const int bigLine = PanelSupport::LineHeightOf(big.GetHandle());
    ASSERT_GT(bigLine, DefaultLineHeight());

    CellControl cell(nullptr);
    cell.text = L"Livello";
    cell.font = &big;
    const PixelImage withFont = Render(cell, 200, 80);
    const InkBox ink = FindInk(withFont, IsDark);
    ASSERT_FALSE(ink.Empty());
    const int top = (80 - bigLine) / 2;
    EXPECT_GE(ink.top, top);
    EXPECT_LT(ink.bottom, top + bigLine);

    CellControl plain(nullptr);
    plain.text = cell.text;
    EXPECT_GT(ink.Height(), FindInk(Render(plain, 200, 80), IsDark).Height());

    // The cell's own font settings play no part any more.
    cell.fontName = "Courier New";
    cell.fontSize = 8;
    cell.bold = true;
    cell.italic = true;
    EXPECT_EQ(DifferentPixels(Render(cell, 200, 80), withFont), 0);
}

TEST(CellControl, MarkIsAStarInTheLowerRightSquare) {
    const int lineHeight = DefaultLineHeight();
    CellControl cell(nullptr);
    cell.marked = true;
    const PixelImage image = Render(cell, 100, 25);
    const InkBox ink = FindInk(image, IsDark);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.left, 100 - lineHeight);
    EXPECT_GE(ink.top, 25 - lineHeight);
    const int square = 100 - lineHeight;
    EXPECT_LE(std::abs((ink.left - square) - (99 - ink.right)), 2) << "centred in the square";

    cell.textColor = Red;
    EXPECT_GT(Render(cell, 100, 25).CountIf([](COLORREF p) { return IsInkOf(p, Red); }), 0)
        << "the mark takes the text colour";
}

TEST(CellControl, PicturePlacementFollowsTheAlignment) {
    // Red with one black pixel at (5, 5), which stays transparent.
    HBITMAP picture = MakeBitmap(16, 16, Red, [](int x, int y, COLORREF fill) {
        return x == 5 && y == 5 ? RGB(0, 0, 0) : fill;
    });
    ASSERT_NE(picture, nullptr);
    struct Case {
        int align;
        int left;
    };
    const Case cases[] = {{1, 81}, {2, 42}, {0, 3}, {7, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.align);
        CellControl cell(nullptr);
        SetPicture(cell, picture, 16, 16, c.align);
        const PixelImage image = Render(cell, 100, 50);
        EXPECT_EQ(image.Count(Red), 255);
        for (int y = 17; y < 33; ++y) {
            for (int x = c.left; x < c.left + 16; ++x) {
                const COLORREF expected = x == c.left + 5 && y == 22 ? White : Red;
                ASSERT_EQ(image.At(x, y), expected) << "at " << x << "," << y;
            }
        }
        EXPECT_EQ(image.At(c.left - 1, 20), White);
        EXPECT_EQ(image.At(c.left + 16, 20), White);
        EXPECT_EQ(image.At(c.left, 16), White);
        EXPECT_EQ(image.At(c.left, 33), White);
    }
    DeleteObject(picture);
}

TEST(CellControl, PictureLiesOverTheText) {
    HBITMAP picture = MakeBitmap(40, 30, Red);
    CellControl cell(nullptr);
    cell.text = L"WWWWWWWWWWWWWW";
    SetPicture(cell, picture, 40, 30, 2);
    const PixelImage image = Render(cell, 100, 50);
    ASSERT_GT(FindInk(image, IsDark).count, 0) << "text around the picture";
    EXPECT_EQ(FindInk(image, IsDark, 30, 10, 70, 40).count, 0) << "none shows through it";
    EXPECT_EQ(image.Count(Red), 40 * 30);
    DeleteObject(picture);
}

TEST(CellControl, EmptyTextDrawsOnlyTheMarkAndThePicture) {
    const int lineHeight = DefaultLineHeight();
    HBITMAP picture = MakeBitmap(16, 16, Red);
    CellControl cell(nullptr);
    cell.marked = true;
    SetPicture(cell, picture, 16, 16, 0);
    const PixelImage image = Render(cell, 100, 50);
    EXPECT_EQ(image.Count(Red), 256);
    const InkBox mark = FindInk(image, IsDark, 100 - lineHeight, 50 - lineHeight);
    EXPECT_FALSE(mark.Empty());
    EXPECT_EQ(FindInk(image, IsDark).count, mark.count) << "no text anywhere else";
    DeleteObject(picture);
}

TEST(CellControl, PaintedBackgroundIsFilledBeforeTheText) {
    CellControl cell(nullptr);
    cell.text = L"Livello: 1";
    cell.backColor = Green;
    const PixelImage unpainted = Render(cell, 200, 50);
    EXPECT_EQ(unpainted.At(2, 2), White) << "only a painted background is filled";

    cell.backPainted = true;
    const PixelImage painted = Render(cell, 200, 50);
    EXPECT_EQ(painted.At(2, 2), Green);
    EXPECT_EQ(painted.At(197, 47), Green);
    EXPECT_EQ(FindInk(painted, IsDark).count, FindInk(unpainted, IsDark).count)
        << "the text lies on top";
    EXPECT_EQ(FindInk(
                  painted, [](COLORREF c) { return c == White; }, 0, 0, 199, 49)
                  .count,
              0)
        << "no canvas shows through (the filled rectangle may leave its last row and column)";
}

TEST_F(CellControlTest, CreatedCellShowsItsTextOnScreen) {
    CellControl cell(form.get());
    Place(cell);
    cell.SetText(std::string("Livello: 0"));
    EXPECT_EQ(cell.text, L"Livello: 0") << "stored before Create";
    cell.Create();
    ASSERT_NE(cell.window, nullptr);
    EXPECT_EQ(static_cast<DWORD>(StyleOf(cell.window)), 0x50000000u) << "no tab stop";
    PumpMessages(50);

    const PixelImage screen = CaptureClient(cell.window);
    MemoryCanvas expected(200, 50, GetSysColor(COLOR_BTNFACE));
    cell.PaintInto(expected.dc, expected.Rect());
    EXPECT_EQ(DifferentPixels(screen, expected.Capture()), 0);
    EXPECT_GT(FindInk(screen, IsDark).count, 0);
}

TEST_F(CellControlTest, SetTextRepaintsWithoutFurtherCalls) {
    CellControl cell(form.get());
    Place(cell);
    cell.text = L"Livello: 0";
    cell.Create();
    PumpMessages(50);
    const PixelImage before = CaptureClient(cell.window);
    ASSERT_GT(FindInk(before, IsDark).count, 0);

    cell.SetText(std::string("Livello: ") + "3");
    EXPECT_EQ(cell.text, L"Livello: 3");
    EXPECT_EQ(WindowText(cell.window), L"Livello: 3");
    RECT pending{};
    EXPECT_TRUE(GetUpdateRect(cell.window, &pending, FALSE)) << "invalidated";

    PumpMessages(50);
    const PixelImage after = CaptureClient(cell.window);
    EXPECT_GT(DifferentPixels(before, after), 0);
    MemoryCanvas expected(200, 50, GetSysColor(COLOR_BTNFACE));
    cell.PaintInto(expected.dc, expected.Rect());
    EXPECT_EQ(DifferentPixels(after, expected.Capture()), 0) << "the old text is erased";

    cell.SetText(std::wstring(L"Bravo"));
    EXPECT_TRUE(GetUpdateRect(cell.window, &pending, FALSE)) << "the wide form invalidates too";
}

TEST_F(CellControlTest, BackColourSetAfterCreateSurvivesRepaints) {
    CellControl cell(form.get());
    Place(cell);
    cell.text = L"Info";
    cell.Create();
    PumpMessages(30);
    cell.SetBackColor(Green);
    EXPECT_TRUE(cell.backPainted);

    InvalidateRect(cell.window, nullptr, TRUE);
    PumpMessages(50);
    EXPECT_EQ(ReadPixel(cell.window, 3, 3), Green);
    EXPECT_EQ(ReadPixel(cell.window, 196, 46), Green);
    EXPECT_GT(FindInk(CaptureClient(cell.window), IsDark).count, 0);
}

TEST_F(CellControlTest, PaintCallbackRunsWithBackPaintedClearedEvenBeforeCreate) {
    static int calls = 0;
    static bool sawBackPainted = true;
    calls = 0;
    sawBackPainted = true;
    CellControl cell(form.get());
    cell.onPaint = [](GUIElement* element) {
        ++calls;
        sawBackPainted = element->backPainted;
    };
    cell.backPainted = true;
    cell.OnPaint();
    EXPECT_EQ(calls, 1) << "called without a window too";
    EXPECT_FALSE(sawBackPainted);
    EXPECT_TRUE(cell.backPainted) << "restored afterwards";

    cell.Create();
    calls = 0;
    InvalidateRect(cell.window, nullptr, TRUE);
    PumpMessages(50);
    EXPECT_EQ(calls, 1) << "once per WM_PAINT";
    EXPECT_FALSE(sawBackPainted);
    EXPECT_TRUE(cell.backPainted);
    RECT pending{};
    EXPECT_FALSE(GetUpdateRect(cell.window, &pending, FALSE)) << "the paint was validated";
}
