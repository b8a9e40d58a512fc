#pragma once
// Finding the window that video wallpaper plays in: a window that lies
// behind the desktop icons and covers the desktop.
#include <windows.h>

#include <string>

namespace skyloom {

// The first descendant of parent (depth first, in the system's order)
// whose class name is exactly className, letter case included; or null.
HWND FindDescendantByClass(HWND parent, const std::wstring& className);

// In this order: the desktop's content window, the window behind the icons
// (a top-level "WorkerW" after the icon view's owner, else a "WorkerW" child
// of "Progman"), "Progman" itself; null on a system without "Progman".
HWND FindDesktopHostWindow();

}  // namespace skyloom
