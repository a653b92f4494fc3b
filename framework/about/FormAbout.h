#pragma once

#include "../Form.h"

#include <string>

namespace VelkUtility {

class Button;
class CellControl;
class Image;
class Label;
class PanelChildren;
class TextBox;

// The information window: logo in a framed panel, title, copyright, two links that the shell
// opens, a read-only notice and an OK button. Its owner is disabled while it is open.
class FormAbout : public Form {
public:
    explicit FormAbout(Form* ownerForm);
    // Clears the hooks and closes a window that is still open before the elements go.
    ~FormAbout() override;

    // Form's Create, then the client area the layout needs: the window is shown during
    // Form's Create, before OnShow could size it. When no window could be made, the owner is
    // enabled again and its companion cleared.
    void Create() override;
    void OnShow() override;

    virtual void CreateChildren();
    virtual bool ConfirmClose();
    virtual void OnResize();
    virtual bool OnDialogChar(int ch);
    virtual void OnDialogKeyDown(int key);
    virtual void OnDialogKeyUp(int key);
    virtual void OnButtonClick(GUIElement* element);
    virtual void OnLinkClick(GUIElement* element, int x, int y);

    Form* owner = nullptr;
    Font* titleFont = nullptr;
    Font* linkFont = nullptr;
    Image* logo = nullptr;
    Label* titleLabel = nullptr;
    Label* copyrightLabel = nullptr;
    PanelChildren* logoPanel = nullptr;
    TextBox* noticeBox = nullptr;
    Button* okButton = nullptr;
    CellControl* siteLink = nullptr;
    CellControl* mailLink = nullptr;
    int logoId = 0;
    int logoWidth = 0;
    int logoHeight = 0;
    std::string title;
    std::string copyright;
    std::string notice;
    std::string siteAddress;

    // The client area the content is laid out for.
    static constexpr int LayoutWidth = 600;
    static constexpr int LayoutHeight = 300;
};

} // namespace VelkUtility
