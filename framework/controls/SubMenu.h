#pragma once

#include "framework/CommandElement.h"
#include "framework/controls/Child.h"

#include <string>
#include <vector>

namespace VelkUtility {

// An entry of a drop-down; with entries of its own it opens a cascading drop-down. Its id is
// the entry's command identifier.
class SubMenu : public Child, public CommandElement {
public:
    SubMenu(GUIElement* parentElement, std::string caption);
    // Leaves the parent's list and tells its own entries that they no longer have a parent.
    ~SubMenu() override;

    void SetEnabled(bool value) override;
    void Create() override;

    void AddItem(SubMenu* item);
    HMENU ParentMenuHandle() const;
    bool IsChecked();
    void ApplyCheck();

    std::vector<GUIElement*> items;
    HMENU popupHandle = nullptr;
    unsigned int flags = 0;
    bool checkable = false;
    bool checked = false;
};

} // namespace VelkUtility
