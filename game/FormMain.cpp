#include "FormMain.h"

#include "BoxGame.h"
#include "ProgramInfo.h"
#include "TreadSound.h"

#include "../framework/Font.h"
#include "../framework/MessageLoop.h"
#include "../framework/ShellHelpers.h"
#include "../framework/TextHelpers.h"
#include "../framework/about/FormAbout.h"
#include "../framework/controls/Button.h"
#include "../framework/controls/CellControl.h"
#include "../framework/controls/Image.h"
#include "../framework/controls/Menu.h"
#include "../framework/controls/MenuBar.h"
#include "../framework/controls/SubMenu.h"
#include "../framework/controls/TextBox.h"
#include "../framework/controls/Timer.h"

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

namespace MyGame {

using VelkUtility::BoxGame;
using VelkUtility::Button;
using VelkUtility::CellControl;
using VelkUtility::Font;
using VelkUtility::FormAbout;
using VelkUtility::Image;
using VelkUtility::Menu;
using VelkUtility::MenuBar;
using VelkUtility::SubMenu;
using VelkUtility::TextBox;
using VelkUtility::Timer;
using VelkUtility::TreadSound;

FormMain* mainForm = nullptr;
int tickCount = 0;
int lastShownBox = -1;
bool randomSeeded = false;
bool judging = false;

namespace {

constexpr COLORREF FormGrey = 0xC0C0C0;
constexpr COLORREF ControlGrey = 0xDCDCDC;
constexpr COLORREF Red = 0x0000FF;
constexpr COLORREF White = 0xFFFFFF;
constexpr COLORREF Black = 0x000000;
constexpr int TickMs = 30;
// A step of the showing comes on the tick after this many.
constexpr int TicksPerStep = 30;
constexpr int FirstLevelLength = 3;

constexpr const char* LevelPrefix = "Livello: ";
constexpr const char* YourTurnText = "Ora tocca a te. Ripeti la sequenza";
constexpr const char* WonText = "Bravo. Hai indovinato.";
constexpr const char* LostText = "Peccato. Hai sbagliato.";

FormMain* AsFormMain(GUIElement* element) {
    return dynamic_cast<FormMain*>(element);
}

FormMain* ParentForm(GUIElement* element) {
    return element == nullptr ? nullptr : AsFormMain(element->parent);
}

// Adapters from the callbacks of the form and its elements to the form's own operations.

void CreatedAdapter(GUIElement* element, HWND) {
    if (FormMain* form = AsFormMain(element)) {
        form->CreateChildren();
    }
}

void SizeAdapter(GUIElement* element) {
    if (FormMain* form = AsFormMain(element)) {
        form->OnResize();
    }
}

bool CloseAdapter(GUIElement* element) {
    FormMain* form = AsFormMain(element);
    return form == nullptr || form->ConfirmClose();
}

bool CharAdapter(GUIElement* element, int ch) {
    if (dynamic_cast<TextBox*>(element) != nullptr) {
        FormMain* form = ParentForm(element);
        return form == nullptr || form->AcceptTextBoxChar(element, ch);
    }
    FormMain* form = AsFormMain(element);
    return form == nullptr || form->AcceptChar(ch);
}

int KeyDownAdapter(GUIElement* element, int key) {
    if (FormMain* form = AsFormMain(element)) {
        form->OnFormKeyDown(key);
    }
    return 0;
}

int KeyUpAdapter(GUIElement* element, int key) {
    if (FormMain* form = AsFormMain(element)) {
        form->OnFormKeyUp(key);
    }
    return 0;
}

int LeftButtonUpAdapter(GUIElement* element, HWND, int x, int y) {
    if (dynamic_cast<TextBox*>(element) != nullptr) {
        if (FormMain* form = ParentForm(element)) {
            form->OnTextBoxClick(element);
        }
    } else if (FormMain* form = AsFormMain(element)) {
        form->OnFormLeftButtonUp(x, y);
    }
    return 0;
}

int LeftButtonDownAdapter(GUIElement* element, HWND, int x, int y) {
    if (dynamic_cast<CellControl*>(element) != nullptr) {
        if (FormMain* form = ParentForm(element)) {
            form->OnCellClick(element);
        }
    } else if (FormMain* form = AsFormMain(element)) {
        form->OnFormLeftButtonDown(x, y);
    }
    return 0;
}

void ButtonCommandAdapter(GUIElement* button) {
    if (FormMain* form = ParentForm(button)) {
        form->OnButtonCommand(button);
    }
}

// The main window an item belongs to: up its parent chain (item, menu, bar, form), or the
// first main window when the chain holds none.
void MenuItemAdapter(GUIElement* item) {
    if (item == nullptr) {
        return;
    }
    FormMain* form = nullptr;
    for (GUIElement* element = item->parent; element != nullptr; element = element->parent) {
        form = AsFormMain(element);
        if (form != nullptr) {
            break;
        }
    }
    if (form == nullptr) {
        form = mainForm;
    }
    if (form != nullptr) {
        form->OnMenuCommand(item);
    }
}

void BoxClickAdapter(BoxGame* board, int box) {
    if (FormMain* form = ParentForm(board)) {
        form->OnBoxClicked(box);
    }
}

void TickAdapter(GUIElement* timer) {
    if (FormMain* form = ParentForm(timer)) {
        form->OnTick();
    }
}

// The box a key presses: 1 to 4 of the main keyboard or of the numeric keypad; 0 for any
// other key.
int BoxForKey(int key) {
    if (key >= '1' && key <= '4') {
        return key - '0';
    }
    if (key >= VK_NUMPAD1 && key <= VK_NUMPAD4) {
        return key - VK_NUMPAD1 + 1;
    }
    return 0;
}

bool IsPlayKey(int key) {
    return BoxForKey(key) != 0 || key == VK_F2;
}

// Adapters of the game's keys on the children of the main window; the form takes them through
// its own key operations.

int PlayKeyDownAdapter(GUIElement* element, int key) {
    if (FormMain* form = ParentForm(element)) {
        form->OnPlayKeyDown(key);
    }
    return 0;
}

int PlayKeyUpAdapter(GUIElement* element, int key) {
    if (FormMain* form = ParentForm(element)) {
        form->OnPlayKeyUp(key);
    }
    return 0;
}

void FocusArrivedAdapter(GUIElement* element) {
    if (FormMain* form = ParentForm(element)) {
        form->SyncHeldKeys();
    }
}

// The digits that press the boxes stop here, before a focused button's own procedure.
bool ButtonCharAdapter(GUIElement*, int ch) {
    return ch < '1' || ch > '4';
}

// A text cell of the main window, coloured like the form so that only its text shows.
CellControl* MakeCell(FormMain* form, Font* cellFont, COLORREF color, int left, int top,
                      int cellWidth, int cellHeight) {
    auto* cell = new CellControl(form);
    cell->SetFont(cellFont);
    cell->SetBackColor(form->backColor);
    cell->textColor = color;
    cell->width = cellWidth;
    cell->height = cellHeight;
    cell->x = left;
    cell->y = top;
    cell->Create();
    return cell;
}

Button* MakeButton(FormMain* form, const char* caption, int left, int top) {
    auto* button = new Button(form, caption);
    button->onCommand = ButtonCommandAdapter;
    button->ownerDraw = true;
    button->width = 100;
    button->height = 40;
    button->x = left;
    button->y = top;
    return button;
}

template <typename T> void DeleteAndClear(T*& pointer) {
    delete pointer;
    pointer = nullptr;
}

} // namespace

FormMain::FormMain(HINSTANCE instance, std::string caption) : Form(instance) {
    font = new Font("Lucida Console", 14);
    messageFont = new Font("Arial", 22);
    messageFont->bold = true;
    countFont = new Font("Arial", 48);
    countFont->bold = true;

    width = 640;
    height = 480;
    SetText(std::move(caption));
    minimizeBox = true;
    maximizeBox = false;

    onCreated = CreatedAdapter;
    onSize = SizeAdapter;
    onClose = CloseAdapter;
    onChar = CharAdapter;
    onKeyDown = KeyDownAdapter;
    onKeyUp = KeyUpAdapter;
    onLeftButtonUp = LeftButtonUpAdapter;
    onLeftButtonDown = LeftButtonDownAdapter;

    SetBackColor(FormGrey);
    sequence.clear();
    showing = false;
    targetLength = FirstLevelLength;

    Create();

    iconId = IconId;
    if (created) {
        HICON loaded = LoadIconW(instance, MAKEINTRESOURCEW(IconId));
        if (loaded != nullptr) {
            HICON previous = icon;
            icon = loaded;
            SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(loaded));
            // Icons from LoadIconW are shared; only one this form made itself is destroyed.
            if (previous != nullptr && previous != loaded && ownsIcon) {
                DestroyIcon(previous);
            }
            ownsIcon = false;
        }
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font->GetHandle()), TRUE);
    }
    SetClientSize(640, 480);

    if (mainForm == nullptr) {
        mainForm = this;
    }
}

FormMain::~FormMain() {
    // A window still open at this point closes without asking: the form is going away, and
    // no message may reach its operations any more.
    ClearCallbacks();

    DeleteAndClear(timer);
    if (window != nullptr && IsWindow(window)) {
        SendMessageW(window, WM_CLOSE, 0, 0);
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }
    created = false;

    if (aboutForm != nullptr && companion == aboutForm) {
        companion = nullptr;
    }
    DeleteAndClear(aboutForm);

    DeleteAndClear(menuBar);
    DeleteAndClear(fileMenu);
    DeleteAndClear(exitItem);
    DeleteAndClear(helpMenu);
    DeleteAndClear(homeItem);
    DeleteAndClear(guideItem);

    DeleteAndClear(font);

    DeleteAndClear(closeButton);
    DeleteAndClear(infoButton);
    DeleteAndClear(playButton);

    DeleteAndClear(logo);

    if (controlBrush != nullptr) {
        DeleteObject(controlBrush);
        controlBrush = nullptr;
    }

    DeleteAndClear(board);

    DeleteAndClear(messageFont);
    DeleteAndClear(countFont);

    DeleteAndClear(messageCell);
    DeleteAndClear(countCell);
    DeleteAndClear(levelCell);

    sequence.clear();
    sequence.shrink_to_fit();

    if (mainForm == this) {
        mainForm = nullptr;
    }
}

// Runs inside WM_CREATE of the main window, before the form counts as created.
void FormMain::CreateChildren() {
    CreateMenuBar();

    if (created) {
        RECT client{};
        GetClientRect(window, &client);
        width = client.right - client.left;
        height = client.bottom - client.top;
    }
    const int W = width;
    const int H = height;

    logo = new Image(this, MainLogoId);
    logo->width = 200;
    logo->height = 60;
    logo->x = 30;
    logo->y = 10;
    logo->Create();

    board = new BoxGame(this);
    board->SetBackColor(Black);
    board->onBoxClick = BoxClickAdapter;
    board->width = 400;
    board->height = H - 130;
    board->x = (W - 420) / 2 + 10;
    board->y = 70;
    board->Create();

    levelCell = MakeCell(this, font, Black, 10, 70, 100, 25);
    levelCell->SetText(std::string(LevelPrefix) + "0");
    countCell = MakeCell(this, countFont, Red, 10, 210, 100, 60);

    infoButton = MakeButton(this, "Info", W - 110, 70);
    infoButton->Create();
    closeButton = MakeButton(this, "Chiudi", W - 110, 120);
    closeButton->Create();
    playButton = MakeButton(this, "GIOCA", W - 110, 220);
    playButton->SetHandCursor(true);
    playButton->Create();

    messageCell = MakeCell(this, messageFont, Red, 10, H - 50, W - 20, 40);

    timer = new Timer(this, TickMs);
    timer->onTick = TickAdapter;
    timer->Start();

    WireKeyboard();
}

void FormMain::CreateMenuBar() {
    menuBar = new MenuBar(this);
    fileMenu = new Menu(menuBar, "&File");
    exitItem = new SubMenu(fileMenu, "&Esci");
    exitItem->onCommand = MenuItemAdapter;
    helpMenu = new Menu(menuBar, "&?");
    guideItem = new SubMenu(helpMenu, "&Guida");
    guideItem->onCommand = MenuItemAdapter;
    homeItem = new SubMenu(helpMenu, "&Home");
    homeItem->onCommand = MenuItemAdapter;
    menuBar->Create();
}

// Called for the control-colour messages of the form's system-class children; the owner-drawn
// buttons read the colours back from dc when they draw.
HBRUSH FormMain::OnControlColor(HDC dc) {
    if (controlBrush != nullptr) {
        DeleteObject(controlBrush);
        controlBrush = nullptr;
    }
    if (font != nullptr) {
        SelectObject(dc, font->GetHandle());
    }
    HWND control = WindowFromDC(dc);
    // "GIOCA" is red only while it can be pressed; disabled, it is grey like the others.
    const bool redPlay = playButton != nullptr && control != nullptr &&
                         control == playButton->window && playButton->enabled;
    const COLORREF back = redPlay ? Red : ControlGrey;
    SetBkColor(dc, back);
    controlBrush = CreateSolidBrush(back);
    SetTextColor(dc, redPlay ? White : Black);
    return controlBrush;
}

namespace {

// Called after the exit question was answered No. The question has no owner: when it closed,
// the windows it had disabled were still disabled, so none of them took the activation back.
void GiveKeyboardBack(HWND mainWindow, HWND activeBefore, HWND focusBefore) {
    HWND target = activeBefore != nullptr && IsWindow(activeBefore) ? activeBefore : mainWindow;
    if (target == nullptr || !IsWindow(target) || !IsWindowEnabled(target)) {
        return;
    }
    SetForegroundWindow(target);
    SetActiveWindow(target);
    const bool focusInside = focusBefore != nullptr && IsWindow(focusBefore) &&
                             (focusBefore == target || IsChild(target, focusBefore));
    SetFocus(focusInside ? focusBefore : target);
}

} // namespace

// Asked whenever the main window receives WM_CLOSE: every way of quitting comes here.
bool FormMain::ConfirmClose() {
    UnregisterHotKeys();
    HWND activeBefore = GetActiveWindow();
    HWND focusBefore = GetFocus();
    if (!VelkUtility::AskYesNo("Vuoi realmente uscire?", "Uscita")) {
        RegisterHotKeys();
        GiveKeyboardBack(window, activeBefore, focusBefore);
        return false;
    }
    if (timer != nullptr && timer->running) {
        timer->Stop();
    }
    return true;
}

void FormMain::OnResize() {}

bool FormMain::AcceptChar(int) {
    return true;
}

bool FormMain::AcceptTextBoxChar(GUIElement*, int ch) {
    return ch != '\t' && ch != '\r';
}

void FormMain::OnFormKeyDown(int) {}

void FormMain::OnFormKeyUp(int) {}

void FormMain::OnMenuCommand(GUIElement* item) {
    if (item == nullptr) {
        return;
    }
    if (exitItem != nullptr && item->id == exitItem->id) {
        SendMessageW(window, WM_CLOSE, 0, 0);
        // Refused, the window stays open and the form stays usable.
        if (!IsWindow(window)) {
            created = false;
        }
    }
    if (homeItem != nullptr && item->id == homeItem->id) {
        VelkUtility::OpenDocument(SiteAddress);
    }
    if (guideItem != nullptr && item->id == guideItem->id) {
        VelkUtility::OpenDocument(std::string(SiteAddress) + "/" + ProductName + ".asp");
    }
}

void FormMain::OnEscapeKey(GUIElement*, int key) {
    if (key == VK_ESCAPE) {
        OnMenuCommand(exitItem);
    }
}

void FormMain::OnFormLeftButtonUp(int, int) {}

void FormMain::OnFormLeftButtonDown(int, int) {}

void FormMain::OnCellClick(GUIElement*) {}

void FormMain::SpareHook1(int) {}

void FormMain::OnTextBoxClick(GUIElement* box) {
    if (dynamic_cast<TextBox*>(box) != nullptr && box->created) {
        SendMessageW(box->window, EM_SETSEL, 0, -1);
    }
}

void FormMain::OnButtonCommand(GUIElement* button) {
    // A disabled button sends no command; one that names it comes from elsewhere, and "GIOCA"
    // must not restart a running game.
    if (button == nullptr || !button->enabled ||
        (button->window != nullptr && !IsWindowEnabled(button->window))) {
        return;
    }
    if (closeButton != nullptr && button->id == closeButton->id) {
        OnMenuCommand(exitItem);
    } else if (playButton != nullptr && button->id == playButton->id) {
        StartGame();
    } else if (infoButton != nullptr && button->id == infoButton->id) {
        OpenAbout();
    }
}

void FormMain::SpareHook2(int, int) {}

void FormMain::OpenAbout() {
    if (aboutForm != nullptr) {
        if (companion == aboutForm) {
            companion = nullptr;
        }
        DeleteAndClear(aboutForm);
    }
    aboutForm = new FormAbout(this);
    aboutForm->logoId = AboutLogoId;
    aboutForm->logoWidth = 164;
    aboutForm->logoHeight = 50;
    aboutForm->title = std::string(ProductName) + " " + ProductVersion;
    aboutForm->copyright = CopyrightNotice;
    aboutForm->notice = FreewareNotice;
    aboutForm->siteAddress = SiteAddress;
    if (!aboutForm->created) {
        aboutForm->Create();
    }
    if (aboutForm->window == nullptr) {
        // It could not be opened; it has already given this window back.
        DeleteAndClear(aboutForm);
        return;
    }
    ShowWindow(aboutForm->window, SW_SHOWNA);
}

// "GIOCA": a new game from level 0.
void FormMain::StartGame() {
    DarkenBoard();
    levelCell->SetText(std::string(LevelPrefix) + "0");
    messageCell->SetText(std::string());
    countCell->SetText(std::string());
    ResetGame();
    playing = true;
    showing = true;
    playButton->SetEnabled(false);
    KeepKeyboardFocus();
}

// Called for every tick of the 30 ms timer; every 31st tick of a showing is a step.
void FormMain::OnTick() {
    if (!playing) {
        tickCount = 0;
        return;
    }
    if (!showing) {
        return;
    }
    tickCount += 1;
    if (tickCount <= TicksPerStep) {
        return;
    }
    tickCount = 0;

    if (sequence.empty()) {
        levelCell->SetText(LevelPrefix + VelkUtility::Int64ToString(targetLength - 3));
    }
    if (static_cast<int>(sequence.size()) >= targetLength) {
        showing = false;
        lastShownBox = -1;
        DarkenBoard();
        messageCell->SetText(std::string(YourTurnText));
        countCell->SetText("-" + VelkUtility::Int64ToString(targetLength));
        board->SetHandCursor(true);
        return;
    }

    if (!randomSeeded) {
        srand(static_cast<unsigned>(time(nullptr)));
        randomSeeded = true;
    }
    int box = rand() % 4 + 1;
    while (box == lastShownBox) {
        box = rand() % 4 + 1;
    }
    LightBox(box);
    PlayClick();
    sequence.push_back(box);
    lastShownBox = box;
}

// Called when the player presses a box; runs inside WM_LBUTTONDOWN of the board, and again
// from inside the one-second wait below for presses that arrive meanwhile.
void FormMain::OnBoxClicked(int box) {
    if (judging || !playing || showing) {
        return;
    }
    if (!sequence.empty() && box == sequence.front()) {
        sequence.erase(sequence.begin());
        LightBox(box);
        PlayClick();
        countCell->SetText(VelkUtility::Int64ToString(-static_cast<std::int64_t>(sequence.size())));
        if (sequence.empty()) {
            messageCell->SetText(std::string(WonText));
            judging = true;
            VelkUtility::WaitOneSecond();
            StartNextLevel();
            judging = false;
        }
        return;
    }
    messageCell->SetText(std::string(LostText));
    if (!MessageBeep(MB_ICONHAND)) {
        MessageBeep(0xFFFFFFFF);
    }
    board->SetHandCursor(false);
    playing = false;
    playButton->SetEnabled(true);
}

void FormMain::LightBox(int box) {
    board->redLit = box == 1;
    board->yellowLit = box == 2;
    board->blueLit = box == 3;
    board->greenLit = box != 1 && box != 2 && box != 3;
    InvalidateRect(board->window, nullptr, FALSE);
}

void FormMain::DarkenBoard() {
    board->redLit = false;
    board->yellowLit = false;
    board->blueLit = false;
    board->greenLit = false;
    InvalidateRect(board->window, nullptr, FALSE);
}

// Plays one click and waits until it has played (at most about one second), dispatching
// nothing meanwhile.
void FormMain::PlayClick() {
    auto sound = std::make_unique<TreadSound>();
    sound->Start();
    sound->Stop();
}

void FormMain::ResetGame() {
    sequence.clear();
    targetLength = FirstLevelLength;
    showing = false;
}

// Runs when the one-second wait after a won level is over.
void FormMain::StartNextLevel() {
    messageCell->SetText(std::string());
    countCell->SetText(std::string());
    DarkenBoard();
    board->SetHandCursor(false);
    sequence.clear();
    targetLength += 1;
    showing = true;
}

// Every child that can hold the focus hands the game's keys to this form, so they work
// wherever the focus is.
void FormMain::WireKeyboard() {
    GUIElement* focusable[] = {logo,       board,       levelCell,  countCell,
                               infoButton, closeButton, playButton, messageCell};
    for (GUIElement* element : focusable) {
        if (element != nullptr) {
            element->onKeyDown = PlayKeyDownAdapter;
            element->onKeyUp = PlayKeyUpAdapter;
            element->onSetFocus = FocusArrivedAdapter;
        }
    }
    for (Button* button : {infoButton, closeButton, playButton}) {
        if (button != nullptr) {
            button->onChar = ButtonCharAdapter;
        }
    }
}

// "GIOCA" disabled while it has the focus leaves the window with none, and keys would then
// come as system keys that no element sees; the form takes the focus instead.
void FormMain::KeepKeyboardFocus() {
    if (window != nullptr && GetFocus() == nullptr && GetActiveWindow() == window) {
        SetFocus(window);
    }
}

void FormMain::OnKeyDown(int key) {
    Form::OnKeyDown(key);
    OnPlayKeyDown(key);
}

void FormMain::OnKeyUp(int key) {
    Form::OnKeyUp(key);
    OnPlayKeyUp(key);
}

void FormMain::OnSetFocus() {
    Form::OnSetFocus();
    SyncHeldKeys();
}

// Runs inside WM_KEYDOWN of the element that has the focus. The callbacks carry the key only,
// so the keyboard's auto-repeat is told by the key being held already: seen going down here,
// not yet up, or down when the focus arrived.
void FormMain::OnPlayKeyDown(int key) {
    if (!IsPlayKey(key)) {
        return;
    }
    const bool repeat = heldKeys[key];
    heldKeys[key] = true;
    // Typed keys cannot reach the window while the about box or the exit question has
    // disabled it; posted ones do nothing then either.
    if (repeat || window == nullptr || !IsWindowEnabled(window)) {
        return;
    }
    if (key == VK_F2) {
        if (playButton != nullptr && playButton->enabled) {
            OnButtonCommand(playButton);
        }
        return;
    }
    OnBoxClicked(BoxForKey(key));
}

void FormMain::OnPlayKeyUp(int key) {
    if (IsPlayKey(key)) {
        heldKeys[key] = false;
    }
}

// Runs when an element of this window gets the focus: a key that went down or up while the
// focus was elsewhere is taken as the system last saw it.
void FormMain::SyncHeldKeys() {
    for (int key = 0; key < 256; ++key) {
        if (IsPlayKey(key)) {
            heldKeys[key] = (GetKeyState(key) & 0x8000) != 0;
        }
    }
}

} // namespace MyGame
