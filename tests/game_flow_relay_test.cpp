// The error beep of a wrong press, seen in Wine's relay trace of user32.MessageBeep.

#include "support/TestSupport.h"
#include "support_game.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using namespace GameTest;

namespace {

// The first argument of a relay "Call" line, low 32 bits (the trace prints whole registers).
unsigned long FirstArgument(const std::string& line) {
    const std::size_t open = line.find('(');
    if (open == std::string::npos) {
        return 0xDEADBEEF;
    }
    return static_cast<unsigned long>(std::stoull(line.substr(open + 1), nullptr, 16) &
                                      0xFFFFFFFFu);
}

TEST(ErrorBeep, WrongPressBeepsWithTheErrorSound) {
    ASSERT_TRUE(TestSupport::RelayLogAvailable());
    auto form = MakeMainWindow();
    form->timer->Stop();
    ClickPlay(*form);
    ShowWholeLevel(*form);
    const std::vector<int> boxes = form->sequence;

    // Correct presses and the showing make no beep.
    Press(*form, boxes[0]);
    EXPECT_EQ(TestSupport::CountRelayCalls(TestSupport::ReadRelayLog(), "user32.MessageBeep"), 0);

    Press(*form, boxes[1] % 4 + 1);
    const std::vector<std::string> calls =
        TestSupport::RelayCalls(TestSupport::ReadRelayLog(), "user32.MessageBeep");
    ASSERT_FALSE(calls.empty());
    // MB_ICONHAND first; the simple beep only when that one fails.
    EXPECT_EQ(FirstArgument(calls[0]), static_cast<unsigned long>(MB_ICONHAND)) << calls[0];
    ASSERT_LE(calls.size(), 2u);
    if (calls.size() == 2) {
        EXPECT_EQ(FirstArgument(calls[1]), 0xFFFFFFFFul) << calls[1];
    }
}

TEST(ErrorBeep, IgnoredPressesMakeNoBeep) {
    ASSERT_TRUE(TestSupport::RelayLogAvailable());
    auto form = MakeMainWindow();
    form->timer->Stop();
    for (int box = 1; box <= 4; ++box) {
        Press(*form, box); // idle
    }
    ClickPlay(*form);
    Step(*form);
    for (int box = 1; box <= 4; ++box) {
        Press(*form, box); // showing
    }
    EXPECT_EQ(TestSupport::CountRelayCalls(TestSupport::ReadRelayLog(), "user32.MessageBeep"), 0);
}

} // namespace
