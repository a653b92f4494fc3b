#pragma once

#include <windows.h>

namespace VelkUtility {

class Form;
class PanelChildren;

// The one window procedure of the framework: class procedure of forms and panels, and the
// subclass procedure of every child control built on a system class. No exception leaves it.
LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) noexcept;

// Process-wide state of the dispatch; user-interface thread only.
extern HWND mainWindow;
extern Form* activeForm;
extern PanelChildren* activePanel;
extern PanelChildren* scrollPanel;
extern bool mouseTracking;
extern HCURSOR waitCursorHandle;
extern HCURSOR handCursorHandle;

// Called by element destructors: forgets the element wherever the dispatch remembers it.
void ForgetElement(const void* element);

// Called when a subclassed control outlives its element while another subclass (a tooltip's)
// sits on top of the framework procedure, which therefore cannot be taken out: from then on the
// framework procedure hands every message of the window to its class procedure, unchanged.
void LeaveToClassProcedure(HWND window, WNDPROC classProcedure);

} // namespace VelkUtility
