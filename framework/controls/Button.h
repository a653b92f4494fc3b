#pragma once

#include "framework/CommandElement.h"
#include "framework/controls/Child.h"

#include <string>

namespace VelkUtility {

class Drawing;

// A push button; owner-drawn buttons paint their own look with the colours their parent sets
// while answering the control-colour message.
class Button : public Child, public CommandElement {
public:
    Button(GUIElement* parentElement, std::string caption);

    void Create() override;
    DWORD ComputeStyle() const;

    // Draws the picture of an owner-drawn button; returns where the caption begins.
    virtual int DrawImage(Drawing& painter, const RECT& item);

    // Paints one WM_DRAWITEM request of an owner-drawn button.
    void DrawLook(const DRAWITEMSTRUCT& item);

    bool ownerDraw = false;
    HBITMAP image = nullptr;
    HBITMAP disabledImage = nullptr;
};

} // namespace VelkUtility
