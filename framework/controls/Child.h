#pragma once

#include "framework/GUIElement.h"

namespace VelkUtility {

// Base of every element that lives as a child window inside a form or a panel.
class Child : public GUIElement {
public:
    Child();
    // Puts a subclassed control's own window procedure back while its window still exists.
    ~Child() override;

protected:
    // The creation sequence shared by the children built on a system window class: takes an
    // identifier, creates the window inside the parent, subclasses it to the framework window
    // procedure, then adds the tooltip and the font when withExtras is set.
    void CreateChildWindow(const wchar_t* className, DWORD style, DWORD exStyle,
                           bool withExtras = true);
    // Subclasses window to the framework window procedure, keeping the class procedure.
    void Subclass();
    // The parent's window, or null without a parent.
    HWND ParentWindow() const;
};

} // namespace VelkUtility
