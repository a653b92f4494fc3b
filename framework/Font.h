#pragma once

#include <windows.h>

#include <string>

namespace VelkUtility {

// A font description whose GDI font is made on the first GetHandle and kept until the
// Font is destroyed. Changing the fields after that has no effect.
class Font {
public:
    Font();
    Font(std::string faceName, int cellHeight);
    ~Font();

    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    HFONT GetHandle();

    HFONT handle = nullptr;
    std::wstring face;
    int height = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool fixedPitch = false;
};

} // namespace VelkUtility
