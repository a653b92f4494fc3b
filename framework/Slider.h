#pragma once

#include "framework/GUIElement.h"

namespace VelkUtility {

class Slider;
using SliderCallback = void (*)(Slider* element, int position);

// A trackbar as the dispatch knows it.
class Slider : public GUIElement {
public:
    explicit Slider(HINSTANCE instance) : GUIElement(instance) { typeName = "slider"; }

    SliderCallback onPositionChanged = nullptr;
};

} // namespace VelkUtility
