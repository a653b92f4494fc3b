// The freeware notice that "Info" puts in the about box: it names the game's keys, and its hard
// line breaks fit the read-only text box, measured in the font the box draws with.

#include "support/TestSupport.h"
#include "support_game.h"

#include "framework/about/FormAbout.h"
#include "framework/controls/TextBox.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace GameTest;

namespace {

std::vector<std::wstring> HardLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end == std::wstring::npos ? end : end - start));
        if (end == std::wstring::npos) {
            return lines;
        }
        start = end + 2;
    }
}

class NoticeTest : public ::testing::Test {
public:
    void SetUp() override {
        form = MakeMainWindow();
        ASSERT_NE(form->window, nullptr);
        form->timer->Stop();
        SendMessageW(form->infoButton->window, BM_CLICK, 0, 0);
        ASSERT_NE(form->aboutForm, nullptr);
        ASSERT_NE(form->aboutForm->noticeBox, nullptr);
        box = form->aboutForm->noticeBox->window;
        ASSERT_NE(box, nullptr);
        TestSupport::PumpMessages(50);
    }

    std::unique_ptr<MyGame::FormMain> form;
    HWND box = nullptr;
};

TEST_F(NoticeTest, NamesTheKeys) {
    const std::string notice = TestSupport::Narrow(TestSupport::WindowText(box));
    EXPECT_EQ(notice, MyGame::FreewareNotice);
    EXPECT_NE(notice.find("1, 2, 3, 4"), std::string::npos) << notice;
    EXPECT_NE(notice.find("F2"), std::string::npos) << notice;
}

// Every hard line is narrower than the box's formatting rectangle in the box's own font, and
// the box shows exactly the hard lines: it wraps none of them.
TEST_F(NoticeTest, EveryLineFitsTheTextBox) {
    RECT format{};
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const int available = format.right - format.left;
    ASSERT_GT(available, 0);

    HDC dc = GetDC(box);
    ASSERT_NE(dc, nullptr);
    // Without a font of its own the edit control draws with the system font.
    auto font = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);

    const std::vector<std::wstring> lines = HardLines(TestSupport::WindowText(box));
    std::printf("notice box: formatting rectangle %d x %d, font \"%ls\", line height %d\n",
                available, static_cast<int>(format.bottom - format.top), face,
                static_cast<int>(metrics.tmHeight));
    int widest = 0;
    for (const std::wstring& line : lines) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &extent);
        std::printf("  %3d px  %ls\n", static_cast<int>(extent.cx), line.c_str());
        EXPECT_LT(extent.cx, available) << TestSupport::Narrow(line);
        widest = extent.cx > widest ? extent.cx : widest;
    }
    std::printf("widest line %d px of %d\n", widest, available);
    SelectObject(dc, previous);
    ReleaseDC(box, dc);

    EXPECT_EQ(SendMessageW(box, EM_GETLINECOUNT, 0, 0), static_cast<LRESULT>(lines.size()));
}

} // namespace
