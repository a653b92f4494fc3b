#pragma once

// Helpers shared by the tests of panels, cells, text boxes and timers.

#include "framework/Form.h"
#include "support/Pixels.h"

#include <windows.h>

#include <functional>
#include <memory>

namespace PanelSupport {

// A real framework form to host the elements under test, shown at a fixed place.
inline std::unique_ptr<VelkUtility::Form> MakeHostForm(int width = 420, int height = 320) {
    auto form = std::make_unique<VelkUtility::Form>(GetModuleHandleW(nullptr));
    form->x = 40;
    form->y = 40;
    form->width = width;
    form->height = height;
    form->text = L"Host";
    form->Create();
    return form;
}

// Position of a child window in its parent's client coordinates.
inline POINT ChildOrigin(HWND child) {
    RECT frame{};
    GetWindowRect(child, &frame);
    POINT corner{frame.left, frame.top};
    ScreenToClient(GetParent(child), &corner);
    return corner;
}

// Smallest rectangle holding every pixel that passes the test; empty (right < left) when none.
struct InkBox {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    int count = 0;
    bool Empty() const { return count == 0; }
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
};

inline InkBox FindInk(const TestSupport::PixelImage& image,
                      const std::function<bool(COLORREF)>& isInk, int fromX = 0, int fromY = 0,
                      int toX = -1, int toY = -1) {
    if (toX < 0) {
        toX = image.width;
    }
    if (toY < 0) {
        toY = image.height;
    }
    InkBox box;
    for (int y = fromY; y < toY; ++y) {
        for (int x = fromX; x < toX; ++x) {
            if (!isInk(image.At(x, y))) {
                continue;
            }
            if (box.count == 0) {
                box.left = box.right = x;
                box.top = box.bottom = y;
            }
            box.left = x < box.left ? x : box.left;
            box.right = x > box.right ? x : box.right;
            box.top = y < box.top ? y : box.top;
            box.bottom = y > box.bottom ? y : box.bottom;
            ++box.count;
        }
    }
    return box;
}

// Text pixels: clearly darker than a light background.
inline bool IsDark(COLORREF colour) {
    return GetRValue(colour) < 128 && GetGValue(colour) < 128 && GetBValue(colour) < 128;
}

// A 32-bit memory device context of a given size, filled with one colour, released with the
// object.
class MemoryCanvas {
public:
    MemoryCanvas(int canvasWidth, int canvasHeight, COLORREF fill)
        : width(canvasWidth), height(canvasHeight) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ReleaseDC(nullptr, screen);
        previous = SelectObject(dc, bitmap);
        RECT all{0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~MemoryCanvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;

    RECT Rect() const { return RECT{0, 0, width, height}; }
    TestSupport::PixelImage Capture() const {
        GdiFlush();
        return TestSupport::CaptureDC(dc, 0, 0, width, height);
    }

    int width;
    int height;
    HDC dc = nullptr;

private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
};

// A device-dependent bitmap of one colour, with optional single pixels of another colour; the
// caller deletes it.
inline HBITMAP MakeBitmap(int width, int height, COLORREF fill,
                          const std::function<COLORREF(int, int, COLORREF)>& paint = nullptr) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            SetPixel(dc, x, y, paint ? paint(x, y, fill) : fill);
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

// The character cell height of a face at a height, as the cell measures it.
inline int LineHeightOf(HFONT font) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    return metrics.tmHeight;
}

} // namespace PanelSupport
