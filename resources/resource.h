#pragma once

// Identifiers of the program's resources.
#define IDR_CLICK_WAVE 1008
#define IDB_LOGO_MAIN 1007
#define IDB_LOGO_ABOUT 1006
#define IDI_ONDREL 1005
