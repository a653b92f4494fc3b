#pragma once

#include "framework/controls/Child.h"

#include <string>
#include <vector>

namespace VelkUtility {

class SubMenu;

// A drop-down of a menu bar.
class Menu : public Child {
public:
    Menu(GUIElement* bar, std::string caption);
    // Leaves the bar's list and tells its entries that they no longer have a menu.
    ~Menu() override;

    void AddItem(SubMenu* item);
    void Create() override;

    std::vector<GUIElement*> items;
    HMENU menuHandle = nullptr;
};

} // namespace VelkUtility
