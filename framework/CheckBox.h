#pragma once

#include "framework/CommandElement.h"
#include "framework/GUIElement.h"

namespace VelkUtility {

// A check box as the dispatch knows it: a command element whose state flips on each command.
class CheckBox : public GUIElement, public CommandElement {
public:
    using GUIElement::GUIElement;

    bool checked = false;
};

} // namespace VelkUtility
