#include "framework/WindowProcedure.h"
#include "framework/controls/Image.h"
#include "support/TestSupport.h"
#include "support_controls.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <set>
#include <string>

using namespace VelkUtility;
using ControlsTest::BitmapPixel;
using ControlsTest::BitmapSize;
using ControlsTest::ColourForm;
using ControlsTest::TempFile;

namespace {

constexpr int MainLogo = 1007;  // 200 by 50
constexpr int AboutLogo = 1006; // 163 by 50

SIZE ClientOf(HWND window) {
    RECT area{};
    GetClientRect(window, &area);
    return SIZE{area.right, area.bottom};
}

SIZE WindowSizeOf(HWND window) {
    RECT area{};
    GetWindowRect(window, &area);
    return SIZE{area.right - area.left, area.bottom - area.top};
}

HBITMAP Shown(const Image& image) {
    return reinterpret_cast<HBITMAP>(SendMessageW(image.window, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

// Every pixel of a bitmap file written by the test has this colour.
constexpr COLORREF FileColour = RGB(30, 160, 90);

} // namespace

TEST(Image, ConstructionStoresTheResourceAndKeepsTheDefaults) {
    ColourForm form;
    Image image(&form, MainLogo);
    EXPECT_EQ(image.typeName, "image");
    EXPECT_EQ(image.resourceId, MainLogo);
    EXPECT_EQ(image.fileName, "");
    EXPECT_EQ(image.bitmap, nullptr);
    EXPECT_FALSE(image.border);
    EXPECT_TRUE(image.text.empty());
    EXPECT_EQ(image.width, 100);
    EXPECT_EQ(image.height, 50);
    EXPECT_EQ(image.x, 100);
    EXPECT_EQ(image.y, 100);
    EXPECT_EQ(image.parent, &form);
}

// The main logo shows at its own size whatever size the owner set, pixel for pixel.
TEST(Image, ResourceLogoShowsAt200By50WithItsOwnPixels) {
    ColourForm form;
    form.Create();
    Image image(&form, MainLogo);
    image.SetLocation(10, 10);
    image.SetSize(300, 120);
    image.Create();

    ASSERT_NE(image.window, nullptr);
    ASSERT_NE(image.bitmap, nullptr);
    EXPECT_EQ(BitmapSize(image.bitmap).cx, 200);
    EXPECT_EQ(BitmapSize(image.bitmap).cy, 50);
    EXPECT_EQ(ClientOf(image.window).cx, 200);
    EXPECT_EQ(ClientOf(image.window).cy, 50);
    EXPECT_EQ(WindowSizeOf(image.window).cx, 200);
    EXPECT_EQ(WindowSizeOf(image.window).cy, 50);
    EXPECT_EQ(image.width, 300); // the fields keep what the owner set
    EXPECT_EQ(image.height, 120);
    EXPECT_EQ(Shown(image), image.bitmap);

    const TestSupport::PixelImage screen = TestSupport::CaptureClient(image.window);
    ASSERT_EQ(screen.width, 200);
    std::set<COLORREF> colours;
    for (int y = 2; y < 50; y += 3) {
        for (int x = 3; x < 200; x += 5) {
            const COLORREF own = BitmapPixel(image.bitmap, x, y);
            ASSERT_EQ(screen.At(x, y), own) << x << "," << y;
            colours.insert(own);
        }
    }
    // The logo is not one flat colour, so the comparison means something.
    EXPECT_GE(colours.size(), 3u);
}

TEST(Image, CreateMakesASubclassedStaticWindowAfterShowingThePicture) {
    ColourForm form;
    form.Create();
    Image image(&form, MainLogo);
    const int before = nextControlId;
    image.Create();
    EXPECT_TRUE(image.created);
    EXPECT_EQ(image.id, before + 1);
    EXPECT_EQ(GetDlgCtrlID(image.window), image.id);
    EXPECT_EQ(TestSupport::WindowClassName(image.window), L"Static");
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(image.window, GWLP_WNDPROC)),
              &FrameworkWindowProc);
    EXPECT_NE(image.baseWindowProc, nullptr);
    image.Create();
    EXPECT_EQ(image.id, before + 1);
}

TEST(Image, StylesFollowEnabledAndBorder) {
    struct Case {
        bool enabled;
        bool border;
        DWORD style;
        DWORD exStyle;
    };
    const Case cases[] = {{true, false, 0x5000010E, 0},
                          {false, false, 0x5800010E, 0},
                          {true, true, 0x5080010E, WS_EX_CLIENTEDGE},
                          {false, true, 0x5880010E, WS_EX_CLIENTEDGE}};
    ColourForm form;
    form.Create();
    for (const Case& c : cases) {
        Image image(&form, MainLogo);
        image.enabled = c.enabled;
        image.border = c.border;
        EXPECT_EQ(image.ComputeStyle(), c.style);
        image.Create();
        ASSERT_NE(image.window, nullptr);
        // The static control may add SS_REALSIZEIMAGE-like bits of its own; compare ours.
        EXPECT_EQ(static_cast<DWORD>(TestSupport::StyleOf(image.window)) & c.style, c.style);
        EXPECT_EQ(static_cast<DWORD>(TestSupport::StyleOf(image.window)) & WS_DISABLED,
                  c.style & WS_DISABLED);
        EXPECT_EQ(static_cast<DWORD>(TestSupport::StyleOf(image.window)) & WS_BORDER,
                  c.style & WS_BORDER);
        EXPECT_EQ(static_cast<DWORD>(TestSupport::ExStyleOf(image.window)) & WS_EX_CLIENTEDGE,
                  c.exStyle);
        DestroyWindow(image.window);
    }
}

TEST(Image, FileChosenBeforeCreateIsLoadedInsteadOfTheResource) {
    TempFile file(L"image-before-create");
    ASSERT_TRUE(ControlsTest::WriteBmpFile(file.path, 40, 30, [](int, int) { return FileColour; }));
    ColourForm form;
    form.Create();
    Image image(&form, MainLogo);
    image.SetPictureFile(file.Narrow());
    EXPECT_EQ(image.fileName, file.Narrow());
    EXPECT_EQ(image.resourceId, -1);
    EXPECT_EQ(image.bitmap, nullptr); // only recorded until Create

    image.Create();
    ASSERT_NE(image.bitmap, nullptr);
    EXPECT_EQ(BitmapSize(image.bitmap).cx, 40);
    EXPECT_EQ(BitmapSize(image.bitmap).cy, 30);
    EXPECT_EQ(ClientOf(image.window).cx, 40);
    EXPECT_EQ(ClientOf(image.window).cy, 30);
    EXPECT_EQ(TestSupport::ReadPixel(image.window, 20, 15), FileColour);
}

TEST(Image, ResourceAfterFileSwitchesBackAndClearsTheFileName) {
    TempFile file(L"image-switch");
    ASSERT_TRUE(ControlsTest::WriteBmpFile(file.path, 40, 30, [](int, int) { return FileColour; }));
    ColourForm form;
    form.Create();
    Image image(&form, MainLogo);
    image.Create();
    image.SetPictureFile(file.Narrow());
    ASSERT_EQ(BitmapSize(image.bitmap).cx, 40);

    image.SetPictureResource(AboutLogo);
    EXPECT_EQ(image.fileName, "");
    EXPECT_EQ(image.resourceId, AboutLogo);
    ASSERT_NE(image.bitmap, nullptr);
    EXPECT_EQ(BitmapSize(image.bitmap).cx, 163);
    EXPECT_EQ(Shown(image), image.bitmap);
    EXPECT_EQ(ClientOf(image.window).cx, 163);
    EXPECT_EQ(ClientOf(image.window).cy, 50);
}

TEST(Image, ResourceZeroLeavesThePictureShown) {
    ColourForm form;
    form.Create();
    Image image(&form, MainLogo);
    image.Create();
    const HBITMAP logo = image.bitmap;
    ASSERT_NE(logo, nullptr);

    image.SetPictureResource(0);
    EXPECT_EQ(image.resourceId, 0);
    EXPECT_EQ(image.bitmap, logo);
    EXPECT_EQ(Shown(image), logo);
    EXPECT_EQ(GetObjectType(logo), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(ClientOf(image.window).cx, 200);
}

// A picture that cannot be loaded leaves no bitmap: the previous one is released and the
// window does not keep showing it.
TEST(Image, MissingPictureReleasesThePreviousOneAndLeavesNone) {
    struct Case {
        const char* name;
        bool file;
    };
    const Case cases[] = {{"missing resource", false}, {"missing file", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ColourForm form;
        form.Create();
        Image image(&form, MainLogo);
        image.Create();
        const HBITMAP previous = image.bitmap;
        ASSERT_NE(previous, nullptr);

        if (c.file) {
            image.SetPictureFile("C:\\nowhere\\missing-picture.bmp");
        } else {
            image.SetPictureResource(4242);
        }
        EXPECT_EQ(image.bitmap, nullptr);
        EXPECT_EQ(GetObjectType(previous), 0u);
        EXPECT_EQ(Shown(image), nullptr);
        UpdateWindow(image.window); // repaints without a picture
        EXPECT_TRUE(IsWindow(image.window));
    }
}

TEST(Image, MissingResourceAtCreateLeavesNoBitmap) {
    ColourForm form;
    form.Create();
    Image image(&form, 4242);
    image.Create();
    EXPECT_NE(image.window, nullptr);
    EXPECT_EQ(image.bitmap, nullptr);
    EXPECT_EQ(Shown(image), nullptr);
}

TEST(Image, ReplacingThePictureReleasesTheOldBitmap) {
    TempFile file(L"image-replace");
    ASSERT_TRUE(ControlsTest::WriteBmpFile(file.path, 8, 8, [](int, int) { return FileColour; }));
    ColourForm form;
    form.Create();
    Image image(&form, MainLogo);
    image.Create();
    HBITMAP previous = image.bitmap;
    for (int round = 0; round < 4; ++round) {
        if (round % 2 == 0) {
            image.SetPictureFile(file.Narrow());
        } else {
            image.SetPictureResource(AboutLogo);
        }
        ASSERT_NE(image.bitmap, nullptr);
        EXPECT_EQ(Shown(image), image.bitmap);
        if (previous != image.bitmap) {
            EXPECT_EQ(GetObjectType(previous), 0u) << round;
        }
        previous = image.bitmap;
    }
}

// The image's bitmap goes with the image; a window still alive is left without it and with
// its own procedure.
TEST(Image, DeletingTheImageReleasesItsBitmapAndDetachesTheWindow) {
    ColourForm form;
    form.Create();
    auto image = std::make_unique<Image>(&form, MainLogo);
    image->Create();
    const HBITMAP logo = image->bitmap;
    const HWND window = image->window;
    const WNDPROC own = image->baseWindowProc;
    ASSERT_NE(logo, nullptr);
    image.reset();

    EXPECT_EQ(GetObjectType(logo), 0u);
    EXPECT_EQ(reinterpret_cast<HBITMAP>(SendMessageW(window, STM_GETIMAGE, IMAGE_BITMAP, 0)),
              nullptr);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)), own);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    EXPECT_TRUE(IsWindow(window));
}

TEST(Image, CreateAfterAFailedAttemptMakesTheWindow) {
    ColourForm host;
    host.Create();
    ColourForm windowless; // never created
    Image image(&windowless, MainLogo);
    image.Create();
    EXPECT_EQ(image.window, nullptr);
    EXPECT_FALSE(image.created);
    EXPECT_EQ(image.bitmap, nullptr);

    image.parent = &host;
    image.Create();
    ASSERT_NE(image.window, nullptr);
    EXPECT_TRUE(image.created);
    EXPECT_EQ(GetParent(image.window), host.window);
    EXPECT_NE(image.bitmap, nullptr);
    EXPECT_EQ(GetDlgCtrlID(image.window), image.id);
}
