// The click: every box shown and every correct press plays the click resource once, whole;
// nothing else in the game makes that sound.

#include "support/TestSupport.h"
#include "support_game.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

using namespace GameTest;
using TestSupport::ReadSoundCapture;
using TestSupport::SoundCapturePlays;

namespace {

// The sample data of the click resource (the "data" chunk of WAVE 1008).
std::string ClickSamples() {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(MyGame::ClickSoundId), L"WAVE");
    if (found == nullptr) {
        return std::string();
    }
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    const DWORD size = SizeofResource(nullptr, found);
    for (DWORD offset = 12; offset + 8 <= size;) {
        DWORD length = 0;
        std::memcpy(&length, bytes + offset + 4, 4);
        if (std::memcmp(bytes + offset, "data", 4) == 0) {
            return std::string(bytes + offset + 8, length);
        }
        offset += 8 + length + (length & 1);
    }
    return std::string();
}

std::string Clicks(int count) {
    std::string all;
    const std::string click = ClickSamples();
    for (int i = 0; i < count; ++i) {
        all += click;
    }
    return all;
}

// Whether every 16-bit sample of `sound` appears in `captured`, in the same order. A device
// that runs short of data under load pads what it plays (with silence, or with data it played
// already), which says nothing about what the program played; a lost or altered sample of the
// click still fails.
bool PlayedWhole(const std::string& sound, const std::string& captured) {
    std::size_t at = 0;
    for (std::size_t sample = 0; sample + 1 < sound.size(); sample += 2) {
        while (at + 1 < captured.size() &&
               (captured[at] != sound[sample] || captured[at + 1] != sound[sample + 1])) {
            at += 2;
        }
        if (at + 1 >= captured.size()) {
            return false;
        }
        at += 2;
    }
    return true;
}

// Whether the capture holds the given number of plays, together the whole clicks in order.
::testing::AssertionResult CapturedClicks(int count) {
    const std::string captured = ReadSoundCapture();
    const std::string expected = Clicks(count);
    if (SoundCapturePlays() == count && PlayedWhole(expected, captured)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "captured " << captured.size() << " bytes in " << SoundCapturePlays()
           << " plays, expected " << expected.size() << " bytes in " << count;
}

class ClickSoundTest : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(TestSupport::SoundCaptureAvailable());
        ASSERT_FALSE(ClickSamples().empty());
        form = MakeMainWindow();
        form->timer->Stop();
    }

    std::unique_ptr<MyGame::FormMain> form;
};

TEST_F(ClickSoundTest, EachShownBoxPlaysOneWholeClick) {
    ClickPlay(*form);
    EXPECT_EQ(SoundCapturePlays(), 0);
    Ticks(*form, 30);
    EXPECT_EQ(SoundCapturePlays(), 0);
    for (int shown = 1; shown <= 3; ++shown) {
        Step(*form);
        // The click has played to its end before the step returns.
        EXPECT_EQ(SoundCapturePlays(), shown);
        EXPECT_TRUE(CapturedClicks(shown)) << "after box " << shown;
    }
    // The step that ends the showing is silent.
    Step(*form);
    ASSERT_FALSE(form->showing);
    EXPECT_EQ(SoundCapturePlays(), 3);
}

TEST_F(ClickSoundTest, CorrectPressesClickWrongAndIgnoredOnesDoNot) {
    ClickPlay(*form);
    // Presses during the showing are silent.
    Step(*form);
    for (int box = 1; box <= 4; ++box) {
        Press(*form, box);
    }
    EXPECT_EQ(SoundCapturePlays(), 1);
    ShowWholeLevel(*form);
    ASSERT_EQ(SoundCapturePlays(), 3);

    const std::vector<int> boxes = form->sequence;
    Press(*form, boxes[0]);
    EXPECT_EQ(SoundCapturePlays(), 4);
    Press(*form, boxes[1] % 4 + 1); // wrong
    EXPECT_EQ(SoundCapturePlays(), 4);
    for (int box = 1; box <= 4; ++box) {
        Press(*form, box); // after the game ended
    }
    EXPECT_EQ(SoundCapturePlays(), 4);
    EXPECT_TRUE(CapturedClicks(4));
}

TEST_F(ClickSoundTest, WinningPressClicksOnceAndTheWaitIsSilent) {
    ClickPlay(*form);
    ShowWholeLevel(*form);
    const std::vector<int> boxes = form->sequence;
    Press(*form, boxes[0]);
    Press(*form, boxes[1]);
    for (int box = 1; box <= 4; ++box) {
        PostPress(*form, box); // handled inside the wait, ignored
    }
    Press(*form, boxes[2]);
    EXPECT_EQ(SoundCapturePlays(), 6);
    EXPECT_TRUE(CapturedClicks(6));
}

} // namespace
