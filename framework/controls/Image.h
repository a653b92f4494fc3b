#pragma once

#include "framework/controls/Child.h"

#include <string>

namespace VelkUtility {

// A bitmap shown in a static control, loaded from the program's resources or from a file.
class Image : public Child {
public:
    Image(GUIElement* parentElement, int resource);
    ~Image() override;

    void Create() override;
    DWORD ComputeStyle() const;

    void SetPictureFile(std::string path);
    void SetPictureResource(int number);

    HBITMAP bitmap = nullptr;
    std::string fileName;
    int resourceId = -1;
    bool border = false;

private:
    // Makes loaded the picture of the image and of its window, releasing the one it replaces.
    void ReplacePicture(HBITMAP loaded);
};

} // namespace VelkUtility
