#pragma once

#include "OndrelVersion.h"
#include "resources/resource.h"

// The program's own data, shown in its caption and its about box.
namespace MyGame {

constexpr const char* ProductName = "Ondrel";
// Set in CMakeLists.txt, like the version record's.
constexpr const char* ProductVersion = ONDREL_VERSION;
// Latin-1 text: \xA9 is the copyright sign.
constexpr const char* CopyrightNotice = "Copyright \xA9 2026 Gli sviluppatori di Ondrel";
// Fictitious (a reserved domain), and short enough for the about box's link cells.
constexpr const char* SiteAddress = "http://www.ondrel.test";
// Latin-1 text for the about box's notice, broken into lines that fit its width; the keys
// come first, where they show without scrolling.
constexpr const char* FreewareNotice = "Tasti: 1, 2, 3, 4 per le caselle;\r\n"
                                       "F2 per una nuova partita.\r\n\r\n"
                                       "Ondrel \xE8 un programma freeware: pu\xF2 essere\r\n"
                                       "usato e copiato liberamente, purch\xE9 non\r\n"
                                       "venga venduto n\xE9 modificato.\r\n\r\n"
                                       "Il programma \xE8 fornito cos\xEC com'\xE8, senza\r\n"
                                       "garanzie di alcun tipo: ci\xF2 significa che\r\n"
                                       "gli autori non rispondono di eventuali\r\n"
                                       "danni derivanti dal suo uso.";

// The numbers the resource script gives the sound, the logos and the icon.
constexpr int ClickSoundId = IDR_CLICK_WAVE;
constexpr int MainLogoId = IDB_LOGO_MAIN;
constexpr int AboutLogoId = IDB_LOGO_ABOUT;
constexpr int IconId = IDI_ONDREL;

} // namespace MyGame
