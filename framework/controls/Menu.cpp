#include "framework/controls/Menu.h"

#include "framework/TextHelpers.h"
#include "framework/controls/MenuBar.h"
#include "framework/controls/SubMenu.h"

#include <algorithm>
#include <utility>

namespace VelkUtility {

Menu::Menu(GUIElement* bar, std::string caption) {
    text = ToWide(std::move(caption));
    parent = bar;
    typeName = "menu";
    if (auto* menuBar = dynamic_cast<MenuBar*>(parent)) {
        menuBar->AddMenu(this);
    }
}

Menu::~Menu() {
    if (auto* menuBar = dynamic_cast<MenuBar*>(parent)) {
        auto& list = menuBar->menus;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    for (GUIElement* item : items) {
        if (item != nullptr && item->parent == this) {
            item->parent = nullptr;
        }
    }
}

void Menu::AddItem(SubMenu* item) {
    if (item == nullptr) {
        return;
    }
    items.push_back(item);
    if (created) {
        item->Create();
    }
}

void Menu::Create() {
    if (created) {
        return;
    }
    // Under a bar that has no menu yet, the bar's own Create makes this one later.
    auto* menuBar = dynamic_cast<MenuBar*>(parent);
    if (menuBar == nullptr || menuBar->menuHandle == nullptr) {
        return;
    }
    menuHandle = CreateMenu();
    // Filled before it is attached, so that it appears complete.
    for (GUIElement* item : items) {
        if (item != nullptr) {
            item->Create();
        }
    }
    if (menuHandle != nullptr &&
        !AppendMenuW(menuBar->menuHandle, MF_POPUP, reinterpret_cast<UINT_PTR>(menuHandle),
                     text.c_str())) {
        // Nothing would ever destroy a drop-down that no menu holds.
        DestroyMenu(menuHandle);
        menuHandle = nullptr;
    }
    created = true;
    window = reinterpret_cast<HWND>(menuHandle);
}

} // namespace VelkUtility
