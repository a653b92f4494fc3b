#include "framework/MessageLoop.h"
#include "game/FormMain.h"
#include "game/ProgramInfo.h"

#include <windows.h>

#include <memory>
#include <new>
#include <string>

// Exit code when the program cannot start: no main window, or no memory for it.
constexpr int StartFailedExitCode = 1;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    try {
        const std::string caption =
            std::string(MyGame::ProductName) + " " + MyGame::CopyrightNotice;
        std::unique_ptr<MyGame::FormMain> form(new MyGame::FormMain(instance, caption));
        // Without a main window no WM_QUIT would ever end the loop.
        if (form->window == nullptr) {
            return StartFailedExitCode;
        }
        VelkUtility::RunMessageLoop(form.get());
        form.reset();
        return 0;
    } catch (const std::bad_alloc&) {
        return StartFailedExitCode;
    } catch (...) {
        return StartFailedExitCode;
    }
}
