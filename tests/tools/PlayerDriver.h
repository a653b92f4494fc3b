#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace OndrelTools {

// Plays Ondrel from outside, as a person at the screen would: starts the program as a process
// of its own, finds its windows by their titles, looks at the pixels on the screen and clicks
// and types through the system's input queue. It reads nothing but what the screen shows and
// what the system records about the windows (titles, texts, positions, enabled state).
class PlayerDriver {
public:
    PlayerDriver() = default;
    // Ends the program when it is still running (a test that failed half-way).
    ~PlayerDriver();

    PlayerDriver(const PlayerDriver&) = delete;
    PlayerDriver& operator=(const PlayerDriver&) = delete;

    // The build's Ondrel.exe, found from a program that lies in the build tree below it
    // (tests/<name>.exe or tests/tools/<name>.exe); "" when there is none.
    static std::wstring ProgramInBuild();

    bool Start(const std::wstring& program);
    DWORD ProcessId() const { return process.dwProcessId; }

    // The main window: visible, of the program's process, with the given title.
    HWND WaitForMainWindow(const std::wstring& title, int timeoutMs);
    HWND MainWindow() const { return main; }
    // The main window shows before it gets its final size; waits for that client size.
    bool WaitForClientSize(int width, int height, int timeoutMs) const;

    // A visible top-level window of the program with the class ("" for any) and title.
    HWND FindTopLevel(const std::wstring& className, const std::wstring& title) const;
    HWND WaitForTopLevel(const std::wstring& className, const std::wstring& title,
                         int timeoutMs) const;
    bool WaitUntilGone(HWND window, int timeoutMs) const;
    // A child of the main window with exactly this rectangle in its client coordinates.
    HWND ChildAt(const RECT& clientRect) const;

    // Brings a window to the front and waits until the system agrees.
    bool BringToFront(HWND window) const;
    // A left click at a point of a window's client area.
    void Click(HWND window, POINT clientPoint) const;
    // A left click at the centre of a window (a button, for instance).
    void ClickCentre(HWND window) const;
    void PressKey(WORD key) const;
    // One key going down or up, for a key held across other input.
    void KeyDown(WORD key) const;
    void KeyUp(WORD key) const;
    // Keys pressed in order and released in reverse order (Alt+F4, Shift+Tab).
    void PressChord(const std::vector<WORD>& keys) const;
    // The program's window with the keyboard focus, as the system records it; null for none.
    HWND FocusedWindow() const;

    // The box of the board that is lit on the screen now: 1 to 4, 0 for a dark board, -1 when
    // the board shows something else (several boxes lit, another window over it).
    int LitBox() const;
    bool WaitForLitBox(int box, int timeoutMs) const;
    // Watches a showing from its start (dark board) to the player's turn and collects the boxes
    // in the order they light up. The turn has begun when, after at least one box, the board is
    // dark and the message line asks for the sequence; false when that does not happen in time.
    // onBox, when given, is called as each box lights up, with its place in the sequence.
    bool WatchShowing(int timeoutMs, std::vector<int>& boxes,
                      const std::function<void(size_t, int)>& onBox = nullptr) const;

    // Whether the "GIOCA" button shows white on red, as it does while it can be pressed.
    bool PlayButtonRed() const;
    bool WaitForPlayButtonRed(bool red, int timeoutMs) const;
    // Red text pixels in the message line.
    int MessageInk() const;
    bool WaitForMessageInk(bool present, int timeoutMs) const;
    // The texts of the level, count and message lines.
    std::wstring LevelText() const;
    std::wstring CountText() const;
    std::wstring MessageText() const;
    bool WaitForMessage(const std::wstring& text, int timeoutMs) const;

    // Places of the main window's parts, in its client coordinates.
    static POINT BoxCentre(int box);
    static const RECT BoardRect;
    static const RECT LevelRect;
    static const RECT CountRect;
    static const RECT MessageRect;
    static const RECT InfoButtonRect;
    static const RECT CloseButtonRect;
    static const RECT PlayButtonRect;
    static POINT Centre(const RECT& rect);

    // Waits until a rectangle of the screen has stayed the same for stableMs.
    static bool WaitForStillScreen(const RECT& screenRect, int stableMs, int timeoutMs);
    // Writes a rectangle of the screen as a 24-bit BMP file.
    static bool SaveScreen(const RECT& screenRect, const std::wstring& path);
    // The screen rectangle of the main window joined with that of another window, if given.
    RECT ShotRectangle(HWND other = nullptr) const;

    // Waits for the program to end and reads its exit code.
    bool WaitForExit(int timeoutMs, DWORD* exitCode);

private:
    RECT ScreenRect(const RECT& clientRect) const;

    PROCESS_INFORMATION process{};
    bool running = false;
    HWND main = nullptr;
};

// Latin-1 text to wide, byte by byte.
std::wstring Latin1(const std::string& text);

// The game's messages, as the player reads them.
extern const wchar_t* const TurnMessage;
extern const wchar_t* const WonMessage;
extern const wchar_t* const LostMessage;

} // namespace OndrelTools
