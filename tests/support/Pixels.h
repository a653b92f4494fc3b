#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace TestSupport {

// Colour of one pixel of a window's client area, read from the screen after UpdateWindow.
// CLR_INVALID when the point lies outside the visible area.
COLORREF ReadPixel(HWND window, int x, int y);

// A rectangle of pixels, row by row from the top, as COLORREF values (0x00BBGGRR).
struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    bool Empty() const { return pixels.empty(); }
    // CLR_INVALID outside the image.
    COLORREF At(int x, int y) const;
    int Count(COLORREF colour) const;
    int CountIf(const std::function<bool(COLORREF)>& test) const;
};

// The client area of a window as it is on the screen (children included), after UpdateWindow.
PixelImage CaptureClient(HWND window);
// A rectangle of the screen, in screen coordinates.
PixelImage CaptureScreen(int x, int y, int width, int height);
// A rectangle of any device context (a memory DC, a window DC).
PixelImage CaptureDC(HDC dc, int x, int y, int width, int height);

// True when every channel of a and b differs by at most tolerance.
bool ColorNear(COLORREF a, COLORREF b, int tolerance = 8);

// Whether a pixel belongs to text or lines drawn in the colour ink over background, smoothed
// edges included: a blend of the two that is at least half ink in every channel (red text on white
// shows as 0xFF6868 at its edges as well as 0xFF0000). Exact colours depend on the rasteriser and
// its smoothing settings; this does not.
bool IsInkOf(COLORREF pixel, COLORREF ink, COLORREF background = RGB(255, 255, 255));

} // namespace TestSupport
