#include "WindowInfo.h"

namespace TestSupport {

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectOwnTopLevel(HWND window, LPARAM list) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

} // namespace

std::wstring WindowClassName(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

LONG_PTR StyleOf(HWND window) {
    return GetWindowLongPtrW(window, GWL_STYLE);
}

LONG_PTR ExStyleOf(HWND window) {
    return GetWindowLongPtrW(window, GWL_EXSTYLE);
}

SIZE ClientSize(HWND window) {
    RECT client = {};
    if (window == nullptr || !GetClientRect(window, &client)) {
        return SIZE{0, 0};
    }
    return SIZE{client.right - client.left, client.bottom - client.top};
}

std::vector<HWND> EnumerateChildWindows(HWND parent) {
    std::vector<HWND> windows;
    if (parent != nullptr) {
        EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    }
    return windows;
}

std::vector<HWND> EnumerateTopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(CollectOwnTopLevel, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::wstring Widen(const std::string& text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (char c : text) {
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return wide;
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (wchar_t c : text) {
        narrow.push_back(static_cast<char>(c & 0xFF));
    }
    return narrow;
}

} // namespace TestSupport
