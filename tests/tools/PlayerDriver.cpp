#include "PlayerDriver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace OndrelTools {

const wchar_t* const TurnMessage = L"Ora tocca a te. Ripeti la sequenza";
const wchar_t* const WonMessage = L"Bravo. Hai indovinato.";
const wchar_t* const LostMessage = L"Peccato. Hai sbagliato.";

const RECT PlayerDriver::BoardRect = {120, 70, 520, 420};
const RECT PlayerDriver::LevelRect = {10, 70, 110, 95};
const RECT PlayerDriver::CountRect = {10, 210, 110, 270};
const RECT PlayerDriver::MessageRect = {10, 430, 630, 470};
const RECT PlayerDriver::InfoButtonRect = {530, 70, 630, 110};
const RECT PlayerDriver::CloseButtonRect = {530, 120, 630, 160};
const RECT PlayerDriver::PlayButtonRect = {530, 220, 630, 260};

namespace {

// Lit and dark colour of each box (1 red, 2 yellow, 3 blue, 4 green).
constexpr COLORREF LitColours[4] = {RGB(255, 0, 0), RGB(255, 255, 0), RGB(0, 0, 255),
                                    RGB(0, 255, 0)};
constexpr COLORREF DarkColours[4] = {RGB(174, 0, 0), RGB(174, 174, 0), RGB(0, 0, 174),
                                     RGB(0, 174, 0)};

// Between two looks at the screen.
constexpr int SampleMs = 20;

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(int(GetRValue(a)) - int(GetRValue(b))) <= tolerance &&
           std::abs(int(GetGValue(a)) - int(GetGValue(b))) <= tolerance &&
           std::abs(int(GetBValue(a)) - int(GetBValue(b))) <= tolerance;
}

bool Reddish(COLORREF colour) {
    return GetRValue(colour) >= 200 && GetGValue(colour) <= 80 && GetBValue(colour) <= 80;
}

ULONGLONG Deadline(int timeoutMs) {
    return GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
}

std::wstring TextOf(HWND window) {
    if (window == nullptr) {
        return std::wstring();
    }
    wchar_t text[512] = {};
    const int length = GetWindowTextW(window, text, 512);
    return std::wstring(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

struct TopLevelSearch {
    DWORD processId;
    const std::wstring* className;
    const std::wstring* title;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<TopLevelSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (!search->className->empty() && ClassOf(window) != *search->className) {
        return TRUE;
    }
    if (TextOf(window) != *search->title) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

struct ChildSearch {
    HWND parent;
    RECT rect;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    if (GetParent(child) != search->parent || !IsWindowVisible(child)) {
        return TRUE;
    }
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, search->parent, reinterpret_cast<POINT*>(&rect), 2);
    if (EqualRect(&rect, &search->rect)) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

// Calls visit with every pixel of a screen rectangle; false when the screen could not be read.
template <typename Visit> bool VisitScreenPixels(const RECT& rect, Visit visit) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return false;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bool read = false;
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    if (section != nullptr && bits != nullptr && memory != nullptr) {
        HGDIOBJ old = SelectObject(memory, section);
        if (BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY)) {
            GdiFlush();
            const DWORD* pixel = static_cast<const DWORD*>(bits);
            for (int i = 0; i < width * height; ++i) {
                const DWORD bgra = pixel[i];
                visit(RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF));
            }
            read = true;
        }
        SelectObject(memory, old);
    }
    if (memory != nullptr) {
        DeleteDC(memory);
    }
    if (section != nullptr) {
        DeleteObject(section);
    }
    ReleaseDC(nullptr, screen);
    return read;
}

template <typename Test> int CountScreenPixels(const RECT& rect, Test test) {
    int count = 0;
    VisitScreenPixels(rect, [&](COLORREF colour) {
        if (test(colour)) {
            ++count;
        }
    });
    return count;
}

// A fingerprint of a screen rectangle (FNV-1a over its pixels); 0 when it could not be read.
unsigned long long ScreenHash(const RECT& rect) {
    unsigned long long hash = 14695981039346656037ull;
    const bool read = VisitScreenPixels(
        rect, [&](COLORREF colour) { hash = (hash ^ colour) * 1099511628211ull; });
    return read ? hash : 0;
}

} // namespace

std::wstring Latin1(const std::string& text) {
    std::wstring wide;
    for (char c : text) {
        wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return wide;
}

PlayerDriver::~PlayerDriver() {
    if (running && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 10000);
    }
    if (process.hThread != nullptr) {
        CloseHandle(process.hThread);
    }
    if (process.hProcess != nullptr) {
        CloseHandle(process.hProcess);
    }
}

std::wstring PlayerDriver::ProgramInBuild() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path);
    for (int up = 0; up < 3; ++up) {
        const size_t slash = directory.find_last_of(L"\\/");
        if (slash == std::wstring::npos) {
            break;
        }
        directory.resize(slash);
        const std::wstring candidate = directory + L"\\Ondrel.exe";
        if (GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return candidate;
        }
    }
    return std::wstring();
}

bool PlayerDriver::Start(const std::wstring& program) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + program + L"\"";
    running = CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process) != FALSE;
    return running;
}

HWND PlayerDriver::FindTopLevel(const std::wstring& className, const std::wstring& title) const {
    TopLevelSearch search{process.dwProcessId, &className, &title, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND PlayerDriver::WaitForTopLevel(const std::wstring& className, const std::wstring& title,
                                   int timeoutMs) const {
    const ULONGLONG end = Deadline(timeoutMs);
    do {
        if (HWND window = FindTopLevel(className, title)) {
            return window;
        }
        Sleep(SampleMs);
    } while (GetTickCount64() < end);
    return nullptr;
}

HWND PlayerDriver::WaitForMainWindow(const std::wstring& title, int timeoutMs) {
    main = WaitForTopLevel(L"", title, timeoutMs);
    return main;
}

bool PlayerDriver::WaitForClientSize(int width, int height, int timeoutMs) const {
    const ULONGLONG end = Deadline(timeoutMs);
    do {
        RECT client = {};
        if (GetClientRect(main, &client) && client.right == width && client.bottom == height) {
            return true;
        }
        Sleep(SampleMs);
    } while (GetTickCount64() < end);
    return false;
}

bool PlayerDriver::WaitUntilGone(HWND window, int timeoutMs) const {
    const ULONGLONG end = Deadline(timeoutMs);
    do {
        if (!IsWindow(window) || !IsWindowVisible(window)) {
            return true;
        }
        Sleep(SampleMs);
    } while (GetTickCount64() < end);
    return false;
}

HWND PlayerDriver::ChildAt(const RECT& clientRect) const {
    ChildSearch search{main, clientRect, nullptr};
    if (main != nullptr) {
        EnumChildWindows(main, MatchChild, reinterpret_cast<LPARAM>(&search));
    }
    return search.found;
}

bool PlayerDriver::BringToFront(HWND window) const {
    const ULONGLONG end = Deadline(5000);
    do {
        if (GetForegroundWindow() == window) {
            return true;
        }
        SetForegroundWindow(window);
        Sleep(SampleMs);
    } while (GetTickCount64() < end);
    return GetForegroundWindow() == window;
}

void PlayerDriver::Click(HWND window, POINT clientPoint) const {
    ClientToScreen(window, &clientPoint);
    SetCursorPos(clientPoint.x, clientPoint.y);
    // Lets the move arrive before the press, as a hand would.
    Sleep(30);
    INPUT inputs[2]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &inputs[0], sizeof(INPUT));
    Sleep(30);
    SendInput(1, &inputs[1], sizeof(INPUT));
}

void PlayerDriver::ClickCentre(HWND window) const {
    RECT client = {};
    GetClientRect(window, &client);
    Click(window, POINT{client.right / 2, client.bottom / 2});
}

void PlayerDriver::PressKey(WORD key) const {
    INPUT inputs[2]{};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = key;
    inputs[1].type = INPUT_KEYBOARD;
    inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &inputs[0], sizeof(INPUT));
    Sleep(30);
    SendInput(1, &inputs[1], sizeof(INPUT));
}

void PlayerDriver::KeyDown(WORD key) const {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    SendInput(1, &input, sizeof(INPUT));
}

void PlayerDriver::KeyUp(WORD key) const {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(INPUT));
}

void PlayerDriver::PressChord(const std::vector<WORD>& keys) const {
    for (WORD key : keys) {
        KeyDown(key);
        Sleep(30);
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        KeyUp(*key);
        Sleep(30);
    }
}

HWND PlayerDriver::FocusedWindow() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    const DWORD thread = main != nullptr ? GetWindowThreadProcessId(main, nullptr) : 0;
    if (thread == 0 || !GetGUIThreadInfo(thread, &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

POINT PlayerDriver::BoxCentre(int box) {
    // Boxes of 185 x 160 at 10 and 205 across, 10 and 180 down the board.
    const int left = (box == 1 || box == 3) ? 10 : 205;
    const int top = box <= 2 ? 10 : 180;
    return POINT{BoardRect.left + left + 185 / 2, BoardRect.top + top + 160 / 2};
}

POINT PlayerDriver::Centre(const RECT& rect) {
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

RECT PlayerDriver::ScreenRect(const RECT& clientRect) const {
    RECT rect = clientRect;
    MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int PlayerDriver::LitBox() const {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return -1;
    }
    int lit = 0;
    int litCount = 0;
    int darkCount = 0;
    for (int box = 1; box <= 4; ++box) {
        POINT point = BoxCentre(box);
        ClientToScreen(main, &point);
        const COLORREF colour = GetPixel(screen, point.x, point.y);
        if (Near(colour, LitColours[box - 1], 24)) {
            lit = box;
            ++litCount;
        } else if (Near(colour, DarkColours[box - 1], 24)) {
            ++darkCount;
        }
    }
    ReleaseDC(nullptr, screen);
    if (litCount == 1 && darkCount == 3) {
        return lit;
    }
    return darkCount == 4 ? 0 : -1;
}

bool PlayerDriver::WaitForLitBox(int box, int timeoutMs) const {
    const ULONGLONG end = Deadline(timeoutMs);
    do {
        if (LitBox() == box) {
            return true;
        }
        Sleep(SampleMs);
    } while (GetTickCount64() < end);
    return false;
}

bool PlayerDriver::WatchShowing(int timeoutMs, std::vector<int>& boxes,
                                const std::function<void(size_t, int)>& onBox) const {
    boxes.clear();
    int last = 0;
    const ULONGLONG end = Deadline(timeoutMs);
    do {
        const int lit = LitBox();
        // Two neighbouring boxes of a sequence always differ, so every box is a change.
        if (lit > 0 && lit != last) {
            boxes.push_back(lit);
            if (onBox) {
                onBox(boxes.size() - 1, lit);
            }
        }
        if (lit >= 0) {
            last = lit;
        }
        if (!boxes.empty() && lit == 0 && MessageText() == TurnMessage) {
            return true;
        }
        Sleep(SampleMs);
    } while (GetTickCount64() < end);
    return false;
}

bool PlayerDriver::PlayButtonRed() const {
    const RECT rect = ScreenRect(PlayButtonRect);
    const int area = (rect.right - rect.left) * (rect.bottom - rect.top);
    return CountScreenPixels(rect, [](COLORREF c) { return Near(c, RGB(255, 0, 0), 8); }) >
           area / 2;
}

bool PlayerDriver::WaitForPlayButtonRed(bool red, int timeoutMs) const {
    const ULONGLONG end = Deadline(timeoutMs);
    do {
        if (PlayButtonRed() == red) {
            return true;
        }
        Sleep(SampleMs);
    } while (GetTickCount64() < end);
    return false;
}

int PlayerDriver::MessageInk() const {
    return CountScreenPixels(ScreenRect(MessageRect), Reddish);
}

bool PlayerDriver::WaitForMessageInk(bool present, int timeoutMs) const {
    // A line of bold text leaves hundreds of red pixels; none at all means an empty line.
    const ULONGLONG end = Deadline(timeoutMs);
    do {
        const int ink = MessageInk();
        if (present ? ink > 100 : ink == 0) {
            return true;
        }
        Sleep(SampleMs);
    } while (GetTickCount64() < end);
    return false;
}

std::wstring PlayerDriver::LevelText() const {
    return TextOf(ChildAt(LevelRect));
}

std::wstring PlayerDriver::CountText() const {
    return TextOf(ChildAt(CountRect));
}

std::wstring PlayerDriver::MessageText() const {
    return TextOf(ChildAt(MessageRect));
}

bool PlayerDriver::WaitForMessage(const std::wstring& text, int timeoutMs) const {
    const ULONGLONG end = Deadline(timeoutMs);
    do {
        if (MessageText() == text) {
            return true;
        }
        Sleep(SampleMs);
    } while (GetTickCount64() < end);
    return false;
}

bool PlayerDriver::WaitForStillScreen(const RECT& screenRect, int stableMs, int timeoutMs) {
    const ULONGLONG end = Deadline(timeoutMs);
    unsigned long long seen = ScreenHash(screenRect);
    ULONGLONG since = GetTickCount64();
    do {
        Sleep(50);
        const unsigned long long now = ScreenHash(screenRect);
        if (now != seen || now == 0) {
            seen = now;
            since = GetTickCount64();
        } else if (GetTickCount64() - since >= static_cast<ULONGLONG>(stableMs)) {
            return true;
        }
    } while (GetTickCount64() < end);
    return false;
}

bool PlayerDriver::SaveScreen(const RECT& screenRect, const std::wstring& path) {
    const int width = screenRect.right - screenRect.left;
    const int height = screenRect.bottom - screenRect.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return false;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up rows, as BMP files keep them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    void* bits = nullptr;
    bool saved = false;
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    if (section != nullptr && bits != nullptr && memory != nullptr) {
        HGDIOBJ old = SelectObject(memory, section);
        const BOOL copied =
            BitBlt(memory, 0, 0, width, height, screen, screenRect.left, screenRect.top, SRCCOPY);
        GdiFlush();
        SelectObject(memory, old);
        if (copied) {
            BITMAPFILEHEADER header = {};
            header.bfType = 0x4D42; // "BM"
            header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
            header.bfSize = header.bfOffBits + imageSize;
            info.bmiHeader.biSizeImage = imageSize;
            HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                DWORD written = 0;
                saved =
                    WriteFile(file, &header, sizeof(header), &written, nullptr) &&
                    WriteFile(file, &info.bmiHeader, sizeof(info.bmiHeader), &written, nullptr) &&
                    WriteFile(file, bits, imageSize, &written, nullptr);
                CloseHandle(file);
            }
        }
    }
    if (memory != nullptr) {
        DeleteDC(memory);
    }
    if (section != nullptr) {
        DeleteObject(section);
    }
    ReleaseDC(nullptr, screen);
    return saved;
}

RECT PlayerDriver::ShotRectangle(HWND other) const {
    RECT shot = {};
    GetWindowRect(main, &shot);
    if (other != nullptr) {
        RECT second = {};
        GetWindowRect(other, &second);
        UnionRect(&shot, &shot, &second);
    }
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&shot, &shot, &screen);
    return shot;
}

bool PlayerDriver::WaitForExit(int timeoutMs, DWORD* exitCode) {
    if (!running) {
        return false;
    }
    if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
        return false;
    }
    running = false;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    if (exitCode != nullptr) {
        *exitCode = code;
    }
    return true;
}

} // namespace OndrelTools
