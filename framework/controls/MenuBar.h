#pragma once

#include "framework/controls/Child.h"

#include <vector>

namespace VelkUtility {

class Menu;

// The menu bar of a form; its window field holds the bar's menu handle once created.
class MenuBar : public Child {
public:
    explicit MenuBar(GUIElement* ownerForm);
    // Frees the list only; the menus it names are told they no longer have a bar.
    ~MenuBar() override;

    void AddMenu(Menu* menu);
    void Create() override;

    std::vector<GUIElement*> menus;
    HMENU menuHandle = nullptr;
};

} // namespace VelkUtility
