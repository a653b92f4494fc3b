// The test harness itself: real windows read back through the screen, message boxes answered
// from another thread, the code page the program's Latin-1 texts rely on, and no sound device
// outside sound tests.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>

using namespace TestSupport;

namespace {

const COLORREF Red = RGB(255, 0, 0);
const COLORREF Blue = RGB(0, 0, 255);

// A window class whose background brush paints the given colour.
class ColouredClass {
public:
    ColouredClass(const wchar_t* name, COLORREF colour) : name(name) {
        brush = CreateSolidBrush(colour);
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = brush;
        windowClass.lpszClassName = name;
        RegisterClassW(&windowClass);
    }
    ~ColouredClass() {
        UnregisterClassW(name, GetModuleHandleW(nullptr));
        DeleteObject(brush);
    }

    const wchar_t* name;
    HBRUSH brush;
};

} // namespace

TEST(Harness, PaintedWindowReadsBackItsColour) {
    ColouredClass red(L"HarnessRed", Red);
    HWND window = CreateWindowExW(0, red.name, L"Rosso", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                  200, 150, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    PumpMessages(50);

    EXPECT_EQ(ReadPixel(window, 5, 5), Red);
    const PixelImage client = CaptureClient(window);
    const SIZE size = ClientSize(window);
    ASSERT_EQ(client.width, size.cx);
    ASSERT_EQ(client.height, size.cy);
    EXPECT_EQ(client.Count(Red), client.width * client.height);
    DestroyWindow(window);
}

TEST(Harness, ClientCaptureIncludesChildWindows) {
    ColouredClass red(L"HarnessParent", Red);
    ColouredClass blue(L"HarnessChild", Blue);
    HWND window =
        CreateWindowExW(0, red.name, L"Genitore", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                        200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    HWND child = CreateWindowExW(0, blue.name, L"", WS_CHILD | WS_VISIBLE, 20, 30, 40, 50, window,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(child, nullptr);
    PumpMessages(50);

    EXPECT_EQ(EnumerateChildWindows(window), std::vector<HWND>{child});
    const std::vector<HWND> topLevel = EnumerateTopLevelWindows();
    EXPECT_NE(std::find(topLevel.begin(), topLevel.end(), window), topLevel.end());
    EXPECT_EQ(std::find(topLevel.begin(), topLevel.end(), child), topLevel.end());

    const PixelImage client = CaptureClient(window);
    EXPECT_EQ(client.At(5, 5), Red);
    EXPECT_EQ(client.At(20, 30), Blue);
    EXPECT_EQ(client.At(59, 79), Blue);
    EXPECT_EQ(client.At(60, 80), Red);
    EXPECT_EQ(client.Count(Blue), 40 * 50);
    EXPECT_EQ(ReadPixel(child, 0, 0), Blue);
    DestroyWindow(window);
}

TEST(Harness, ScreenCaptureSeesTheWindowWhereItIs) {
    ScratchWindow scratch(100, 80);
    ASSERT_NE(scratch.Handle(), nullptr);
    PumpMessages(50);
    POINT origin = {0, 0};
    ClientToScreen(scratch, &origin);

    const PixelImage screen = CaptureScreen(origin.x, origin.y, 100, 80);
    EXPECT_EQ(screen.Count(RGB(255, 255, 255)), 100 * 80);
    EXPECT_EQ(WindowClassName(scratch), L"OndrelTestScratchWindow");
}

TEST(Harness, AnsiCodePageIsLatin1) {
    ONDREL_SKIP_UNLESS_WINE("the prefix's code page; Windows' depends on the system locale");
    // The program's narrow texts are Latin-1 bytes and reach MessageBoxA.
    EXPECT_EQ(GetACP(), 1252u);
}

TEST(Harness, DialogAnswererReadsAndAnswersAMessageBox) {
    DialogAnswerer answerer("Domanda", IDNO);
    const int answer = MessageBoxA(nullptr, "Si pu\xF2 uscire?", "Domanda",
                                   MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL);
    answerer.Join();

    EXPECT_EQ(answer, IDNO);
    EXPECT_TRUE(answerer.Seen());
    EXPECT_TRUE(answerer.HadButton());
    EXPECT_EQ(answerer.Text(), "Si pu\xF2 uscire?");
    EXPECT_EQ(answerer.Caption(), "Domanda");
}

TEST(Harness, DialogAnswererIgnoresBoxesWithAnotherCaption) {
    DialogAnswerer wrong("Altro", IDOK, 300);
    DialogAnswerer right("Avviso", IDOK);
    const int answer = MessageBoxA(nullptr, "Testo", "Avviso", MB_OK);
    wrong.Join();
    right.Join();

    EXPECT_EQ(answer, IDOK);
    EXPECT_TRUE(right.Seen());
    EXPECT_FALSE(wrong.Seen());
}

int timerTicks = 0;

void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) {
    ++timerTicks;
}

TEST(Harness, PumpUntilDispatchesTimers) {
    ScratchWindow scratch;
    timerTicks = 0;
    SetTimer(scratch, 1, 10, CountTick);
    const bool done = PumpUntil([] { return timerTicks >= 3; }, 5000);
    KillTimer(scratch, 1);
    EXPECT_TRUE(done);
    EXPECT_FALSE(PumpUntil([] { return false; }, 20));
}

TEST(Harness, PumpMessagesDispatchesPostedMessages) {
    ScratchWindow scratch;
    timerTicks = 0;
    PostMessageW(scratch, WM_TIMER, 7, reinterpret_cast<LPARAM>(CountTick));
    PumpMessages(10);
    EXPECT_EQ(timerTicks, 1);
}

TEST(Harness, NoSoundDeviceOutsideSoundTests) {
    ONDREL_SKIP_UNLESS_WINE("a process with its sound drivers turned off");
    EXPECT_FALSE(SoundCaptureAvailable());
    EXPECT_EQ(waveOutGetNumDevs(), 0u);
    // The click resource exists, yet with no device it cannot be played.
    EXPECT_FALSE(PlaySoundW(MAKEINTRESOURCEW(1008), GetModuleHandleW(nullptr),
                            SND_RESOURCE | SND_NODEFAULT));
}

TEST(Harness, NoRelayTraceOutsideRelayTests) {
    EXPECT_FALSE(RelayLogAvailable());
    EXPECT_EQ(ReadRelayLog(), "");
}
