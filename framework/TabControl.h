#pragma once

#include "framework/GUIElement.h"

namespace VelkUtility {

class TabControl;
using TabControlCallback = void (*)(TabControl* element, int index);

// A tab control as the dispatch knows it.
class TabControl : public GUIElement {
public:
    using GUIElement::GUIElement;

    TabControlCallback onSelectionChanged = nullptr;
};

} // namespace VelkUtility
