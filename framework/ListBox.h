#pragma once

#include "framework/CommandElement.h"
#include "framework/GUIElement.h"

namespace VelkUtility {

// A list box as the dispatch knows it: its selection changes fire onCommand.
class ListBox : public GUIElement, public CommandElement {
public:
    using GUIElement::GUIElement;
};

} // namespace VelkUtility
