// The baseline of the performance table: a bare Win32 window with the main window's client
// size and background colour and nothing in it, built and linked the same way as the game.
// It ends when its window is closed. Built a second time with BARE_WITH_GAME_IMPORTS, it also
// loads the system libraries the game imports (common controls, shell, multimedia), so that the
// share of the start-up that goes to loading them can be told apart.

#include <windows.h>

#ifdef BARE_WITH_GAME_IMPORTS
#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>
#endif

namespace {

LRESULT CALLBACK BareProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = BareProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(0xC0C0C0);
    windowClass.lpszClassName = L"BareWindow";
    if (RegisterClassW(&windowClass) == 0) {
        return 1;
    }
    RECT frame{0, 0, 640, 480};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExW(0, L"BareWindow", L"Bare window", WS_OVERLAPPEDWINDOW, 100, 100,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, show);
    UpdateWindow(window);
#ifdef BARE_WITH_GAME_IMPORTS
    // Never true when started without arguments: the calls are there for the imports only.
    if (__argc > 1 && lstrcmpA(__argv[1], "--use-imports") == 0) {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        PlaySoundW(nullptr, nullptr, 0);
        ShellExecuteW(nullptr, L"open", L"about:blank", nullptr, nullptr, SW_SHOWNORMAL);
    }
#endif

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
