#pragma once
// Finding the window that video wallpaper plays in: a window that lies
// behind the desktop icons and covers the desktop.
#include <windows.h>

#include <string>

namespace skyloom {

// The first descendant of parent (depth first, in the system's order)
// whose class name is exactly className, letter case included; or null.
HWND FindDescendantByClass(HWND parent, const std::wstring& className);

// In this order: the desktop's content window, the window behind the icons,
// the desktop window itself ("Progman", or on a system without it the
// system's desktop window); null when there is none.
HWND FindDesktopHostWindow();

}  // namespace skyloom
