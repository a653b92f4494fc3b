#pragma once

#include "framework/Form.h"

#include <string>
#include <vector>

namespace VelkUtility {
class BoxGame;
class Button;
class CellControl;
class FormAbout;
class Image;
class Menu;
class MenuBar;
class SubMenu;
class Timer;
} // namespace VelkUtility

namespace MyGame {

using VelkUtility::GUIElement;

// The game's main window: owns every element of the game, holds the state of play and routes
// the events of its elements to its own operations.
class FormMain : public VelkUtility::Form {
public:
    FormMain(HINSTANCE instance, std::string caption);
    ~FormMain() override;

    HBRUSH OnControlColor(HDC dc) override;
    void OnKeyDown(int key) override;
    void OnKeyUp(int key) override;
    void OnSetFocus() override;

    virtual void CreateChildren();
    virtual bool ConfirmClose();
    virtual void OnResize();
    virtual void OnTick();
    virtual bool AcceptChar(int ch);
    virtual bool AcceptTextBoxChar(GUIElement* box, int ch);
    virtual void OnFormKeyDown(int key);
    virtual void OnFormKeyUp(int key);
    virtual void OnMenuCommand(GUIElement* item);
    virtual void OnEscapeKey(GUIElement* source, int key);
    virtual void OnFormLeftButtonUp(int x, int y);
    virtual void OnFormLeftButtonDown(int x, int y);
    virtual void OnCellClick(GUIElement* cell);
    virtual void SpareHook1(int value);
    virtual void OnTextBoxClick(GUIElement* box);
    virtual void OnButtonCommand(GUIElement* button);
    virtual void SpareHook2(int first, int second);
    virtual void OnBoxClicked(int box);

    // The game's keys, from whichever element of this window has the focus: 1 to 4 (main
    // keyboard or numeric keypad) press the boxes, F2 presses "GIOCA".
    void OnPlayKeyDown(int key);
    void OnPlayKeyUp(int key);
    // Takes the held state of the game's keys from the system's; runs when the focus arrives.
    void SyncHeldKeys();

    bool playing = false;
    HBRUSH controlBrush = nullptr;
    VelkUtility::FormAbout* aboutForm = nullptr;
    VelkUtility::MenuBar* menuBar = nullptr;
    VelkUtility::Menu* fileMenu = nullptr;
    VelkUtility::SubMenu* exitItem = nullptr;
    VelkUtility::Menu* helpMenu = nullptr;
    VelkUtility::SubMenu* homeItem = nullptr;
    VelkUtility::SubMenu* guideItem = nullptr;
    VelkUtility::Button* infoButton = nullptr;
    VelkUtility::Button* playButton = nullptr;
    VelkUtility::Button* closeButton = nullptr;
    VelkUtility::Image* logo = nullptr;
    VelkUtility::Timer* timer = nullptr;
    VelkUtility::BoxGame* board = nullptr;
    std::vector<int> sequence;
    bool showing = false;
    int targetLength = 3;
    VelkUtility::Font* messageFont = nullptr;
    VelkUtility::Font* countFont = nullptr;
    VelkUtility::CellControl* messageCell = nullptr;
    VelkUtility::CellControl* countCell = nullptr;
    VelkUtility::CellControl* levelCell = nullptr;
    // Game keys seen going down and not yet up, by virtual-key code: a key-down of one of
    // them is the keyboard's auto-repeat.
    bool heldKeys[256] = {};

private:
    void CreateMenuBar();
    void StartGame();
    void LightBox(int box);
    void DarkenBoard();
    void PlayClick();
    void ResetGame();
    void StartNextLevel();
    void OpenAbout();
    void WireKeyboard();
    void KeepKeyboardFocus();
};

// Process-wide state of the game.
extern FormMain* mainForm;
extern int tickCount;
extern int lastShownBox;
extern bool randomSeeded;
extern bool judging;

} // namespace MyGame
