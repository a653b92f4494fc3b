#pragma once

namespace VelkUtility {

class Form;

// Runs the thread's message loop until WM_QUIT; mainForm may be null.
void RunMessageLoop(Form* mainForm);

// Returns about one second after it was called, dispatching the thread's messages meanwhile.
// A WM_QUIT taken during the wait is posted again for the main loop.
void WaitOneSecond();

} // namespace VelkUtility
