#include "framework/Form.h"
#include "framework/GUIElement.h"
#include "framework/controls/Menu.h"
#include "framework/controls/MenuBar.h"
#include "framework/controls/SubMenu.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

using namespace VelkUtility;

namespace {

// What each onCommand saw: the element it was called with and its check state at that time.
struct CommandRecord {
    GUIElement* element;
    bool checked;
};
std::vector<CommandRecord> commands;

void RecordCommand(GUIElement* element) {
    auto* entry = dynamic_cast<SubMenu*>(element);
    commands.push_back({element, entry != nullptr && entry->checked});
}

std::wstring MenuText(HMENU menu, UINT position) {
    wchar_t buffer[128] = {};
    GetMenuStringW(menu, position, buffer, 128, MF_BYPOSITION);
    return buffer;
}

std::vector<std::wstring> MenuTexts(HMENU menu) {
    std::vector<std::wstring> texts;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        texts.push_back(MenuText(menu, static_cast<UINT>(i)));
    }
    return texts;
}

UINT StateOf(HMENU menu, int id) {
    return GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND);
}

// A created plain form, the host of the menus; menu elements are made after its window, as
// the owners of the program do.
class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        commands.clear();
        form = std::make_unique<Form>(GetModuleHandleW(nullptr));
        form->SetText(std::string("Menus"));
        form->SetSize(400, 300);
        form->Create();
        ASSERT_NE(form->window, nullptr);
    }

    void TearDown() override {
        // Entries first, then menus, then the bar: the order the main window uses is not
        // required, but each test deletes what it made.
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

    // The menu choice as the system sends it: WM_COMMAND, code 0, no control window.
    void Choose(int id, int code = 0) {
        SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(id, code), 0);
    }

    std::unique_ptr<Form> form;
    std::vector<GUIElement*> owned;
};

TEST_F(MenuTest, BarShowsDropDownsAndEntriesInConstructionOrder) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* file = Keep(new Menu(bar, "&File"));
    SubMenu* open = Entry(file, "&Apri");
    SubMenu* exit = Entry(file, "&Esci");
    auto* help = Keep(new Menu(bar, "&?"));
    SubMenu* home = Entry(help, "&Home");

    EXPECT_EQ(open->id, exit->id - 1) << "entries take their identifiers when constructed";
    EXPECT_EQ(exit->id, home->id - 1);
    EXPECT_FALSE(file->created);
    EXPECT_EQ(file->menuHandle, nullptr) << "nothing native exists before the bar's Create";
    EXPECT_EQ(GetMenu(form->window), nullptr);

    bar->Create();

    HMENU barMenu = GetMenu(form->window);
    ASSERT_NE(barMenu, nullptr);
    EXPECT_EQ(barMenu, bar->menuHandle);
    EXPECT_EQ(bar->window, reinterpret_cast<HWND>(bar->menuHandle));
    EXPECT_TRUE(bar->created);
    EXPECT_EQ(MenuTexts(barMenu), (std::vector<std::wstring>{L"&File", L"&?"}));
    ASSERT_EQ(GetSubMenu(barMenu, 0), file->menuHandle);
    ASSERT_EQ(GetSubMenu(barMenu, 1), help->menuHandle);
    EXPECT_EQ(file->window, reinterpret_cast<HWND>(file->menuHandle));

    EXPECT_EQ(MenuTexts(file->menuHandle), (std::vector<std::wstring>{L"&Apri", L"&Esci"}));
    EXPECT_EQ(GetMenuItemID(file->menuHandle, 0), static_cast<UINT>(open->id));
    EXPECT_EQ(GetMenuItemID(file->menuHandle, 1), static_cast<UINT>(exit->id));
    EXPECT_EQ(MenuTexts(help->menuHandle), (std::vector<std::wstring>{L"&Home"}));
    EXPECT_EQ(GetMenuItemID(help->menuHandle, 0), static_cast<UINT>(home->id));
    for (SubMenu* entry : {open, exit, home}) {
        EXPECT_TRUE(entry->created);
        EXPECT_EQ(entry->window, nullptr) << "a plain entry has no drop-down of its own";
        EXPECT_EQ(entry->popupHandle, nullptr);
        EXPECT_EQ(entry->typeName, "submenu");
    }
    EXPECT_EQ(bar->typeName, "menubar");
    EXPECT_EQ(file->typeName, "menu");
    EXPECT_EQ(StateOf(file->menuHandle, exit->id), 0u) << "a plain, enabled text entry";
}

TEST_F(MenuTest, ChoosingAnEntryCallsItsCommandWithTheEntry) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* file = Keep(new Menu(bar, "&File"));
    SubMenu* first = Entry(file, "Primo");
    SubMenu* second = Entry(file, "Secondo");
    SubMenu* silent = Keep(new SubMenu(file, "Muto"));
    bar->Create();

    Choose(second->id);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].element, second);

    Choose(first->id, 1);
    EXPECT_EQ(commands.size(), 1u) << "an accelerator (code 1) is not a menu choice";

    Choose(silent->id);
    EXPECT_EQ(commands.size(), 1u) << "an entry without onCommand does nothing";
    EXPECT_TRUE(IsWindow(form->window));
}

TEST_F(MenuTest, CascadingEntryOpensNestedDropDownWhoseEntriesReportTheirChoice) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* view = Keep(new Menu(bar, "&Vista"));
    SubMenu* before = Entry(view, "Prima");
    SubMenu* zoom = Entry(view, "&Zoom");
    SubMenu* larger = Entry(zoom, "Pi\xF9 grande");
    SubMenu* deeper = Entry(zoom, "Altro");
    SubMenu* deepest = Entry(deeper, "In fondo");
    bar->Create();

    ASSERT_NE(zoom->popupHandle, nullptr);
    EXPECT_EQ(zoom->window, reinterpret_cast<HWND>(zoom->popupHandle));
    EXPECT_EQ(MenuTexts(view->menuHandle), (std::vector<std::wstring>{L"Prima", L"&Zoom"}));
    EXPECT_EQ(GetSubMenu(view->menuHandle, 0), nullptr);
    EXPECT_EQ(GetSubMenu(view->menuHandle, 1), zoom->popupHandle);
    EXPECT_EQ(MenuTexts(zoom->popupHandle),
              (std::vector<std::wstring>{L"Pi\u00F9 grande", L"Altro"}));
    EXPECT_EQ(GetSubMenu(zoom->popupHandle, 1), deeper->popupHandle);
    EXPECT_EQ(MenuTexts(deeper->popupHandle), (std::vector<std::wstring>{L"In fondo"}));
    EXPECT_EQ(larger->ParentMenuHandle(), zoom->popupHandle);
    (void)before;

    Choose(larger->id);
    Choose(deepest->id);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].element, larger);
    EXPECT_EQ(commands[1].element, deepest);

    // No menu item carries the cascading entry's identifier.
    EXPECT_EQ(StateOf(bar->menuHandle, zoom->id), static_cast<UINT>(-1));
}

TEST_F(MenuTest, CheckMarkFlipsOnEveryChoiceBeforeTheCommandRuns) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* options = Keep(new Menu(bar, "&Opzioni"));
    SubMenu* sound = Entry(options, "&Suono");
    sound->checkable = true;
    SubMenu* plain = Entry(options, "Semplice");
    bar->Create();
    ASSERT_EQ(StateOf(options->menuHandle, sound->id), static_cast<UINT>(MF_UNCHECKED));

    Choose(sound->id);
    EXPECT_EQ(StateOf(options->menuHandle, sound->id), static_cast<UINT>(MF_CHECKED));
    Choose(sound->id);
    EXPECT_EQ(StateOf(options->menuHandle, sound->id), static_cast<UINT>(MF_UNCHECKED));
    Choose(plain->id);
    EXPECT_EQ(StateOf(options->menuHandle, plain->id), 0u) << "a plain entry gets no mark";
    EXPECT_FALSE(plain->checked);

    ASSERT_EQ(commands.size(), 3u);
    EXPECT_TRUE(commands[0].checked) << "the first choice sets the mark before onCommand";
    EXPECT_FALSE(commands[1].checked);
    EXPECT_FALSE(sound->checked);
}

TEST_F(MenuTest, CheckedEntryStartsCheckedAndFollowsTheMenuNotTheField) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* options = Keep(new Menu(bar, "&Opzioni"));
    SubMenu* on = Entry(options, "Acceso");
    on->checkable = true;
    on->checked = true;
    SubMenu* notCheckable = Entry(options, "Non spuntabile");
    notCheckable->checked = true;
    bar->Create();

    EXPECT_EQ(StateOf(options->menuHandle, on->id), static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(StateOf(options->menuHandle, notCheckable->id), 0u)
        << "only a checkable entry shows its mark";

    // The menu is the truth: a mark removed behind the element's back is read back.
    CheckMenuItem(options->menuHandle, static_cast<UINT>(on->id), MF_BYCOMMAND | MF_UNCHECKED);
    EXPECT_FALSE(on->IsChecked());
    on->checked = true;
    on->ApplyCheck();
    EXPECT_EQ(StateOf(options->menuHandle, on->id), static_cast<UINT>(MF_CHECKED));
    notCheckable->ApplyCheck();
    EXPECT_EQ(StateOf(options->menuHandle, notCheckable->id), 0u);
}

TEST_F(MenuTest, CheckedEntryThatIsAlsoDisabledReadsAsUnchecked) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* options = Keep(new Menu(bar, "&Opzioni"));
    SubMenu* entry = Entry(options, "Spento");
    entry->checkable = true;
    entry->checked = true;
    bar->Create();
    entry->SetEnabled(false);

    EXPECT_EQ(StateOf(options->menuHandle, entry->id), static_cast<UINT>(MF_CHECKED | MF_DISABLED));
    EXPECT_FALSE(entry->IsChecked()) << "the state word is compared with MF_CHECKED as a whole";
    EXPECT_FALSE(entry->checked);
}

TEST_F(MenuTest, DisabledEntriesUseDisabledNotGrayed) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* file = Keep(new Menu(bar, "&File"));
    SubMenu* early = Entry(file, "Spento prima");
    early->SetEnabled(false);
    SubMenu* late = Entry(file, "Spento dopo");
    EXPECT_EQ(StateOf(file->menuHandle, early->id), static_cast<UINT>(-1))
        << "before Create only the field changes";
    bar->Create();

    EXPECT_EQ(StateOf(file->menuHandle, early->id), static_cast<UINT>(MF_DISABLED));
    EXPECT_EQ(StateOf(file->menuHandle, late->id), static_cast<UINT>(MF_ENABLED));

    early->SetEnabled(true);
    EXPECT_EQ(StateOf(file->menuHandle, early->id), static_cast<UINT>(MF_ENABLED));
    EXPECT_TRUE(early->enabled);
    late->SetEnabled(false);
    EXPECT_EQ(StateOf(file->menuHandle, late->id), static_cast<UINT>(MF_DISABLED));
    EXPECT_FALSE(late->enabled);
}

TEST_F(MenuTest, CascadingEntryIgnoresEnableAndCheckOperations) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* view = Keep(new Menu(bar, "&Vista"));
    SubMenu* zoom = Entry(view, "&Zoom");
    SubMenu* nested = Entry(zoom, "Dentro");
    SubMenu* sibling = Entry(view, "Accanto");
    bar->Create();

    auto snapshot = [&] {
        return std::vector<UINT>{GetMenuState(view->menuHandle, 0, MF_BYPOSITION),
                                 GetMenuState(view->menuHandle, 1, MF_BYPOSITION),
                                 StateOf(zoom->popupHandle, nested->id)};
    };
    const std::vector<UINT> before = snapshot();
    zoom->checkable = true;
    zoom->checked = true;
    zoom->ApplyCheck();
    zoom->SetEnabled(false);
    EXPECT_FALSE(zoom->IsChecked());
    zoom->SetEnabled(true);
    EXPECT_EQ(snapshot(), before);
    (void)sibling;
}

TEST_F(MenuTest, ElementsAddedAfterCreationAppearAtTheEnd) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* file = Keep(new Menu(bar, "&File"));
    Entry(file, "Primo");
    bar->Create();

    SubMenu* added = Entry(file, "Aggiunto");
    EXPECT_TRUE(added->created) << "made at once under a created menu";
    EXPECT_EQ(MenuTexts(file->menuHandle), (std::vector<std::wstring>{L"Primo", L"Aggiunto"}));
    EXPECT_EQ(GetMenuItemID(file->menuHandle, 1), static_cast<UINT>(added->id));

    auto* extra = Keep(new Menu(bar, "&Extra"));
    EXPECT_TRUE(extra->created);
    SubMenu* inExtra = Entry(extra, "Dentro");
    EXPECT_EQ(MenuTexts(bar->menuHandle), (std::vector<std::wstring>{L"&File", L"&Extra"}));
    EXPECT_EQ(GetSubMenu(bar->menuHandle, 1), extra->menuHandle);
    EXPECT_EQ(MenuTexts(extra->menuHandle), (std::vector<std::wstring>{L"Dentro"}));

    Choose(added->id);
    Choose(inExtra->id);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].element, added);
    EXPECT_EQ(commands[1].element, inExtra);
}

TEST_F(MenuTest, EntryAddedUnderCreatedPlainEntryStaysUncreated) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* file = Keep(new Menu(bar, "&File"));
    SubMenu* plain = Entry(file, "Semplice");
    bar->Create();

    SubMenu* orphan = Entry(plain, "Orfano");
    EXPECT_EQ(plain->items.size(), 1u);
    EXPECT_EQ(plain->popupHandle, nullptr) << "a created plain entry does not become a cascade";
    EXPECT_FALSE(orphan->created);
    EXPECT_EQ(orphan->ParentMenuHandle(), nullptr);
    EXPECT_EQ(GetMenuItemCount(file->menuHandle), 1);
    EXPECT_EQ(GetSubMenu(file->menuHandle, 0), nullptr);
    EXPECT_EQ(StateOf(bar->menuHandle, orphan->id), static_cast<UINT>(-1));

    // Chosen by identifier anyway, it still reaches its command: the lookup is by id.
    Choose(plain->id);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].element, plain);
}

TEST_F(MenuTest, ChoiceWithUnknownIdentifierChangesNothing) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* options = Keep(new Menu(bar, "&Opzioni"));
    SubMenu* entry = Entry(options, "Spuntabile");
    entry->checkable = true;
    bar->Create();

    Choose(entry->id + 100);
    Choose(0);
    EXPECT_TRUE(commands.empty());
    EXPECT_FALSE(entry->checked);
    EXPECT_EQ(StateOf(options->menuHandle, entry->id), static_cast<UINT>(MF_UNCHECKED));
    EXPECT_TRUE(IsWindow(form->window));
}

TEST_F(MenuTest, ParentsOfTheWrongKindCreateNothing) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* menuUnderForm = Keep(new Menu(form.get(), "Sotto il form"));
    auto* file = Keep(new Menu(bar, "&File"));
    SubMenu* underBar = Entry(bar, "Sotto la barra");
    SubMenu* underNothing = Entry(nullptr, "Senza");
    bar->Create();

    EXPECT_EQ(bar->menus.size(), 1u) << "only the menu made with the bar is on it";
    EXPECT_TRUE(file->created);
    menuUnderForm->Create();
    EXPECT_FALSE(menuUnderForm->created);
    EXPECT_EQ(menuUnderForm->menuHandle, nullptr);
    underBar->Create();
    underNothing->Create();
    EXPECT_FALSE(underBar->created);
    EXPECT_FALSE(underNothing->created);
    EXPECT_EQ(GetMenuItemCount(bar->menuHandle), 1);
}

TEST_F(MenuTest, BarOfAFormWithoutWindowCreatesNothing) {
    Form unopened(GetModuleHandleW(nullptr));
    auto* bar = Keep(new MenuBar(&unopened));
    auto* file = Keep(new Menu(bar, "&File"));
    SubMenu* entry = Entry(file, "Voce");

    bar->Create();
    EXPECT_FALSE(bar->created);
    EXPECT_EQ(bar->menuHandle, nullptr) << "no handle is made that no window would hold";
    EXPECT_FALSE(file->created);
    EXPECT_EQ(file->menuHandle, nullptr);
    EXPECT_FALSE(entry->created);
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
        delete *it;
    }
    owned.clear();
}

TEST_F(MenuTest, BarOfADestroyedWindowCreatesNothing) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* file = Keep(new Menu(bar, "&File"));
    Entry(file, "Voce");
    DestroyWindow(form->window);

    bar->Create();
    EXPECT_FALSE(bar->created);
    EXPECT_EQ(bar->menuHandle, nullptr);
    EXPECT_FALSE(file->created);
}

// A second Create would replace the bar on the window by an empty one and lose the first.
TEST_F(MenuTest, SecondBarCreateKeepsTheBarOnTheWindow) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* file = Keep(new Menu(bar, "&File"));
    Entry(file, "Voce");
    bar->Create();
    HMENU first = bar->menuHandle;

    bar->Create();
    EXPECT_EQ(bar->menuHandle, first);
    EXPECT_EQ(GetMenu(form->window), first);
    EXPECT_EQ(MenuTexts(first), (std::vector<std::wstring>{L"&File"}));
    EXPECT_EQ(MenuTexts(file->menuHandle), (std::vector<std::wstring>{L"Voce"}));
}

TEST_F(MenuTest, MenuHandlesGoWithTheWindow) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* file = Keep(new Menu(bar, "&File"));
    SubMenu* zoom = Entry(file, "Zoom");
    Entry(zoom, "Dentro");
    bar->Create();
    auto* late = Keep(new Menu(bar, "&Tardi"));
    const std::vector<HMENU> handles{bar->menuHandle, file->menuHandle, zoom->popupHandle,
                                     late->menuHandle};
    for (HMENU handle : handles) {
        ASSERT_TRUE(IsMenu(handle));
    }

    DestroyWindow(form->window);
    for (HMENU handle : handles) {
        EXPECT_FALSE(IsMenu(handle)) << "every menu handle made hangs on the window's bar";
    }
}

// Deleting elements in any order leaves no list naming a deleted element.
TEST_F(MenuTest, DeletedElementsLeaveTheirParentsLists) {
    auto* bar = Keep(new MenuBar(form.get()));
    auto* file = new Menu(bar, "&File");
    auto* zoom = new SubMenu(file, "Zoom");
    auto* nested = new SubMenu(zoom, "Dentro");
    auto* other = new SubMenu(file, "Altro");
    const int nestedId = nested->id;
    const int otherId = other->id;

    delete nested;
    EXPECT_EQ(FindSubMenuById(nestedId), nullptr) << "deleted entries leave the registry";
    EXPECT_TRUE(zoom->items.empty());
    delete zoom;
    ASSERT_EQ(file->items.size(), 1u);
    EXPECT_EQ(file->items[0], other);

    // Parent before child: the child forgets its parent and stays usable.
    delete file;
    EXPECT_TRUE(bar->menus.empty());
    EXPECT_EQ(other->parent, nullptr);
    other->Create();
    other->SetEnabled(false);
    EXPECT_FALSE(other->created);
    EXPECT_EQ(FindSubMenuById(otherId), other);
    delete other;
    EXPECT_EQ(FindSubMenuById(otherId), nullptr);

    bar->Create();
    EXPECT_EQ(GetMenuItemCount(bar->menuHandle), 0);
}

TEST_F(MenuTest, DeletingTheBarFirstLeavesMenusWithoutParent) {
    auto* bar = new MenuBar(form.get());
    auto* file = Keep(new Menu(bar, "&File"));
    SubMenu* entry = Entry(file, "Voce");
    bar->Create();
    delete bar;

    EXPECT_EQ(file->parent, nullptr);
    // The window keeps its bar and the entries keep working.
    EXPECT_EQ(GetMenuItemCount(GetMenu(form->window)), 1);
    Choose(entry->id);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].element, entry);
}

} // namespace
