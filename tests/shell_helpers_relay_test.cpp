#include "framework/ShellHelpers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace VelkUtility;

namespace {

// The "Ret" lines of a function in a relay log.
std::vector<std::string> RelayReturns(const std::string& log, const std::string& function) {
    std::vector<std::string> lines;
    const std::string marker = ":Ret  " + function + "(";
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t end = log.find('\n', start);
        if (end == std::string::npos) {
            end = log.size();
        }
        const std::string line = log.substr(start, end - start);
        if (line.find(marker) != std::string::npos) {
            lines.push_back(line);
        }
        start = end + 1;
    }
    return lines;
}

// The comma-separated arguments of a relay "Call" line (no argument here holds a comma).
std::vector<std::string> Arguments(const std::string& line) {
    std::vector<std::string> arguments;
    const std::size_t open = line.find('(');
    const std::size_t close = line.rfind(") ret=");
    if (open == std::string::npos || close == std::string::npos || close < open) {
        return arguments;
    }
    const std::string inside = line.substr(open + 1, close - open - 1);
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = inside.find(',', start);
        arguments.push_back(inside.substr(start, comma - start));
        if (comma == std::string::npos) {
            return arguments;
        }
        start = comma + 1;
    }
}

// The number after "retval=" in a relay "Ret" line.
unsigned long long ReturnValue(const std::string& line) {
    const std::size_t at = line.find("retval=");
    if (at == std::string::npos) {
        return ~0ull;
    }
    return std::stoull(line.substr(at + 7), nullptr, 16);
}

} // namespace

TEST(OpenDocument, HandsAWebAddressToTheShellsOpenVerb) {
    ASSERT_TRUE(TestSupport::RelayLogAvailable());
    const bool opened = OpenDocument("http://www.example.com/");
    const std::string log = TestSupport::ReadRelayLog();

    const std::vector<std::string> calls = TestSupport::RelayCalls(log, "shell32.ShellExecuteW");
    ASSERT_EQ(calls.size(), 1u) << log;
    EXPECT_NE(calls[0].find("L\"open\""), std::string::npos) << calls[0];
    EXPECT_NE(calls[0].find("L\"http://www.example.com/\""), std::string::npos) << calls[0];
    // No owner window, no parameters, no directory; SW_SHOW. The trace prints whole 64-bit
    // registers, whose upper half is undefined for an int argument: compare the low 32 bits.
    const std::vector<std::string> arguments = Arguments(calls[0]);
    ASSERT_EQ(arguments.size(), 6u) << calls[0];
    EXPECT_EQ(std::stoull(arguments[0], nullptr, 16), 0u);
    EXPECT_EQ(std::stoull(arguments[3], nullptr, 16), 0u);
    EXPECT_EQ(std::stoull(arguments[4], nullptr, 16), 0u);
    EXPECT_EQ(std::stoull(arguments[5], nullptr, 16) & 0xFFFFFFFFu, 5u);

    const std::vector<std::string> returns = RelayReturns(log, "shell32.ShellExecuteW");
    ASSERT_EQ(returns.size(), 1u) << log;
    EXPECT_EQ(opened, ReturnValue(returns[0]) > 32) << returns[0];
    EXPECT_TRUE(opened) << returns[0];
}

TEST(OpenDocument, MissingDocumentIsReportedAsNotOpened) {
    ASSERT_TRUE(TestSupport::RelayLogAvailable());
    EXPECT_FALSE(OpenDocument("C:\\ondrel-nessun-documento\\manca.ondrel"));
    const std::string log = TestSupport::ReadRelayLog();
    const std::vector<std::string> returns = RelayReturns(log, "shell32.ShellExecuteW");
    ASSERT_EQ(returns.size(), 1u) << log;
    EXPECT_LE(ReturnValue(returns[0]), 32u) << returns[0];
}

TEST(OpenDocument, MailLinkGoesToTheShellUnchanged) {
    ASSERT_TRUE(TestSupport::RelayLogAvailable());
    OpenDocument("mailto:info@example.com");
    const std::string log = TestSupport::ReadRelayLog();
    const std::vector<std::string> calls = TestSupport::RelayCalls(log, "shell32.ShellExecuteW");
    ASSERT_EQ(calls.size(), 1u) << log;
    EXPECT_NE(calls[0].find("L\"mailto:info@example.com\""), std::string::npos) << calls[0];
}
