#pragma once

#include "CommandElement.h"
#include "GUIElement.h"

namespace VelkUtility {

// A list box as the dispatch knows it: its selection changes fire onCommand.
class ListBox : public GUIElement, public CommandElement {
public:
    using GUIElement::GUIElement;
};

} // namespace VelkUtility
