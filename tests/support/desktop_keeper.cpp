// Stays running with a hidden window while a test run lasts, so that Wine's desktop and
// services stay up between the test processes instead of starting again for each of them.
// The optional argument is a file to create once the window exists (the run waits for it).
#include <windows.h>

#include <string>

namespace {

// The command line after the program's own name, without surrounding quotes.
std::wstring FirstArgument() {
    const wchar_t* line = GetCommandLineW();
    if (*line == L'"') {
        ++line;
        while (*line != L'\0' && *line != L'"') {
            ++line;
        }
        if (*line == L'"') {
            ++line;
        }
    } else {
        while (*line != L'\0' && *line != L' ' && *line != L'\t') {
            ++line;
        }
    }
    while (*line == L' ' || *line == L'\t') {
        ++line;
    }
    std::wstring argument(line);
    if (argument.size() >= 2 && argument.front() == L'"' && argument.back() == L'"') {
        argument = argument.substr(1, argument.size() - 2);
    }
    return argument;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"OndrelDesktopKeeper";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 1, 1,
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    const std::wstring readyFile = FirstArgument();
    if (!readyFile.empty()) {
        HANDLE ready = CreateFileW(readyFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        if (ready != INVALID_HANDLE_VALUE) {
            CloseHandle(ready);
        }
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
