#include "framework/controls/SubMenu.h"

#include "framework/GUIElement.h"
#include "framework/TextHelpers.h"
#include "framework/controls/Menu.h"

#include <algorithm>
#include <utility>

namespace VelkUtility {

namespace {

void RemoveFrom(std::vector<GUIElement*>& list, GUIElement* element) {
    list.erase(std::remove(list.begin(), list.end(), element), list.end());
}

} // namespace

SubMenu::SubMenu(GUIElement* parentElement, std::string caption) {
    parent = parentElement;
    text = ToWide(std::move(caption));
    typeName = "submenu";
    // The command identifier is fixed from the start, so owners can compare it before Create.
    id = ++nextControlId;
    if (auto* menu = dynamic_cast<Menu*>(parent)) {
        menu->AddItem(this);
    } else if (auto* entry = dynamic_cast<SubMenu*>(parent)) {
        entry->AddItem(this);
    }
}

SubMenu::~SubMenu() {
    if (auto* menu = dynamic_cast<Menu*>(parent)) {
        RemoveFrom(menu->items, this);
    } else if (auto* entry = dynamic_cast<SubMenu*>(parent)) {
        RemoveFrom(entry->items, this);
    }
    for (GUIElement* item : items) {
        if (item != nullptr && item->parent == this) {
            item->parent = nullptr;
        }
    }
}

void SubMenu::AddItem(SubMenu* item) {
    if (item == nullptr) {
        return;
    }
    items.push_back(item);
    if (created) {
        item->Create();
    }
}

HMENU SubMenu::ParentMenuHandle() const {
    if (auto* menu = dynamic_cast<Menu*>(parent)) {
        return menu->menuHandle;
    }
    if (auto* entry = dynamic_cast<SubMenu*>(parent)) {
        return entry->popupHandle;
    }
    return nullptr;
}

void SubMenu::SetEnabled(bool value) {
    enabled = value;
    if (!created) {
        return;
    }
    // MF_DISABLED, not MF_GRAYED: the entry keeps its normal look.
    EnableMenuItem(ParentMenuHandle(), static_cast<UINT>(id),
                   MF_BYCOMMAND | (value ? MF_ENABLED : MF_DISABLED));
}

void SubMenu::Create() {
    if (created) {
        return;
    }
    HMENU handle = ParentMenuHandle();
    if (handle == nullptr) {
        return;
    }
    if (items.empty()) {
        AppendMenuW(handle, flags, static_cast<UINT_PTR>(id),
                    text.empty() ? nullptr : text.c_str());
        if (checkable) {
            CheckMenuItem(handle, static_cast<UINT>(id),
                          MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
        }
    } else {
        popupHandle = CreatePopupMenu();
        for (GUIElement* item : items) {
            if (item != nullptr) {
                item->Create();
            }
        }
        if (popupHandle != nullptr &&
            !AppendMenuW(handle, MF_POPUP, reinterpret_cast<UINT_PTR>(popupHandle),
                         text.empty() ? nullptr : text.c_str())) {
            // Nothing would ever destroy a drop-down that no menu holds.
            DestroyMenu(popupHandle);
            popupHandle = nullptr;
        }
    }
    window = reinterpret_cast<HWND>(popupHandle);
    created = true;
    if (!enabled) {
        SetEnabled(false);
    }
}

bool SubMenu::IsChecked() {
    HMENU handle = ParentMenuHandle();
    if (created && handle != nullptr) {
        // Compared for equality: a checked entry that is also disabled reads as unchecked.
        checked = GetMenuState(handle, static_cast<UINT>(id), MF_BYCOMMAND) == MF_CHECKED;
    }
    return checked;
}

void SubMenu::ApplyCheck() {
    HMENU handle = ParentMenuHandle();
    if (handle == nullptr) {
        return;
    }
    CheckMenuItem(handle, static_cast<UINT>(id),
                  MF_BYCOMMAND | (checked && checkable ? MF_CHECKED : MF_UNCHECKED));
}

} // namespace VelkUtility
