#pragma once
// Resource ids of the program's pictures (read by the resource compiler).
#define IDI_SKYLOOM 1
#define IDB_TOOLBAR_IMAGES 101
#define IDB_MENU_IMAGES 102
