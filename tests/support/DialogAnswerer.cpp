#include "DialogAnswerer.h"

#include "WindowInfo.h"

#include <utility>

namespace TestSupport {

namespace {

struct Search {
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM parameter) {
    Search* search = reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window) ||
        WindowClassName(window) != L"#32770") {
        return TRUE;
    }
    if (!search->caption->empty() && WindowText(window) != *search->caption) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

// The message of a message box is the static control with id 0xFFFF; any other dialog gets
// the first static control with text.
std::wstring MessageText(HWND dialog) {
    HWND message = GetDlgItem(dialog, 0xFFFF);
    if (message != nullptr) {
        return WindowText(message);
    }
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (_wcsicmp(WindowClassName(child).c_str(), L"Static") == 0 &&
            !WindowText(child).empty()) {
            return WindowText(child);
        }
    }
    return std::wstring();
}

} // namespace

DialogAnswerer::DialogAnswerer(std::string caption, int buttonId, int timeoutMs)
    : wantedCaption(Widen(caption)), buttonId(buttonId), timeoutMs(timeoutMs) {
    worker = std::thread([this] { Run(); });
}

DialogAnswerer::~DialogAnswerer() {
    Join();
}

void DialogAnswerer::Join() {
    if (worker.joinable()) {
        worker.join();
    }
}

std::string DialogAnswerer::Text() const {
    return Narrow(text);
}

std::string DialogAnswerer::Caption() const {
    return Narrow(caption);
}

void DialogAnswerer::Run() {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (GetTickCount64() < end) {
        Search search = {&wantedCaption, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            // Let the box finish its set-up (text, buttons) before reading it.
            Sleep(50);
            caption = WindowText(search.found);
            text = MessageText(search.found);
            HWND button = GetDlgItem(search.found, buttonId);
            hadButton = button != nullptr;
            PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                         reinterpret_cast<LPARAM>(button));
            seen = true;
            return;
        }
        Sleep(10);
    }
}

} // namespace TestSupport
