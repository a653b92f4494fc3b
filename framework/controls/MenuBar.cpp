#include "framework/controls/MenuBar.h"

#include "framework/controls/Menu.h"

namespace VelkUtility {

MenuBar::MenuBar(GUIElement* ownerForm) {
    parent = ownerForm;
    typeName = "menubar";
}

MenuBar::~MenuBar() {
    // The menus may outlive the bar; they must not reach back into it afterwards.
    for (GUIElement* menu : menus) {
        if (menu != nullptr && menu->parent == this) {
            menu->parent = nullptr;
        }
    }
}

void MenuBar::AddMenu(Menu* menu) {
    if (menu == nullptr) {
        return;
    }
    menus.push_back(menu);
    if (!created) {
        return;
    }
    menu->Create();
    // The bar is on the screen already: show the new drop-down's title at once.
    DrawMenuBar(ParentWindow());
}

void MenuBar::Create() {
    // A second bar would replace the first one on the window, empty, and the first one would
    // never be destroyed.
    if (created) {
        return;
    }
    HWND formWindow = ParentWindow();
    if (formWindow == nullptr || !IsWindow(formWindow)) {
        return;
    }
    menuHandle = CreateMenu();
    if (menuHandle == nullptr) {
        return;
    }
    for (GUIElement* menu : menus) {
        if (menu != nullptr) {
            menu->Create();
        }
    }
    if (!SetMenu(formWindow, menuHandle)) {
        // Only a bar set on a window goes away with it; this one would be lost.
        DestroyMenu(menuHandle);
        menuHandle = nullptr;
        return;
    }
    created = true;
    window = reinterpret_cast<HWND>(menuHandle);
}

} // namespace VelkUtility
