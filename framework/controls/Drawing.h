#pragma once

#include <windows.h>

#include <string>

namespace VelkUtility {

class Font;
class GUIElement;

enum TextAlign { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };

// The framework's GDI painter. Every pen, brush, memory context and mask an operation makes
// is released before the operation returns.
class Drawing {
public:
    explicit Drawing(GUIElement* target);
    virtual ~Drawing();

    Drawing(const Drawing&) = delete;
    Drawing& operator=(const Drawing&) = delete;

    void BeginPainting();
    void AttachDC(HDC context);
    void EndPainting();

    void DrawString(int x, int y, int width, int height, const std::wstring& text, int alignment,
                    COLORREF color, Font* font);
    void DrawString(int x, int y, int width, int height, const std::string& text, int alignment,
                    COLORREF color, Font* font);
    int TextHeight(Font* font);
    void FrameRectangle(int x, int y, int width, int height, COLORREF color);
    void FillRectangle(int x, int y, int width, int height, COLORREF color);
    void FillRoundRectangle(int x, int y, int width, int height, COLORREF color);
    void DrawTransparentBitmap(int x, int y, int width, int height, HBITMAP bitmap);

    static HBITMAP LoadBitmapFile(const std::string& path);

    // Called after a failed step of DrawTransparentBitmap; painting goes on.
    virtual void OnGdiError();

    GUIElement* element = nullptr;
    HDC dc = nullptr;
    bool attached = false;
    PAINTSTRUCT paint{};
};

} // namespace VelkUtility
