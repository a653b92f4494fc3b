#pragma once

// Test-only elements for the kinds that only the window procedure knows: each makes the real
// common control as a child of its parent's window, so the notifications come from the
// control itself.

#include "framework/Calendar.h"
#include "framework/CheckBox.h"
#include "framework/ComboBox.h"
#include "framework/CommandElement.h"
#include "framework/DatePicker.h"
#include "framework/GUIElement.h"
#include "framework/ListBox.h"
#include "framework/NumericBox.h"
#include "framework/Slider.h"
#include "framework/TabControl.h"
#include "support_forms.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace DispatchTest {

inline void InitControls() {
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof(classes);
    classes.dwICC = ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                    ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES;
    InitCommonControlsEx(&classes);
}

// An element of the given kind whose Create makes a control of the given system class.
template <typename Kind> class Real : public Kind {
public:
    Real(VelkUtility::GUIElement* owner, const wchar_t* systemClass, DWORD extraStyle, int left,
         int top, int controlWidth, int controlHeight)
        : Kind(nullptr), className(systemClass), style(extraStyle) {
        this->parent = owner;
        this->x = left;
        this->y = top;
        this->width = controlWidth;
        this->height = controlHeight;
    }

    void Create() override {
        if (this->created) {
            return;
        }
        InitControls();
        this->id = ++VelkUtility::nextControlId;
        this->window =
            CreateWindowExW(0, className, this->text.c_str(), WS_CHILD | WS_VISIBLE | style,
                            this->x, this->y, this->width, this->height, this->parent->window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(this->id)),
                            GetModuleHandleW(nullptr), nullptr);
        this->created = true;
    }

    const wchar_t* className;
    DWORD style;
};

// A combo box whose two hooks answer as the test says and report each call.
class RecordingCombo : public Real<VelkUtility::ComboBox> {
public:
    RecordingCombo(VelkUtility::GUIElement* owner, int left, int top)
        : Real(owner, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, left, top, 120, 150) {}

    bool OnDropDown() override {
        FormsTest::Record("dropdown", this);
        return dropDownAnswer;
    }
    bool OnCloseUp() override {
        FormsTest::Record("closeup", this);
        return closeUpAnswer;
    }

    bool dropDownAnswer = true;
    bool closeUpAnswer = true;
};

// Any element that records the OnNotify calls it gets.
class NotifiedElement : public Real<VelkUtility::GUIElement> {
public:
    using Real::Real;

    void OnNotify(int kind, std::vector<int> numbers, std::vector<std::string> texts) override {
        kinds.push_back(kind);
        numberLists.push_back(numbers);
        textCounts.push_back(static_cast<int>(texts.size()));
    }

    std::vector<int> kinds;
    std::vector<std::vector<int>> numberLists;
    std::vector<int> textCounts;
};

// A tool-bar button as the dispatch knows it: a command element found by its identifier.
class ToolBarItem : public VelkUtility::GUIElement, public VelkUtility::CommandElement {
public:
    ToolBarItem() : GUIElement(nullptr) {
        typeName = "toolbaritem";
        id = ++VelkUtility::nextControlId;
    }
    void Create() override { created = true; }
};

inline void AddItems(HWND control, UINT message, std::initializer_list<const wchar_t*> items) {
    for (const wchar_t* item : items) {
        SendMessageW(control, message, 0, reinterpret_cast<LPARAM>(item));
    }
}

} // namespace DispatchTest
