// An about box whose window cannot be made gives its owner back at once: enabled, without a
// companion and with the keyboard, and the main window deletes the box.

#include "support/TestSupport.h"
#include "support_about.h"
#include "support_game.h"
#include "support_game_input.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <memory>

using namespace VelkUtility;

namespace {

// Refuses the creation of every top-level window captioned "Info..." on this thread.
class RefuseAboutWindow {
public:
    RefuseAboutWindow() : hook(SetWindowsHookExW(WH_CBT, &Refuse, nullptr, GetCurrentThreadId())) {}
    ~RefuseAboutWindow() { Remove(); }
    RefuseAboutWindow(const RefuseAboutWindow&) = delete;
    RefuseAboutWindow& operator=(const RefuseAboutWindow&) = delete;

    bool Installed() const { return hook != nullptr; }
    void Remove() {
        if (hook != nullptr) {
            UnhookWindowsHookEx(hook);
            hook = nullptr;
        }
    }

    static inline int refused = 0;

private:
    static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
            if (create->hwndParent == nullptr && create->lpszName != nullptr &&
                !IS_INTRESOURCE(create->lpszName) &&
                std::wcscmp(create->lpszName, L"Info...") == 0) {
                ++refused;
                return 1;
            }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    HHOOK hook;
};

} // namespace

TEST(AboutWithoutWindow, FormAboutGivesItsOwnerBackWhenItsWindowCannotBeMade) {
    Form owner(GetModuleHandleW(nullptr));
    owner.SetText(std::string("Proprietario"));
    owner.Create();
    ASSERT_NE(owner.window, nullptr);
    ASSERT_TRUE(GameTest::MakeForeground(owner.window));

    RefuseAboutWindow refuse;
    ASSERT_TRUE(refuse.Installed());
    auto* about = new FormAbout(&owner);
    EXPECT_FALSE(owner.enabled) << "disabled while the box is being opened";
    AboutTest::FillAndOpen(about);
    EXPECT_EQ(RefuseAboutWindow::refused, 1);
    EXPECT_EQ(about->window, nullptr);
    EXPECT_TRUE(owner.enabled);
    EXPECT_TRUE(IsWindowEnabled(owner.window));
    EXPECT_EQ(owner.companion, nullptr);
    EXPECT_NE(GetFocus(), nullptr) << "the owner has no keyboard focus";
    delete about;
    EXPECT_TRUE(IsWindowEnabled(owner.window));
}

TEST(AboutWithoutWindow, InfoThatCannotOpenTheBoxLeavesTheMainWindowUsable) {
    auto form = GameTest::MakeMainWindow();
    ASSERT_NE(form->window, nullptr);
    ASSERT_TRUE(GameTest::MakeForeground(form->window));
    SetFocus(form->infoButton->window);

    RefuseAboutWindow refuse;
    ASSERT_TRUE(refuse.Installed());
    SendMessageW(form->infoButton->window, BM_CLICK, 0, 0);
    EXPECT_EQ(RefuseAboutWindow::refused, 1);
    EXPECT_EQ(form->aboutForm, nullptr) << "the box without a window is deleted";
    EXPECT_EQ(form->companion, nullptr);
    EXPECT_TRUE(form->enabled);
    EXPECT_TRUE(IsWindowEnabled(form->window));
    EXPECT_EQ(GetActiveWindow(), form->window);
    EXPECT_NE(GetFocus(), nullptr);

    // The game still takes its commands.
    GameTest::ClickPlay(*form);
    EXPECT_TRUE(form->playing);

    // Once windows can be made again, "Info" opens the box as usual.
    refuse.Remove();
    SendMessageW(form->infoButton->window, BM_CLICK, 0, 0);
    ASSERT_NE(form->aboutForm, nullptr);
    ASSERT_NE(form->aboutForm->window, nullptr);
    EXPECT_FALSE(IsWindowEnabled(form->window));
    EXPECT_EQ(form->companion, form->aboutForm);
    HWND aboutWindow = form->aboutForm->window;
    SendMessageW(aboutWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(aboutWindow));
    EXPECT_TRUE(IsWindowEnabled(form->window));
}
