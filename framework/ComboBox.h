#pragma once

#include "framework/CommandElement.h"
#include "framework/GUIElement.h"

namespace VelkUtility {

// A combo box as the dispatch knows it. Returning false from either hook answers the
// notification with 1.
class ComboBox : public GUIElement, public CommandElement {
public:
    using GUIElement::GUIElement;

    virtual bool OnDropDown() { return true; }
    virtual bool OnCloseUp() { return true; }
};

} // namespace VelkUtility
