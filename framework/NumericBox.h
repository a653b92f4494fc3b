#pragma once

#include "framework/GUIElement.h"

namespace VelkUtility {

class NumericBox;
using NumericBoxCallback = void (*)(NumericBox* element, int value);

// An up-down number field as the dispatch knows it.
class NumericBox : public GUIElement {
public:
    using GUIElement::GUIElement;

    int minimum = 0;
    int maximum = 100;
    NumericBoxCallback onValueChanged = nullptr;
};

} // namespace VelkUtility
