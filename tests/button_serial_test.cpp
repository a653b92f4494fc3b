// Clicks and keyboard focus move the focus and may activate the form: run one at a time.
#include "framework/controls/Button.h"
#include "support/TestSupport.h"
#include "support_controls.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

using namespace VelkUtility;
using ControlsTest::ColourForm;
using TestSupport::PixelImage;

namespace {

constexpr COLORREF LightGrey = RGB(220, 220, 220);

std::vector<GUIElement*> commands;

void RecordCommand(GUIElement* element) {
    commands.push_back(element);
}

PixelImage Repaint(const Button& button) {
    InvalidateRect(button.window, nullptr, TRUE);
    UpdateWindow(button.window);
    return TestSupport::CaptureClient(button.window);
}

// Pixels of a row or column segment that differ from the background.
int Marked(const PixelImage& image, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (image.At(x, y) != LightGrey) {
                ++count;
            }
        }
    }
    return count;
}

} // namespace

TEST(ButtonClick, ClickCallsOnCommandOnceWithTheButton) {
    ColourForm form;
    form.Create();
    Button button(&form, "GIOCA");
    button.onCommand = RecordCommand;
    button.Create();
    Button other(&form, "Info");
    other.SetLocation(200, 100);
    other.onCommand = RecordCommand;
    other.Create();

    commands.clear();
    SendMessageW(button.window, BM_CLICK, 0, 0);
    TestSupport::PumpMessages(50);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], static_cast<GUIElement*>(&button));
}

TEST(ButtonClick, ClickWithoutOnCommandDoesNothing) {
    ColourForm form;
    form.Create();
    Button silent(&form, "Chiudi");
    silent.Create();
    Button other(&form, "Info");
    other.SetLocation(200, 100);
    other.onCommand = RecordCommand;
    other.Create();

    commands.clear();
    SendMessageW(silent.window, BM_CLICK, 0, 0);
    TestSupport::PumpMessages(50);
    EXPECT_TRUE(commands.empty());
    EXPECT_TRUE(IsWindow(silent.window));
    EXPECT_TRUE(IsWindow(form.window));
}

// A focused owner-drawn button of 100 by 40 shows the dotted focus rectangle from (3, 3) to
// (97, 37); it is drawn with XOR, so its pixels differ from the background.
TEST(ButtonFocus, FocusedButtonShowsTheFocusRectangleInsetByThree) {
    ColourForm form;
    form.Create();
    Button button(&form, "OK");
    button.ownerDraw = true;
    button.SetLocation(20, 20);
    button.SetSize(100, 40);
    button.Create();
    SetFocus(form.window);

    const PixelImage before = Repaint(button);
    EXPECT_EQ(Marked(before, 3, 3, 96, 3), 0);
    EXPECT_EQ(Marked(before, 3, 3, 3, 36), 0);

    SetFocus(button.window);
    ASSERT_EQ(GetFocus(), button.window);
    const PixelImage focused = Repaint(button);
    // Dotted: about every other pixel of each side.
    EXPECT_GE(Marked(focused, 3, 3, 96, 3), 30);
    EXPECT_GE(Marked(focused, 3, 36, 96, 36), 30);
    EXPECT_GE(Marked(focused, 3, 3, 3, 36), 10);
    EXPECT_GE(Marked(focused, 96, 3, 96, 36), 10);
    // Nothing between the border and the focus rectangle.
    EXPECT_EQ(Marked(focused, 1, 2, 98, 2), 0);
    EXPECT_EQ(Marked(focused, 2, 1, 2, 38), 0);
    EXPECT_EQ(Marked(focused, 4, 4, 95, 4), 0);
}
