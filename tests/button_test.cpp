#include "framework/Font.h"
#include "framework/WindowProcedure.h"
#include "framework/controls/Button.h"
#include "framework/controls/Drawing.h"
#include "support/TestSupport.h"
#include "support_controls.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

using namespace VelkUtility;
using ControlsTest::Canvas;
using ControlsTest::ColourForm;
using ControlsTest::Extent;
using ControlsTest::ExtentOf;
using TestSupport::IsInkOf;
using TestSupport::PixelImage;

namespace {

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF LightGrey = RGB(220, 220, 220);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Green = RGB(0, 255, 0);
constexpr COLORREF DisabledBorder = RGB(105, 105, 105);
constexpr COLORREF DisabledCaption = RGB(150, 150, 150);

// Repaints the button through a real WM_DRAWITEM and reads its client area back.
PixelImage Repaint(const Button& button) {
    InvalidateRect(button.window, nullptr, TRUE);
    UpdateWindow(button.window);
    return TestSupport::CaptureClient(button.window);
}

// Every pixel of the outermost ring has the colour.
bool BorderIs(const PixelImage& image, COLORREF colour) {
    for (int x = 0; x < image.width; ++x) {
        if (image.At(x, 0) != colour || image.At(x, image.height - 1) != colour) {
            return false;
        }
    }
    for (int y = 0; y < image.height; ++y) {
        if (image.At(0, y) != colour || image.At(image.width - 1, y) != colour) {
            return false;
        }
    }
    return true;
}

// Pixels strictly inside the border that pass a test.
int InsideCount(const PixelImage& image, const std::function<bool(COLORREF)>& test) {
    int count = 0;
    for (int y = 1; y < image.height - 1; ++y) {
        for (int x = 1; x < image.width - 1; ++x) {
            if (test(image.At(x, y))) {
                ++count;
            }
        }
    }
    return count;
}

// A 16 by 16 picture of one colour whose top-left pixel is black, hence left out.
ControlsTest::Bitmap Picture(COLORREF colour) {
    return ControlsTest::Bitmap(
        16, 16, [colour](int x, int y) { return x == 0 && y == 0 ? Black : colour; });
}

} // namespace

TEST(Button, ConstructedAndCreatedWithoutChangesIsAPlainPushButton) {
    ColourForm form;
    form.Create();
    Button button(&form, "Chiudi");
    EXPECT_EQ(button.typeName, "button");
    EXPECT_EQ(button.parent, &form);
    EXPECT_FALSE(button.ownerDraw);
    EXPECT_EQ(button.image, nullptr);
    EXPECT_EQ(button.disabledImage, nullptr);
    EXPECT_EQ(button.onCommand, nullptr);
    button.Create();

    ASSERT_NE(button.window, nullptr);
    EXPECT_EQ(static_cast<DWORD>(TestSupport::StyleOf(button.window)), 0x50010000u);
    EXPECT_EQ(TestSupport::WindowClassName(button.window), L"Button");
    EXPECT_EQ(TestSupport::WindowText(button.window), L"Chiudi");
    EXPECT_EQ(GetDlgCtrlID(button.window), button.id);
    RECT area{};
    GetWindowRect(button.window, &area);
    MapWindowPoints(nullptr, form.window, reinterpret_cast<POINT*>(&area), 2);
    EXPECT_EQ(area.left, 100);
    EXPECT_EQ(area.top, 100);
    EXPECT_EQ(area.right - area.left, 80);
    EXPECT_EQ(area.bottom - area.top, 30);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(button.window, GWLP_WNDPROC)),
              &FrameworkWindowProc);
    EXPECT_NE(button.baseWindowProc, nullptr);
}

TEST(Button, StylesFollowOwnerDrawAndEnabled) {
    struct Case {
        bool ownerDraw;
        bool enabled;
        DWORD style;
    };
    const Case cases[] = {{false, true, 0x50010000},
                          {true, true, 0x5001000B},
                          {true, false, 0x5801000B},
                          {false, false, 0x58010000}};
    ColourForm form;
    form.Create();
    for (const Case& c : cases) {
        Button button(&form, "GIOCA");
        button.ownerDraw = c.ownerDraw;
        button.enabled = c.enabled;
        EXPECT_EQ(button.ComputeStyle(), c.style);
        button.Create();
        ASSERT_NE(button.window, nullptr);
        EXPECT_EQ(static_cast<DWORD>(TestSupport::StyleOf(button.window)), c.style);
        EXPECT_EQ(TestSupport::ExStyleOf(button.window) & ~WS_EX_NOPARENTNOTIFY, 0);
        DestroyWindow(button.window);
    }
}

TEST(Button, FontIsSentToTheWindowAtCreate) {
    ColourForm form;
    form.Create();
    Font font("Arial", 20);
    Button button(&form, "Info");
    button.SetFont(&font);
    button.Create();
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(button.window, WM_GETFONT, 0, 0)),
              font.GetHandle());
}

// Border and caption colours of an owner-drawn button for the parent's colours and the
// button's state.
TEST(ButtonLook, BorderAndCaptionColoursFollowTheStateAndTheParentsColours) {
    struct Case {
        const char* name;
        COLORREF text;
        COLORREF back;
        bool pressed;
        bool disabled;
        COLORREF border;
        COLORREF caption;
    };
    const Case cases[] = {
        {"black on grey", Black, LightGrey, false, false, Black, Black},
        {"black on grey, pressed", Black, LightGrey, true, false, White, Black},
        {"white on red", White, Red, false, false, White, White},
        {"white on red, pressed", White, Red, true, false, Black, White},
        {"black on grey, disabled", Black, LightGrey, false, true, DisabledBorder, DisabledCaption},
        {"white on red, disabled", White, Red, false, true, DisabledBorder, DisabledCaption},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ColourForm form(c.text, c.back);
        form.Create();
        Button button(&form, "Chiudi");
        button.ownerDraw = true;
        button.SetLocation(20, 20);
        button.SetSize(100, 40);
        button.Create();
        ASSERT_NE(button.window, nullptr);
        if (c.disabled) {
            button.SetEnabled(false);
        }
        if (c.pressed) {
            SendMessageW(button.window, BM_SETSTATE, TRUE, 0);
        }
        const PixelImage look = Repaint(button);
        ASSERT_EQ(look.width, 100);
        ASSERT_EQ(look.height, 40);
        EXPECT_GT(form.controlColorCalls, 0);

        EXPECT_TRUE(BorderIs(look, c.border));
        EXPECT_EQ(look.At(3, 3), c.back); // filled with the parent's background colour
        EXPECT_GT(InsideCount(look, [&](COLORREF p) { return IsInkOf(p, c.caption, c.back); }), 10);
        if (c.disabled) {
            EXPECT_EQ(InsideCount(look, [&](COLORREF p) { return IsInkOf(p, c.text, c.back); }), 0);
        }
        // The caption is centred in the full width.
        const Extent caption =
            ExtentOf(look, 1, 1, 99, 39, [&](COLORREF p) { return p != c.back; });
        ASSERT_FALSE(caption.Empty());
        EXPECT_NEAR(caption.CentreX2(), 100, 6);
    }
}

// A 16 by 16 picture on a 100 by 40 button sits at (5, 12); the caption is centred in what
// is left from x = 24.
TEST(ButtonLook, PictureAtTheLeftMovesTheCaptionRight) {
    ColourForm form;
    form.Create();
    const ControlsTest::Bitmap picture = Picture(Blue);
    Button plain(&form, "Info");
    Button pictured(&form, "Info");
    for (Button* button : {&plain, &pictured}) {
        button->ownerDraw = true;
        button->SetSize(100, 40);
    }
    plain.SetLocation(10, 10);
    pictured.SetLocation(10, 60);
    pictured.image = picture.handle;
    plain.Create();
    pictured.Create();

    const PixelImage look = Repaint(pictured);
    auto isBlue = [](COLORREF p) { return p == Blue; };
    const Extent drawn = ExtentOf(look, 0, 0, 100, 40, isBlue);
    EXPECT_EQ(drawn.left, 5);
    EXPECT_EQ(drawn.top, 12);
    EXPECT_EQ(drawn.right, 20);
    EXPECT_EQ(drawn.bottom, 27);
    EXPECT_EQ(look.At(5, 12), LightGrey); // its black pixel is left out
    EXPECT_EQ(look.CountIf(isBlue), 16 * 16 - 1);

    auto isCaption = [](COLORREF p) { return p != LightGrey && p != Blue; };
    const Extent caption = ExtentOf(look, 22, 1, 99, 39, isCaption);
    ASSERT_FALSE(caption.Empty());
    EXPECT_GE(caption.left, 24);
    EXPECT_NEAR(caption.CentreX2(), 24 + 100, 6);
    const Extent plainCaption = ExtentOf(Repaint(plain), 1, 1, 99, 39, isCaption);
    EXPECT_NEAR(plainCaption.CentreX2(), 100, 6);
    EXPECT_EQ(caption.right - caption.left, plainCaption.right - plainCaption.left);
}

TEST(ButtonLook, DisabledButtonShowsItsDisabledPictureOrNone) {
    ColourForm form;
    form.Create();
    const ControlsTest::Bitmap enabledPicture = Picture(Blue);
    const ControlsTest::Bitmap disabledPicture = Picture(Green);
    Button without(&form, "OK");
    Button with(&form, "OK");
    for (Button* button : {&without, &with}) {
        button->ownerDraw = true;
        button->SetSize(100, 40);
        button->image = enabledPicture.handle;
    }
    without.SetLocation(10, 10);
    with.SetLocation(10, 60);
    with.disabledImage = disabledPicture.handle;
    without.Create();
    with.Create();
    without.SetEnabled(false);
    with.SetEnabled(false);

    const PixelImage bare = Repaint(without);
    EXPECT_EQ(bare.CountIf([](COLORREF p) { return p == Blue || p == Green; }), 0);
    const Extent caption =
        ExtentOf(bare, 1, 1, 99, 39, [](COLORREF p) { return p == DisabledCaption; });
    ASSERT_FALSE(caption.Empty());
    EXPECT_NEAR(caption.CentreX2(), 100, 6);

    const PixelImage shown = Repaint(with);
    EXPECT_EQ(shown.CountIf([](COLORREF p) { return p == Green; }), 16 * 16 - 1);
    EXPECT_EQ(shown.CountIf([](COLORREF p) { return p == Blue; }), 0);
    EXPECT_EQ(shown.At(6, 13), Green);
}

// The caption's top is (H - lfHeight) / 2 of the context's font, and never above the item.
// Drawn straight into a memory context and compared with the same look drawn by hand.
TEST(ButtonLook, CaptionOffsetComesFromTheContextsFontAndIsNeverNegative) {
    struct Case {
        int width;
        int height;
        int fontHeight;
        int expectedTop;
    };
    const Case cases[] = {{100, 40, 16, 12}, {100, 41, 16, 12}, {80, 30, 60, 0}, {80, 30, 30, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " font " << c.fontHeight);
        Font font("Arial", c.fontHeight);
        Button button(nullptr, "Chiudi");
        button.ownerDraw = true;

        auto prepare = [&](Canvas& canvas) {
            SetTextColor(canvas.dc, Black);
            SetBkColor(canvas.dc, LightGrey);
            SelectObject(canvas.dc, font.GetHandle());
        };
        auto byHand = [&](int top) {
            auto canvas = std::make_unique<Canvas>(c.width + 20, c.height + 40, Green);
            prepare(*canvas);
            Drawing painter(nullptr);
            painter.AttachDC(canvas->dc);
            painter.FillRectangle(0, 0, c.width, c.height, LightGrey);
            painter.FrameRectangle(0, 0, c.width, c.height, Black);
            painter.DrawString(0, top, c.width, c.height, std::string("Chiudi"), AlignCenter, Black,
                               nullptr);
            return canvas;
        };

        Canvas look(c.width + 20, c.height + 40, Green);
        prepare(look);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.itemAction = ODA_DRAWENTIRE;
        item.hDC = look.dc;
        item.rcItem = RECT{0, 0, c.width, c.height};
        button.DrawLook(item);

        EXPECT_EQ(GetCurrentObject(look.dc, OBJ_FONT), font.GetHandle());
        EXPECT_EQ(look.Pixels(), byHand(c.expectedTop)->Pixels());
        EXPECT_NE(look.Pixels(), byHand(c.expectedTop + 3)->Pixels());
        if (c.fontHeight > c.height) {
            // What a negative offset would have given.
            EXPECT_NE(look.Pixels(), byHand((c.height - c.fontHeight) / 2)->Pixels());
        }
    }
}

// The caption passes through narrow text: U+0141 is drawn as 'A' (0x41).
TEST(ButtonLook, CaptionAboveLatin1IsDrawnAsItsLowByte) {
    ColourForm form;
    form.Create();
    Button wide(&form, "");
    Button same(&form, "A");
    Button other(&form, "B");
    wide.SetText(std::wstring(L"\u0141"));
    int top = 10;
    for (Button* button : {&wide, &same, &other}) {
        button->ownerDraw = true;
        button->SetSize(100, 40);
        button->SetLocation(10, top);
        top += 50;
        button->Create();
    }
    EXPECT_EQ(TestSupport::WindowText(wide.window), L"\u0141");
    const PixelImage wideLook = Repaint(wide);
    EXPECT_EQ(wideLook.pixels, Repaint(same).pixels);
    EXPECT_NE(wideLook.pixels, Repaint(other).pixels);
}
