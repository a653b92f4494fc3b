// The main window's commands: the exit question behind every way of closing, the about box
// and the menu-item routing.

#include "support/TestSupport.h"
#include "support_game.h"

#include "framework/about/FormAbout.h"
#include "framework/controls/Label.h"
#include "framework/controls/SubMenu.h"
#include "framework/controls/TextBox.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace GameTest;
using TestSupport::DialogAnswerer;

namespace {

// The ways of asking the main window to close that need no real input.
struct CloseSource {
    const char* name;
    void (*request)(MyGame::FormMain& form);
};

const CloseSource closeSources[] = {
    {"Chiudi",
     [](MyGame::FormMain& form) { SendMessageW(form.closeButton->window, BM_CLICK, 0, 0); }},
    {"&Esci",
     [](MyGame::FormMain& form) {
         SendMessageW(form.window, WM_COMMAND, MAKEWPARAM(form.exitItem->id, 0), 0);
     }},
    {"close box",
     [](MyGame::FormMain& form) { SendMessageW(form.window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {"Escape key", [](MyGame::FormMain& form) { form.OnEscapeKey(&form, VK_ESCAPE); }},
};

int CountAboutForms() {
    int count = 0;
    for (VelkUtility::GUIElement* element : VelkUtility::elementRegistry) {
        if (dynamic_cast<VelkUtility::FormAbout*>(element) != nullptr) {
            ++count;
        }
    }
    return count;
}

struct CaptionSearch {
    const wchar_t* caption;
    int count;
};

BOOL CALLBACK CountIfCalled(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<CaptionSearch*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
        TestSupport::WindowText(window) == search->caption) {
        ++search->count;
    }
    return TRUE;
}

int CountVisibleWindowsCalled(const wchar_t* caption) {
    CaptionSearch search{caption, 0};
    EnumWindows(CountIfCalled, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

class CommandsTest : public ::testing::Test {
public:
    void SetUp() override {
        form = MakeMainWindow();
        ASSERT_NE(form->window, nullptr);
        TestSupport::PumpMessages(50);
    }

    void ClickInfo() { SendMessageW(form->infoButton->window, BM_CLICK, 0, 0); }

    std::unique_ptr<MyGame::FormMain> form;
};

TEST_F(CommandsTest, EveryCloseRequestAsksAndNoKeepsTheWindow) {
    for (const CloseSource& source : closeSources) {
        SCOPED_TRACE(source.name);
        DialogAnswerer answer("", IDNO);
        source.request(*form);
        answer.Join();
        ASSERT_TRUE(answer.Seen());
        EXPECT_TRUE(answer.HadButton());
        EXPECT_EQ(answer.Caption(), "Uscita");
        EXPECT_EQ(answer.Text(), "Vuoi realmente uscire?");
        EXPECT_TRUE(IsWindow(form->window));
        EXPECT_TRUE(IsWindowEnabled(form->window));
        EXPECT_TRUE(form->created);
        EXPECT_TRUE(form->timer->running);
    }
}

// A refused exit leaves the form fully working: the about box it opens next disables it.
TEST_F(CommandsTest, RefusedExitKeepsTheFormCreated) {
    {
        DialogAnswerer answer("Uscita", IDNO);
        SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(form->exitItem->id, 0), 0);
        answer.Join();
        ASSERT_TRUE(answer.Seen());
    }
    EXPECT_TRUE(form->created);
    ClickInfo();
    ASSERT_NE(form->aboutForm, nullptr);
    EXPECT_FALSE(IsWindowEnabled(form->window));
}

TEST_F(CommandsTest, NoLeavesTheShowingGoingOnWhileTheQuestionIsOpen) {
    ClickPlay(*form);
    ASSERT_TRUE(form->showing);
    ASSERT_TRUE(form->sequence.empty());
    // The question stays open for well over one step of the showing.
    std::atomic<bool> answered{false};
    std::thread later([&answered] {
        Sleep(2500);
        DialogAnswerer answer("Uscita", IDNO);
        answer.Join();
        answered = answer.Seen();
    });
    SendMessageW(form->closeButton->window, BM_CLICK, 0, 0);
    later.join();
    ASSERT_TRUE(answered);
    EXPECT_GE(form->sequence.size(), 1u) << "no step while the question was open";
    EXPECT_TRUE(form->playing);
    // ...and after it, up to the player's turn.
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return !form->showing; }, 15000));
    EXPECT_EQ(form->sequence.size(), 3u);
}

TEST_F(CommandsTest, NoLeavesThePlayersTurnAcceptingPresses) {
    form->timer->Stop();
    ClickPlay(*form);
    ShowWholeLevel(*form);
    const std::vector<int> boxes = form->sequence;
    Press(*form, boxes[0]);
    {
        DialogAnswerer answer("Uscita", IDNO);
        SendMessageW(form->window, WM_SYSCOMMAND, SC_CLOSE, 0);
        answer.Join();
        ASSERT_TRUE(answer.Seen());
    }
    Press(*form, boxes[1]);
    EXPECT_EQ(Text(form->countCell), "-1");
    EXPECT_EQ(LitBox(*form->board), boxes[1]);
}

// Records, when the window is destroyed, whether the game's timer was still running.
struct DestroyWitness {
    static MyGame::FormMain* form;
    static int destroyed;
    static bool timerRunningAtDestroy;
    static void OnDestroy(VelkUtility::GUIElement*) {
        ++destroyed;
        timerRunningAtDestroy = form->timer->running;
    }
};
MyGame::FormMain* DestroyWitness::form = nullptr;
int DestroyWitness::destroyed = 0;
bool DestroyWitness::timerRunningAtDestroy = true;

void ExpectYesClosesTheGame(const CloseSource& source) {
    auto form = MakeMainWindow();
    ClickPlay(*form);
    DestroyWitness::form = form.get();
    form->onDestroy = DestroyWitness::OnDestroy;
    ASSERT_TRUE(form->timer->running);
    {
        DialogAnswerer answer("Uscita", IDYES);
        source.request(*form);
        answer.Join();
        ASSERT_TRUE(answer.Seen());
        EXPECT_EQ(answer.Text(), "Vuoi realmente uscire?");
    }
    EXPECT_EQ(DestroyWitness::destroyed, 1);
    EXPECT_FALSE(DestroyWitness::timerRunningAtDestroy);
    EXPECT_FALSE(form->timer->running);
    EXPECT_FALSE(IsWindow(form->window));
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
    // No tick of the stopped timer is left to reach the game.
    MSG tick{};
    EXPECT_FALSE(PeekMessageW(&tick, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE));
}

TEST(ConfirmedExit, ChiudiStopsTheTimerAndEndsTheProgram) {
    ExpectYesClosesTheGame(closeSources[0]);
}

TEST(ConfirmedExit, EsciStopsTheTimerAndEndsTheProgram) {
    ExpectYesClosesTheGame(closeSources[1]);
}

TEST(ConfirmedExit, CloseBoxStopsTheTimerAndEndsTheProgram) {
    ExpectYesClosesTheGame(closeSources[2]);
}

TEST(ConfirmedExit, EsciMarksTheFormNoLongerCreated) {
    auto form = MakeMainWindow();
    DialogAnswerer answer("Uscita", IDYES);
    form->OnMenuCommand(form->exitItem);
    answer.Join();
    ASSERT_TRUE(answer.Seen());
    EXPECT_FALSE(form->created);
}

TEST_F(CommandsTest, OtherKeysThanEscapeAskNothing) {
    DialogAnswerer answer("", IDNO, 1000);
    form->OnEscapeKey(form.get(), 'A');
    form->OnEscapeKey(form.get(), VK_RETURN);
    answer.Join();
    EXPECT_FALSE(answer.Seen());
}

namespace {

// This process's top-level window with a caption; other test programs running at the same
// time have windows of the same captions.
HWND OwnWindowCaptioned(const wchar_t* caption) {
    for (HWND window : TestSupport::EnumerateTopLevelWindows()) {
        if (TestSupport::WindowText(window) == caption) {
            return window;
        }
    }
    return nullptr;
}

} // namespace

TEST_F(CommandsTest, InfoOpensTheAboutBoxAndDisablesTheMainWindow) {
    ClickInfo();
    ASSERT_NE(form->aboutForm, nullptr);
    HWND about = OwnWindowCaptioned(L"Info...");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about, form->aboutForm->window);
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_FALSE(IsWindowEnabled(form->window));
    EXPECT_EQ(form->companion, form->aboutForm);

    VelkUtility::FormAbout& box = *form->aboutForm;
    EXPECT_EQ(box.owner, form.get());
    EXPECT_EQ(box.logoId, 1006);
    EXPECT_EQ(box.logoWidth, 164);
    EXPECT_EQ(box.logoHeight, 50);
    EXPECT_EQ(box.title, "Ondrel 1.1.0.0");
    EXPECT_EQ(box.copyright, MyGame::CopyrightNotice);
    EXPECT_EQ(box.notice, MyGame::FreewareNotice);
    EXPECT_EQ(box.siteAddress, "http://www.ondrel.test");
    ASSERT_NE(box.titleLabel, nullptr);
    EXPECT_EQ(TestSupport::WindowText(box.titleLabel->window), L"Ondrel 1.1.0.0");

    // Escape in the about box closes it and gives the main window back.
    SendMessageW(box.okButton->window, WM_CHAR, VK_ESCAPE, 0);
    TestSupport::PumpMessages(50);
    EXPECT_TRUE(IsWindowEnabled(form->window));
    EXPECT_EQ(OwnWindowCaptioned(L"Info..."), nullptr);
    EXPECT_EQ(form->companion, nullptr);
}

TEST_F(CommandsTest, SecondInfoLeavesOnlyTheNewAboutForm) {
    ClickInfo();
    ASSERT_NE(form->aboutForm, nullptr);
    SendMessageW(form->aboutForm->okButton->window, BM_CLICK, 0, 0);
    TestSupport::PumpMessages(50);
    ASSERT_TRUE(IsWindowEnabled(form->window));

    ClickInfo();
    ASSERT_NE(form->aboutForm, nullptr);
    EXPECT_EQ(CountAboutForms(), 1);
    EXPECT_EQ(CountVisibleWindowsCalled(L"Info..."), 1);
    EXPECT_EQ(form->aboutForm->title, "Ondrel 1.1.0.0");
    EXPECT_TRUE(IsWindowVisible(form->aboutForm->window));
    EXPECT_FALSE(IsWindowEnabled(form->window));
    EXPECT_EQ(form->companion, form->aboutForm);
}

TEST_F(CommandsTest, ShowingGoesOnBehindTheAboutBox) {
    ClickPlay(*form);
    ClickInfo();
    ASSERT_FALSE(IsWindowEnabled(form->window));
    EXPECT_TRUE(TestSupport::PumpUntil([&] { return form->sequence.size() >= 2; }, 10000));
    EXPECT_TRUE(form->timer->running);
}

// A window that records which of its operations the adapters reached.
class RecordingForm : public MyGame::FormMain {
public:
    RecordingForm() : FormMain(GetModuleHandleW(nullptr), Caption()) {}

    void OnMenuCommand(GUIElement* item) override { Note("menu", item); }
    void OnButtonCommand(GUIElement* button) override { Note("button", button); }
    void OnTick() override { Note("tick", nullptr); }
    void OnBoxClicked(int box) override { Note("box " + std::to_string(box), nullptr); }
    void OnResize() override { Note("resize", nullptr); }
    bool AcceptChar(int ch) override {
        Note("char " + std::to_string(ch), nullptr);
        return true;
    }
    bool AcceptTextBoxChar(GUIElement* box, int ch) override {
        Note("textbox char " + std::to_string(ch), box);
        return FormMain::AcceptTextBoxChar(box, ch);
    }
    void OnFormKeyDown(int key) override { Note("key down " + std::to_string(key), nullptr); }
    void OnFormKeyUp(int key) override { Note("key up " + std::to_string(key), nullptr); }
    void OnFormLeftButtonDown(int x, int y) override {
        Note("down " + std::to_string(x) + "," + std::to_string(y), nullptr);
    }
    void OnFormLeftButtonUp(int x, int y) override {
        Note("up " + std::to_string(x) + "," + std::to_string(y), nullptr);
    }
    void OnCellClick(GUIElement* cell) override { Note("cell", cell); }
    void OnTextBoxClick(GUIElement* box) override {
        Note("textbox click", box);
        FormMain::OnTextBoxClick(box);
    }

    void Clear() {
        calls.clear();
        subjects.clear();
    }

    std::vector<std::string> calls;
    std::vector<GUIElement*> subjects;

private:
    void Note(std::string call, GUIElement* subject) {
        calls.push_back(std::move(call));
        subjects.push_back(subject);
    }
};

// Each callback the window installs reaches its own operation, with the element concerned.
TEST(Adapters, EveryEventReachesItsOperation) {
    RecordingForm form;
    form.timer->Stop();
    TestSupport::PumpMessages(50);
    // Elements of the program's kinds that the form's adapters also serve.
    auto* box = new VelkUtility::TextBox(&form, "abcdef");
    box->x = 200;
    box->y = 10;
    box->Create();
    box->onChar = form.onChar;
    box->onLeftButtonUp = form.onLeftButtonUp;
    form.levelCell->onLeftButtonDown = form.onLeftButtonDown;

    struct Row {
        const char* expected;
        VelkUtility::GUIElement* subject;
        void (*send)(RecordingForm&, VelkUtility::TextBox*);
    };
    const Row table[] = {
        {"menu", form.homeItem,
         [](RecordingForm& f, VelkUtility::TextBox*) {
             SendMessageW(f.window, WM_COMMAND, MAKEWPARAM(f.homeItem->id, 0), 0);
         }},
        {"button", form.infoButton,
         [](RecordingForm& f, VelkUtility::TextBox*) {
             SendMessageW(f.infoButton->window, BM_CLICK, 0, 0);
         }},
        {"tick", nullptr,
         [](RecordingForm& f, VelkUtility::TextBox*) {
             SendMessageW(f.window, WM_TIMER, static_cast<WPARAM>(f.timer->id), 0);
         }},
        {"box 4", nullptr,
         [](RecordingForm& f, VelkUtility::TextBox*) {
             SendMessageW(f.board->window, WM_LBUTTONDOWN, MK_LBUTTON, BoxPoint(4));
         }},
        {"resize", nullptr,
         [](RecordingForm& f, VelkUtility::TextBox*) {
             SendMessageW(f.window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 480));
         }},
        {"char 65", nullptr,
         [](RecordingForm& f, VelkUtility::TextBox*) { SendMessageW(f.window, WM_CHAR, 65, 0); }},
        {"key down 66", nullptr,
         [](RecordingForm& f, VelkUtility::TextBox*) {
             SendMessageW(f.window, WM_KEYDOWN, 66, 0);
         }},
        {"key up 67", nullptr,
         [](RecordingForm& f, VelkUtility::TextBox*) { SendMessageW(f.window, WM_KEYUP, 67, 0); }},
        {"down 5,300", nullptr,
         [](RecordingForm& f, VelkUtility::TextBox*) {
             SendMessageW(f.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 300));
         }},
        {"up 6,301", nullptr,
         [](RecordingForm& f, VelkUtility::TextBox*) {
             SendMessageW(f.window, WM_LBUTTONUP, 0, MAKELPARAM(6, 301));
         }},
        {"cell", form.levelCell,
         [](RecordingForm& f, VelkUtility::TextBox*) {
             SendMessageW(f.levelCell->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
         }},
        {"textbox char 9", box,
         [](RecordingForm&, VelkUtility::TextBox* b) { SendMessageW(b->window, WM_CHAR, 9, 0); }},
        {"textbox click", box,
         [](RecordingForm&, VelkUtility::TextBox* b) {
             SendMessageW(b->window, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
         }},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.expected);
        form.Clear();
        row.send(form, box);
        ASSERT_FALSE(form.calls.empty());
        EXPECT_EQ(form.calls.front(), row.expected);
        EXPECT_EQ(form.subjects.front(), row.subject);
    }

    // The text box filter swallows Tab and Enter; the click selects the whole text.
    EXPECT_EQ(SendMessageW(box->window, WM_CHAR, 9, 0), 1);
    EXPECT_EQ(SendMessageW(box->window, WM_CHAR, 13, 0), 1);
    DWORD start = 99, end = 99;
    SendMessageW(box->window, EM_SETSEL, 2, 2);
    SendMessageW(box->window, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    SendMessageW(box->window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 6u);
    delete box;
}

// A menu command finds the main window its item belongs to, or the first main window when
// the item belongs to none; with neither, nothing happens.
TEST(Adapters, MenuItemsReachTheirOwnMainWindow) {
    RecordingForm first;
    RecordingForm second;
    ASSERT_EQ(MyGame::mainForm, &first);

    SendMessageW(second.window, WM_COMMAND, MAKEWPARAM(second.guideItem->id, 0), 0);
    ASSERT_EQ(second.calls.size(), 1u);
    EXPECT_EQ(second.subjects[0], second.guideItem);
    EXPECT_TRUE(first.calls.empty());

    VelkUtility::SubMenu orphan(nullptr, "senza menu");
    orphan.onCommand = second.exitItem->onCommand;
    second.Clear();
    orphan.onCommand(&orphan);
    ASSERT_EQ(first.calls.size(), 1u);
    EXPECT_EQ(first.calls[0], "menu");
    EXPECT_EQ(first.subjects[0], &orphan);
    EXPECT_TRUE(second.calls.empty());

    first.Clear();
    MyGame::mainForm = nullptr;
    orphan.onCommand(&orphan);
    EXPECT_TRUE(first.calls.empty());
    EXPECT_TRUE(second.calls.empty());
    MyGame::mainForm = &first;
}

} // namespace
