#pragma once
// Resource ids of the program's pictures (read by the resource compiler).
#define IDI_SKYLOOM 1
// The strips at 100, 125, 150 and 200 %: the picture size is added to the base.
#define IDB_TOOLBAR_IMAGES 1000
#define IDB_MENU_IMAGES 2000
