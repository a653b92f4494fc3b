#pragma once

// Shared by the reliability tests and the performance benchmark:
// - a seeded storm of random but well-formed messages to the windows of the program's elements;
// - a gate that keeps synthetic input away from windows that cannot take input, as the system
//   does with real input (a disabled window, or one behind a modal box, gets no clicks or keys);
// - an answerer that keeps answering the exit question No;
// - counts of the process's threads, handles and windows, to see whether anything piles up;
// - a driver for another Ondrel.exe process: start it, find its windows, read its board from the
//   screen, answer its questions, wait for its end.
// The parts used by the benchmark (namespace Outside and the counts) call Win32 only.

#include "framework/CommandElement.h"
#include "framework/GUIElement.h"
#include "framework/about/FormAbout.h"
#include "framework/controls/CellControl.h"
#include "framework/controls/Timer.h"

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace Reliability {

// ---------------------------------------------------------------------------------------------
// Counts of what the process holds.

// Threads of this process, from a system snapshot.
inline int ThreadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return -1;
    }
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    const DWORD self = GetCurrentProcessId();
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == self) {
            ++count;
        }
    }
    CloseHandle(snapshot);
    return count;
}

// Kernel handles of this process. GetProcessHandleCount answers 0 under Wine, so the handle
// table is probed instead: handle values are multiples of 4 handed out from the lowest free slot.
inline int HandleCount() {
    DWORD reported = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &reported) && reported != 0) {
        return static_cast<int>(reported);
    }
    int count = 0;
    for (std::uintptr_t value = 4; value < 4 * 65536; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++count;
        }
    }
    return count;
}

inline BOOL CALLBACK CountWindow(HWND, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

// Top-level windows of this thread, hidden ones included.
inline int ThreadWindowCount() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

inline int ChildWindowCount(HWND parent) {
    int count = 0;
    EnumChildWindows(parent, CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// ---------------------------------------------------------------------------------------------
// Input as the system hands it out.

// Whether real input could reach the window: it and every window above it exist, are visible
// and enabled.
inline bool TakesInput(HWND window) {
    if (window == nullptr || !IsWindow(window) || !IsWindowVisible(window)) {
        return false;
    }
    HWND desktop = GetDesktopWindow();
    for (HWND w = window; w != nullptr && w != desktop; w = GetAncestor(w, GA_PARENT)) {
        if (!IsWindowEnabled(w)) {
            return false;
        }
    }
    return true;
}

// Messages that only input produces: mouse and keyboard messages, and the commands that a
// control or a menu sends because of input.
inline bool IsInputMessage(UINT message) {
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_KEYFIRST && message <= WM_KEYLAST) || message == WM_COMMAND;
}

// While it lives, posted input messages of this thread whose window (or, for a command, whose
// sending control) cannot take input when the message is taken from the queue are turned into
// WM_NULL, as the system never delivers real input to such a window. Applies to every loop that
// takes messages: the test's pump, the one-second wait, a message box's own loop.
class InputGate {
public:
    InputGate() { hook = SetWindowsHookExW(WH_GETMESSAGE, Filter, nullptr, GetCurrentThreadId()); }
    ~InputGate() {
        if (hook != nullptr) {
            UnhookWindowsHookEx(hook);
        }
    }
    InputGate(const InputGate&) = delete;
    InputGate& operator=(const InputGate&) = delete;

    bool Active() const { return hook != nullptr; }
    static int& Dropped() {
        static int dropped = 0;
        return dropped;
    }

private:
    static LRESULT CALLBACK Filter(int code, WPARAM removal, LPARAM data) {
        if (code == HC_ACTION && removal == PM_REMOVE) {
            MSG* message = reinterpret_cast<MSG*>(data);
            if (message->hwnd != nullptr && IsInputMessage(message->message)) {
                bool deliver = TakesInput(message->hwnd);
                if (deliver && message->message == WM_COMMAND && message->lParam != 0) {
                    deliver = TakesInput(reinterpret_cast<HWND>(message->lParam));
                }
                if (!deliver) {
                    message->message = WM_NULL;
                    ++Dropped();
                }
            }
        }
        return CallNextHookEx(nullptr, code, removal, data);
    }

    HHOOK hook = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The message storm.

enum class StormKind {
    MouseButton,
    MouseMove,
    Key,
    Char,
    Command,
    Timer,
    Paint,
    Size,
    Activate,
    SetCursor,
    Wheel,
    VerticalScroll,
    Count
};

inline const char* StormKindName(StormKind kind) {
    static const char* const names[] = {"mouse button", "mouse move", "key",   "char",
                                        "command",      "timer",      "paint", "size",
                                        "activate",     "set cursor", "wheel", "vertical scroll"};
    return names[static_cast<int>(kind)];
}

// A window of an element as the storm sees it, taken on the user-interface thread.
struct StormTarget {
    HWND window = nullptr;
    // Left presses allowed: false for the about box's links, each press on which starts the
    // system's browser or mail program (a separate process, and slow).
    bool clickable = true;
    // A control whose WM_COMMAND reaches an element's onCommand (a button).
    bool commandSource = false;
    int id = 0;
};

struct StormRules {
    // Menu command identifiers left out (those that open the shell).
    std::set<int> excludedCommandIds;
    // Identifiers of timers that tick the game, left out of the foreign WM_TIMER messages.
    std::set<int> timerIds;
    // Largest identifier handed out so far, for the random ones.
    int largestId = 64;
};

// A press on one of the about box's links opens the shell.
inline bool IsAboutLink(VelkUtility::GUIElement* element) {
    return dynamic_cast<VelkUtility::CellControl*>(element) != nullptr &&
           dynamic_cast<VelkUtility::FormAbout*>(element->parent) != nullptr &&
           element->onLeftButtonDown != nullptr;
}

// The live windows of the registered elements of this thread. Runs on the user-interface
// thread (it reads the registry).
inline std::vector<StormTarget> TakeTargets() {
    std::vector<StormTarget> targets;
    std::set<HWND> seen;
    const DWORD thread = GetCurrentThreadId();
    for (VelkUtility::GUIElement* element : VelkUtility::elementRegistry) {
        if (element == nullptr || element->window == nullptr || !IsWindow(element->window) ||
            GetWindowThreadProcessId(element->window, nullptr) != thread ||
            !seen.insert(element->window).second) {
            continue;
        }
        StormTarget target;
        target.window = element->window;
        target.clickable = !IsAboutLink(element);
        target.commandSource = dynamic_cast<VelkUtility::CommandElement*>(element) != nullptr;
        target.id = element->id;
        targets.push_back(target);
    }
    return targets;
}

// Timer identifiers and the largest identifier, from the registry (user-interface thread).
inline StormRules RulesFromRegistry(std::set<int> excludedCommandIds) {
    StormRules rules;
    rules.excludedCommandIds = std::move(excludedCommandIds);
    rules.largestId = std::max(VelkUtility::nextControlId, 1);
    for (VelkUtility::GUIElement* element : VelkUtility::elementRegistry) {
        if (dynamic_cast<VelkUtility::Timer*>(element) != nullptr) {
            rules.timerIds.insert(element->id);
        }
    }
    return rules;
}

struct StormMessage {
    StormKind kind = StormKind::Paint;
    HWND window = nullptr;
    UINT message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    // Paint: an invalidation instead of a message.
    bool invalidate = false;
    bool erase = false;
    bool wholeWindow = true;
    RECT rect{};
};

// Random but well-formed messages to the given windows, reproducible from the seed. Posting is
// safe from any thread; sending is for the thread that owns the windows (or a thread that may
// wait for it).
class MessageStorm {
public:
    MessageStorm(unsigned seed, StormRules stormRules)
        : random(seed), rules(std::move(stormRules)) {}

    StormMessage Next(const std::vector<StormTarget>& targets) {
        StormMessage m;
        if (targets.empty()) {
            return m;
        }
        for (int attempt = 0; attempt < 16; ++attempt) {
            if (Make(targets, m)) {
                return m;
            }
        }
        m = StormMessage{};
        m.kind = StormKind::Paint;
        m.window = targets[Below(targets.size())].window;
        m.invalidate = true;
        return m;
    }

    // Puts the message in the window's queue (or invalidates the window).
    void Post(const StormMessage& m) {
        Count(m);
        if (m.invalidate) {
            InvalidateRect(m.window, m.wholeWindow ? nullptr : &m.rect, m.erase ? TRUE : FALSE);
            return;
        }
        PostMessageW(m.window, m.message, m.wParam, m.lParam);
        ++posted;
    }

    // Hands the message to the window procedure at once, as the system would deliver it: input
    // only to a window that can take it. An invalidation is painted at once.
    void Send(const StormMessage& m) {
        if (IsInputMessage(m.message) && !m.invalidate) {
            bool deliver = TakesInput(m.window);
            if (deliver && m.message == WM_COMMAND && m.lParam != 0) {
                deliver = TakesInput(reinterpret_cast<HWND>(m.lParam));
            }
            if (!deliver) {
                ++refused;
                return;
            }
        }
        Count(m);
        if (m.invalidate) {
            InvalidateRect(m.window, m.wholeWindow ? nullptr : &m.rect, m.erase ? TRUE : FALSE);
            UpdateWindow(m.window);
            return;
        }
        SendMessageW(m.window, m.message, m.wParam, m.lParam);
        ++sent;
    }

    // Sends or posts, at random.
    void Deliver(const StormMessage& m, int percentSent) {
        if (Below(100) < static_cast<unsigned>(percentSent)) {
            Send(m);
        } else {
            Post(m);
        }
    }

    bool Chance(int percent) { return Below(100) < static_cast<unsigned>(percent); }

    std::string Summary() const {
        std::string text = "sent " + std::to_string(sent) + ", posted " + std::to_string(posted) +
                           ", refused at sending " + std::to_string(refused) + ";";
        for (int k = 0; k < static_cast<int>(StormKind::Count); ++k) {
            text += std::string(" ") + StormKindName(static_cast<StormKind>(k)) + " " +
                    std::to_string(kinds[k]);
        }
        return text;
    }

    int Sent() const { return sent; }
    int Posted() const { return posted; }

private:
    unsigned Below(size_t bound) {
        return bound == 0 ? 0u : static_cast<unsigned>(random() % bound);
    }
    int Between(int low, int high) { return low + static_cast<int>(Below(high - low + 1)); }

    void Count(const StormMessage& m) { ++kinds[static_cast<int>(m.kind)]; }

    StormKind PickKind() {
        // Weights of the kinds, in the order of StormKind.
        static const int weights[] = {14, 8, 10, 8, 10, 8, 8, 6, 6, 8, 6, 6};
        int total = 0;
        for (int w : weights) {
            total += w;
        }
        int roll = static_cast<int>(Below(total));
        for (int k = 0; k < static_cast<int>(StormKind::Count); ++k) {
            if (roll < weights[k]) {
                return static_cast<StormKind>(k);
            }
            roll -= weights[k];
        }
        return StormKind::Paint;
    }

    // A point of the window's client area; now and then a little outside it, for the messages
    // a window with the capture gets.
    POINT ClientPoint(HWND window, bool mayLeave) {
        RECT client{};
        GetClientRect(window, &client);
        const int w = std::max<int>(client.right, 1);
        const int h = std::max<int>(client.bottom, 1);
        if (mayLeave && Chance(15)) {
            return {Between(-40, w + 40), Between(-40, h + 40)};
        }
        return {Between(0, w - 1), Between(0, h - 1)};
    }

    int RandomId() {
        if (Chance(70)) {
            return Between(0, rules.largestId + 10);
        }
        static const int odd[] = {0xFFFF, 0x7FFF, 0x8000, 1000, 1005, 1006, 1007, 1008};
        return Chance(50) ? odd[Below(8)] : Between(1, 0xFFFF);
    }

    // Virtual keys of the storm. F10 and Alt are left out: they put the window into menu mode,
    // which waits for real input to end it.
    UINT RandomKey() {
        static const UINT keys[] = {
            VK_SPACE, VK_RETURN, VK_ESCAPE, VK_TAB,   VK_LEFT,    VK_RIGHT,   VK_UP,      VK_DOWN,
            VK_HOME,  VK_END,    VK_PRIOR,  VK_NEXT,  VK_BACK,    VK_DELETE,  VK_INSERT,  VK_F1,
            VK_F2,    VK_F4,     VK_F5,     VK_SHIFT, VK_CONTROL, VK_CAPITAL, VK_NUMPAD5, 'A',
            'G',      'E',       'F',       'Z',      '0',        '7'};
        return keys[Below(sizeof(keys) / sizeof(keys[0]))];
    }

    bool Make(const std::vector<StormTarget>& targets, StormMessage& m) {
        m = StormMessage{};
        m.kind = PickKind();
        const StormTarget& target = targets[Below(targets.size())];
        m.window = target.window;
        switch (m.kind) {
        case StormKind::MouseButton: {
            static const UINT buttons[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                                           WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK};
            m.message = buttons[Below(6)];
            if (!target.clickable &&
                (m.message == WM_LBUTTONDOWN || m.message == WM_LBUTTONDBLCLK)) {
                return false;
            }
            // Only a window with the capture gets button-up messages outside its client area;
            // a right button-up there would open the system menu, which waits for real input.
            const bool mayLeave = m.message == WM_LBUTTONUP;
            const POINT point = ClientPoint(m.window, mayLeave);
            WPARAM keys = 0;
            if (m.message == WM_LBUTTONDOWN || m.message == WM_LBUTTONDBLCLK) {
                keys |= MK_LBUTTON;
            }
            if (m.message == WM_RBUTTONDOWN || m.message == WM_RBUTTONDBLCLK) {
                keys |= MK_RBUTTON;
            }
            if (Chance(10)) {
                keys |= MK_SHIFT;
            }
            if (Chance(10)) {
                keys |= MK_CONTROL;
            }
            m.wParam = keys;
            m.lParam = MAKELPARAM(point.x, point.y);
            return true;
        }
        case StormKind::MouseMove: {
            const POINT point = ClientPoint(m.window, true);
            m.message = WM_MOUSEMOVE;
            m.wParam = Chance(20) ? MK_LBUTTON : 0;
            m.lParam = MAKELPARAM(point.x, point.y);
            return true;
        }
        case StormKind::Key: {
            const UINT key = RandomKey();
            const bool up = Chance(50);
            m.message = up ? WM_KEYUP : WM_KEYDOWN;
            m.wParam = key;
            const UINT scan = MapVirtualKeyW(key, 0 /* MAPVK_VK_TO_VSC */);
            m.lParam = static_cast<LPARAM>(1u | (scan << 16) | (up ? 0xC0000000u : 0u));
            return true;
        }
        case StormKind::Char: {
            static const int special[] = {13, 27, 32, 9, 8, 'a', 'G', '1', 0xF2, 0xE8};
            m.message = WM_CHAR;
            m.wParam = static_cast<WPARAM>(Chance(40) ? special[Below(10)] : Between(1, 255));
            m.lParam = 1;
            return true;
        }
        case StormKind::Command:
            return MakeCommand(targets, m);
        case StormKind::Timer: {
            int id = RandomId();
            if (rules.timerIds.count(id) != 0) {
                return false;
            }
            m.message = WM_TIMER;
            m.wParam = static_cast<WPARAM>(id);
            // A timer message with a procedure in lParam would call it.
            m.lParam = 0;
            return true;
        }
        case StormKind::Paint:
            if (Chance(25)) {
                m.message = WM_PAINT;
                return true;
            }
            m.invalidate = true;
            m.erase = Chance(50);
            m.wholeWindow = Chance(40);
            if (!m.wholeWindow) {
                const POINT a = ClientPoint(m.window, true);
                const POINT b = ClientPoint(m.window, true);
                m.rect = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1,
                          std::max(a.y, b.y) + 1};
            }
            return true;
        case StormKind::Size: {
            static const WPARAM kinds[] = {SIZE_RESTORED, SIZE_MINIMIZED, SIZE_MAXIMIZED,
                                           SIZE_MAXSHOW, SIZE_MAXHIDE};
            m.message = WM_SIZE;
            m.wParam = kinds[Below(5)];
            m.lParam = MAKELPARAM(Between(0, 1200), Between(0, 900));
            return true;
        }
        case StormKind::Activate: {
            static const WORD states[] = {WA_INACTIVE, WA_ACTIVE, WA_CLICKACTIVE};
            m.message = WM_ACTIVATE;
            m.wParam = MAKEWPARAM(states[Below(3)], Chance(10) ? 1 : 0);
            m.lParam =
                Chance(50) ? reinterpret_cast<LPARAM>(targets[Below(targets.size())].window) : 0;
            return true;
        }
        case StormKind::SetCursor: {
            static const short hits[] = {HTCLIENT,  HTCLIENT, HTCLIENT, HTCAPTION,
                                         HTNOWHERE, HTERROR,  HTBORDER, HTMENU};
            static const UINT mouse[] = {WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN,
                                         WM_RBUTTONDOWN};
            m.message = WM_SETCURSOR;
            m.wParam = reinterpret_cast<WPARAM>(m.window);
            m.lParam = MAKELPARAM(static_cast<WORD>(hits[Below(8)]), mouse[Below(4)]);
            return true;
        }
        case StormKind::Wheel: {
            static const short deltas[] = {120, -120, 240, -240, 40, -40, 360};
            POINT point = ClientPoint(m.window, false);
            ClientToScreen(m.window, &point);
            m.message = WM_MOUSEWHEEL;
            m.wParam = MAKEWPARAM(Chance(10) ? MK_CONTROL : 0, deltas[Below(7)]);
            m.lParam = MAKELPARAM(point.x, point.y);
            return true;
        }
        case StormKind::VerticalScroll:
            m.message = WM_VSCROLL;
            m.wParam = MAKEWPARAM(Between(0, 8), Between(0, 200));
            m.lParam = 0;
            return true;
        case StormKind::Count:
            break;
        }
        return false;
    }

    // A command as a control or a menu would send it to its parent window.
    bool MakeCommand(const std::vector<StormTarget>& targets, StormMessage& m) {
        m.message = WM_COMMAND;
        const unsigned roll = Below(100);
        if (roll < 50) {
            std::vector<const StormTarget*> sources;
            for (const StormTarget& t : targets) {
                if (t.commandSource) {
                    sources.push_back(&t);
                }
            }
            if (sources.empty()) {
                return false;
            }
            const StormTarget& source = *sources[Below(sources.size())];
            HWND parent = GetParent(source.window);
            if (parent == nullptr) {
                return false;
            }
            const int id = Chance(85) ? source.id : RandomId();
            const int code = Chance(70) ? BN_CLICKED : Between(0, 7);
            m.window = parent;
            m.wParam = MAKEWPARAM(id, code);
            m.lParam = reinterpret_cast<LPARAM>(source.window);
            return true;
        }
        if (roll < 85) {
            // A menu choice (code 0) or an accelerator (code 1), to a top-level window.
            const int id = RandomId();
            if (rules.excludedCommandIds.count(id) != 0) {
                return false;
            }
            m.window = GetAncestor(m.window, GA_ROOT);
            m.wParam = MAKEWPARAM(id, Chance(80) ? 0 : 1);
            m.lParam = 0;
            return true;
        }
        // A notification from a window that is not a command control.
        const StormTarget& other = targets[Below(targets.size())];
        HWND parent = GetParent(other.window);
        if (parent == nullptr || other.commandSource) {
            return false;
        }
        m.window = parent;
        m.wParam = MAKEWPARAM(other.id, Between(0, 0x400));
        m.lParam = reinterpret_cast<LPARAM>(other.window);
        return true;
    }

    std::mt19937 random;
    StormRules rules;
    int kinds[static_cast<int>(StormKind::Count)] = {};
    int sent = 0;
    int posted = 0;
    int refused = 0;
};

// The storm's seed: the test's own, or ONDREL_STORM_SEED when set (to replay or explore).
inline unsigned StormSeed(unsigned fixed) {
    char value[32] = {};
    const DWORD length = GetEnvironmentVariableA("ONDREL_STORM_SEED", value, sizeof(value));
    if (length > 0 && length < sizeof(value)) {
        return static_cast<unsigned>(std::strtoul(value, nullptr, 10));
    }
    return fixed;
}

// ---------------------------------------------------------------------------------------------
// Answering the exit question.

struct DialogSearch {
    DWORD processId;
    std::wstring caption;
    HWND found;
};

inline std::wstring TextOf(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
}

inline std::wstring ClassOf(HWND window) {
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, 256);
    return buffer;
}

inline BOOL CALLBACK MatchDialog(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<DialogSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && ClassOf(window) == L"#32770" &&
        (search->caption.empty() || TextOf(window) == search->caption)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog window of the process with the caption ("" any).
inline HWND FindDialog(DWORD processId, const std::wstring& caption) {
    DialogSearch search{processId, caption, nullptr};
    EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The message of a message box.
inline std::wstring MessageBoxText(HWND box) {
    HWND message = GetDlgItem(box, 0xFFFF);
    return message != nullptr ? TextOf(message) : std::wstring();
}

inline void PressDialogButton(HWND box, int buttonId) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

// Answers every exit question of this process ("Uscita") with the given button, from a thread
// of its own, until it is destroyed.
class RepeatedAnswerer {
public:
    explicit RepeatedAnswerer(int buttonId = IDNO) : button(buttonId) {
        worker = std::thread([this] { Run(); });
    }
    ~RepeatedAnswerer() {
        stop = true;
        worker.join();
    }
    RepeatedAnswerer(const RepeatedAnswerer&) = delete;
    RepeatedAnswerer& operator=(const RepeatedAnswerer&) = delete;

    int Answered() const { return answered; }

private:
    void Run() {
        HWND last = nullptr;
        while (!stop) {
            HWND box = FindDialog(GetCurrentProcessId(), L"Uscita");
            if (box != nullptr) {
                // Lets the box finish its set-up before it is answered.
                Sleep(30);
                PressDialogButton(box, button);
                if (box != last) {
                    ++answered;
                    last = box;
                }
            }
            Sleep(10);
        }
    }

    int button;
    std::atomic<bool> stop{false};
    std::atomic<int> answered{0};
    std::thread worker;
};

// ---------------------------------------------------------------------------------------------
// Menus and hangs.

// A right click on an edit control opens its context menu, and a menu keeps the thread in a
// loop of its own until input ends it. While it lives, this closes every menu of the watched
// thread that stays open, as a person would: with Escape.
class MenuDismisser {
public:
    explicit MenuDismisser(DWORD uiThread = GetCurrentThreadId()) : thread(uiThread) {
        worker = std::thread([this] { Run(); });
    }
    ~MenuDismisser() {
        stop = true;
        worker.join();
    }
    MenuDismisser(const MenuDismisser&) = delete;
    MenuDismisser& operator=(const MenuDismisser&) = delete;

    int Dismissed() const { return dismissed; }

private:
    void Run() {
        int seenOpen = 0;
        while (!stop) {
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            const bool open =
                GetGUIThreadInfo(thread, &info) &&
                (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) != 0;
            seenOpen = open ? seenOpen + 1 : 0;
            // Open for a while: the storm itself did not close it.
            if (seenOpen >= 5) {
                HWND target = info.hwndMenuOwner != nullptr ? info.hwndMenuOwner : info.hwndActive;
                PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                PostMessageW(target, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
                ++dismissed;
                seenOpen = 0;
            }
            Sleep(20);
        }
    }

    DWORD thread;
    std::atomic<bool> stop{false};
    std::atomic<int> dismissed{0};
    std::thread worker;
};

inline BOOL CALLBACK PrintWindowLine(HWND window, LPARAM) {
    char line[512];
    RECT rect{};
    GetWindowRect(window, &rect);
    std::snprintf(line, sizeof(line), "  window %p class %ls, visible %d, enabled %d, at %ld,%ld\n",
                  static_cast<void*>(window), ClassOf(window).c_str(), IsWindowVisible(window),
                  IsWindowEnabled(window), rect.left, rect.top);
    std::fputs(line, stdout);
    return TRUE;
}

// Says what the watched thread is doing when a test runs longer than it should: a hung storm
// is reported with the thread's menu, capture and windows before the time limit ends it.
class HangReporter {
public:
    explicit HangReporter(int afterMs, DWORD uiThread = GetCurrentThreadId()) : thread(uiThread) {
        worker = std::thread([this, afterMs] {
            for (int waited = 0; waited < afterMs && !stop; waited += 50) {
                Sleep(50);
            }
            if (stop) {
                return;
            }
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            GetGUIThreadInfo(thread, &info);
            std::printf("still running after %d ms: thread flags 0x%lx, active %p, focus %p, "
                        "capture %p, menu owner %p; its windows:\n",
                        afterMs, info.flags, static_cast<void*>(info.hwndActive),
                        static_cast<void*>(info.hwndFocus), static_cast<void*>(info.hwndCapture),
                        static_cast<void*>(info.hwndMenuOwner));
            EnumThreadWindows(thread, PrintWindowLine, 0);
            std::fflush(stdout);
        });
    }
    ~HangReporter() {
        stop = true;
        worker.join();
    }
    HangReporter(const HangReporter&) = delete;
    HangReporter& operator=(const HangReporter&) = delete;

private:
    DWORD thread;
    std::atomic<bool> stop{false};
    std::thread worker;
};

// ---------------------------------------------------------------------------------------------
// Another Ondrel.exe, driven from outside.
namespace Outside {

// The board as the main window lays it out: its size and the centre of each box (1 to 4) in
// its client coordinates, and the colours of a lit and of a dark box.
constexpr int BoardWidth = 400;
constexpr int BoardHeight = 350;
constexpr POINT BoxCentre[5] = {{0, 0}, {102, 90}, {297, 90}, {102, 260}, {297, 260}};
constexpr COLORREF LitColour[5] = {0, 0x0000FF, 0x00FFFF, 0xFF0000, 0x00FF00};
constexpr COLORREF DarkColour[5] = {0, 0x0000AE, 0x00AEAE, 0xAE0000, 0x00AE00};
constexpr COLORREF FormGrey = 0xC0C0C0;

inline bool Near(COLORREF a, COLORREF b, int tolerance = 8) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

inline double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER value{};
        QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;
}

// A pixel of a window's client area as it is on the screen.
inline COLORREF ScreenPixel(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// The directory of this program, with a trailing backslash.
inline std::wstring OwnDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path);
    return directory.substr(0, directory.find_last_of(L"\\/") + 1);
}

inline bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct WindowSearch {
    DWORD processId;
    std::wstring classPrefix;
    HWND found;
};

inline BOOL CALLBACK MatchMain(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) &&
        ClassOf(window).compare(0, search->classPrefix.size(), search->classPrefix) == 0 &&
        (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct ChildSearch {
    std::wstring text;
    SIZE size;
    HWND found;
};

inline BOOL CALLBACK MatchChild(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    if (!search->text.empty()) {
        if (TextOf(window) == search->text) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }
    RECT rect{};
    GetClientRect(window, &rect);
    if (rect.right == search->size.cx && rect.bottom == search->size.cy &&
        ClassOf(window).compare(0, 13, L"PanelChildren") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The child window with the given text (a button's caption).
inline HWND ChildWithText(HWND parent, const std::wstring& text) {
    ChildSearch search{text, {0, 0}, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The board: the panel of the board's size.
inline HWND FindBoard(HWND main) {
    ChildSearch search{L"", {BoardWidth, BoardHeight}, nullptr};
    EnumChildWindows(main, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The box lit on the screen, 0 when all four show dark, -1 when neither (not painted yet, or
// more than one lit).
inline int LitBoxOnScreen(HWND board) {
    int lit = 0;
    for (int box = 1; box <= 4; ++box) {
        const COLORREF pixel = ScreenPixel(board, BoxCentre[box].x, BoxCentre[box].y);
        if (Near(pixel, LitColour[box])) {
            if (lit != 0) {
                return -1;
            }
            lit = box;
        } else if (!Near(pixel, DarkColour[box])) {
            return -1;
        }
    }
    return lit;
}

// A started program; terminated when still running at the end.
class Program {
public:
    Program() = default;
    ~Program() {
        if (process.hProcess != nullptr) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process.hProcess, 99);
                WaitForSingleObject(process.hProcess, 5000);
            }
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Start(const std::wstring& path) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring commandLine = L"\"" + path + L"\"";
        startedMs = NowMs();
        return CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &process) != FALSE;
    }

    DWORD Id() const { return process.dwProcessId; }
    HANDLE Handle() const { return process.hProcess; }
    double StartedMs() const { return startedMs; }

    // The visible top-level window of a class starting with the prefix (not a tool window).
    HWND WaitForWindow(const std::wstring& classPrefix, int timeoutMs) const {
        const double end = NowMs() + timeoutMs;
        for (;;) {
            WindowSearch search{process.dwProcessId, classPrefix, nullptr};
            EnumWindows(MatchMain, reinterpret_cast<LPARAM>(&search));
            if (search.found != nullptr) {
                return search.found;
            }
            if (!Running() || NowMs() >= end) {
                return nullptr;
            }
            Sleep(2);
        }
    }

    HWND WaitForDialog(const std::wstring& caption, int timeoutMs) const {
        const double end = NowMs() + timeoutMs;
        for (;;) {
            if (HWND box = FindDialog(process.dwProcessId, caption)) {
                return box;
            }
            if (!Running() || NowMs() >= end) {
                return nullptr;
            }
            Sleep(10);
        }
    }

    bool Running() const {
        return process.hProcess != nullptr &&
               WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
    }

    // Waits for the end; the exit code, or STILL_ACTIVE when the time is up.
    DWORD WaitForExit(int timeoutMs) const {
        if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
            return STILL_ACTIVE;
        }
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }

    // User plus kernel time of the process so far, in milliseconds.
    double CpuMs() const {
        FILETIME creation{};
        FILETIME exit{};
        FILETIME kernel{};
        FILETIME user{};
        if (!GetProcessTimes(process.hProcess, &creation, &exit, &kernel, &user)) {
            return -1;
        }
        auto units = [](const FILETIME& t) {
            return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
        };
        return static_cast<double>(units(kernel) + units(user)) / 10000.0;
    }

private:
    PROCESS_INFORMATION process{};
    double startedMs = 0;
};

// Waits until the condition holds, polling; false when the time is up.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs, int pollMs = 5) {
    const double end = NowMs() + timeoutMs;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (NowMs() >= end) {
            return false;
        }
        Sleep(static_cast<DWORD>(pollMs));
    }
}

// A left click on a point of a window's client area, posted as the window would receive it.
inline void PostClick(HWND window, POINT point) {
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

// Watches a showing on the screen and returns the boxes shown, once the board has gone dark
// after the given number of boxes; empty when the time is up. Each box stays lit about a second,
// so a slow poll sees them all (reading the screen costs the watched program time under Wine).
inline std::vector<int> WatchShowing(HWND board, size_t length, int timeoutMs, int pollMs = 5) {
    std::vector<int> boxes;
    int last = 0;
    const double end = NowMs() + timeoutMs;
    while (NowMs() < end) {
        const int lit = LitBoxOnScreen(board);
        if (lit > 0 && lit != last) {
            boxes.push_back(lit);
        }
        if (lit >= 0) {
            last = lit;
        }
        if (boxes.size() >= length && lit == 0) {
            return boxes;
        }
        Sleep(static_cast<DWORD>(pollMs));
    }
    return {};
}

} // namespace Outside

} // namespace Reliability
