#include "Pixels.h"

#include <cstdlib>

namespace TestSupport {

COLORREF ReadPixel(HWND window, int x, int y) {
    UpdateWindow(window);
    HDC dc = GetDC(window);
    if (dc == nullptr) {
        return CLR_INVALID;
    }
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

COLORREF PixelImage::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return CLR_INVALID;
    }
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

int PixelImage::Count(COLORREF colour) const {
    int count = 0;
    for (COLORREF pixel : pixels) {
        if (pixel == colour) {
            ++count;
        }
    }
    return count;
}

int PixelImage::CountIf(const std::function<bool(COLORREF)>& test) const {
    int count = 0;
    for (COLORREF pixel : pixels) {
        if (test(pixel)) {
            ++count;
        }
    }
    return count;
}

PixelImage CaptureDC(HDC dc, int x, int y, int width, int height) {
    PixelImage image;
    if (dc == nullptr || width <= 0 || height <= 0) {
        return image;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (section == nullptr || bits == nullptr) {
        return image;
    }
    HDC memory = CreateCompatibleDC(dc);
    if (memory == nullptr) {
        DeleteObject(section);
        return image;
    }
    HGDIOBJ old = SelectObject(memory, section);
    const BOOL copied = BitBlt(memory, 0, 0, width, height, dc, x, y, SRCCOPY);
    GdiFlush();
    if (copied) {
        image.width = width;
        image.height = height;
        image.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        const DWORD* source = static_cast<const DWORD*>(bits);
        for (size_t i = 0; i < image.pixels.size(); ++i) {
            const DWORD bgra = source[i]; // 0x00RRGGBB in memory order B, G, R
            image.pixels[i] = RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
        }
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(section);
    return image;
}

PixelImage CaptureClient(HWND window) {
    UpdateWindow(window);
    RECT client = {};
    if (!GetClientRect(window, &client)) {
        return PixelImage();
    }
    HDC dc = GetDC(window);
    PixelImage image = CaptureDC(dc, 0, 0, client.right, client.bottom);
    if (dc != nullptr) {
        ReleaseDC(window, dc);
    }
    return image;
}

PixelImage CaptureScreen(int x, int y, int width, int height) {
    HDC dc = GetDC(nullptr);
    PixelImage image = CaptureDC(dc, x, y, width, height);
    if (dc != nullptr) {
        ReleaseDC(nullptr, dc);
    }
    return image;
}

bool ColorNear(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(static_cast<int>(GetRValue(a)) - static_cast<int>(GetRValue(b))) <= tolerance &&
           std::abs(static_cast<int>(GetGValue(a)) - static_cast<int>(GetGValue(b))) <= tolerance &&
           std::abs(static_cast<int>(GetBValue(a)) - static_cast<int>(GetBValue(b))) <= tolerance;
}

bool IsInkOf(COLORREF pixel, COLORREF ink, COLORREF background) {
    const int p[3] = {GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)};
    const int c[3] = {GetRValue(ink), GetGValue(ink), GetBValue(ink)};
    const int b[3] = {GetRValue(background), GetGValue(background), GetBValue(background)};
    // How far along the way from the background to the ink each channel is; a smoothed edge
    // moves every channel the same part of its way (give or take gamma and rounding).
    double lowest = 1.0;
    double highest = 0.0;
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        const int span = c[i] - b[i];
        if (std::abs(span) < 32) {
            if (std::abs(p[i] - b[i]) > 32 && std::abs(p[i] - c[i]) > 32) {
                return false;
            }
            continue;
        }
        const double part = static_cast<double>(p[i] - b[i]) / span;
        lowest = part < lowest ? part : lowest;
        highest = part > highest ? part : highest;
        any = true;
    }
    return any && lowest >= 0.5 && highest <= 1.15 && highest - lowest <= 0.25;
}

} // namespace TestSupport
