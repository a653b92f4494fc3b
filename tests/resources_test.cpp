// The program's resources as the program finds them in its own module: the click sound, the
// two logos, the icon group, the version record and the manifest.
#include "support/TestSupport.h"

#include "game/ProgramInfo.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace TestSupport;

namespace {

// The bytes of a resource of this module; empty when it is missing.
std::string ResourceBytes(int id, LPCWSTR type) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) {
        return std::string();
    }
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = LockResource(loaded);
    if (bytes == nullptr) {
        return std::string();
    }
    return std::string(static_cast<const char*>(bytes), SizeofResource(module, found));
}

template <typename T> T Read(const std::string& bytes, size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) {
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    }
    return value;
}

struct WaveFacts {
    bool riff = false;
    uint16_t format = 0;
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bits = 0;
    uint32_t dataBytes = 0;
    std::vector<std::string> chunks;
};

WaveFacts ParseWave(const std::string& bytes) {
    WaveFacts facts;
    facts.riff = bytes.size() >= 12 && bytes.compare(0, 4, "RIFF") == 0 &&
                 bytes.compare(8, 4, "WAVE") == 0 && Read<uint32_t>(bytes, 4) == bytes.size() - 8;
    for (size_t offset = 12; facts.riff && offset + 8 <= bytes.size();) {
        const std::string name = bytes.substr(offset, 4);
        const uint32_t length = Read<uint32_t>(bytes, offset + 4);
        facts.chunks.push_back(name);
        if (name == "fmt ") {
            facts.format = Read<uint16_t>(bytes, offset + 8);
            facts.channels = Read<uint16_t>(bytes, offset + 10);
            facts.rate = Read<uint32_t>(bytes, offset + 12);
            facts.bits = Read<uint16_t>(bytes, offset + 22);
        } else if (name == "data") {
            facts.dataBytes = length;
        }
        offset += 8 + length + (length & 1);
    }
    return facts;
}

enum class Hue { Red, Yellow, Green, Blue, Other };

Hue HueOf(COLORREF colour) {
    const bool r = GetRValue(colour) >= 160;
    const bool g = GetGValue(colour) >= 160;
    const bool b = GetBValue(colour) >= 160;
    const bool lowR = GetRValue(colour) < 96;
    const bool lowG = GetGValue(colour) < 96;
    const bool lowB = GetBValue(colour) < 96;
    if (r && lowG && lowB) {
        return Hue::Red;
    }
    if (r && g && lowB) {
        return Hue::Yellow;
    }
    if (lowR && g && lowB) {
        return Hue::Green;
    }
    if (lowR && lowG && b) {
        return Hue::Blue;
    }
    return Hue::Other;
}

// A bitmap resource loaded as the program loads it, with its pixels read back.
struct LoadedBitmap {
    BITMAP info = {};
    PixelImage pixels;
};

LoadedBitmap LoadBitmapResource(int id) {
    LoadedBitmap result;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    if (bitmap == nullptr) {
        return result;
    }
    GetObjectW(bitmap, sizeof(result.info), &result.info);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    result.pixels = CaptureDC(memory, 0, 0, result.info.bmWidth, result.info.bmHeight);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return result;
}

// The bits per pixel a resource file declares for a bitmap (its BITMAPINFOHEADER).
int DeclaredBitCount(int id) {
    const std::string bytes = ResourceBytes(id, MAKEINTRESOURCEW(2)); // RT_BITMAP
    return Read<uint16_t>(bytes, 14);
}

std::wstring VersionString(const std::vector<char>& block, const wchar_t* name) {
    std::wstring path = std::wstring(L"\\StringFileInfo\\041004e4\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || value == nullptr) {
        return std::wstring();
    }
    return std::wstring(static_cast<const wchar_t*>(value));
}

} // namespace

TEST(Resources, ClickIsShortMonoPcmAt44100Hz) {
    const std::string wave = ResourceBytes(MyGame::ClickSoundId, L"WAVE");
    ASSERT_FALSE(wave.empty());
    const WaveFacts facts = ParseWave(wave);

    EXPECT_TRUE(facts.riff);
    EXPECT_EQ(facts.chunks, (std::vector<std::string>{"fmt ", "data"}));
    EXPECT_EQ(facts.format, 1); // WAVE_FORMAT_PCM
    EXPECT_EQ(facts.channels, 1);
    EXPECT_EQ(facts.rate, 44100u);
    EXPECT_EQ(facts.bits, 16);
    EXPECT_EQ(facts.dataBytes, 8860u);
    EXPECT_EQ(wave.size(), 44u + 8860u);
}

TEST(Resources, ClickIsNotSilent) {
    const std::string wave = ResourceBytes(MyGame::ClickSoundId, L"WAVE");
    int loudest = 0;
    for (size_t offset = 44; offset + 2 <= wave.size(); offset += 2) {
        const int sample = Read<int16_t>(wave, offset);
        loudest = std::max(loudest, sample < 0 ? -sample : sample);
    }
    EXPECT_GT(loudest, 4000);
}

struct LogoCase {
    int id;
    int width;
};

class LogoTest : public ::testing::TestWithParam<LogoCase> {};

TEST_P(LogoTest, HasItsSizeAnd24BitColour) {
    const LogoCase logo = GetParam();
    const LoadedBitmap bitmap = LoadBitmapResource(logo.id);
    EXPECT_EQ(bitmap.info.bmWidth, logo.width);
    EXPECT_EQ(bitmap.info.bmHeight, 50);
    EXPECT_EQ(DeclaredBitCount(logo.id), 24);
}

TEST_P(LogoTest, ShowsTheFourColouredSquares) {
    const LoadedBitmap bitmap = LoadBitmapResource(GetParam().id);
    ASSERT_FALSE(bitmap.pixels.Empty());
    // Each square: top-left corner and expected hue, 20 by 19 pixels.
    const struct {
        int x, y;
        Hue hue;
    } squares[] = {
        {6, 5, Hue::Red}, {28, 5, Hue::Yellow}, {6, 26, Hue::Blue}, {28, 26, Hue::Green}};
    for (const auto& square : squares) {
        int matching = 0;
        for (int y = square.y; y < square.y + 19; ++y) {
            for (int x = square.x; x < square.x + 20; ++x) {
                matching += HueOf(bitmap.pixels.At(x, y)) == square.hue ? 1 : 0;
            }
        }
        EXPECT_GE(matching, 20 * 19 * 9 / 10) << "square at " << square.x << "," << square.y;
    }
}

TEST_P(LogoTest, ShowsTheNameBesideTheSquares) {
    const LoadedBitmap bitmap = LoadBitmapResource(GetParam().id);
    int dark = 0;
    for (int y = 0; y < bitmap.pixels.height; ++y) {
        for (int x = 55; x < bitmap.pixels.width; ++x) {
            const COLORREF colour = bitmap.pixels.At(x, y);
            dark += GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 300 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 150);
}

INSTANTIATE_TEST_SUITE_P(Logos, LogoTest,
                         ::testing::Values(LogoCase{MyGame::MainLogoId, 200},
                                           LogoCase{MyGame::AboutLogoId, 163}));

TEST(Resources, IconGroupHolds16ColourIconsOf16To48Pixels) {
    const std::string group = ResourceBytes(MyGame::IconId, MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    ASSERT_GE(group.size(), 6u);
    const int count = Read<uint16_t>(group, 4);
    ASSERT_EQ(count, 3);
    std::vector<int> sizes;
    for (int i = 0; i < count; ++i) {
        const size_t entry = 6 + static_cast<size_t>(i) * 14; // GRPICONDIRENTRY
        const int width = Read<uint8_t>(group, entry);
        sizes.push_back(width);
        EXPECT_EQ(Read<uint8_t>(group, entry + 1), width);
        EXPECT_EQ(Read<uint8_t>(group, entry + 2), 16); // colours
        EXPECT_EQ(Read<uint16_t>(group, entry + 6), 4); // bits per pixel
        const int iconId = Read<uint16_t>(group, entry + 12);
        const std::string image = ResourceBytes(iconId, MAKEINTRESOURCEW(3)); // RT_ICON
        EXPECT_EQ(Read<uint32_t>(image, 0), 40u) << "BMP-format entry";
        EXPECT_EQ(Read<int32_t>(image, 4), width);
        EXPECT_EQ(Read<uint16_t>(image, 14), 4);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48}));
}

TEST(Resources, IconsLoadAtEachSize) {
    const std::string group = ResourceBytes(MyGame::IconId, MAKEINTRESOURCEW(14));
    for (int size : {16, 32, 48}) {
        const int id =
            LookupIconIdFromDirectoryEx(reinterpret_cast<PBYTE>(const_cast<char*>(group.data())),
                                        TRUE, size, size, LR_DEFAULTCOLOR);
        ASSERT_NE(id, 0) << size;
        EXPECT_EQ(Read<int32_t>(ResourceBytes(id, MAKEINTRESOURCEW(3)), 4), size);

        HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                   MAKEINTRESOURCEW(MyGame::IconId), IMAGE_ICON,
                                                   size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP mask = {};
        GetObjectW(info.hbmMask, sizeof(mask), &mask);
        EXPECT_EQ(mask.bmWidth, size);
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
        DestroyIcon(icon);
    }
}

TEST(Resources, VersionRecordNamesOndrel110) {
    wchar_t path[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);

    DWORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(LOWORD(*translation), 0x0410);
    EXPECT_EQ(HIWORD(*translation), 1252);

    EXPECT_EQ(VersionString(block, L"ProductName"), Widen(MyGame::ProductName));
    EXPECT_EQ(VersionString(block, L"ProductVersion"), Widen(MyGame::ProductVersion));
    EXPECT_EQ(VersionString(block, L"FileVersion"), L"1.1.0.0");
    EXPECT_EQ(VersionString(block, L"CompanyName"), L"Ondrel");
}

TEST(Resources, ManifestAsksToRunAsInvoker) {
    const std::string manifest = ResourceBytes(1, MAKEINTRESOURCEW(24)); // RT_MANIFEST
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
    EXPECT_EQ(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
}
