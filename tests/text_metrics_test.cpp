// The program's texts as GDI lays them out: the faces its fonts are realised with, and the
// about box's links measured against their cells.

#include "framework/Font.h"
#include "framework/TextHelpers.h"
#include "framework/about/FormAbout.h"
#include "framework/controls/CellControl.h"
#include "support/TestSupport.h"
#include "support_game.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

using namespace VelkUtility;

namespace {

// A screen-compatible memory context for measuring, released with the object.
class MeasuringContext {
public:
    MeasuringContext() : dc(CreateCompatibleDC(nullptr)) {}
    ~MeasuringContext() {
        if (dc != nullptr) {
            DeleteDC(dc);
        }
    }
    MeasuringContext(const MeasuringContext&) = delete;
    MeasuringContext& operator=(const MeasuringContext&) = delete;

    // The face GDI realised for a font.
    std::wstring FaceOf(HFONT font) const {
        HGDIOBJ previous = SelectObject(dc, font);
        wchar_t face[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, face);
        SelectObject(dc, previous);
        return face;
    }

    // Width of one line of text in a font.
    int WidthOf(HFONT font, const std::wstring& text) const {
        HGDIOBJ previous = SelectObject(dc, font);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, previous);
        return size.cx;
    }

    HDC dc;
};

// The main window with its about box open, as "Info" opens it.
class ProgramTexts : public ::testing::Test {
protected:
    void SetUp() override {
        form = GameTest::MakeMainWindow();
        ASSERT_NE(form->window, nullptr);
        SendMessageW(form->infoButton->window, BM_CLICK, 0, 0);
        TestSupport::PumpMessages(50);
        ASSERT_NE(form->aboutForm, nullptr);
        ASSERT_NE(form->aboutForm->window, nullptr);
    }

    std::unique_ptr<MyGame::FormMain> form;
    MeasuringContext measure;
};

std::string Narrow(const std::wstring& text) {
    return ToNarrow(text);
}

} // namespace

// Text widths are only Windows' widths when every face the program asks for is there: a
// missing face is silently drawn with another one, wider or narrower.
TEST_F(ProgramTexts, EveryFontIsRealisedWithTheFaceItAsksFor) {
    FormAbout& about = *form->aboutForm;
    struct Case {
        const char* owner;
        Font* font;
    };
    CellControl plainCell(nullptr);
    Font cellDefault(plainCell.fontName, plainCell.fontSize);
    Font systemDefault;
    const Case cases[] = {
        {"main window", form->font},
        {"main window, messages", form->messageFont},
        {"main window, count", form->countFont},
        {"about box", about.font},
        {"about box, title", about.titleFont},
        {"about box, links", about.linkFont},
        {"text cell, default", &cellDefault},
        {"element, default", &systemDefault},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.owner);
        ASSERT_NE(c.font, nullptr);
        ASSERT_NE(c.font->GetHandle(), nullptr);
        EXPECT_EQ(Narrow(measure.FaceOf(c.font->GetHandle())), Narrow(c.font->face))
            << "GDI has no font \"" << Narrow(c.font->face) << "\" and draws it with another "
            << "face: the test bench lacks its fonts (scripts/lib.sh, make_wine_prefix)";
    }

    // The caption buttons of every window are letters of this symbol font.
    LOGFONTW symbols{};
    symbols.lfHeight = 16;
    symbols.lfCharSet = SYMBOL_CHARSET;
    lstrcpyW(symbols.lfFaceName, L"Marlett");
    HFONT marlett = CreateFontIndirectW(&symbols);
    ASSERT_NE(marlett, nullptr);
    EXPECT_EQ(Narrow(measure.FaceOf(marlett)), "Marlett")
        << "no Marlett: caption buttons show as letters";
    DeleteObject(marlett);
}

// The two links of the about box show whole in their cells.
TEST_F(ProgramTexts, TheAddressesFitTheirLinkCells) {
    FormAbout& about = *form->aboutForm;
    HFONT linkFont = about.linkFont->GetHandle();
    for (CellControl* link : {about.siteLink, about.mailLink}) {
        ASSERT_NE(link, nullptr);
        ASSERT_NE(link->window, nullptr);
        RECT cell{};
        GetClientRect(link->window, &cell);
        const std::wstring text = TestSupport::WindowText(link->window);
        SCOPED_TRACE(Narrow(text));
        ASSERT_FALSE(text.empty());
        EXPECT_LE(measure.WidthOf(linkFont, text), cell.right - cell.left);
    }
    EXPECT_EQ(TestSupport::WindowText(about.siteLink->window), ToWide(MyGame::SiteAddress));
    EXPECT_EQ(Narrow(TestSupport::WindowText(about.mailLink->window)),
              ReplaceAll(MyGame::SiteAddress, "http://www.", "info@"));
}
