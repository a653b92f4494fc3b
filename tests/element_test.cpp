#include "support_element.h"

#include "framework/Font.h"
#include "framework/GUIElement.h"
#include "framework/WindowProcedure.h"
#include "framework/controls/PanelChildren.h"
#include "framework/controls/SubMenu.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace VelkUtility;
using ElementTest::CallNames;
using ElementTest::Calls;
using ElementTest::RectInParent;
using ElementTest::TestElement;
using testing::ElementsAre;

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Teal = RGB(0, 128, 128);

// A host window with an element inside it that stands for the parent form.
class ElementOnHost : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(host.Handle(), nullptr);
        parentElement = std::make_unique<TestElement>(host.Handle());
        parentElement->SetLocation(0, 0);
        parentElement->SetSize(300, 200);
        parentElement->Create();
        ASSERT_NE(parentElement->window, nullptr);
        Calls().clear();
        ElementTest::CallbackAnswer() = true;
    }

    // A child element of the parent element, not yet created.
    std::unique_ptr<TestElement> MakeChild() {
        auto child = std::make_unique<TestElement>(parentElement->window);
        child->parent = parentElement.get();
        return child;
    }

    void FillWhite(HWND window) {
        RECT client{};
        GetClientRect(window, &client);
        HDC dc = GetDC(window);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(window, dc);
    }

    TestSupport::ScratchWindow host{320, 240};
    std::unique_ptr<TestElement> parentElement;
};

// Whether a tooltip window belongs to this thread.
bool ThreadHasAToolTip() {
    bool found = false;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0) {
                *reinterpret_cast<bool*>(result) = true;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

// ---- Construction and registry ----

// An element with nothing set makes an enabled, empty 100 x 50 window at (100, 100), with the
// system font and no tooltip, paints no colour of its own and leaves the cursor to its class.
TEST(ElementRegistry, FreshElementMakesTheDefaultWindowAndIsTheLastEntry) {
    ASSERT_TRUE(elementRegistry.empty()) << "each test starts in a fresh process";
    TestSupport::ScratchWindow host;
    TestElement first(host);
    TestElement e(host);
    ASSERT_EQ(elementRegistry.size(), 2u);
    EXPECT_EQ(elementRegistry.front(), &first);
    EXPECT_EQ(elementRegistry.back(), &e);
    EXPECT_EQ(FindByWindow(nullptr), nullptr);
    EXPECT_EQ(e.window, nullptr) << "no window before Create";

    e.Create();
    ASSERT_NE(e.window, nullptr);
    EXPECT_EQ(FindByWindow(e.window), &e);
    const RECT rect = RectInParent(e.window);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 100);
    EXPECT_EQ(rect.right, 200);
    EXPECT_EQ(rect.bottom, 150);
    EXPECT_TRUE(IsWindowEnabled(e.window));
    EXPECT_EQ(GetWindowTextLengthW(e.window), 0);
    EXPECT_EQ(SendMessageW(e.window, WM_GETFONT, 0, 0), 0) << "no font of its own";
    EXPECT_EQ(e.GetToolTip(), "");
    EXPECT_FALSE(ThreadHasAToolTip()) << "no tooltip window";

    // No colour: a paint leaves what is there.
    HDC dc = GetDC(e.window);
    ASSERT_NE(dc, nullptr);
    HBRUSH teal = CreateSolidBrush(Teal);
    const RECT client{0, 0, e.width, e.height};
    FillRect(dc, &client, teal);
    DeleteObject(teal);
    EXPECT_EQ(e.OnControlColor(dc), nullptr);
    ReleaseDC(e.window, dc);
    e.OnPaint();
    EXPECT_EQ(TestSupport::ReadPixel(e.window, 5, 5), Teal);

    // No cursor of its own: WM_SETCURSOR goes on to the default processing.
    SetCursor(nullptr);
    FrameworkWindowProc(e.window, WM_SETCURSOR, reinterpret_cast<WPARAM>(e.window),
                        MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    EXPECT_NE(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
}

TEST(ElementRegistry, ConstructorStoresTheInstanceHandle) {
    class FormLike : public GUIElement {
    public:
        explicit FormLike(HINSTANCE instance) : GUIElement(instance) {}
        void Create() override {}
    };
    HINSTANCE module = GetModuleHandleW(nullptr);
    FormLike form(module);
    FormLike child(nullptr);
    EXPECT_EQ(form.instance, module);
    EXPECT_EQ(child.instance, nullptr);
}

TEST(ElementRegistry, IdentifiersStartAtOneAndFollowCreationOrder) {
    TestSupport::ScratchWindow host;
    EXPECT_EQ(nextControlId, 0);
    TestElement a(host), b(host), c(host), never(host);
    b.Create();
    a.Create();
    c.Create();
    EXPECT_EQ(b.id, 1);
    EXPECT_EQ(a.id, 2);
    EXPECT_EQ(c.id, 3);
    EXPECT_EQ(never.id, 0) << "an element that never took an identifier keeps 0";
    EXPECT_EQ(GetDlgCtrlID(b.window), 1);
    EXPECT_EQ(nextControlId, 3);
}

TEST(ElementRegistry, DeletedElementLeavesTheRegistryAndNoLookupReachesIt) {
    TestSupport::ScratchWindow host;
    auto a = std::make_unique<TestElement>(host);
    auto b = std::make_unique<TestElement>(host);
    auto c = std::make_unique<TestElement>(host);
    a->Create();
    b->Create();
    c->Create();
    HWND oldWindow = b->window;
    const int oldId = b->id;
    GUIElement* oldAddress = b.get();

    b.reset();

    EXPECT_THAT(elementRegistry, ElementsAre(a.get(), c.get()));
    // The deleted element's window still exists (it goes with its parent): its messages
    // must not find the deleted element, nor be handed to the created last element.
    ASSERT_TRUE(IsWindow(oldWindow));
    EXPECT_EQ(FindByWindow(oldWindow), nullptr);
    EXPECT_EQ(FindById(oldId), nullptr);
    EXPECT_EQ(FindByWindow(a->window), a.get());
    EXPECT_EQ(FindById(c->id), c.get());
    for (GUIElement* entry : elementRegistry) {
        EXPECT_NE(entry, oldAddress);
    }
}

TEST(ElementRegistry, RebuildingElementsKeepsTheRegistrySmallAndFindsOnlyTheNewOnes) {
    TestSupport::ScratchWindow host;
    TestElement keeper(host);
    keeper.Create();
    std::vector<int> oldIds;
    for (int round = 0; round < 50; ++round) {
        auto child = std::make_unique<TestElement>(host);
        child->Create();
        HWND window = child->window;
        ASSERT_EQ(FindByWindow(window), child.get());
        ASSERT_EQ(FindById(child->id), child.get());
        oldIds.push_back(child->id);
        DestroyWindow(window);
        child.reset();
        ASSERT_EQ(elementRegistry.size(), 1u) << "round " << round;
    }
    auto fresh = std::make_unique<TestElement>(host);
    fresh->Create();
    for (int oldId : oldIds) {
        EXPECT_EQ(FindById(oldId), nullptr) << oldId;
    }
    EXPECT_EQ(FindByWindow(fresh->window), fresh.get());
    EXPECT_EQ(FindById(fresh->id), fresh.get());
    EXPECT_EQ(FindByWindow(keeper.window), &keeper);
}

TEST(ElementRegistry, DeletedPanelIsForgottenByTheDispatch) {
    auto panel = std::make_unique<PanelChildren>(nullptr);
    scrollPanel = panel.get();
    activePanel = panel.get();
    panel.reset();
    EXPECT_EQ(scrollPanel, nullptr);
    EXPECT_EQ(activePanel, nullptr);
}

TEST(ElementRegistry, FindByWindowForASharedHandleReturnsTheLaterEntry) {
    TestSupport::ScratchWindow host;
    TestElement earlier(host), later(host), last(host);
    earlier.window = host.Handle();
    later.window = host.Handle();
    last.Create();
    EXPECT_EQ(FindByWindow(host.Handle()), &later);
}

TEST(ElementRegistry, UnknownHandleGoesToTheElementUnderConstruction) {
    TestSupport::ScratchWindow host, stranger;
    TestElement built(host);
    built.Create();
    TestElement underConstruction(host);

    // Messages of a window whose handle is not stored yet go to the last, fresh element.
    EXPECT_EQ(FindByWindow(stranger.Handle()), &underConstruction);
    EXPECT_EQ(FindByWindow(built.window), &built);

    underConstruction.Create();
    EXPECT_EQ(FindByWindow(stranger.Handle()), nullptr) << "a created last element takes nothing";
    EXPECT_EQ(FindByWindow(underConstruction.window), &underConstruction);
}

TEST(ElementRegistry, CreatedLastElementWithoutWindowTakesNoUnknownHandle) {
    // A menu entry, or an element whose window could not be made: created, but no window.
    TestSupport::ScratchWindow stranger;
    TestElement entry(nullptr);
    entry.created = true;
    EXPECT_EQ(FindByWindow(stranger.Handle()), nullptr);
}

TEST(ElementRegistry, LookupsInAnEmptyRegistryFindNothing) {
    TestSupport::ScratchWindow stranger;
    ASSERT_TRUE(elementRegistry.empty());
    EXPECT_EQ(FindByWindow(stranger.Handle()), nullptr);
    EXPECT_EQ(FindById(1), nullptr);
    EXPECT_EQ(FindSubMenuById(1), nullptr);
}

TEST(ElementRegistry, NullHandleAndIdentifierZeroNameNoElement) {
    TestSupport::ScratchWindow host;
    TestElement built(host);
    built.Create();
    TestElement fresh(host);
    EXPECT_EQ(fresh.id, 0);
    EXPECT_EQ(FindByWindow(nullptr), nullptr);
    EXPECT_EQ(FindById(0), nullptr);
}

TEST(ElementRegistry, FindByIdReturnsTheFirstElementWithTheIdentifier) {
    TestSupport::ScratchWindow host;
    TestElement a(host), b(host), c(host);
    a.Create();
    b.Create();
    c.Create();
    EXPECT_EQ(FindById(a.id), &a);
    EXPECT_EQ(FindById(b.id), &b);
    EXPECT_EQ(FindById(c.id), &c);
    EXPECT_EQ(FindById(c.id + 1), nullptr);
    EXPECT_EQ(FindById(-1), nullptr);
    c.id = a.id;
    EXPECT_EQ(FindById(a.id), &a);
}

TEST(ElementRegistry, FindSubMenuByIdFindsOnlyMenuEntries) {
    TestSupport::ScratchWindow host;
    TestElement plain(host);
    plain.Create();
    SubMenu entry(nullptr, "Voce");
    ASSERT_GT(entry.id, 0) << "a menu entry takes its command identifier when constructed";
    ASSERT_NE(entry.id, plain.id);

    EXPECT_EQ(FindSubMenuById(entry.id), &entry);
    EXPECT_EQ(FindById(entry.id), static_cast<GUIElement*>(&entry));
    EXPECT_EQ(FindSubMenuById(plain.id), nullptr) << "an element that is not a menu entry";
    EXPECT_EQ(FindSubMenuById(entry.id + 100), nullptr);
}

// ---- Text ----

TEST_F(ElementOnHost, SetTextBeforeCreateOnlyStoresItAndCreateShowsIt) {
    auto e = MakeChild();
    e->SetText(std::wstring(L"Gioca"));
    EXPECT_EQ(e->text, L"Gioca");
    EXPECT_EQ(e->window, nullptr);

    e->Create();
    EXPECT_EQ(TestSupport::WindowText(e->window), L"Gioca");

    e->SetText(std::wstring(L"Chiudi"));
    EXPECT_EQ(e->text, L"Chiudi");
    EXPECT_EQ(TestSupport::WindowText(e->window), L"Chiudi");
}

TEST_F(ElementOnHost, NarrowSetTextWidensLatin1AndGoesThroughTheWideOverride) {
    struct Overriding : TestElement {
        using GUIElement::SetText;
        using TestElement::TestElement;
        void SetText(std::wstring value) override {
            wideCalls.push_back(value);
            GUIElement::SetText(value);
        }
        std::vector<std::wstring> wideCalls;
    };
    Overriding e(parentElement->window);
    e.Create();
    e.SetText(std::string("Pu\xF2 darsi"));
    ASSERT_EQ(e.wideCalls.size(), 1u);
    EXPECT_EQ(e.wideCalls[0], L"Pu\u00F2 darsi");
    EXPECT_EQ(TestSupport::WindowText(e.window), L"Pu\u00F2 darsi");
}

TEST_F(ElementOnHost, GetTextReadsTheWindowTextBackIntoTheElement) {
    auto e = MakeChild();
    e->SetText(std::wstring(L"stored"));
    EXPECT_EQ(e->GetText(), L"stored") << "without a window the stored text is the text";

    e->Create();
    SetWindowTextW(e->window, L"ci\u00F2 che \u00E8");
    EXPECT_EQ(e->GetText(), L"ci\u00F2 che \u00E8");
    EXPECT_EQ(e->text, L"ci\u00F2 che \u00E8");
    EXPECT_EQ(e->GetTextNarrow(), "ci\xF2 che \xE8");

    const std::wstring longText(5000, L'x');
    SetWindowTextW(e->window, longText.c_str());
    EXPECT_EQ(e->GetText(), longText);

    SetWindowTextW(e->window, L"");
    EXPECT_EQ(e->GetText(), L"");
    EXPECT_TRUE(e->text.empty());
}

// ---- Geometry ----

TEST_F(ElementOnHost, SizeAndLocationBeforeCreateAreStoredAndUsedByCreate) {
    auto e = MakeChild();
    e->SetSize(70, 30);
    e->SetLocation(15, 25);
    EXPECT_EQ(e->window, nullptr);
    EXPECT_EQ(e->width, 70);
    EXPECT_EQ(e->height, 30);
    EXPECT_EQ(e->x, 15);
    EXPECT_EQ(e->y, 25);

    e->Create();
    const RECT bounds = RectInParent(e->window);
    EXPECT_EQ(bounds.left, 15);
    EXPECT_EQ(bounds.top, 25);
    EXPECT_EQ(bounds.right - bounds.left, 70);
    EXPECT_EQ(bounds.bottom - bounds.top, 30);
}

TEST_F(ElementOnHost, SetSizeResizesInPlaceAndSetLocationMovesKeepingTheSize) {
    auto e = MakeChild();
    e->SetLocation(10, 20);
    e->SetSize(60, 40);
    e->Create();

    e->SetSize(120, 55);
    RECT bounds = RectInParent(e->window);
    EXPECT_EQ(bounds.left, 10);
    EXPECT_EQ(bounds.top, 20);
    EXPECT_EQ(bounds.right - bounds.left, 120);
    EXPECT_EQ(bounds.bottom - bounds.top, 55);

    e->SetLocation(33, 44);
    bounds = RectInParent(e->window);
    EXPECT_EQ(bounds.left, 33);
    EXPECT_EQ(bounds.top, 44);
    EXPECT_EQ(bounds.right - bounds.left, 120);
    EXPECT_EQ(bounds.bottom - bounds.top, 55);
}

TEST_F(ElementOnHost, GetPositionReadsTheWindowInParentCoordinates) {
    auto e = MakeChild();
    e->SetLocation(10, 20);
    EXPECT_EQ(e->GetPosition().x, 10) << "without a window the stored position";

    e->Create();
    MoveWindow(e->window, 47, 58, 30, 30, FALSE);
    const POINT position = e->GetPosition();
    EXPECT_EQ(position.x, 47);
    EXPECT_EQ(position.y, 58);
    EXPECT_EQ(e->x, 47);
    EXPECT_EQ(e->y, 58);

    // Without a parent element the corner stays in screen coordinates.
    e->parent = nullptr;
    RECT screen{};
    GetWindowRect(e->window, &screen);
    const POINT onScreen = e->GetPosition();
    EXPECT_EQ(onScreen.x, screen.left);
    EXPECT_EQ(onScreen.y, screen.top);
}

TEST_F(ElementOnHost, OnMoveRefreshesThePositionBeforeTheCallback) {
    auto e = MakeChild();
    e->Create();
    ElementTest::RecordEveryCallback(*e);
    MoveWindow(e->window, 71, 82, 30, 30, FALSE);
    e->OnMove();
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].name, "Move");
    EXPECT_EQ(Calls()[0].a, 71);
    EXPECT_EQ(Calls()[0].b, 82);
}

TEST_F(ElementOnHost, RedrawInvalidatesACreatedWindowOnly) {
    auto e = MakeChild();
    e->Redraw(); // no window yet: nothing to do
    e->Create();
    UpdateWindow(e->window);
    ValidateRect(e->window, nullptr);
    ASSERT_FALSE(GetUpdateRect(e->window, nullptr, FALSE));
    e->Redraw();
    EXPECT_TRUE(GetUpdateRect(e->window, nullptr, FALSE));
}

// ---- Colour, enabled state, font ----

TEST_F(ElementOnHost, BackColorBeforeCreateIsOnlyStored) {
    auto e = MakeChild();
    e->SetLocation(10, 10);
    e->SetBackColor(Red);
    EXPECT_EQ(e->backColor, Red);
    EXPECT_FALSE(e->backPainted);
    e->Create();
    EXPECT_EQ(TestSupport::ReadPixel(e->window, 5, 5), White);
    EXPECT_FALSE(e->backPainted);
}

// The colour waits for the next paint: painting it at once would validate the window and keep
// the element's own painting away.
TEST_F(ElementOnHost, BackColorAfterCreateIsPaintedByTheNextPaintAndEveryPaintRepaintsIt) {
    auto e = MakeChild();
    e->SetLocation(10, 10);
    e->Create();
    TestSupport::PumpMessages(50);
    ASSERT_EQ(TestSupport::ReadPixel(e->window, 5, 5), White);

    e->SetBackColor(Red);
    EXPECT_TRUE(e->backPainted);
    RECT pending{};
    EXPECT_TRUE(GetUpdateRect(e->window, &pending, FALSE)) << "left to the next paint";
    // What the window procedure runs for WM_PAINT; this test element's window is not routed
    // to it.
    e->OnPaint();
    EXPECT_FALSE(GetUpdateRect(e->window, &pending, FALSE));
    EXPECT_EQ(TestSupport::ReadPixel(e->window, 5, 5), Red);
    EXPECT_EQ(TestSupport::ReadPixel(e->window, e->width - 1, e->height - 1), Red);
    EXPECT_EQ(TestSupport::ReadPixel(parentElement->window, 5, 5), White)
        << "only the element's own client area is painted";

    ElementTest::RecordEveryCallback(*e);
    FillWhite(e->window);
    ASSERT_EQ(TestSupport::ReadPixel(e->window, 5, 5), White);
    e->backColor = Teal;
    e->OnPaint();
    EXPECT_EQ(TestSupport::ReadPixel(e->window, 5, 5), Teal);
    EXPECT_THAT(CallNames(), ElementsAre("Paint"));
}

TEST_F(ElementOnHost, PaintWithoutAPaintedBackgroundOnlyCallsOnPaint) {
    auto e = MakeChild();
    e->Create();
    e->backColor = Red; // stored, never painted by SetBackColor
    ElementTest::RecordEveryCallback(*e);
    e->OnPaint();
    EXPECT_EQ(TestSupport::ReadPixel(e->window, 5, 5), White);
    EXPECT_THAT(CallNames(), ElementsAre("Paint"));
}

TEST_F(ElementOnHost, SetEnabledStoresAndAppliesToTheWindow) {
    auto e = MakeChild();
    e->SetEnabled(false);
    EXPECT_FALSE(e->enabled);
    e->Create();
    EXPECT_TRUE(IsWindowEnabled(e->window)) << "this test element's Create ignores the flag";
    e->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(e->window));
    e->SetEnabled(true);
    EXPECT_TRUE(e->enabled);
    EXPECT_TRUE(IsWindowEnabled(e->window));
}

TEST_F(ElementOnHost, SetFontBeforeCreateStoresItAndAfterCreateSendsIt) {
    Font first("Arial", 16);
    Font second("Arial", 22);
    auto e = std::make_unique<TestElement>(parentElement->window, L"static");
    e->SetFont(&first);
    EXPECT_EQ(e->font, &first);
    EXPECT_EQ(first.handle, nullptr) << "no font is made before the window exists";

    e->Create();
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(e->window, WM_GETFONT, 0, 0)), first.handle);

    e->SetFont(&second);
    EXPECT_EQ(e->font, &second);
    ASSERT_NE(second.handle, nullptr);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(e->window, WM_GETFONT, 0, 0)), second.handle);
}

// ---- Event operations and callbacks ----

TEST_F(ElementOnHost, EveryEventOperationCallsItsOwnCallbackWithItsArguments) {
    auto e = MakeChild();
    e->Create();
    ElementTest::RecordEveryCallback(*e);
    GUIElement* el = e.get();
    HWND w = e->window;

    struct Case {
        const char* name;
        std::function<void(GUIElement&)> invoke;
        HWND window;
        int a;
        int b;
    };
    const Case cases[] = {
        {"LeftButtonUp", [](GUIElement& g) { g.OnLeftButtonUp(1, 2); }, w, 1, 2},
        {"LeftButtonDown", [](GUIElement& g) { g.OnLeftButtonDown(3, -4); }, w, 3, -4},
        {"LeftDoubleClick", [](GUIElement& g) { g.OnLeftDoubleClick(5, 6); }, w, 5, 6},
        {"RightButtonUp", [](GUIElement& g) { g.OnRightButtonUp(7, 8); }, w, 7, 8},
        {"RightButtonDown", [](GUIElement& g) { g.OnRightButtonDown(-9, 10); }, w, -9, 10},
        {"RightDoubleClick", [](GUIElement& g) { g.OnRightDoubleClick(11, 12); }, w, 11, 12},
        {"KeyUp", [](GUIElement& g) { g.OnKeyUp(VK_F1); }, nullptr, VK_F1, 0},
        {"KeyDown", [](GUIElement& g) { g.OnKeyDown(VK_TAB); }, nullptr, VK_TAB, 0},
        {"Char", [](GUIElement& g) { g.OnChar('q'); }, nullptr, 'q', 0},
        {"MouseMove", [](GUIElement& g) { g.OnMouseMove(-13, 14); }, nullptr, -13, 14},
        {"MouseHover", [](GUIElement& g) { g.OnMouseHover(); }, nullptr, 0, 0},
        {"MouseLeave", [](GUIElement& g) { g.OnMouseLeave(); }, nullptr, 0, 0},
        {"Size", [](GUIElement& g) { g.OnSize(); }, nullptr, 0, 0},
        {"Close", [](GUIElement& g) { g.OnClose(); }, nullptr, 0, 0},
        {"Destroy", [](GUIElement& g) { g.OnDestroy(); }, nullptr, 0, 0},
        {"SetFocus", [](GUIElement& g) { g.OnSetFocus(); }, nullptr, 0, 0},
        {"Activate", [](GUIElement& g) { g.OnActivate(); }, nullptr, 0, 0},
        {"Deactivate", [](GUIElement& g) { g.OnDeactivate(); }, nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Calls().clear();
        c.invoke(*el);
        ASSERT_EQ(Calls().size(), 1u);
        EXPECT_EQ(Calls()[0].name, c.name);
        EXPECT_EQ(Calls()[0].element, el);
        EXPECT_EQ(Calls()[0].window, c.window);
        EXPECT_EQ(Calls()[0].a, c.a);
        EXPECT_EQ(Calls()[0].b, c.b);
    }
}

TEST(ElementEvents, UnsetCallbacksLeaveEveryOperationHarmless) {
    TestElement e(nullptr);
    e.OnLeftButtonUp(1, 1);
    e.OnLeftButtonDown(1, 1);
    e.OnLeftDoubleClick(1, 1);
    e.OnRightButtonUp(1, 1);
    e.OnRightButtonDown(1, 1);
    e.OnRightDoubleClick(1, 1);
    e.OnKeyUp(1);
    e.OnKeyDown(1);
    e.OnMouseMove(1, 1);
    e.OnMouseHover();
    e.OnMouseLeave();
    e.OnMove();
    e.OnSize();
    e.OnPaint();
    e.OnDestroy();
    e.OnSetFocus();
    e.OnKillFocus();
    e.OnActivate();
    e.OnDeactivate();
    e.OnShow();
    e.OnNotify(1, {1, 2}, {"a"});
    e.Focus();
    EXPECT_TRUE(e.OnChar('a')) << "no onChar: the character goes on";
    EXPECT_TRUE(e.OnClose()) << "no onClose: the window may close";
    EXPECT_EQ(e.OnControlColor(nullptr), nullptr);
}

TEST(ElementEvents, OnCharAndOnCloseReturnTheCallbackAnswer) {
    TestElement e(nullptr);
    ElementTest::RecordEveryCallback(e);
    for (bool answer : {false, true}) {
        ElementTest::CallbackAnswer() = answer;
        EXPECT_EQ(e.OnChar('x'), answer);
        EXPECT_EQ(e.OnClose(), answer);
    }
}

// Over the client area the hand wins over the wait cursor; a flag turned off again gives the
// choice back.
TEST(ElementEvents, CursorFlagsChooseTheCursorOverTheClientArea) {
    TestSupport::ScratchWindow host;
    TestElement e(host);
    e.Create();
    ASSERT_NE(e.window, nullptr);
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
    const auto cursorOver = [&e] {
        SetCursor(nullptr);
        const LRESULT answer =
            FrameworkWindowProc(e.window, WM_SETCURSOR, reinterpret_cast<WPARAM>(e.window),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return std::make_pair(answer, GetCursor());
    };

    e.SetHandCursor(true);
    EXPECT_EQ(cursorOver(), std::make_pair(LRESULT{1}, hand));
    e.SetWaitCursor(true);
    EXPECT_EQ(cursorOver(), std::make_pair(LRESULT{1}, hand)) << "both set";
    e.SetHandCursor(false);
    EXPECT_EQ(cursorOver(), std::make_pair(LRESULT{1}, wait));
    e.SetWaitCursor(false);
    EXPECT_NE(cursorOver().second, hand);
    EXPECT_NE(cursorOver().second, wait);
}

TEST_F(ElementOnHost, KillFocusReportsATextChangeOnlyWhenTheTextChanged) {
    auto e = MakeChild();
    e->SetText(std::wstring(L"prima"));
    e->Create();
    ElementTest::RecordEveryCallback(*e);

    e->OnSetFocus();
    EXPECT_EQ(e->focusText, L"prima");
    e->OnKillFocus();
    EXPECT_THAT(CallNames(), ElementsAre("SetFocus", "KillFocus"));

    Calls().clear();
    e->OnSetFocus();
    SetWindowTextW(e->window, L"dopo");
    e->OnKillFocus();
    EXPECT_THAT(CallNames(), ElementsAre("SetFocus", "KillFocus", "TextChanged"));

    // Case matters: the comparison is exact.
    Calls().clear();
    e->OnSetFocus();
    SetWindowTextW(e->window, L"DOPO");
    e->OnKillFocus();
    EXPECT_THAT(CallNames(), ElementsAre("SetFocus", "KillFocus", "TextChanged"));
}

TEST(ElementEvents, OnCreatedStoresAMissingHandleAndNotifiesOnce) {
    TestSupport::ScratchWindow first, second;
    TestElement e(nullptr);
    ElementTest::RecordEveryCallback(e);

    e.OnCreated(first.Handle());
    EXPECT_EQ(e.window, first.Handle());
    EXPECT_TRUE(e.createdNotified);
    e.OnCreated(second.Handle());
    EXPECT_EQ(e.window, first.Handle()) << "a stored handle is never replaced";

    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].name, "Created");
    EXPECT_EQ(Calls()[0].element, &e);
    EXPECT_EQ(Calls()[0].window, first.Handle());
}

TEST(ElementEvents, OnCreatedKeepsAHandleStoredBeforehand) {
    TestSupport::ScratchWindow own, other;
    TestElement e(nullptr);
    e.window = own.Handle();
    ElementTest::RecordEveryCallback(e);
    e.OnCreated(other.Handle());
    EXPECT_EQ(e.window, own.Handle());
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].window, own.Handle());
}

TEST_F(ElementOnHost, ClearCallbacksSilencesEveryEvent) {
    auto e = MakeChild();
    e->Create();
    ElementTest::RecordEveryCallback(*e);
    ElementTest::CallbackAnswer() = false;
    e->ClearCallbacks();

    e->OnCreated(e->window);
    e->OnLeftButtonUp(1, 1);
    e->OnLeftButtonDown(1, 1);
    e->OnLeftDoubleClick(1, 1);
    e->OnRightButtonUp(1, 1);
    e->OnRightButtonDown(1, 1);
    e->OnRightDoubleClick(1, 1);
    e->OnKeyUp(1);
    e->OnKeyDown(1);
    EXPECT_TRUE(e->OnChar('a'));
    e->OnMove();
    e->OnSize();
    e->OnPaint();
    EXPECT_TRUE(e->OnClose());
    e->OnDestroy();
    e->OnSetFocus();
    SetWindowTextW(e->window, L"changed");
    e->OnKillFocus();
    e->OnActivate();
    e->OnDeactivate();
    e->OnMouseMove(1, 1);
    e->OnMouseHover();
    e->OnMouseLeave();
    EXPECT_TRUE(Calls().empty()) << Calls().front().name;
}
