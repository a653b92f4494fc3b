#pragma once

#include "framework/controls/Child.h"

#include <string>

namespace VelkUtility {

// A text field on the system edit class, shaped by plain flags.
class TextBox : public Child {
public:
    TextBox(GUIElement* parentElement, std::string content);

    void Create() override;
    DWORD ComputeStyle() const;
    void ApplyStyle();

    int maxLength = -1;
    bool multiline = false;
    bool horizontalScroll = false;
    bool verticalScroll = false;
    bool readOnly = false;
    bool numbersOnly = false;
    bool password = false;
    bool lowercase = false;
    bool uppercase = false;
    bool alignRight = false;
    bool alignCenter = false;
    bool border = true;
    bool wordWrap = false;
};

} // namespace VelkUtility
