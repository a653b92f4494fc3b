#include "FormAbout.h"

#include "../Font.h"
#include "../ShellHelpers.h"
#include "../TextHelpers.h"
#include "../controls/Button.h"
#include "../controls/CellControl.h"
#include "../controls/Child.h"
#include "../controls/Image.h"
#include "../controls/Label.h"
#include "../controls/PanelChildren.h"
#include "../controls/TextBox.h"

#include <string>

namespace VelkUtility {

namespace {

constexpr COLORREF LinkColor = 0xFF0000;

// The about box an element belongs to: the element itself, or the parent of a child.
FormAbout* AboutBoxOf(GUIElement* element) {
    if (element == nullptr) {
        return nullptr;
    }
    if (dynamic_cast<Child*>(element) != nullptr) {
        return dynamic_cast<FormAbout*>(element->parent);
    }
    return dynamic_cast<FormAbout*>(element);
}

void CreatedRouter(GUIElement* element, HWND /*window*/) {
    if (auto* about = dynamic_cast<FormAbout*>(element)) {
        about->CreateChildren();
    }
}

bool CloseRouter(GUIElement* element) {
    auto* about = dynamic_cast<FormAbout*>(element);
    return about == nullptr || about->ConfirmClose();
}

void SizeRouter(GUIElement* element) {
    if (auto* about = dynamic_cast<FormAbout*>(element)) {
        about->OnResize();
    }
}

int KeyDownRouter(GUIElement* element, int key) {
    if (auto* about = dynamic_cast<FormAbout*>(element)) {
        about->OnDialogKeyDown(key);
    }
    return 0;
}

int KeyUpRouter(GUIElement* element, int key) {
    if (auto* about = dynamic_cast<FormAbout*>(element)) {
        about->OnDialogKeyUp(key);
    }
    return 0;
}

// Runs for WM_CHAR of the about box and of each element of its content.
bool CharRouter(GUIElement* element, int ch) {
    FormAbout* about = AboutBoxOf(element);
    return about == nullptr || about->OnDialogChar(ch);
}

// Runs when a link is pressed (WM_LBUTTONDOWN of the link's cell).
int LinkRouter(GUIElement* element, HWND /*window*/, int x, int y) {
    if (element == nullptr) {
        return 0;
    }
    GUIElement* target = dynamic_cast<Child*>(element) != nullptr ? element->parent : element;
    if (auto* about = dynamic_cast<FormAbout*>(target)) {
        about->OnLinkClick(element, x, y);
    }
    return 0;
}

// Runs for every WM_COMMAND that the OK button sends.
void OkRouter(GUIElement* element) {
    if (element == nullptr) {
        return;
    }
    if (auto* about = dynamic_cast<FormAbout*>(element->parent)) {
        about->OnButtonClick(element);
    }
}

template <typename T> void DeleteAndClear(T*& pointer) {
    delete pointer;
    pointer = nullptr;
}

} // namespace

FormAbout::FormAbout(Form* ownerForm)
    : Form(ownerForm != nullptr ? ownerForm->instance : nullptr, true), owner(ownerForm) {
    font = new Font("Arial", 14);
    titleFont = new Font("Arial", 16);
    titleFont->bold = true;
    linkFont = new Font("Arial", 16);
    linkFont->underline = true;

    topMost = false;
    minimizeBox = false;
    maximizeBox = false;
    titled = true;
    dialogFrameBit = true;
    SetSize(LayoutWidth, LayoutHeight);
    CenterOnScreen();
    SetText(std::string("Info..."));

    onCreated = CreatedRouter;
    onClose = CloseRouter;
    onSize = SizeRouter;
    onKeyDown = KeyDownRouter;
    onKeyUp = KeyUpRouter;
    onChar = CharRouter;

    if (owner != nullptr) {
        owner->SetEnabled(false);
        owner->companion = this;
    }
}

FormAbout::~FormAbout() {
    // From here on no message may reach this box's operations: its elements are going.
    ClearCallbacks();
    GUIElement* const content[] = {logoPanel, logo,     titleLabel, copyrightLabel,
                                   siteLink,  mailLink, noticeBox,  okButton};
    for (GUIElement* element : content) {
        if (element != nullptr) {
            element->ClearCallbacks();
        }
    }
    if (okButton != nullptr) {
        okButton->onCommand = nullptr;
    }
    const bool open = created && window != nullptr && IsWindow(window);
    if (owner != nullptr) {
        if (owner->companion == this) {
            owner->companion = nullptr;
        }
        // Deleted while open: the close that would have given the owner back never comes.
        if (open) {
            owner->SetEnabled(true);
        }
    }
    // The windows go while their elements and fonts still exist.
    if (open) {
        DestroyWindow(window);
    }
    created = false;

    DeleteAndClear(logoPanel);
    DeleteAndClear(copyrightLabel);
    DeleteAndClear(logo);
    DeleteAndClear(titleLabel);
    DeleteAndClear(noticeBox);
    DeleteAndClear(okButton);
    DeleteAndClear(siteLink);
    DeleteAndClear(mailLink);
    DeleteAndClear(titleFont);
    DeleteAndClear(linkFont);
    DeleteAndClear(font);
}

void FormAbout::Create() {
    const bool wasCreated = created;
    Form::Create();
    if (!wasCreated && window == nullptr && owner != nullptr) {
        // No window, so no close will ever give the owner back: it must not stay disabled.
        if (owner->companion == this) {
            owner->companion = nullptr;
        }
        owner->SetEnabled(true);
        // Disabling the owner took the keyboard focus away from it.
        if (owner->window != nullptr && GetActiveWindow() == owner->window &&
            GetFocus() == nullptr) {
            SetFocus(owner->window);
        }
    }
    if (wasCreated || !created || window == nullptr) {
        return;
    }
    SetClientSize(LayoutWidth, LayoutHeight);
    CenterOnScreen();
}

// Runs for WM_SHOWWINDOW.
void FormAbout::OnShow() {
    SetClientSize(LayoutWidth, LayoutHeight);
}

// Runs from onCreated inside WM_CREATE, before the box counts as created.
void FormAbout::CreateChildren() {
    if (created && window != nullptr) {
        RECT client{};
        GetClientRect(window, &client);
        width = client.right - client.left;
        height = client.bottom - client.top;
    }
    const int clientWidth = width;
    const int clientHeight = height;
    const int panelWidth = logoWidth + 20;
    const int column = panelWidth + 25;
    const int columnWidth = clientWidth - column - 10;

    logoPanel = new PanelChildren(this);
    logoPanel->SetLocation(10, 10);
    logoPanel->SetSize(panelWidth, clientHeight - 20);
    logoPanel->SetBorder(true);
    logoPanel->onChar = CharRouter;
    logoPanel->Create();

    logo = new Image(logoPanel, logoId);
    logo->SetLocation(5, 5);
    logo->SetSize(logoWidth, logoHeight);
    logo->onChar = CharRouter;
    logo->Create();

    titleLabel = new Label(this, title);
    titleLabel->SetLocation(column, 10);
    titleLabel->SetSize(columnWidth, 25);
    titleLabel->font = titleFont;
    titleLabel->onChar = CharRouter;
    titleLabel->Create();

    copyrightLabel = new Label(this, copyright);
    copyrightLabel->SetLocation(column, 35);
    copyrightLabel->SetSize(columnWidth, 25);
    copyrightLabel->font = font;
    copyrightLabel->onChar = CharRouter;
    copyrightLabel->Create();

    const std::string mailText = ReplaceAll(siteAddress, "http://www.", "info@");
    const int linkLefts[] = {column, column + 160};
    const std::string* linkTexts[] = {&siteAddress, &mailText};
    CellControl** links[] = {&siteLink, &mailLink};
    for (int i = 0; i < 2; ++i) {
        auto* link = new CellControl(this);
        *links[i] = link;
        link->SetLocation(linkLefts[i], 55);
        link->SetSize(150, 22);
        link->font = linkFont;
        link->textColor = LinkColor;
        link->textAlign = 0;
        link->SetHandCursor(true);
        link->onLeftButtonDown = LinkRouter;
        link->SetText(*linkTexts[i]);
        link->onChar = CharRouter;
        link->Create();
    }

    noticeBox = new TextBox(this, notice);
    noticeBox->SetLocation(column, 85);
    noticeBox->SetSize(columnWidth, clientHeight - 145);
    noticeBox->multiline = true;
    noticeBox->ApplyStyle();
    noticeBox->readOnly = true;
    noticeBox->ApplyStyle();
    noticeBox->verticalScroll = true;
    noticeBox->ApplyStyle();
    noticeBox->onChar = CharRouter;
    noticeBox->Create();

    okButton = new Button(this, "OK");
    okButton->SetSize(80, 25);
    int buttonWidth = okButton->width;
    if (okButton->created && okButton->window != nullptr) {
        RECT rect{};
        GetWindowRect(okButton->window, &rect);
        buttonWidth = rect.right - rect.left;
    }
    okButton->SetLocation(column + columnWidth / 2 - buttonWidth / 2, clientHeight - 50);
    okButton->onCommand = OkRouter;
    okButton->onChar = CharRouter;
    okButton->Create();
    okButton->Focus();
}

bool FormAbout::ConfirmClose() {
    UnregisterHotKeys();
    if (owner != nullptr) {
        if (owner->companion == this) {
            owner->companion = nullptr;
        }
        owner->SetEnabled(true);
    }
    return true;
}

void FormAbout::OnResize() {}

bool FormAbout::OnDialogChar(int ch) {
    if (ch == '\r' || ch == 27) {
        OnButtonClick(okButton);
        return false;
    }
    return true;
}

void FormAbout::OnDialogKeyDown(int /*key*/) {}

void FormAbout::OnDialogKeyUp(int /*key*/) {}

void FormAbout::OnButtonClick(GUIElement* element) {
    if (element == nullptr || okButton == nullptr || element->id != okButton->id) {
        return;
    }
    // A second Enter queued behind the first finds the window gone.
    if (window != nullptr && IsWindow(window)) {
        SendMessageW(window, WM_CLOSE, 0, 0);
    }
    created = false;
}

void FormAbout::OnLinkClick(GUIElement* element, int /*x*/, int /*y*/) {
    if (element == nullptr) {
        return;
    }
    if (siteLink != nullptr && element->id == siteLink->id) {
        OpenDocument(siteAddress);
    } else if (mailLink != nullptr && element->id == mailLink->id) {
        OpenDocument("mailto:" + element->GetTextNarrow());
    }
}

} // namespace VelkUtility
