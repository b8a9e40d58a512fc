#pragma once
// The platform's side of the full-screen test: the foreground window, its
// monitor and the shell's notification state, read now.
#include <windows.h>

namespace skyloom {

// Whether a full-screen program stands over the wallpaper's monitor, the
// primary one (where the prepared picture is centred). ownHost, the video's
// window, never counts.
bool FullScreenProgramShown(HWND ownHost);

}  // namespace skyloom
