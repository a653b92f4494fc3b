#pragma once

// Shared by the about box's tests: an owner form, an about box filled in and opened the way
// the main window does it, and geometry read back from the windows.

#include "framework/Form.h"
#include "framework/about/FormAbout.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

namespace AboutTest {

constexpr const char* TestSite = "http://www.ondrel.test";
constexpr const char* TestMail = "info@ondrel.test";

// A window's rectangle in the client coordinates of its parent window.
inline RECT RectInParent(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Fills in and opens an about box as the main window's "Info" does: construct, set the
// picture and texts, Create when not created, show without activating.
inline void FillAndOpen(VelkUtility::FormAbout* about, int logoWidth = 164) {
    about->logoId = 1006;
    about->logoWidth = logoWidth;
    about->logoHeight = 50;
    about->title = "Ondrel 1.1.0.0";
    about->copyright = "Copyright (C) 2004 Velk";
    about->notice = "Programma gratuito.\r\nPu\xF2 essere copiato liberamente.";
    about->siteAddress = TestSite;
    if (!about->created) {
        about->Create();
    }
    ShowWindow(about->window, SW_SHOWNA);
}

// A created plain form as owner and an about box opened over it.
class AboutFixture : public ::testing::Test {
protected:
    void SetUp() override {
        owner = std::make_unique<VelkUtility::Form>(GetModuleHandleW(nullptr));
        owner->SetText(std::string("Proprietario"));
        owner->SetSize(640, 480);
        owner->Create();
        ASSERT_NE(owner->window, nullptr);
    }

    void TearDown() override {
        delete about;
        about = nullptr;
        owner.reset();
    }

    VelkUtility::FormAbout* Open(int logoWidth = 164) {
        delete about;
        about = new VelkUtility::FormAbout(owner.get());
        FillAndOpen(about, logoWidth);
        return about;
    }

    // The box is closed and has given the owner back.
    void ExpectClosed(HWND aboutWindow) {
        EXPECT_FALSE(IsWindow(aboutWindow));
        EXPECT_TRUE(IsWindowEnabled(owner->window));
        EXPECT_TRUE(owner->enabled);
        EXPECT_EQ(owner->companion, nullptr);
    }

    std::unique_ptr<VelkUtility::Form> owner;
    VelkUtility::FormAbout* about = nullptr;
};

} // namespace AboutTest
