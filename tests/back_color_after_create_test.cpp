// A background colour set on an element that has its window already is painted by the next
// WM_PAINT, under the element's own painting: a cell keeps its text, a control its face, the
// board its boxes.

#include "framework/Form.h"
#include "framework/controls/Button.h"
#include "framework/controls/CellControl.h"
#include "framework/controls/Image.h"
#include "framework/controls/Label.h"
#include "game/BoxGame.h"
#include "support/TestSupport.h"
#include "support_panel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

using namespace VelkUtility;
using PanelSupport::FindInk;
using PanelSupport::IsDark;
using PanelSupport::MakeHostForm;
using TestSupport::CaptureClient;
using TestSupport::ColorNear;
using TestSupport::PixelImage;
using TestSupport::PumpMessages;

namespace {

// Light enough for black text to stand out on it.
constexpr COLORREF LightYellow = RGB(255, 255, 160);

// Whatever of the element's own look must show after the colour was set.
struct LookCase {
    const char* name;
    std::function<GUIElement*(Form*)> make;
    std::function<bool(const PixelImage&)> showsItsLook;
    // Whether the element itself shows the colour (a control paints its face over it).
    bool showsTheColour;
    int width;
    int height;
};

bool HasDarkInk(const PixelImage& image) {
    return FindInk(image, IsDark).count > 0;
}

// The logo's squares: pixels of a strong red, and of a strong blue.
bool ShowsTheLogo(const PixelImage& image) {
    const int red = image.CountIf(
        [](COLORREF c) { return GetRValue(c) > 160 && GetGValue(c) < 100 && GetBValue(c) < 100; });
    const int blue = image.CountIf(
        [](COLORREF c) { return GetBValue(c) > 160 && GetRValue(c) < 100 && GetGValue(c) < 100; });
    return red > 20 && blue > 20;
}

// The board's four dark boxes.
bool ShowsTheBoxes(const PixelImage& image) {
    const COLORREF dark[] = {0x0000AE, 0x00AEAE, 0xAE0000, 0x00AE00};
    for (COLORREF colour : dark) {
        if (image.CountIf([colour](COLORREF c) { return ColorNear(c, colour, 12); }) < 100) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(BackColorAfterCreate, ElementsKeepTheirOwnPaintingUnderTheNewColour) {
    const LookCase cases[] = {
        {"cell",
         [](Form* form) -> GUIElement* {
             auto* cell = new CellControl(form);
             cell->SetText(std::string("Livello"));
             return cell;
         },
         HasDarkInk, true, 220, 60},
        {"label", [](Form* form) -> GUIElement* { return new Label(form, "Etichetta"); },
         HasDarkInk, false, 220, 60},
        {"button", [](Form* form) -> GUIElement* { return new Button(form, "Premi"); }, HasDarkInk,
         false, 220, 60},
        {"image", [](Form* form) -> GUIElement* { return new Image(form, 1007); }, ShowsTheLogo,
         false, 200, 50},
        {"board", [](Form* form) -> GUIElement* { return new BoxGame(form); }, ShowsTheBoxes, true,
         400, 340},
    };
    auto form = MakeHostForm(440, 380);
    for (const LookCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<GUIElement> element(c.make(form.get()));
        element->SetLocation(10, 10);
        element->SetSize(c.width, c.height);
        element->Create();
        ASSERT_NE(element->window, nullptr);
        PumpMessages(50);
        ASSERT_TRUE(c.showsItsLook(CaptureClient(element->window))) << "before the colour";

        element->SetBackColor(LightYellow);
        EXPECT_TRUE(element->backPainted);
        PumpMessages(50);
        const PixelImage after = CaptureClient(element->window);
        EXPECT_TRUE(c.showsItsLook(after)) << "the element lost its own painting";
        if (c.showsTheColour) {
            EXPECT_TRUE(ColorNear(after.At(2, 2), LightYellow)) << std::hex << after.At(2, 2);
        }

        // And again after any later repaint.
        InvalidateRect(element->window, nullptr, TRUE);
        PumpMessages(50);
        EXPECT_TRUE(c.showsItsLook(CaptureClient(element->window))) << "after a repaint";
        DestroyWindow(element->window);
    }
}
