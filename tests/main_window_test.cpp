// The main window as built: layout, colours, cursors, menu bar and teardown.

#include "support/TestSupport.h"
#include "support_game.h"

#include "framework/Font.h"
#include "framework/WindowProcedure.h"
#include "framework/controls/Image.h"
#include "framework/controls/Menu.h"
#include "framework/controls/MenuBar.h"
#include "framework/controls/SubMenu.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

using namespace GameTest;
using TestSupport::ColorNear;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = MakeMainWindow();
        ASSERT_NE(form->window, nullptr);
        TestSupport::PumpMessages(100);
    }

    std::unique_ptr<MyGame::FormMain> form;
};

std::wstring MenuText(HMENU menu, int position) {
    wchar_t buffer[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), buffer, 64, MF_BYPOSITION);
    return buffer;
}

TEST_F(MainWindowTest, ClientAreaIs640By480WithTheMenuBar) {
    RECT client{};
    GetClientRect(form->window, &client);
    EXPECT_EQ(client.right - client.left, 640);
    EXPECT_EQ(client.bottom - client.top, 480);
    EXPECT_NE(GetMenu(form->window), nullptr);
    EXPECT_TRUE(IsWindowVisible(form->window));
    EXPECT_EQ(TestSupport::WindowText(form->window), TestSupport::Widen(Caption()));
}

TEST_F(MainWindowTest, ChildrenStandWhereTheLayoutPutsThem) {
    struct Expected {
        const char* name;
        VelkUtility::GUIElement* element;
        RECT rect;
    };
    const Expected table[] = {
        {"board", form->board, {120, 70, 520, 420}},
        {"levelCell", form->levelCell, {10, 70, 110, 95}},
        {"countCell", form->countCell, {10, 210, 110, 270}},
        {"infoButton", form->infoButton, {530, 70, 630, 110}},
        {"closeButton", form->closeButton, {530, 120, 630, 160}},
        {"playButton", form->playButton, {530, 220, 630, 260}},
        {"messageCell", form->messageCell, {10, 430, 630, 470}},
    };
    for (const Expected& row : table) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(row.element, nullptr);
        ASSERT_TRUE(IsWindow(row.element->window));
        EXPECT_EQ(GetParent(row.element->window), form->window);
        const RECT rect = RectInParent(row.element->window);
        EXPECT_EQ(rect.left, row.rect.left);
        EXPECT_EQ(rect.top, row.rect.top);
        EXPECT_EQ(rect.right, row.rect.right);
        EXPECT_EQ(rect.bottom, row.rect.bottom);
    }
    // The static control takes the size of its 200 x 50 bitmap.
    ASSERT_NE(form->logo, nullptr);
    const RECT logo = RectInParent(form->logo->window);
    EXPECT_EQ(logo.left, 30);
    EXPECT_EQ(logo.top, 10);
    EXPECT_EQ(logo.right - logo.left, 200);
    EXPECT_NE(form->logo->bitmap, nullptr);
}

TEST_F(MainWindowTest, CellsStartWithTheLevelOnly) {
    EXPECT_EQ(Text(form->levelCell), "Livello: 0");
    EXPECT_EQ(Text(form->countCell), "");
    EXPECT_EQ(Text(form->messageCell), "");
    EXPECT_EQ(form->levelCell->font, form->font);
    EXPECT_EQ(form->countCell->font, form->countFont);
    EXPECT_EQ(form->messageCell->font, form->messageFont);
    EXPECT_EQ(form->levelCell->textColor, 0u);
    EXPECT_EQ(form->countCell->textColor, 0x0000FFu);
    EXPECT_EQ(form->messageCell->textColor, 0x0000FFu);
    for (VelkUtility::GUIElement* cell :
         {static_cast<VelkUtility::GUIElement*>(form->levelCell),
          static_cast<VelkUtility::GUIElement*>(form->countCell),
          static_cast<VelkUtility::GUIElement*>(form->messageCell)}) {
        EXPECT_EQ(cell->backColor, 0xC0C0C0u);
    }
}

// The fonts as GDI realises them: each cell draws its text with its own, and the buttons'
// captions take the window's font from the control-colour answer. The faces themselves are
// checked by ProgramTexts.EveryFontIsRealisedWithTheFaceItAsksFor.
TEST_F(MainWindowTest, CellsAndCaptionsAreDrawnInTheirFonts) {
    struct Expected {
        const char* name;
        VelkUtility::CellControl* cell;
        const wchar_t* face;
        int height;
        LONG weight;
    };
    const Expected table[] = {{"levelCell", form->levelCell, L"Lucida Console", 14, FW_NORMAL},
                              {"messageCell", form->messageCell, L"Arial", 22, FW_BOLD},
                              {"countCell", form->countCell, L"Arial", 48, FW_BOLD}};
    HDC measure = CreateCompatibleDC(nullptr);
    ASSERT_NE(measure, nullptr);
    for (const Expected& row : table) {
        SCOPED_TRACE(row.name);
        if (row.cell->font == nullptr) {
            ADD_FAILURE() << "no font";
            continue;
        }
        const HFONT handle = row.cell->font->GetHandle();
        LOGFONTW asked{};
        EXPECT_NE(GetObjectW(handle, sizeof(asked), &asked), 0);
        EXPECT_EQ(std::wstring(asked.lfFaceName), row.face);
        HGDIOBJ previous = SelectObject(measure, handle);
        TEXTMETRICW metrics{};
        EXPECT_TRUE(GetTextMetricsW(measure, &metrics));
        EXPECT_NEAR(metrics.tmHeight, row.height, 1);
        EXPECT_EQ(metrics.tmWeight, row.weight);
        SelectObject(measure, previous);
    }
    DeleteDC(measure);

    HWND play = form->playButton->window;
    HDC dc = GetDC(play);
    ASSERT_NE(dc, nullptr);
    SendMessageW(form->window, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(play));
    LOGFONTW selected{};
    EXPECT_NE(GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(selected), &selected), 0);
    ReleaseDC(play, dc);
    EXPECT_EQ(std::wstring(selected.lfFaceName), L"Lucida Console");
    EXPECT_EQ(selected.lfHeight, 14);
    EXPECT_EQ(selected.lfWeight, FW_NORMAL);
}

TEST_F(MainWindowTest, PlayButtonIsWhiteOnRedWhileEnabled) {
    HWND play = form->playButton->window;
    ASSERT_TRUE(IsWindowEnabled(play));
    const TestSupport::PixelImage image = TestSupport::CaptureClient(play);
    ASSERT_FALSE(image.Empty());
    EXPECT_TRUE(ColorNear(image.At(10, 5), 0x0000FF, 0)) << std::hex << image.At(10, 5);
    EXPECT_TRUE(ColorNear(image.At(90, 35), 0x0000FF, 0)) << std::hex << image.At(90, 35);
    EXPECT_GT(image.CountIf([](COLORREF c) { return ColorNear(c, 0xFFFFFF, 40); }), 10);
}

TEST_F(MainWindowTest, InfoAndCloseAreBlackOnLightGrey) {
    for (VelkUtility::Button* button : {form->infoButton, form->closeButton}) {
        SCOPED_TRACE(TestSupport::Narrow(button->text));
        const TestSupport::PixelImage image = TestSupport::CaptureClient(button->window);
        ASSERT_FALSE(image.Empty());
        EXPECT_TRUE(ColorNear(image.At(10, 5), RGB(220, 220, 220), 0))
            << std::hex << image.At(10, 5);
        // The border is drawn in the text colour.
        EXPECT_TRUE(ColorNear(image.At(0, 20), 0, 0)) << std::hex << image.At(0, 20);
        const int dark = image.CountIf([](COLORREF c) { return ColorNear(c, 0, 40); });
        const int border = 2 * (image.width + image.height) - 4;
        EXPECT_GT(dark, border) << "no caption pixels";
        EXPECT_EQ(image.CountIf([](COLORREF c) { return ColorNear(c, 0x0000FF, 40); }), 0);
    }
}

// The brush that answers a control-colour message is one the system can still paint with.
TEST_F(MainWindowTest, ControlColourBrushesAreAlwaysLive) {
    HWND play = form->playButton->window;
    HDC dc = GetDC(play);
    ASSERT_NE(dc, nullptr);

    HBRUSH enabledBrush = reinterpret_cast<HBRUSH>(SendMessageW(form->window, WM_CTLCOLORBTN,
                                                                reinterpret_cast<WPARAM>(dc),
                                                                reinterpret_cast<LPARAM>(play)));
    ASSERT_NE(enabledBrush, nullptr);
    EXPECT_EQ(GetObjectType(enabledBrush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetBkColor(dc), 0x0000FFu);
    EXPECT_EQ(GetTextColor(dc), 0xFFFFFFu);

    form->playButton->SetEnabled(false);
    HBRUSH disabledBrush = reinterpret_cast<HBRUSH>(SendMessageW(form->window, WM_CTLCOLORBTN,
                                                                 reinterpret_cast<WPARAM>(dc),
                                                                 reinterpret_cast<LPARAM>(play)));
    ASSERT_NE(disabledBrush, nullptr);
    EXPECT_EQ(GetObjectType(disabledBrush), static_cast<DWORD>(OBJ_BRUSH));
    LOGBRUSH logBrush{};
    ASSERT_NE(GetObjectW(disabledBrush, sizeof(logBrush), &logBrush), 0);
    EXPECT_EQ(logBrush.lbColor, RGB(220, 220, 220));
    EXPECT_EQ(GetBkColor(dc), RGB(220, 220, 220));
    // The brush of the earlier call was the form's and has been released.
    EXPECT_EQ(form->controlBrush, disabledBrush);
    if (disabledBrush != enabledBrush) {
        EXPECT_EQ(GetObjectType(enabledBrush), 0u);
    }
    ReleaseDC(play, dc);
}

TEST_F(MainWindowTest, DisabledPlayButtonIsDrawnGreyOnLightGrey) {
    form->playButton->SetEnabled(false);
    TestSupport::PumpMessages(100);
    const TestSupport::PixelImage image = TestSupport::CaptureClient(form->playButton->window);
    ASSERT_FALSE(image.Empty());
    EXPECT_TRUE(ColorNear(image.At(10, 5), RGB(220, 220, 220), 0)) << std::hex << image.At(10, 5);
    EXPECT_TRUE(ColorNear(image.At(0, 20), RGB(105, 105, 105), 0)) << std::hex << image.At(0, 20);
    EXPECT_EQ(image.CountIf([](COLORREF c) { return ColorNear(c, 0x0000FF, 40); }), 0);
    EXPECT_GT(image.CountIf([](COLORREF c) { return ColorNear(c, RGB(150, 150, 150), 30); }), 10);
}

TEST_F(MainWindowTest, HandCursorOverPlayButtonAlways) {
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    EXPECT_EQ(CursorOver(form->playButton->window), hand);
    ClickPlay(*form);
    ASSERT_FALSE(IsWindowEnabled(form->playButton->window));
    EXPECT_EQ(CursorOver(form->playButton->window), hand);
    EXPECT_NE(CursorOver(form->infoButton->window), hand);
}

TEST_F(MainWindowTest, HandCursorOverTheBoardOnlyInThePlayersTurn) {
    form->timer->Stop();
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    EXPECT_EQ(CursorOver(form->board->window), arrow) << "idle";
    ClickPlay(*form);
    Step(*form);
    EXPECT_EQ(CursorOver(form->board->window), arrow) << "showing";
    ShowWholeLevel(*form);
    EXPECT_EQ(CursorOver(form->board->window), hand) << "player's turn";
    const int wrong = form->sequence.front() % 4 + 1;
    Press(*form, wrong);
    EXPECT_EQ(CursorOver(form->board->window), arrow) << "after a wrong press";
}

TEST_F(MainWindowTest, TextBoxesRefuseTabAndReturnWhileTheFormTakesEveryCharacter) {
    EXPECT_FALSE(form->AcceptTextBoxChar(nullptr, '\t'));
    EXPECT_FALSE(form->AcceptTextBoxChar(nullptr, '\r'));
    EXPECT_TRUE(form->AcceptTextBoxChar(nullptr, 'A'));
    EXPECT_TRUE(form->AcceptChar('\t'));
    // WM_CHAR reaches the form's own filter, which lets everything through.
    EXPECT_EQ(SendMessageW(form->window, WM_CHAR, '\t', 0), 0);
}

TEST_F(MainWindowTest, WindowStyleIsFixedSizeWithMinimizeBox) {
    EXPECT_EQ(form->ComputeStyle(), 0x10CA0000u);
    EXPECT_EQ(form->ComputeExStyle(), 0u);
    // Wine adds WS_CLIPSIBLINGS to a top-level window's style, and WS_EX_WINDOWEDGE to the
    // extended style of any window with a caption.
    EXPECT_EQ(TestSupport::StyleOf(form->window) & ~static_cast<LONG_PTR>(WS_CLIPSIBLINGS),
              0x10CA0000);
    EXPECT_EQ(TestSupport::ExStyleOf(form->window) & ~static_cast<LONG_PTR>(WS_EX_WINDOWEDGE), 0);
}

TEST_F(MainWindowTest, ClassBrushIsLightGreyAndSmallIconIsSet) {
    HBRUSH classBrush =
        reinterpret_cast<HBRUSH>(GetClassLongPtrW(form->window, GCLP_HBRBACKGROUND));
    ASSERT_NE(classBrush, nullptr);
    LOGBRUSH logBrush{};
    ASSERT_NE(GetObjectW(classBrush, sizeof(logBrush), &logBrush), 0);
    EXPECT_EQ(logBrush.lbColor, RGB(192, 192, 192));
    EXPECT_TRUE(ColorNear(TestSupport::ReadPixel(form->window, 300, 20), RGB(192, 192, 192), 0));

    EXPECT_EQ(form->iconId, 1005);
    ASSERT_NE(form->icon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(form->window, WM_GETICON, ICON_SMALL, 0)),
              form->icon);
}

TEST_F(MainWindowTest, MenuBarHoldsFileAndHelpInOrder) {
    HMENU bar = GetMenu(form->window);
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(MenuText(bar, 0), L"&File");
    EXPECT_EQ(MenuText(bar, 1), L"&?");

    HMENU file = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(file), 1);
    EXPECT_EQ(MenuText(file, 0), L"&Esci");
    EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(form->exitItem->id));

    HMENU help = GetSubMenu(bar, 1);
    ASSERT_EQ(GetMenuItemCount(help), 2);
    EXPECT_EQ(MenuText(help, 0), L"&Guida");
    EXPECT_EQ(GetMenuItemID(help, 0), static_cast<UINT>(form->guideItem->id));
    EXPECT_EQ(MenuText(help, 1), L"&Home");
    EXPECT_EQ(GetMenuItemID(help, 1), static_cast<UINT>(form->homeItem->id));
}

// WM_TIMER messages of the timer that reach the main window.
HWND tickWindow = nullptr;
UINT_PTR tickId = 0;
int ticksSeen = 0;
LRESULT CALLBACK CountTicks(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_TIMER &&
        message->hwnd == tickWindow && message->wParam == tickId) {
        ++ticksSeen;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Before any game the 30 ms timer already ticks at the main window, and its ticks reach the
// game, which keeps the count of a showing at 0 while idle.
TEST_F(MainWindowTest, TimerTicksAtTheWindowFromTheStart) {
    ASSERT_NE(form->timer, nullptr);
    EXPECT_EQ(form->timer->interval, 30);
    tickWindow = form->window;
    tickId = static_cast<UINT_PTR>(form->timer->id);
    ticksSeen = 0;
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, CountTicks, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    MyGame::tickCount = 5;
    const bool ticked =
        TestSupport::PumpUntil([] { return ticksSeen >= 2 && MyGame::tickCount == 0; }, 5000);
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(ticked) << ticksSeen << " ticks seen, tick count " << MyGame::tickCount;
}

TEST(MainWindowLifetime, FirstFormStaysTheMainForm) {
    auto first = MakeMainWindow();
    EXPECT_EQ(MyGame::mainForm, first.get());
    EXPECT_EQ(VelkUtility::mainWindow, first->window);
    auto second = MakeMainWindow();
    EXPECT_EQ(MyGame::mainForm, first.get());
    EXPECT_NE(second->window, first->window);
    second.reset();
    EXPECT_EQ(MyGame::mainForm, first.get());
    EXPECT_TRUE(IsWindow(first->window));
}

// A form deleted while its window is still open closes it without asking (no message box
// can hold up the teardown) and leaves nothing of itself behind.
TEST(MainWindowLifetime, DeletingTheFormClosesItsWindowWithoutAsking) {
    auto form = MakeMainWindow();
    HWND window = form->window;
    HWND board = form->board->window;
    const size_t before = VelkUtility::elementRegistry.size();
    EXPECT_GT(before, 15u);
    form.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(board));
    EXPECT_TRUE(VelkUtility::elementRegistry.empty());
    EXPECT_EQ(MyGame::mainForm, nullptr);
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// The usual end: the window is destroyed after a confirmed close, then the form is deleted.
TEST(MainWindowLifetime, DeletingAfterTheWindowIsGoneReleasesEverything) {
    auto form = MakeMainWindow();
    {
        TestSupport::DialogAnswerer answer("Uscita", IDYES);
        SendMessageW(form->window, WM_CLOSE, 0, 0);
        answer.Join();
        ASSERT_TRUE(answer.Seen());
    }
    ASSERT_FALSE(IsWindow(form->window));
    HBRUSH brush = form->controlBrush;
    form.reset();
    EXPECT_TRUE(VelkUtility::elementRegistry.empty());
    if (brush != nullptr) {
        EXPECT_EQ(GetObjectType(brush), 0u);
    }
}

} // namespace
