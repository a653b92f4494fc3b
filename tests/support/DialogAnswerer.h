#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace TestSupport {

// Answers one message box of this process from a thread of its own: waits for a top-level
// dialog window (class "#32770") with the given caption, records its message text and
// presses the button with the given id (IDYES, IDNO, IDOK...) by posting WM_COMMAND.
// Start it before the code that shows the box; Join (or the destructor) waits for the thread.
class DialogAnswerer {
public:
    // caption: Latin-1 text as the program passes it; "" accepts any caption.
    DialogAnswerer(std::string caption, int buttonId, int timeoutMs = 10000);
    ~DialogAnswerer();

    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // Waits until a box has been answered or the time is up.
    void Join();

    // After Join: whether a box was found and its button pressed.
    bool Seen() const { return seen; }
    // After Join: the box's message and caption, as Latin-1 text (low 8 bits of each character).
    std::string Text() const;
    std::string Caption() const;
    std::wstring WideText() const { return text; }
    // After Join: whether the box had a button with the requested id.
    bool HadButton() const { return hadButton; }

private:
    void Run();

    std::wstring wantedCaption;
    int buttonId;
    int timeoutMs;
    std::atomic<bool> seen{false};
    bool hadButton = false;
    std::wstring text;
    std::wstring caption;
    std::thread worker;
};

} // namespace TestSupport
