#pragma once

// Helpers of the control tests: a memory canvas to draw into and read back, hand-made bitmaps
// and bitmap files, and a form that chooses the colours of its child controls.

#include "framework/Form.h"
#include "framework/GUIElement.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace ControlsTest {

using PixelFunction = std::function<COLORREF(int x, int y)>;

// A memory context holding a 32-bit top-down DIB section, read back straight from its bits.
class Canvas {
public:
    Canvas(int canvasWidth, int canvasHeight, COLORREF fill = RGB(255, 255, 255))
        : width(canvasWidth), height(canvasHeight) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(nullptr);
        section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        previous = SelectObject(dc, section);
        Fill(fill);
    }
    ~Canvas() {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(section);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Valid() const { return dc != nullptr && section != nullptr && bits != nullptr; }

    void Fill(COLORREF colour) {
        GdiFlush();
        auto* pixels = static_cast<std::uint32_t*>(bits);
        const std::uint32_t value =
            (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        for (int i = 0; i < width * height; ++i) {
            pixels[i] = value;
        }
    }

    COLORREF At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return CLR_INVALID;
        }
        GdiFlush();
        const std::uint32_t value = static_cast<const std::uint32_t*>(bits)[y * width + x];
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }

    std::vector<COLORREF> Pixels() const {
        std::vector<COLORREF> all;
        all.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                all.push_back(At(x, y));
            }
        }
        return all;
    }

    int Count(const std::function<bool(COLORREF)>& test) const {
        int count = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (test(At(x, y))) {
                    ++count;
                }
            }
        }
        return count;
    }

    HDC dc = nullptr;
    int width;
    int height;

private:
    HBITMAP section = nullptr;
    HGDIOBJ previous = nullptr;
    void* bits = nullptr;
};

// Bounding box of the pixels that pass a test; empty (left > right) when none does.
struct Extent {
    int left = 1 << 30;
    int top = 1 << 30;
    int right = -1;
    int bottom = -1;
    bool Empty() const { return right < left; }
    int CentreX2() const { return left + right; }
};

template <typename Source>
Extent ExtentOf(const Source& source, int x0, int y0, int x1, int y1,
                const std::function<bool(COLORREF)>& test) {
    Extent extent;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (test(source.At(x, y))) {
                extent.left = x < extent.left ? x : extent.left;
                extent.right = x > extent.right ? x : extent.right;
                extent.top = y < extent.top ? y : extent.top;
                extent.bottom = y > extent.bottom ? y : extent.bottom;
            }
        }
    }
    return extent;
}

// A 32-bit top-down DIB section painted pixel by pixel; deleted with the object.
class Bitmap {
public:
    Bitmap(int bitmapWidth, int bitmapHeight, const PixelFunction& colourAt) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = bitmapWidth;
        info.bmiHeader.biHeight = -bitmapHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (handle == nullptr) {
            return;
        }
        auto* pixels = static_cast<std::uint32_t*>(bits);
        for (int y = 0; y < bitmapHeight; ++y) {
            for (int x = 0; x < bitmapWidth; ++x) {
                const COLORREF c = colourAt(x, y);
                pixels[y * bitmapWidth + x] =
                    (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            }
        }
        GdiFlush();
    }
    ~Bitmap() {
        if (handle != nullptr) {
            DeleteObject(handle);
        }
    }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    HBITMAP handle = nullptr;
};

// Size of a bitmap handle; {0, 0} when it is not one.
inline SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (GetObjectW(bitmap, sizeof(info), &info) == 0) {
        return SIZE{0, 0};
    }
    return SIZE{info.bmWidth, info.bmHeight};
}

// One pixel of a bitmap, read with GetDIBits.
inline COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
    const SIZE size = BitmapSize(bitmap);
    if (x < 0 || y < 0 || x >= size.cx || y >= size.cy) {
        return CLR_INVALID;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> row(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
    HDC screen = GetDC(nullptr);
    const int lines =
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.cy), row.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (lines != size.cy) {
        return CLR_INVALID;
    }
    const std::uint32_t value =
        row[static_cast<size_t>(y) * static_cast<size_t>(size.cx) + static_cast<size_t>(x)];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

// Writes a 24-bit bottom-up BMP file by hand: file header, info header, padded rows.
inline bool WriteBmpFile(const std::wstring& path, int bmpWidth, int bmpHeight,
                         const PixelFunction& colourAt) {
    const int rowBytes = (bmpWidth * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = bmpWidth;
    header.biHeight = bmpHeight;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(rowBytes * bmpHeight);
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::vector<unsigned char> data(header.biSizeImage, 0);
    for (int y = 0; y < bmpHeight; ++y) {
        unsigned char* row = data.data() + static_cast<size_t>(bmpHeight - 1 - y) * rowBytes;
        for (int x = 0; x < bmpWidth; ++x) {
            const COLORREF c = colourAt(x, y);
            row[x * 3] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
    }
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (out == nullptr) {
        return false;
    }
    bool written = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
                   std::fwrite(&header, sizeof(header), 1, out) == 1 &&
                   std::fwrite(data.data(), 1, data.size(), out) == data.size();
    written = std::fclose(out) == 0 && written;
    return written;
}

// A file name in the temporary folder, unique to this process; removed with the object.
class TempFile {
public:
    explicit TempFile(const std::wstring& stem) {
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        path =
            std::wstring(folder) + stem + L"-" + std::to_wstring(GetCurrentProcessId()) + L".bmp";
    }
    ~TempFile() { DeleteFileW(path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // The path as the framework's narrow (Latin-1) text.
    std::string Narrow() const {
        std::string narrow;
        for (wchar_t c : path) {
            narrow += static_cast<char>(c & 0xFF);
        }
        return narrow;
    }

    std::wstring path;
};

// A form that sets the colours of its child controls while answering the control-colour
// messages, as a game window does; it owns the brush it hands out.
class ColourForm : public VelkUtility::Form {
public:
    explicit ColourForm(COLORREF textColour = RGB(0, 0, 0),
                        COLORREF backColour = RGB(220, 220, 220))
        : Form(GetModuleHandleW(nullptr)), textColor(textColour), childBackColor(backColour),
          brush(CreateSolidBrush(backColour)) {
        width = 400;
        height = 300;
        x = 20;
        y = 20;
        text = L"Controls";
    }
    ~ColourForm() override {
        // The window goes first, so no child asks for the brush after it is deleted.
        if (window != nullptr && IsWindow(window)) {
            DestroyWindow(window);
        }
        created = false;
        DeleteObject(brush);
    }

    HBRUSH OnControlColor(HDC dc) override {
        ++controlColorCalls;
        SetTextColor(dc, textColor);
        SetBkColor(dc, childBackColor);
        return brush;
    }

    COLORREF textColor;
    COLORREF childBackColor;
    HBRUSH brush;
    int controlColorCalls = 0;
};

// An element with a window handed in by the test, for painters that need one.
class WindowElement : public VelkUtility::GUIElement {
public:
    explicit WindowElement(HWND handle) : GUIElement(nullptr) {
        window = handle;
        created = handle != nullptr;
    }
    void Create() override {}
};

} // namespace ControlsTest
