#include "framework/Font.h"
#include "framework/controls/Drawing.h"
#include "support/TestSupport.h"
#include "support_controls.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

using namespace VelkUtility;
using ControlsTest::Canvas;
using ControlsTest::Extent;
using ControlsTest::ExtentOf;
using TestSupport::IsInkOf;

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Green = RGB(0, 255, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);

bool IsWhite(COLORREF c) {
    return c == White;
}
bool NotWhite(COLORREF c) {
    return c != White;
}

// A painter drawing into a canvas, as the button look draws into a draw-item context.
struct AttachedPainter {
    explicit AttachedPainter(Canvas& canvas) : painter(nullptr) { painter.AttachDC(canvas.dc); }
    Drawing painter;
};

} // namespace

TEST(DrawingShapes, FillCoversTheRectangleAndNothingOutside) {
    Canvas canvas(100, 60);
    AttachedPainter p(canvas);
    p.painter.FillRectangle(10, 10, 30, 20, Red);

    // Inside: everything but the right column and bottom row, which Rectangle leaves out
    // without a pen.
    for (int y = 10; y < 29; ++y) {
        for (int x = 10; x < 39; ++x) {
            ASSERT_EQ(canvas.At(x, y), Red) << x << "," << y;
        }
    }
    const Extent filled = ExtentOf(canvas, 0, 0, 100, 60, NotWhite);
    EXPECT_EQ(filled.left, 10);
    EXPECT_EQ(filled.top, 10);
    EXPECT_LE(filled.right, 39);
    EXPECT_LE(filled.bottom, 29);
}

TEST(DrawingShapes, FrameIsAOnePixelOutlineWithTheInsideUntouched) {
    Canvas canvas(100, 60);
    AttachedPainter p(canvas);
    p.painter.FrameRectangle(10, 10, 30, 20, Blue);

    for (int x = 10; x < 40; ++x) {
        EXPECT_EQ(canvas.At(x, 10), Blue) << x;
        EXPECT_EQ(canvas.At(x, 29), Blue) << x;
    }
    for (int y = 10; y < 30; ++y) {
        EXPECT_EQ(canvas.At(10, y), Blue) << y;
        EXPECT_EQ(canvas.At(39, y), Blue) << y;
    }
    EXPECT_EQ(canvas.Count([](COLORREF c) { return c == Blue; }), 2 * 30 + 2 * 18);
    EXPECT_EQ(canvas.Count(IsWhite), 100 * 60 - (2 * 30 + 2 * 18));
}

TEST(DrawingShapes, RoundFillLeavesTheCornersAndFillsTheMiddle) {
    Canvas canvas(100, 60);
    AttachedPainter p(canvas);
    p.painter.FillRoundRectangle(10, 10, 40, 30, Green);

    EXPECT_EQ(canvas.At(10, 10), White);
    EXPECT_EQ(canvas.At(49, 10), White);
    EXPECT_EQ(canvas.At(10, 39), White);
    EXPECT_EQ(canvas.At(49, 39), White);
    EXPECT_EQ(canvas.At(30, 25), Green);
    EXPECT_EQ(canvas.At(30, 10), Green); // the straight part of the top edge
    EXPECT_EQ(canvas.At(10, 25), Green); // the straight part of the left edge
    EXPECT_EQ(ExtentOf(canvas, 0, 0, 100, 60, NotWhite).left, 10);
}

TEST(DrawingShapes, WithoutAContextNothingIsDrawnAndNothingFails) {
    Drawing painter(nullptr);
    painter.FillRectangle(0, 0, 10, 10, Red);
    painter.FrameRectangle(0, 0, 10, 10, Red);
    painter.FillRoundRectangle(0, 0, 10, 10, Red);
    painter.DrawString(0, 0, 10, 10, std::wstring(L"x"), AlignLeft, Red, nullptr);
    ControlsTest::Bitmap bitmap(4, 4, [](int, int) { return White; });
    painter.DrawTransparentBitmap(0, 0, 0, 0, bitmap.handle);
    EXPECT_EQ(painter.dc, nullptr);
}

// Horizontal placement of a text in a 300-pixel-wide rectangle for each alignment code.
TEST(DrawingText, AlignmentCodesPlaceTheTextLeftRightOrCentred) {
    Font font("Arial", 20);
    struct Case {
        int alignment;
        const char* name;
    };
    const Case cases[] = {{AlignLeft, "left"},
                          {AlignRight, "right"},
                          {AlignCenter, "centre"},
                          {5, "unknown"},
                          {-1, "negative"}};
    Extent left;
    for (const Case& c : cases) {
        Canvas canvas(320, 40);
        AttachedPainter p(canvas);
        p.painter.DrawString(10, 5, 300, 30, std::wstring(L"Livello"), c.alignment, Blue, &font);
        const Extent e = ExtentOf(canvas, 0, 0, 320, 40, NotWhite);
        ASSERT_FALSE(e.Empty()) << c.name;
        EXPECT_GE(e.left, 10) << c.name;
        EXPECT_LE(e.right, 309) << c.name;
        switch (c.alignment) {
        case AlignLeft:
            EXPECT_LE(e.left, 14) << c.name;
            left = e;
            break;
        case AlignRight:
            EXPECT_GE(e.right, 304) << c.name;
            break;
        case AlignCenter:
            EXPECT_NEAR(e.CentreX2(), 2 * 160, 8) << c.name;
            break;
        default: // anything else is left-aligned
            EXPECT_EQ(e.left, left.left) << c.name;
            EXPECT_EQ(e.right, left.right) << c.name;
            break;
        }
        // The text starts at the top of the rectangle.
        EXPECT_GE(e.top, 5) << c.name;
        EXPECT_LT(e.top, 5 + 12) << c.name;
    }
}

// With a zero width or height the text is written at (x, y) as TextOutW writes it, whatever
// the alignment.
TEST(DrawingText, ZeroWidthOrHeightWritesAtTheCornerWhateverTheAlignment) {
    Font font("Arial", 18);
    Canvas reference(300, 60);
    SetBkMode(reference.dc, TRANSPARENT);
    SetTextColor(reference.dc, Red);
    HGDIOBJ old = SelectObject(reference.dc, font.GetHandle());
    TextOutW(reference.dc, 120, 20, L"GIOCA", 5);
    SelectObject(reference.dc, old);
    const Extent expected = ExtentOf(reference, 0, 0, 300, 60, NotWhite);
    ASSERT_FALSE(expected.Empty());

    struct Case {
        int width;
        int height;
        int alignment;
    };
    const Case cases[] = {
        {0, 40, AlignRight}, {0, 40, AlignCenter}, {200, 0, AlignRight}, {0, 0, AlignCenter}};
    for (const Case& c : cases) {
        Canvas canvas(300, 60);
        AttachedPainter p(canvas);
        p.painter.DrawString(120, 20, c.width, c.height, std::wstring(L"GIOCA"), c.alignment, Red,
                             &font);
        EXPECT_EQ(canvas.Pixels(), reference.Pixels())
            << c.width << "x" << c.height << " align " << c.alignment;
    }
}

// A text longer than 1023 characters is cut there, in both ways of drawing it: the result
// equals the system's own drawing of the first 1023 characters, and differs from that of 1024.
TEST(DrawingText, LongTextIsCutAfter1023Characters) {
    Font font("Arial", 10);
    // 1023 narrow letters fit in the canvas; what follows is wide and would show if drawn.
    const std::wstring text = std::wstring(1023, L'i') + std::wstring(477, L'W');
    ASSERT_EQ(text.size(), 1500u);

    struct Case {
        int width;
        int height;
    };
    const Case ways[] = {{0, 0}, {6000, 30}};
    for (const Case& way : ways) {
        auto system = [&](const std::wstring& s) {
            auto canvas = std::make_unique<Canvas>(6000, 30);
            SetBkMode(canvas->dc, TRANSPARENT);
            SetTextColor(canvas->dc, Blue);
            HGDIOBJ old = SelectObject(canvas->dc, font.GetHandle());
            if (way.width == 0) {
                TextOutW(canvas->dc, 0, 0, s.c_str(), static_cast<int>(s.size()));
            } else {
                RECT r{0, 0, way.width, way.height};
                DrawTextW(canvas->dc, s.c_str(), static_cast<int>(s.size()), &r, DT_LEFT);
            }
            SelectObject(canvas->dc, old);
            return canvas;
        };
        Canvas drawn(6000, 30);
        {
            AttachedPainter p(drawn);
            p.painter.DrawString(0, 0, way.width, way.height, text, AlignLeft, Blue, &font);
        }
        const auto cut = system(text.substr(0, 1023));
        const auto oneMore = system(text.substr(0, 1024));
        const Extent drawnExtent = ExtentOf(drawn, 0, 0, 6000, 30, NotWhite);
        const Extent oneMoreExtent = ExtentOf(*oneMore, 0, 0, 6000, 30, NotWhite);
        ASSERT_LT(oneMoreExtent.right, 5990) << "canvas too narrow for the check";
        EXPECT_EQ(drawn.Pixels(), cut->Pixels()) << way.width;
        EXPECT_LT(drawnExtent.right, oneMoreExtent.right) << way.width;
    }
}

TEST(DrawingText, NarrowTextIsWidenedByteByByte) {
    Font font("Arial", 20);
    Canvas narrow(200, 40);
    Canvas wide(200, 40);
    {
        AttachedPainter p(narrow);
        p.painter.DrawString(0, 0, 200, 40, std::string("ci\xF2"), AlignLeft, Blue, &font);
    }
    {
        AttachedPainter p(wide);
        p.painter.DrawString(0, 0, 200, 40, std::wstring(L"ci\u00F2"), AlignLeft, Blue, &font);
    }
    EXPECT_EQ(narrow.Pixels(), wide.Pixels());
    EXPECT_GT(narrow.Count(NotWhite), 0);
}

TEST(DrawingText, ContextKeepsItsColourAndFontAndIsLeftTransparent) {
    Font own("Arial", 24);
    struct Case {
        Font* font;
        const char* name;
    };
    const Case cases[] = {{&own, "with a font"}, {nullptr, "without a font"}};
    for (const Case& c : cases) {
        Canvas canvas(200, 40);
        HGDIOBJ before = GetStockObject(ANSI_VAR_FONT);
        HGDIOBJ original = SelectObject(canvas.dc, before);
        SetTextColor(canvas.dc, RGB(0x12, 0x34, 0x56));
        SetBkColor(canvas.dc, Blue); // would fill behind the text if it were opaque
        SetBkMode(canvas.dc, OPAQUE);
        {
            AttachedPainter p(canvas);
            p.painter.DrawString(0, 0, 200, 40, std::wstring(L"Bravo"), AlignLeft, Red, c.font);
        }
        EXPECT_EQ(GetBkMode(canvas.dc), TRANSPARENT) << c.name;
        EXPECT_EQ(GetTextColor(canvas.dc), RGB(0x12, 0x34, 0x56)) << c.name;
        EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_FONT), before) << c.name;
        // Drawn in the colour asked for (smoothed edges blend it with white), on a transparent
        // background.
        EXPECT_GT(canvas.Count([](COLORREF p) { return IsInkOf(p, Red); }), 0) << c.name;
        EXPECT_EQ(canvas.Count([](COLORREF p) { return GetRValue(p) != 255; }), 0) << c.name;
        SelectObject(canvas.dc, original);
    }
}

TEST(DrawingText, TextHeightIsTheCellHeightOrMinusOne) {
    Font font("Arial", 30);
    Drawing detached(nullptr);
    EXPECT_EQ(detached.TextHeight(&font), -1);

    Canvas canvas(10, 10);
    AttachedPainter p(canvas);
    EXPECT_EQ(p.painter.TextHeight(nullptr), -1);

    HGDIOBJ before = GetCurrentObject(canvas.dc, OBJ_FONT);
    const int height = p.painter.TextHeight(&font);
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_FONT), before);
    // A positive height asks for that cell height.
    EXPECT_EQ(height, 30);
}

TEST(DrawingPainting, EndPaintingTwiceEndsThePaintOnce) {
    TestSupport::ScratchWindow host(200, 100);
    ControlsTest::WindowElement element(host);
    InvalidateRect(host, nullptr, TRUE);

    Drawing painter(&element);
    painter.BeginPainting();
    ASSERT_NE(painter.dc, nullptr);
    EXPECT_FALSE(painter.attached);
    painter.FillRectangle(0, 0, 201, 101, Green);
    RECT pending{};
    EXPECT_FALSE(GetUpdateRect(host, &pending, FALSE)); // BeginPaint validated the window

    painter.EndPainting();
    EXPECT_EQ(painter.dc, nullptr);
    painter.EndPainting();
    EXPECT_EQ(painter.dc, nullptr);
    EXPECT_FALSE(painter.attached);

    // The painted pixels are on the window and a new paint can begin on the same painter.
    EXPECT_EQ(TestSupport::ReadPixel(host, 50, 50), Green);
    InvalidateRect(host, nullptr, FALSE);
    painter.BeginPainting();
    EXPECT_NE(painter.dc, nullptr);
    painter.EndPainting();
    EXPECT_EQ(painter.dc, nullptr);
}

TEST(DrawingPainting, AttachedContextStaysValidAfterEndPainting) {
    TestSupport::ScratchWindow host(200, 100);
    ControlsTest::WindowElement element(host);
    HDC borrowed = GetDC(host);
    ASSERT_NE(borrowed, nullptr);
    {
        Drawing painter(&element);
        painter.AttachDC(borrowed);
        EXPECT_TRUE(painter.attached);
        EXPECT_EQ(painter.dc, borrowed);
        painter.EndPainting();
        EXPECT_FALSE(painter.attached);
        EXPECT_EQ(painter.dc, nullptr);
        painter.EndPainting();
    } // the destructor ends again: still nothing to release

    // Still usable by its owner, who releases it.
    EXPECT_EQ(GetObjectType(borrowed), static_cast<DWORD>(OBJ_DC));
    RECT all{0, 0, 200, 100};
    HBRUSH red = CreateSolidBrush(Red);
    EXPECT_NE(FillRect(borrowed, &all, red), 0);
    DeleteObject(red);
    EXPECT_EQ(ReleaseDC(host, borrowed), 1);
}

TEST(DrawingBitmap, BlackIsLeftOutAndNearBlackIsDrawn) {
    ControlsTest::Bitmap bitmap(8, 8, [](int x, int y) {
        if (x == 2 && y == 3) {
            return RGB(255, 255, 255);
        }
        if (x == 5 && y == 5) {
            return RGB(1, 1, 1);
        }
        return RGB(0, 0, 0);
    });
    Canvas canvas(40, 40, Red);
    AttachedPainter p(canvas);
    p.painter.DrawTransparentBitmap(10, 10, 0, 0, bitmap.handle);

    EXPECT_EQ(canvas.At(12, 13), White);
    EXPECT_EQ(canvas.At(15, 15), RGB(1, 1, 1));
    EXPECT_EQ(canvas.Count([](COLORREF c) { return c == Red; }), 40 * 40 - 2);
}

// The context of an owner-drawn button carries the parent's colours; the mask must not pick
// them up.
TEST(DrawingBitmap, ContextColoursDoNotTintTheMaskAndAreKept) {
    ControlsTest::Bitmap bitmap(8, 8, [](int x, int) { return x < 4 ? RGB(0, 0, 0) : Green; });
    Canvas canvas(40, 40, Red);
    SetTextColor(canvas.dc, White);
    SetBkColor(canvas.dc, Blue);
    AttachedPainter p(canvas);
    p.painter.DrawTransparentBitmap(10, 10, 0, 0, bitmap.handle);

    EXPECT_EQ(canvas.At(11, 12), Red);
    EXPECT_EQ(canvas.At(16, 12), Green);
    EXPECT_EQ(canvas.Count([](COLORREF c) { return c == Green; }), 4 * 8);
    EXPECT_EQ(canvas.Count([](COLORREF c) { return c == Red; }), 40 * 40 - 4 * 8);
    EXPECT_EQ(GetTextColor(canvas.dc), White);
    EXPECT_EQ(GetBkColor(canvas.dc), Blue);
}

// Stretching: left half transparent, right half green, 16 by 16 drawn at 32 by 32.
TEST(DrawingBitmap, StretchedBitmapKeepsItsTransparentPartsInPlace) {
    ControlsTest::Bitmap bitmap(16, 16, [](int x, int) { return x < 8 ? RGB(0, 0, 0) : Green; });
    Canvas canvas(60, 60, Red);
    AttachedPainter p(canvas);
    p.painter.DrawTransparentBitmap(10, 10, 32, 32, bitmap.handle);

    for (int y = 10; y < 42; ++y) {
        for (int x = 10; x < 26; ++x) {
            ASSERT_EQ(canvas.At(x, y), Red) << x << "," << y;
        }
        for (int x = 26; x < 42; ++x) {
            ASSERT_EQ(canvas.At(x, y), Green) << x << "," << y;
        }
    }
    EXPECT_EQ(canvas.Count([](COLORREF c) { return c == Green; }), 16 * 32);
}

TEST(DrawingBitmap, ZeroWidthOrHeightDrawsAtTheBitmapsOwnSize) {
    ControlsTest::Bitmap bitmap(8, 8, [](int x, int y) { return (x + y) % 2 ? Green : Blue; });
    Canvas ownSize(60, 60, Red);
    {
        AttachedPainter p(ownSize);
        p.painter.DrawTransparentBitmap(10, 10, 0, 0, bitmap.handle);
    }
    EXPECT_EQ(ExtentOf(ownSize, 0, 0, 60, 60, [](COLORREF c) { return c != Red; }).right, 17);

    const SIZE sizes[] = {{0, 40}, {40, 0}};
    for (const SIZE& size : sizes) {
        Canvas canvas(60, 60, Red);
        AttachedPainter p(canvas);
        p.painter.DrawTransparentBitmap(10, 10, size.cx, size.cy, bitmap.handle);
        EXPECT_EQ(canvas.Pixels(), ownSize.Pixels()) << size.cx << "x" << size.cy;
    }
}

TEST(DrawingBitmap, BitmapStaysTheCallersAndUnselected) {
    ControlsTest::Bitmap bitmap(8, 8, [](int, int) { return Green; });
    Canvas canvas(20, 20);
    {
        AttachedPainter p(canvas);
        p.painter.DrawTransparentBitmap(0, 0, 0, 0, bitmap.handle);
    }
    // Not deleted, and free to be selected elsewhere: no memory context kept it.
    EXPECT_EQ(GetObjectType(bitmap.handle), static_cast<DWORD>(OBJ_BITMAP));
    HDC other = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(other, bitmap.handle);
    EXPECT_NE(previous, nullptr);
    SelectObject(other, previous);
    DeleteDC(other);
}

TEST(DrawingBitmap, LoadBitmapFileReadsAFileAndGivesNullForMissingOnes) {
    ControlsTest::TempFile file(L"drawing-load");
    ASSERT_TRUE(ControlsTest::WriteBmpFile(
        file.path, 12, 7, [](int x, int) { return x < 6 ? RGB(10, 20, 30) : RGB(200, 100, 50); }));
    HBITMAP loaded = Drawing::LoadBitmapFile(file.Narrow());
    ASSERT_NE(loaded, nullptr);
    const SIZE size = ControlsTest::BitmapSize(loaded);
    EXPECT_EQ(size.cx, 12);
    EXPECT_EQ(size.cy, 7);
    EXPECT_EQ(ControlsTest::BitmapPixel(loaded, 1, 1), RGB(10, 20, 30));
    EXPECT_EQ(ControlsTest::BitmapPixel(loaded, 10, 6), RGB(200, 100, 50));
    // A section, as the loader asks for.
    DIBSECTION section{};
    EXPECT_EQ(GetObjectW(loaded, sizeof(section), &section), static_cast<int>(sizeof(section)));
    DeleteObject(loaded);

    EXPECT_EQ(Drawing::LoadBitmapFile(file.Narrow() + ".missing"), nullptr);
}
