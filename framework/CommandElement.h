#pragma once

namespace VelkUtility {

class GUIElement;

using CommandCallback = void (*)(GUIElement* element);

// Second base of the elements that fire commands (buttons, menu entries). The window
// procedure reaches it by a dynamic cast and always calls onCommand with the element itself.
class CommandElement {
public:
    virtual ~CommandElement() = default;

    CommandCallback onCommand = nullptr;
};

} // namespace VelkUtility
