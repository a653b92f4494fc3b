// Menus chosen the way a user does: with the keyboard and with the mouse, through the system's
// own menu tracking, which ends in the WM_COMMAND that the framework routes to the entry.

#include "framework/Form.h"
#include "framework/controls/Menu.h"
#include "framework/controls/MenuBar.h"
#include "framework/controls/SubMenu.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

using namespace VelkUtility;

namespace {

struct CommandRecord {
    GUIElement* element;
    bool checked;
};
std::vector<CommandRecord> commands;

void RecordCommand(GUIElement* element) {
    auto* entry = dynamic_cast<SubMenu*>(element);
    commands.push_back({element, entry != nullptr && entry->checked});
}

void SendKey(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

void Tap(WORD key) {
    SendKey(key, false);
    SendKey(key, true);
}

// Alt together with a letter: the access key of a drop-down of the bar.
void AltAnd(WORD key) {
    SendKey(VK_MENU, false);
    Tap(key);
    SendKey(VK_MENU, true);
}

void ClickAt(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    INPUT inputs[2]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

POINT CentreOf(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The window of an open drop-down, when there is one.
HWND OpenDropDown() {
    HWND popup = FindWindowW(L"#32768", nullptr);
    return popup != nullptr && IsWindowVisible(popup) ? popup : nullptr;
}

// Waits, on the input thread, until a drop-down is on the screen.
bool WaitForDropDown() {
    for (int i = 0; i < 300; ++i) {
        if (OpenDropDown() != nullptr) {
            Sleep(50);
            return true;
        }
        Sleep(10);
    }
    return false;
}

// Runs script on a thread of its own while this thread pumps messages: the system's menu loop
// runs on this thread, inside the dispatch of the key or click that opened the menu, so the
// input that goes on must come from elsewhere. Returns the script's result.
bool RunInput(const std::function<bool()>& script, int settleMs = 300) {
    std::atomic<bool> done{false};
    std::atomic<bool> result{false};
    std::thread driver([&] {
        result = script();
        done = true;
    });
    TestSupport::PumpUntil([&] { return done.load(); }, 10000);
    driver.join();
    TestSupport::PumpMessages(settleMs);
    return result;
}

// A form in the foreground with a bar of two drop-downs:
//   &File: &Apri, &Suono (checkable), &Chiuso (disabled)
//   &Vista: &Zoom > &Grande
class MenuInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        commands.clear();
        form = std::make_unique<Form>(GetModuleHandleW(nullptr));
        form->SetText(std::string("Menu reali"));
        form->SetLocation(50, 50);
        form->SetSize(400, 300);
        form->Create();
        ASSERT_NE(form->window, nullptr);

        bar = Keep(new MenuBar(form.get()));
        file = Keep(new Menu(bar, "&File"));
        open = Entry(file, "&Apri");
        sound = Entry(file, "&Suono");
        sound->checkable = true;
        closed = Entry(file, "&Chiuso");
        closed->SetEnabled(false);
        view = Keep(new Menu(bar, "&Vista"));
        zoom = Entry(view, "&Zoom");
        large = Entry(zoom, "&Grande");
        bar->Create();

        SetForegroundWindow(form->window);
        SetFocus(form->window);
        ASSERT_TRUE(
            TestSupport::PumpUntil([&] { return GetForegroundWindow() == form->window; }, 3000));
        TestSupport::PumpMessages(100);
    }

    void TearDown() override {
        // Leave no menu open for the next test.
        if (OpenDropDown() != nullptr) {
            Tap(VK_ESCAPE);
            Tap(VK_ESCAPE);
            TestSupport::PumpMessages(200);
        }
        for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
            delete *it;
        }
        owned.clear();
        form.reset();
    }

    template <typename T> T* Keep(T* element) {
        owned.push_back(element);
        return element;
    }

    SubMenu* Entry(GUIElement* parent, const char* text) {
        auto* entry = Keep(new SubMenu(parent, text));
        entry->onCommand = RecordCommand;
        return entry;
    }

    bool WaitForCommands(size_t count) {
        return TestSupport::PumpUntil([&] { return commands.size() >= count; }, 3000);
    }

    std::unique_ptr<Form> form;
    std::vector<GUIElement*> owned;
    MenuBar* bar = nullptr;
    Menu* file = nullptr;
    SubMenu* open = nullptr;
    SubMenu* sound = nullptr;
    SubMenu* closed = nullptr;
    Menu* view = nullptr;
    SubMenu* zoom = nullptr;
    SubMenu* large = nullptr;
};

TEST_F(MenuInputTest, AccessKeysChooseAnEntry) {
    ASSERT_TRUE(RunInput([] {
        AltAnd('F');
        if (!WaitForDropDown()) {
            return false;
        }
        Tap('A');
        return true;
    }));
    ASSERT_TRUE(WaitForCommands(1));
    EXPECT_EQ(commands[0].element, open);
    TestSupport::PumpMessages(100);
    EXPECT_EQ(commands.size(), 1u);
}

TEST_F(MenuInputTest, ArrowKeysReachTheNestedEntryOfACascade) {
    ASSERT_TRUE(RunInput([] {
        Tap(VK_F10);
        Sleep(100);
        Tap(VK_RIGHT); // &Vista
        Tap(VK_DOWN);  // opens it on &Zoom
        if (!WaitForDropDown()) {
            return false;
        }
        Tap(VK_RIGHT); // opens the cascade on &Grande
        Sleep(200);
        Tap(VK_RETURN);
        return true;
    }));
    ASSERT_TRUE(WaitForCommands(1));
    EXPECT_EQ(commands[0].element, large);
}

TEST_F(MenuInputTest, ChosenCheckableEntryTogglesItsMark) {
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(RunInput([] {
            AltAnd('F');
            if (!WaitForDropDown()) {
                return false;
            }
            Tap('S');
            return true;
        }));
        ASSERT_TRUE(WaitForCommands(static_cast<size_t>(round) + 1));
    }
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].element, sound);
    EXPECT_TRUE(commands[0].checked);
    EXPECT_FALSE(commands[1].checked);
    EXPECT_EQ(GetMenuState(file->menuHandle, static_cast<UINT>(sound->id), MF_BYCOMMAND),
              static_cast<UINT>(MF_UNCHECKED));
}

TEST_F(MenuInputTest, DisabledEntryCannotBeChosen) {
    ASSERT_TRUE(RunInput([] {
        AltAnd('F');
        if (!WaitForDropDown()) {
            return false;
        }
        Tap('C');
        Sleep(100);
        Tap(VK_RETURN);
        Sleep(100);
        Tap(VK_ESCAPE);
        Tap(VK_ESCAPE);
        return true;
    }));
    EXPECT_TRUE(commands.empty());
}

TEST_F(MenuInputTest, MouseClicksOnTheBarAndTheEntryChooseIt) {
    RECT title{};
    ASSERT_TRUE(GetMenuItemRect(form->window, bar->menuHandle, 0, &title));

    // The drop-down opens inside the system's menu loop on this thread; another thread
    // clicks its entry once it is on the screen.
    std::atomic<bool> clicked{false};
    HMENU dropDown = file->menuHandle;
    std::thread clicker([&] {
        for (int i = 0; i < 300 && OpenDropDown() == nullptr; ++i) {
            Sleep(10);
        }
        Sleep(100);
        RECT item{};
        if (OpenDropDown() != nullptr && GetMenuItemRect(nullptr, dropDown, 0, &item)) {
            ClickAt(CentreOf(item));
            clicked = true;
        }
    });
    ClickAt(CentreOf(title));
    const bool chosen = WaitForCommands(1);
    clicker.join();
    ASSERT_TRUE(clicked) << "the drop-down did not open";
    ASSERT_TRUE(chosen);
    EXPECT_EQ(commands[0].element, open);
}

} // namespace
