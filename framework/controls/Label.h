#pragma once

#include "framework/controls/Child.h"

#include <string>

namespace VelkUtility {

// A line of static text.
class Label : public Child {
public:
    Label(GUIElement* parentElement, std::string caption);

    void Create() override;
    DWORD ComputeStyle() const;
    DWORD ComputeExStyle() const;

    bool border = false;
    bool alignRight = false;
    bool alignCenter = false;
};

} // namespace VelkUtility
