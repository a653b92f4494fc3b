#pragma once

#include "framework/GUIElement.h"

namespace VelkUtility {

class DatePicker;
using DatePickerCallback = void (*)(DatePicker* element, SYSTEMTIME date);

// A date picker as the dispatch knows it.
class DatePicker : public GUIElement {
public:
    using GUIElement::GUIElement;

    SYSTEMTIME date{};
    DatePickerCallback onDateChanged = nullptr;
};

} // namespace VelkUtility
