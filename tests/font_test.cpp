#include "framework/Font.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

using namespace VelkUtility;

namespace {

// The logical font a GDI font handle was made from.
LOGFONTW ReadLogFont(HFONT handle) {
    LOGFONTW logFont{};
    EXPECT_EQ(GetObjectW(handle, sizeof(logFont), &logFont), static_cast<int>(sizeof(logFont)));
    return logFont;
}

} // namespace

TEST(Font, DefaultFontIsTheSystemFaceAtDefaultSizeWithoutHandle) {
    Font font;
    EXPECT_EQ(font.face, L"System");
    EXPECT_EQ(font.height, 0);
    EXPECT_FALSE(font.bold);
    EXPECT_FALSE(font.italic);
    EXPECT_FALSE(font.underline);
    EXPECT_FALSE(font.fixedPitch);
    EXPECT_EQ(font.handle, nullptr);
}

TEST(Font, FaceIsWidenedByteByByte) {
    Font font("Caf\xE9", 12);
    EXPECT_EQ(font.face, L"Caf\u00E9");
    EXPECT_EQ(font.height, 12);
    EXPECT_EQ(font.handle, nullptr);
}

TEST(Font, HandleIsMadeOnFirstUseKeptAndDeletedWithTheFont) {
    auto font = std::make_unique<Font>("Arial", 14);
    ASSERT_EQ(font->handle, nullptr) << "nothing is made before the handle is asked for";

    HFONT handle = font->GetHandle();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(font->handle, handle);
    EXPECT_EQ(font->GetHandle(), handle) << "the second call makes no new font";

    font.reset();
    EXPECT_EQ(GetObjectType(handle), 0u) << "the font is deleted with its Font";
}

TEST(Font, CreatesTheLogicalFontFromItsFields) {
    struct Case {
        const char* face;
        int height;
        bool bold;
        bool italic;
        bool underline;
        bool fixedPitch;
    };
    const Case cases[] = {
        {"Arial", 16, false, false, true, false},
        {"Arial", 22, true, false, false, false},
        {"Lucida Console", 14, false, false, false, false},
        {"Tahoma", 14, true, true, true, false},
        {"Courier New", -12, false, false, false, true},
        {"System", 0, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.face);
        Font font(c.face, c.height);
        font.bold = c.bold;
        font.italic = c.italic;
        font.underline = c.underline;
        font.fixedPitch = c.fixedPitch;

        const LOGFONTW logFont = ReadLogFont(font.GetHandle());
        EXPECT_EQ(std::wstring(logFont.lfFaceName), font.face);
        EXPECT_EQ(logFont.lfHeight, c.height);
        EXPECT_EQ(logFont.lfWidth, 0);
        EXPECT_EQ(logFont.lfEscapement, 0);
        EXPECT_EQ(logFont.lfOrientation, 0);
        EXPECT_EQ(logFont.lfWeight, c.bold ? FW_BOLD : FW_NORMAL);
        EXPECT_EQ(logFont.lfItalic != 0, c.italic);
        EXPECT_EQ(logFont.lfUnderline != 0, c.underline);
        EXPECT_EQ(logFont.lfStrikeOut, 0);
        EXPECT_EQ(logFont.lfCharSet, DEFAULT_CHARSET);
        EXPECT_EQ(logFont.lfOutPrecision, OUT_OUTLINE_PRECIS);
        EXPECT_EQ(logFont.lfClipPrecision, CLIP_DEFAULT_PRECIS);
        EXPECT_EQ(logFont.lfQuality, CLEARTYPE_QUALITY);
        EXPECT_EQ(logFont.lfPitchAndFamily, c.fixedPitch ? FIXED_PITCH : DEFAULT_PITCH);
    }
}

TEST(Font, FlagsChangedAfterTheFirstHandleChangeNothing) {
    Font font("Arial", 16);
    HFONT handle = font.GetHandle();
    font.bold = true;
    font.underline = true;
    font.height = 40;
    font.face = L"Tahoma";

    EXPECT_EQ(font.GetHandle(), handle);
    const LOGFONTW logFont = ReadLogFont(handle);
    EXPECT_EQ(logFont.lfWeight, FW_NORMAL);
    EXPECT_EQ(logFont.lfUnderline, 0);
    EXPECT_EQ(logFont.lfHeight, 16);
    EXPECT_EQ(std::wstring(logFont.lfFaceName), L"Arial");
}

TEST(Font, UnderlinedArialFontSelectsIntoADeviceContext) {
    Font font("Arial", 16);
    font.underline = true;
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HGDIOBJ old = SelectObject(dc, font.GetHandle());
    TEXTMETRICW metrics{};
    ASSERT_TRUE(GetTextMetricsW(dc, &metrics));
    SelectObject(dc, old);
    DeleteDC(dc);
    // A positive height is the cell height; Wine's Arial stand-in may differ in its glyphs.
    EXPECT_EQ(metrics.tmHeight, 16);
    EXPECT_NE(metrics.tmUnderlined, 0);
    EXPECT_EQ(metrics.tmWeight, FW_NORMAL);
}
