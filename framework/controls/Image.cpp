#include "framework/controls/Image.h"

#include "framework/Font.h"
#include "framework/controls/Drawing.h"

#include <utility>

namespace VelkUtility {

Image::Image(GUIElement* parentElement, int resource) : resourceId(resource) {
    parent = parentElement;
    typeName = "image";
}

Image::~Image() {
    // A window that outlives the element must not keep showing a deleted bitmap.
    if (bitmap != nullptr && window != nullptr && IsWindow(window)) {
        ReplacePicture(nullptr);
    }
    if (bitmap != nullptr) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
}

void Image::Create() {
    if (created) {
        return;
    }
    id = ++nextControlId;
    window = CreateWindowExW(border ? WS_EX_CLIENTEDGE : 0, L"static", text.c_str(), ComputeStyle(),
                             x, y, width, height, ParentWindow(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    if (window == nullptr) {
        // Not reported; a later Create tries again.
        (void)GetLastError();
        return;
    }
    created = true;
    if (resourceId == -1) {
        SetPictureFile(fileName);
    } else {
        SetPictureResource(resourceId);
    }
    Subclass();
    CreateToolTip(window);
    if (font != nullptr) {
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font->GetHandle()), TRUE);
    }
}

DWORD Image::ComputeStyle() const {
    DWORD style = WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_BITMAP;
    if (!enabled) {
        style |= WS_DISABLED;
    }
    if (border) {
        style |= WS_BORDER;
    }
    return style;
}

void Image::SetPictureFile(std::string path) {
    fileName = std::move(path);
    resourceId = -1;
    if (!created || fileName.empty()) {
        return;
    }
    HBITMAP loaded = Drawing::LoadBitmapFile(fileName);
    if (loaded == nullptr) {
        (void)GetLastError();
    }
    ReplacePicture(loaded);
}

void Image::SetPictureResource(int number) {
    fileName.clear();
    resourceId = number;
    if (!created || number <= 0) {
        return;
    }
    HBITMAP loaded = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                     MAKEINTRESOURCEW(number & 0xFFFF),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (loaded == nullptr) {
        (void)GetLastError();
    }
    ReplacePicture(loaded);
}

void Image::ReplacePicture(HBITMAP loaded) {
    HBITMAP previous = bitmap;
    bitmap = loaded;
    // The window is told first, so it never holds a deleted bitmap; after a failed load it
    // shows nothing rather than the picture just released.
    auto shown = reinterpret_cast<HBITMAP>(
        SendMessageW(window, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(loaded)));
    // A static control hands back a copy it made of a picture with alpha; that copy is ours.
    if (shown != nullptr && shown != previous && shown != loaded) {
        DeleteObject(shown);
    }
    if (previous != nullptr && previous != loaded) {
        DeleteObject(previous);
    }
}

} // namespace VelkUtility
