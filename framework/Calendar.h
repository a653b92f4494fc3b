#pragma once

#include "framework/GUIElement.h"

namespace VelkUtility {

class Calendar;
using CalendarCallback = void (*)(Calendar* element, SYSTEMTIME date);

// A month calendar as the dispatch knows it.
class Calendar : public GUIElement {
public:
    using GUIElement::GUIElement;

    SYSTEMTIME date{};
    CalendarCallback onDateChanged = nullptr;
};

} // namespace VelkUtility
