// The program entry: the built program opens its main window and ends with exit code 0 when
// it is closed and the exit question is answered Yes; WinMain itself, called in this process,
// gives up at once when the main window cannot be made.

#include "framework/WindowProcedure.h"
#include "game/ProgramInfo.h"
#include "support/TestSupport.h"
#include "support_forms.h"

// The entry point, compiled into this test so that it can be called like a function.
#include "game/Main.cpp"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

std::wstring ExpectedCaption() {
    return TestSupport::Widen(std::string(MyGame::ProductName) + " " + MyGame::CopyrightNotice);
}

struct Search {
    DWORD processId;
    std::wstring className;
    std::wstring title;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
    auto* s = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != s->processId || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (!s->className.empty() && TestSupport::WindowClassName(window) != s->className) {
        return TRUE;
    }
    if (TestSupport::WindowText(window) != s->title) {
        return TRUE;
    }
    s->found = window;
    return FALSE;
}

// A visible top-level window of the process with the given class ("" any) and title.
HWND FindTopLevel(DWORD processId, const std::wstring& className, const std::wstring& title) {
    Search search{processId, className, title, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForTopLevel(DWORD processId, const std::wstring& className, const std::wstring& title,
                     int timeoutMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (GetTickCount64() < end) {
        if (HWND window = FindTopLevel(processId, className, title)) {
            return window;
        }
        Sleep(50);
    }
    return nullptr;
}

BOOL CALLBACK TakeStaticText(HWND child, LPARAM data) {
    if (_wcsicmp(TestSupport::WindowClassName(child).c_str(), L"Static") == 0 &&
        GetWindowTextLengthW(child) > 0) {
        *reinterpret_cast<std::wstring*>(data) = TestSupport::WindowText(child);
        return FALSE;
    }
    return TRUE;
}

// The text of a message box: its static control that is not a button.
std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, TakeStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path);
    // tests/<test>.exe beside the build's Ondrel.exe one level up.
    directory = directory.substr(0, directory.find_last_of(L"\\/"));
    directory = directory.substr(0, directory.find_last_of(L"\\/"));
    return directory + L"\\Ondrel.exe";
}

TEST(Program, OpensItsMainWindowAndExitsZeroWhenClosedAndConfirmed) {
    const std::wstring program = ProgramPath();
    ASSERT_NE(GetFileAttributesW(program.c_str()), INVALID_FILE_ATTRIBUTES) << "no Ondrel.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + program + L"\"";
    ASSERT_TRUE(CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &process));

    HWND main = WaitForTopLevel(process.dwProcessId, L"Window0", ExpectedCaption(), 15000);
    EXPECT_NE(main, nullptr) << "no main window captioned with the product and the notice";
    if (main != nullptr) {
        PostMessageW(main, WM_CLOSE, 0, 0);
        HWND box = WaitForTopLevel(process.dwProcessId, L"#32770", L"Uscita", 10000);
        EXPECT_NE(box, nullptr) << "closing asks first";
        if (box != nullptr) {
            EXPECT_EQ(MessageBoxText(box), L"Vuoi realmente uscire?");
            HWND yes = GetDlgItem(box, IDYES);
            EXPECT_NE(yes, nullptr);
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                         reinterpret_cast<LPARAM>(yes));
        }
    }

    const DWORD waited = WaitForSingleObject(process.hProcess, 15000);
    if (waited != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    }
    EXPECT_EQ(waited, static_cast<DWORD>(WAIT_OBJECT_0)) << "the program did not end";
    DWORD exitCode = 12345;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// Ends a message loop that should never have started: posts WM_QUIT(77) after a while.
class LoopWatchdog {
public:
    LoopWatchdog() : done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        const DWORD thread = GetCurrentThreadId();
        HANDLE event = done;
        worker = std::thread([event, thread] {
            if (WaitForSingleObject(event, 8000) == WAIT_TIMEOUT) {
                PostThreadMessageW(thread, WM_QUIT, 77, 0);
            }
        });
    }
    ~LoopWatchdog() {
        SetEvent(done);
        worker.join();
        CloseHandle(done);
    }

private:
    HANDLE done;
    std::thread worker;
};

// Refuses the creation of every form window ("Window" followed by a number) of this thread.
LRESULT CALLBACK RefuseForms(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const std::wstring name = TestSupport::WindowClassName(reinterpret_cast<HWND>(wParam));
        if (name.compare(0, 6, L"Window") == 0) {
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(WinMain, ReturnsAFailureAtOnceWhenTheMainWindowCannotBeMade) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseForms, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    int result = 0;
    {
        LoopWatchdog watchdog;
        result = WinMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW);
    }
    UnhookWindowsHookEx(hook);
    EXPECT_NE(result, 0) << "a program without a main window must not report success";
    EXPECT_NE(result, 77) << "the message loop ran and waited for a WM_QUIT that never came";
    EXPECT_EQ(VelkUtility::mainWindow, nullptr);
}

TEST(WinMain, RunsUntilTheMainWindowIsClosedAndReturnsZero) {
    const DWORD thread = GetCurrentThreadId();
    TestSupport::DialogAnswerer answerer("Uscita", IDYES, 15000);
    std::thread closer([thread] {
        HWND main = WaitForTopLevel(GetCurrentProcessId(), L"Window0", ExpectedCaption(), 10000);
        if (main != nullptr) {
            PostMessageW(main, WM_CLOSE, 0, 0);
        } else {
            PostThreadMessageW(thread, WM_QUIT, 77, 0);
        }
    });
    int result = -1;
    {
        LoopWatchdog watchdog;
        result = WinMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW);
    }
    closer.join();
    answerer.Join();

    EXPECT_TRUE(answerer.Seen());
    EXPECT_EQ(answerer.Text(), "Vuoi realmente uscire?");
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(IsWindow(VelkUtility::mainWindow));
}

} // namespace
