// Relay tests see the calls the program makes to the traced system functions.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

using namespace TestSupport;

TEST(HarnessRelay, MessageBeepIsTracedWithItsArgument) {
    ASSERT_TRUE(RelayLogAvailable());
    const int before = CountRelayCalls(ReadRelayLog(), "user32.MessageBeep");
    MessageBeep(MB_ICONHAND);

    const std::vector<std::string> calls = RelayCalls(ReadRelayLog(), "user32.MessageBeep");
    ASSERT_EQ(static_cast<int>(calls.size()), before + 1);
    EXPECT_NE(calls.back().find("(00000010)"), std::string::npos) << calls.back();
}

TEST(HarnessRelay, ShellExecuteIsTracedWithItsStrings) {
    ShellExecuteW(nullptr, L"open", L"Z:\\nessun\\file-ondrel.none", nullptr, nullptr, SW_SHOW);

    const std::vector<std::string> calls = RelayCalls(ReadRelayLog(), "shell32.ShellExecuteW");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find("L\"open\""), std::string::npos) << calls[0];
    EXPECT_NE(calls[0].find("file-ondrel.none"), std::string::npos) << calls[0];
}

TEST(HarnessRelay, OnlyTheListedFunctionsAreTraced) {
    DialogAnswerer answerer("Relay", IDOK);
    MessageBoxA(nullptr, "Testo", "Relay", MB_OK);
    answerer.Join();
    GetTickCount();
    const std::string log = ReadRelayLog();
    const std::vector<std::string> boxes = RelayCalls(log, "user32.MessageBoxA");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("\"Testo\""), std::string::npos) << boxes[0];
    EXPECT_EQ(CountRelayCalls(log, "kernel32.GetTickCount"), 0);
    EXPECT_EQ(log.find("Call user32.CreateWindowExW"), std::string::npos);
}
