// The entry point of every test program. A program whose tests observe the system through
// Wine (the build says so in ONDREL_NEEDS_WINE, with the reason) skips them all elsewhere.
#include "Wine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class WineOnly : public ::testing::Environment {
public:
    explicit WineOnly(std::string reason) : reason(std::move(reason)) {}

    void SetUp() override {
        if (!TestSupport::RunningUnderWine()) {
            GTEST_SKIP() << "[  SKIPPED ] needs Wine: " << reason;
        }
    }

private:
    std::string reason;
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleMock(&argc, argv);
    const char* needsWine = std::getenv("ONDREL_NEEDS_WINE");
    if (needsWine != nullptr && *needsWine != '\0') {
        ::testing::AddGlobalTestEnvironment(new WineOnly(needsWine));
    }
    return RUN_ALL_TESTS();
}
