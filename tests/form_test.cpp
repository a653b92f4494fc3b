// Form: window class per form, styles from the flags, client size, centring, hot keys and
// what the destructor leaves behind.

#include "framework/Form.h"
#include "framework/WindowProcedure.h"
#include "resources/resource.h"
#include "support/TestSupport.h"
#include "support_forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace VelkUtility;
using FormsTest::CountOf;
using FormsTest::Instance;
using FormsTest::Log;
using FormsTest::Record;

namespace {

// Wine adds WS_CLIPSIBLINGS to every top-level window's style, and the system adds
// WS_EX_WINDOWEDGE to framed windows; neither is the form's choice.
LONG_PTR ChosenStyle(HWND window) {
    return TestSupport::StyleOf(window) & ~WS_CLIPSIBLINGS;
}
LONG_PTR ChosenExStyle(HWND window) {
    return TestSupport::ExStyleOf(window) & ~WS_EX_WINDOWEDGE;
}

TEST(FormCreate, FirstFormTakesWindowZeroAndBecomesTheMainWindow) {
    Form first(Instance());
    first.Create();
    Form second(Instance());
    second.Create();

    EXPECT_EQ(TestSupport::WindowClassName(first.window), L"Window0");
    EXPECT_EQ(first.id, 1);
    EXPECT_EQ(mainWindow, first.window);
    EXPECT_EQ(TestSupport::WindowClassName(second.window), L"Window1");
    EXPECT_EQ(second.id, 2);
    EXPECT_EQ(mainWindow, first.window) << "a later form must not replace the main window";
    EXPECT_EQ(first.typeName, "form");
}

TEST(FormCreate, TitleComesFromTheTextAndTheWindowIsShown) {
    Form form(Instance());
    form.SetText(std::string("Prova \xE8 finita"));
    form.Create();

    EXPECT_TRUE(form.created);
    EXPECT_EQ(TestSupport::WindowText(form.window), L"Prova \u00E8 finita");
    EXPECT_TRUE(IsWindowVisible(form.window));
}

struct StyleCase {
    const char* name;
    bool dialog;
    bool titled;
    bool minimizeBox;
    bool maximizeBox;
    bool dialogFrameBit;
    bool topMost;
    bool enabled;
    DWORD style;
    DWORD exStyle;
};

class FormStyle : public ::testing::TestWithParam<StyleCase> {};

TEST_P(FormStyle, FlagsGiveTheWindowStyle) {
    Log().clear();
    const StyleCase& c = GetParam();
    Form form(Instance(), c.dialog);
    form.titled = c.titled;
    form.minimizeBox = c.minimizeBox;
    form.maximizeBox = c.maximizeBox;
    form.dialogFrameBit = c.dialogFrameBit;
    form.topMost = c.topMost;
    form.SetEnabled(c.enabled);

    EXPECT_EQ(form.ComputeStyle(), c.style);
    EXPECT_EQ(form.ComputeExStyle(), c.exStyle);
    form.Create();
    ASSERT_NE(form.window, nullptr);
    // ShowWindow makes every kind visible, the bare popup included.
    EXPECT_EQ(ChosenStyle(form.window), static_cast<LONG_PTR>(c.style | WS_VISIBLE));
    EXPECT_EQ(ChosenExStyle(form.window), static_cast<LONG_PTR>(c.exStyle));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FormStyle,
    ::testing::Values(
        StyleCase{"PlainDefaults", false, true, true, true, false, true, true, 0x10CF0000, 0},
        StyleCase{"MinimizeOnly", false, true, true, false, false, true, true, 0x10CA0000, 0},
        StyleCase{"NoBoxes", false, true, false, false, false, true, true, 0x10C80000, 0},
        StyleCase{"Untitled", false, false, true, true, false, true, true, WS_POPUP, 0},
        StyleCase{"PlainDisabled", false, true, true, false, false, true, false, 0x18CA0000, 0},
        StyleCase{"DialogDefaults", true, true, true, true, false, true, true, 0x10C90000, 0x89},
        StyleCase{"DialogNotTopMost", true, true, true, true, false, false, true, 0x10C90000, 0x81},
        StyleCase{"DialogNoMaximizeFrameBit", true, false, false, false, true, true, true,
                  0x10C80080, 0x89}),
    [](const ::testing::TestParamInfo<StyleCase>& info) { return std::string(info.param.name); });

TEST(FormCreate, ClassBrushIsTheButtonFaceWithoutAColour) {
    Form form(Instance());
    form.Create();
    EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrW(form.window, GCLP_HBRBACKGROUND)),
              GetSysColorBrush(COLOR_BTNFACE));
}

TEST(FormCreate, ClassBrushIsSolidInTheColourSetBeforeCreate) {
    Form form(Instance());
    form.SetBackColor(0xC0C0C0);
    EXPECT_FALSE(form.backPainted);
    form.Create();

    auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(form.window, GCLP_HBRBACKGROUND));
    ASSERT_NE(brush, nullptr);
    EXPECT_NE(brush, GetSysColorBrush(COLOR_BTNFACE));
    LOGBRUSH description{};
    ASSERT_EQ(GetObjectW(brush, sizeof(description), &description), int(sizeof(description)));
    EXPECT_EQ(description.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(description.lbColor, 0xC0C0C0u);
    // The class brush paints the client area.
    EXPECT_TRUE(TestSupport::ColorNear(TestSupport::ReadPixel(form.window, 10, 10), 0xC0C0C0, 0));
}

TEST(FormCreate, ClassIconIsTheApplicationIconWithoutAnId) {
    Form form(Instance());
    form.Create();
    EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrW(form.window, GCLP_HICON)),
              LoadIconW(nullptr, IDI_APPLICATION));
}

TEST(FormCreate, ClassIconComesFromTheResourcesWithAnId) {
    const int iconGroup = IDI_ONDREL;
    HICON expected = LoadIconW(Instance(), MAKEINTRESOURCEW(iconGroup));
    ASSERT_NE(expected, nullptr) << "the test program carries the program's icon group";
    Form form(Instance());
    form.iconId = iconGroup;
    form.Create();
    EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrW(form.window, GCLP_HICON)), expected);
}

TEST(FormCreate, SecondCreateMakesNoSecondWindowOrClass) {
    Form form(Instance());
    form.Create();
    HWND first = form.window;
    const int counter = nextControlId;
    form.Create();
    EXPECT_EQ(form.window, first);
    EXPECT_EQ(nextControlId, counter);
    WNDCLASSW unused{};
    EXPECT_FALSE(GetClassInfoW(Instance(), L"Window1", &unused));
}

// The element-under-construction rule: WM_CREATE reaches the form before CreateWindowExW
// returns, with the handle already given to the form and created still false.
TEST(FormCreate, OnCreatedRunsOnceInsideWindowCreation) {
    static HWND seenHandle = nullptr;
    static bool seenCreated = true;
    static bool seenWindowAlive = false;
    Form form(Instance());
    form.onCreated = [](GUIElement* element, HWND handle) {
        Record("created", element);
        seenHandle = handle;
        seenCreated = element->created;
        seenWindowAlive = IsWindow(handle) != FALSE;
    };
    form.Create();

    EXPECT_EQ(CountOf("created"), 1);
    EXPECT_EQ(seenHandle, form.window);
    EXPECT_NE(seenHandle, nullptr);
    EXPECT_FALSE(seenCreated) << "onCreated must run inside WM_CREATE, before Create ends";
    EXPECT_TRUE(seenWindowAlive);
    EXPECT_TRUE(form.createdNotified);
}

TEST(FormSize, SetClientSizeGivesThatClientArea) {
    Form form(Instance());
    form.Create();
    form.SetClientSize(640, 480);

    const SIZE client = TestSupport::ClientSize(form.window);
    EXPECT_EQ(client.cx, 640);
    EXPECT_EQ(client.cy, 480);
    RECT outer{};
    GetWindowRect(form.window, &outer);
    EXPECT_EQ(form.width, outer.right - outer.left);
    EXPECT_EQ(form.height, outer.bottom - outer.top);
    EXPECT_GT(form.height, 480) << "the frame and caption are added";
}

TEST(FormSize, SetClientSizeBeforeCreateStoresNothing) {
    Form form(Instance());
    form.SetClientSize(640, 480);
    EXPECT_EQ(form.width, 100);
    EXPECT_EQ(form.height, 50);
}

TEST(FormSize, CenterOnScreenMovesTheWindowToTheMiddle) {
    Form form(Instance());
    form.SetSize(300, 201);
    form.Create();
    form.CenterOnScreen();

    const int expectedX = (GetSystemMetrics(SM_CXSCREEN) - 300) / 2;
    const int expectedY = (GetSystemMetrics(SM_CYSCREEN) - 201) / 2;
    EXPECT_EQ(form.x, expectedX);
    EXPECT_EQ(form.y, expectedY);
    RECT outer{};
    GetWindowRect(form.window, &outer);
    EXPECT_EQ(outer.left, expectedX);
    EXPECT_EQ(outer.top, expectedY);
    EXPECT_EQ(outer.right - outer.left, 300);
}

TEST(FormSize, CenterOnScreenBeforeCreateOnlyStoresThePlace) {
    Form form(Instance());
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    form.SetSize(screenWidth + 101, 200);
    form.CenterOnScreen();

    // Wider than the screen: the left edge goes off screen, rounded toward zero.
    EXPECT_EQ(form.x, -101 / 2);
    EXPECT_EQ(form.y, (GetSystemMetrics(SM_CYSCREEN) - 200) / 2);
    EXPECT_EQ(form.window, nullptr);
    form.Create();
    RECT outer{};
    GetWindowRect(form.window, &outer);
    EXPECT_EQ(outer.left, -50);
}

// A combination nobody else uses, so that the system tells whether it is taken.
constexpr int HotKeyModifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;

bool CombinationTaken(int key) {
    if (RegisterHotKey(nullptr, 0x7000, HotKeyModifiers, key)) {
        UnregisterHotKey(nullptr, 0x7000);
        return false;
    }
    return true;
}

TEST(FormHotKeys, RegisterTakesEveryCombinationAndUnregisterGivesThemBack) {
    Form form(Instance());
    form.Create();
    form.hotKeys.push_back(HotKey{HotKeyModifiers, VK_F9, nullptr});
    form.hotKeys.push_back(HotKey{HotKeyModifiers, VK_F10, nullptr});
    ASSERT_FALSE(CombinationTaken(VK_F9));

    form.RegisterHotKeys();
    EXPECT_TRUE(CombinationTaken(VK_F9));
    EXPECT_TRUE(CombinationTaken(VK_F10));
    // Identifiers are positions plus one: id 2 is the second entry.
    EXPECT_TRUE(UnregisterHotKey(form.window, 2));
    EXPECT_TRUE(CombinationTaken(VK_F9));
    EXPECT_FALSE(CombinationTaken(VK_F10));
    form.RegisterHotKeys();

    form.UnregisterHotKeys();
    EXPECT_FALSE(CombinationTaken(VK_F9));
    EXPECT_FALSE(CombinationTaken(VK_F10));
}

// A form of the kind the program derives: its own callbacks reach its own members.
class RecordingForm : public Form {
public:
    explicit RecordingForm(HINSTANCE instance) : Form(instance) {
        onClose = [](GUIElement* element) {
            Record("close", element);
            return true;
        };
        onDestroy = [](GUIElement* element) { Record("destroy", element); };
    }
    ~RecordingForm() override { Record("derived gone", this); }
};

TEST(FormDestructor, ClosesTheWindowWithoutReachingTheDerivedForm) {
    auto* form = new RecordingForm(Instance());
    form->Create();
    HWND window = form->window;
    ASSERT_TRUE(IsWindow(window));

    delete form;

    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(CountOf("close"), 0) << "onClose reached a form whose derived part is gone";
    EXPECT_EQ(CountOf("destroy"), 0) << "onDestroy reached a form whose derived part is gone";
    EXPECT_EQ(CountOf("derived gone"), 1);
    EXPECT_EQ(FindByWindow(window), nullptr);
}

TEST(FormDestructor, WindowClosedBeforeLeavesNothingToDo) {
    auto* form = new RecordingForm(Instance());
    form->Create();
    HWND window = form->window;
    SendMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_FALSE(IsWindow(window));
    EXPECT_EQ(CountOf("close"), 1);
    EXPECT_EQ(CountOf("destroy"), 1);

    delete form;
    EXPECT_EQ(CountOf("close"), 1);
    EXPECT_EQ(CountOf("destroy"), 1);
}

TEST(FormDestructor, ReleasesItsWindowClassAndClassBrush) {
    // Forms made again and again (the about box) must not pile up classes and brushes.
    auto* form = new Form(Instance());
    form->SetBackColor(0x00FF00);
    form->Create();
    const std::wstring className = form->className;
    auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(form->window, GCLP_HBRBACKGROUND));
    ASSERT_NE(GetObjectType(brush), 0u);

    delete form;
    WNDCLASSW unused{};
    EXPECT_FALSE(GetClassInfoW(Instance(), className.c_str(), &unused));
    EXPECT_EQ(GetObjectType(brush), 0u);
}

TEST(FormDestructor, KeepsTheSystemBrushOfAFormWithoutColour) {
    auto* form = new Form(Instance());
    form->Create();
    const std::wstring className = form->className;
    delete form;
    WNDCLASSW unused{};
    EXPECT_FALSE(GetClassInfoW(Instance(), className.c_str(), &unused));
    EXPECT_NE(GetObjectType(GetSysColorBrush(COLOR_BTNFACE)), 0u);
}

HICON MakeIcon() {
    BYTE andMask[32 * 4];
    BYTE xorMask[32 * 4];
    memset(andMask, 0xFF, sizeof(andMask));
    memset(xorMask, 0x00, sizeof(xorMask));
    return CreateIcon(GetModuleHandleW(nullptr), 32, 32, 1, 1, andMask, xorMask);
}

bool IconAlive(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) {
        return false;
    }
    DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) {
        DeleteObject(info.hbmColor);
    }
    return true;
}

TEST(FormDestructor, DestroysAnIconItOwns) {
    HICON icon = MakeIcon();
    ASSERT_TRUE(IconAlive(icon));
    auto* form = FormsTest::NewForm();
    form->icon = icon;
    form->ownsIcon = true;
    SendMessageW(form->window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    delete form;
    EXPECT_FALSE(IconAlive(icon));
}

TEST(FormDestructor, LeavesABorrowedIconAlive) {
    HICON made = MakeIcon();
    HICON shared = LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_ONDREL));
    ASSERT_NE(shared, nullptr);
    {
        std::unique_ptr<Form> form(FormsTest::NewForm());
        form->icon = made;
        SendMessageW(form->window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(made));
    }
    {
        std::unique_ptr<Form> form(FormsTest::NewForm());
        form->icon = shared;
        SendMessageW(form->window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(shared));
    }
    EXPECT_TRUE(IconAlive(made));
    EXPECT_TRUE(IconAlive(shared));
    EXPECT_EQ(LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_ONDREL)), shared);
    DestroyIcon(made);
}

} // namespace
