#pragma once

#include "Child.h"

#include <string>
#include <vector>

namespace VelkUtility {

class SubMenu;

// A drop-down of a menu bar.
class Menu : public Child {
public:
    Menu(GUIElement* bar, std::string caption);

    void AddItem(SubMenu* item);
    void Create() override;

    std::vector<GUIElement*> items;
    HMENU menuHandle = nullptr;
};

} // namespace VelkUtility
