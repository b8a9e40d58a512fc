#pragma once
// The shell's Active Desktop object, asked to show a wallpaper.
#include <string>

namespace skyloom {

// Hands the wallpaper to Active Desktop and applies it. The object's answers
// are not checked (many shells accept the call and do nothing), but an
// object that cannot be created raises the system's message for the failure.
void SetActiveDesktopWallpaper(const std::string& path);

}  // namespace skyloom
