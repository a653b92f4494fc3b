// The one mouse-tracking request of the process is given up when the window it watches goes
// before its WM_MOUSELEAVE: other elements get hover and leave again afterwards.

#include "framework/Form.h"
#include "framework/WindowProcedure.h"
#include "framework/about/FormAbout.h"
#include "framework/controls/Button.h"
#include "framework/controls/Label.h"
#include "framework/controls/PanelChildren.h"
#include "support/TestSupport.h"
#include "support_about.h"
#include "support_forms.h"
#include "support_game_input.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

using namespace VelkUtility;
using FormsTest::CountOf;
using FormsTest::Record;
using TestSupport::PumpMessages;
using TestSupport::PumpUntil;

namespace {

POINT ScreenCentre(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT point{client.right / 2, client.bottom / 2};
    ClientToScreen(window, &point);
    return point;
}

// Moves the cursor over a window and waits until the element there has seen the move.
bool MoveOnto(HWND window, const char* moveName) {
    const POINT point = ScreenCentre(window);
    const int moves = CountOf(moveName);
    SetCursorPos(point.x, point.y);
    PumpMessages(30);
    SetCursorPos(point.x + 1, point.y + 1);
    return PumpUntil([&] { return CountOf(moveName) > moves; }, 3000);
}

// A form with a watched label at its top left, away from the about box in the screen's middle.
class TrackingAfterAWindowGoes : public ::testing::Test {
protected:
    void SetUp() override {
        FormsTest::Log().clear();
        SetCursorPos(1, 1);
        form.reset(FormsTest::NewForm(360, 160, 20, 20));
        ASSERT_NE(form->window, nullptr);
        watched = std::make_unique<Label>(form.get(), "watched");
        watched->SetLocation(10, 10);
        watched->SetSize(120, 40);
        watched->onMouseMove = [](GUIElement* e, int x, int y) { Record("watched move", e, x, y); };
        watched->onMouseHover = [](GUIElement* e) { Record("watched hover", e); };
        watched->onMouseLeave = [](GUIElement* e) { Record("watched leave", e); };
        watched->Create();
        ASSERT_TRUE(GameTest::MakeForeground(form->window));
    }

    void TearDown() override {
        SetCursorPos(1, 1);
        watched.reset();
        form.reset();
        FormsTest::TakeQuit();
    }

    // The watched label is tracked again: hover comes while the cursor rests on it, leave
    // when it goes.
    void ExpectTheWatchedLabelTracked() {
        ASSERT_TRUE(MoveOnto(watched->window, "watched move"));
        EXPECT_TRUE(mouseTracking);
        EXPECT_TRUE(PumpUntil([] { return CountOf("watched hover") > 0; }, 3000))
            << "no hover on the watched label";
        SetCursorPos(1, 1);
        EXPECT_TRUE(PumpUntil([] { return CountOf("watched leave") > 0; }, 3000))
            << "no leave from the watched label";
    }

    std::unique_ptr<Form> form;
    std::unique_ptr<Label> watched;
};

} // namespace

// The tracked window is destroyed, or its element is deleted while the window lives on (it
// then gets back its class procedure and its leave never reaches the framework).
TEST_F(TrackingAfterAWindowGoes, TrackingStartsAgainAfterTheTrackedElementGoes) {
    struct Case {
        const char* name;
        bool destroyWindow;
    };
    const Case cases[] = {{"window destroyed", true}, {"element deleted", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FormsTest::Log().clear();
        auto tracked = std::make_unique<Label>(form.get(), "tracked");
        tracked->SetLocation(200, 10);
        tracked->SetSize(120, 40);
        tracked->onMouseMove = [](GUIElement* e, int x, int y) { Record("tracked move", e, x, y); };
        tracked->Create();
        ASSERT_TRUE(MoveOnto(tracked->window, "tracked move"));
        ASSERT_TRUE(mouseTracking);

        HWND window = tracked->window;
        if (c.destroyWindow) {
            DestroyWindow(window);
        }
        tracked.reset();
        if (!c.destroyWindow) {
            DestroyWindow(window);
        }
        EXPECT_FALSE(mouseTracking);
        ExpectTheWatchedLabelTracked();
    }
}

// The about box's OK pressed with the mouse: the box and its button go while the mouse is over
// the button.
TEST_F(TrackingAfterAWindowGoes, TrackingStartsAgainAfterOkClosesTheAboutBox) {
    auto* about = new FormAbout(form.get());
    AboutTest::FillAndOpen(about);
    ASSERT_NE(about->okButton, nullptr);
    ASSERT_NE(about->okButton->window, nullptr);
    HWND aboutWindow = about->window;
    ASSERT_TRUE(GameTest::MakeForeground(aboutWindow));

    about->okButton->onMouseMove = [](GUIElement* e, int x, int y) { Record("ok move", e, x, y); };
    ASSERT_TRUE(MoveOnto(about->okButton->window, "ok move"));
    ASSERT_TRUE(mouseTracking);
    RECT ok{};
    GetClientRect(about->okButton->window, &ok);
    GameTest::RealClick(about->okButton->window, POINT{ok.right / 2 + 1, ok.bottom / 2 + 1});
    ASSERT_TRUE(PumpUntil([aboutWindow] { return !IsWindow(aboutWindow); }, 3000));
    EXPECT_FALSE(mouseTracking);
    delete about;

    ExpectTheWatchedLabelTracked();
}
