#include "framework/controls/Drawing.h"

#include "framework/Font.h"
#include "framework/GUIElement.h"
#include "framework/TextHelpers.h"

#include <algorithm>
#include <cwchar>

namespace VelkUtility {

namespace {

// Selects an object into a context and puts the previous one back when it goes.
class SelectedObject {
public:
    SelectedObject(HDC context, HGDIOBJ object)
        : dc(context),
          previous(context != nullptr && object != nullptr ? SelectObject(context, object)
                                                           : nullptr) {}
    ~SelectedObject() {
        if (previous != nullptr && previous != HGDI_ERROR) {
            SelectObject(dc, previous);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc;
    HGDIOBJ previous;
};

// A pen, brush or bitmap made for one operation; deleted when it goes.
class OwnedObject {
public:
    explicit OwnedObject(HGDIOBJ made) : object(made) {}
    ~OwnedObject() {
        if (object != nullptr) {
            DeleteObject(object);
        }
    }
    OwnedObject(const OwnedObject&) = delete;
    OwnedObject& operator=(const OwnedObject&) = delete;

    HGDIOBJ Get() const { return object; }
    explicit operator bool() const { return object != nullptr; }

private:
    HGDIOBJ object;
};

// A memory context made for one operation; deleted when it goes.
class MemoryContext {
public:
    explicit MemoryContext(HDC compatibleWith) : dc(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryContext() {
        if (dc != nullptr) {
            DeleteDC(dc);
        }
    }
    MemoryContext(const MemoryContext&) = delete;
    MemoryContext& operator=(const MemoryContext&) = delete;

    HDC Get() const { return dc; }
    explicit operator bool() const { return dc != nullptr; }

private:
    HDC dc;
};

// Sets the text colour and puts the previous one back when it goes.
class TextColorSetting {
public:
    TextColorSetting(HDC context, COLORREF color)
        : dc(context), previous(SetTextColor(dc, color)) {}
    ~TextColorSetting() {
        if (previous != CLR_INVALID) {
            SetTextColor(dc, previous);
        }
    }
    TextColorSetting(const TextColorSetting&) = delete;
    TextColorSetting& operator=(const TextColorSetting&) = delete;

private:
    HDC dc;
    COLORREF previous;
};

// Sets the background colour and puts the previous one back when it goes.
class BackColorSetting {
public:
    BackColorSetting(HDC context, COLORREF color) : dc(context), previous(SetBkColor(dc, color)) {}
    ~BackColorSetting() {
        if (previous != CLR_INVALID) {
            SetBkColor(dc, previous);
        }
    }
    BackColorSetting(const BackColorSetting&) = delete;
    BackColorSetting& operator=(const BackColorSetting&) = delete;

private:
    HDC dc;
    COLORREF previous;
};

UINT AlignmentFormat(int alignment) {
    switch (alignment) {
    case AlignRight:
        return DT_RIGHT;
    case AlignCenter:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

} // namespace

Drawing::Drawing(GUIElement* target) : element(target) {}

Drawing::~Drawing() {
    EndPainting();
}

void Drawing::BeginPainting() {
    // A paint still open from an earlier call is closed first, so BeginPaint and EndPaint
    // always come in pairs.
    EndPainting();
    if (element == nullptr) {
        return;
    }
    dc = BeginPaint(element->window, &paint);
}

void Drawing::AttachDC(HDC context) {
    EndPainting();
    attached = true;
    dc = context;
}

void Drawing::EndPainting() {
    if (attached) {
        attached = false;
        dc = nullptr;
        return;
    }
    if (dc != nullptr) {
        EndPaint(element->window, &paint);
        dc = nullptr;
    }
}

void Drawing::DrawString(int x, int y, int width, int height, const std::wstring& text,
                         int alignment, COLORREF color, Font* font) {
    if (dc == nullptr) {
        return;
    }
    SetBkMode(dc, TRANSPARENT);

    wchar_t buffer[1024];
    const int length = static_cast<int>(std::min<size_t>(text.size(), 1023));
    std::wmemcpy(buffer, text.data(), length);
    buffer[length] = L'\0';

    RECT rectangle{x, y, x + width, y + height};
    SelectedObject fontSelection(dc, font != nullptr ? font->GetHandle() : nullptr);
    TextColorSetting colorSetting(dc, color);
    if (width != 0 && height != 0) {
        DrawTextW(dc, buffer, length, &rectangle, AlignmentFormat(alignment));
    } else {
        TextOutW(dc, x, y, buffer, length);
    }
}

void Drawing::DrawString(int x, int y, int width, int height, const std::string& text,
                         int alignment, COLORREF color, Font* font) {
    DrawString(x, y, width, height, ToWide(text), alignment, color, font);
}

int Drawing::TextHeight(Font* font) {
    if (dc == nullptr || font == nullptr) {
        return -1;
    }
    TEXTMETRICW metrics{};
    SelectedObject fontSelection(dc, font->GetHandle());
    if (!GetTextMetricsW(dc, &metrics)) {
        return -1;
    }
    return metrics.tmHeight;
}

void Drawing::FrameRectangle(int x, int y, int width, int height, COLORREF color) {
    if (dc == nullptr) {
        return;
    }
    OwnedObject pen(CreatePen(PS_SOLID, 1, color));
    SelectedObject brushSelection(dc, GetStockObject(NULL_BRUSH));
    SelectedObject penSelection(dc, pen.Get());
    Rectangle(dc, x, y, x + width, y + height);
}

void Drawing::FillRectangle(int x, int y, int width, int height, COLORREF color) {
    if (dc == nullptr) {
        return;
    }
    OwnedObject pen(CreatePen(PS_NULL, 1, 0));
    OwnedObject brush(CreateSolidBrush(color));
    SelectedObject brushSelection(dc, brush.Get());
    SelectedObject penSelection(dc, pen.Get());
    Rectangle(dc, x, y, x + width, y + height);
}

void Drawing::FillRoundRectangle(int x, int y, int width, int height, COLORREF color) {
    if (dc == nullptr) {
        return;
    }
    OwnedObject pen(CreatePen(PS_NULL, 1, 0));
    OwnedObject brush(CreateSolidBrush(color));
    SelectedObject brushSelection(dc, brush.Get());
    SelectedObject penSelection(dc, pen.Get());
    RoundRect(dc, x, y, x + width, y + height, 10, 10);
}

void Drawing::DrawTransparentBitmap(int x, int y, int width, int height, HBITMAP bitmap) {
    if (dc == nullptr) {
        return;
    }
    // Declared in reverse order of release: both selections are undone first, then the mask
    // bitmap goes, then the mask context, then the image context.
    MemoryContext imageContext(dc);
    MemoryContext maskContext(dc);
    if (!imageContext || !maskContext) {
        OnGdiError();
    }

    BITMAP info{};
    GetObjectW(bitmap, sizeof(info), &info);
    const int bw = info.bmWidth;
    const int bh = info.bmHeight;

    OwnedObject mask(CreateBitmap(bw, bh, 1, 1, nullptr));
    if (!mask) {
        OnGdiError();
    }
    SelectedObject maskSelection(maskContext.Get(), mask.Get());
    SelectedObject imageSelection(imageContext.Get(), bitmap);
    SetBkColor(imageContext.Get(), RGB(0, 0, 0));

    // The mask is made at the bitmap's own size and stretched together with the image, so
    // that both land on the same pixels.
    if (!BitBlt(maskContext.Get(), 0, 0, bw, bh, imageContext.Get(), 0, 0, SRCCOPY)) {
        OnGdiError();
    }

    // A monochrome source takes the destination's text colour for its 0 bits and its
    // background colour for its 1 bits: black and white keep the mask a plain AND mask
    // whatever colours the caller left in the context.
    TextColorSetting maskZero(dc, RGB(0, 0, 0));
    BackColorSetting maskOne(dc, RGB(255, 255, 255));
    const bool stretched = width != 0 && height != 0;
    BOOL maskDrawn;
    BOOL imageDrawn;
    if (stretched) {
        maskDrawn = StretchBlt(dc, x, y, width, height, maskContext.Get(), 0, 0, bw, bh, SRCAND);
        if (!maskDrawn) {
            OnGdiError();
        }
        imageDrawn =
            StretchBlt(dc, x, y, width, height, imageContext.Get(), 0, 0, bw, bh, SRCPAINT);
    } else {
        maskDrawn = BitBlt(dc, x, y, bw, bh, maskContext.Get(), 0, 0, SRCAND);
        if (!maskDrawn) {
            OnGdiError();
        }
        imageDrawn = BitBlt(dc, x, y, bw, bh, imageContext.Get(), 0, 0, SRCPAINT);
    }
    if (!imageDrawn) {
        OnGdiError();
    }
}

HBITMAP Drawing::LoadBitmapFile(const std::string& path) {
    return static_cast<HBITMAP>(LoadImageW(nullptr, ToWide(path).c_str(), IMAGE_BITMAP, 0, 0,
                                           LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

void Drawing::OnGdiError() {
    (void)GetLastError();
}

} // namespace VelkUtility
