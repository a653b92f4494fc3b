#include "framework/Font.h"

#include "framework/TextHelpers.h"

#include <utility>

namespace VelkUtility {

Font::Font() : face(L"System") {}

Font::Font(std::string faceName, int cellHeight)
    : face(ToWide(std::move(faceName))), height(cellHeight) {}

Font::~Font() {
    if (handle != nullptr) {
        DeleteObject(handle);
    }
}

HFONT Font::GetHandle() {
    if (handle == nullptr) {
        handle =
            CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, underline, FALSE,
                        DEFAULT_CHARSET, OUT_OUTLINE_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                        (fixedPitch ? FIXED_PITCH : DEFAULT_PITCH) | FF_DONTCARE, face.c_str());
    }
    return handle;
}

} // namespace VelkUtility
