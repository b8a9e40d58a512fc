#pragma once
// Whether a full-screen program stands over the wallpaper: the foreground
// window fills the monitor the wallpaper is on, or the shell says that
// program is busy full screen (a game, a presentation). Portable: the
// platform probe gathers the rectangles and the shell's state.
#include <vector>

namespace skyloom {

struct TScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// The shell's notification states, numbered as the shell numbers them.
enum class TShellState {
  NotPresent = 1, Busy = 2, FullScreenDirect3D = 3, Presentation = 4, AcceptsNotifications = 5, QuietTime = 6,
  App = 7
};

struct TForegroundWindow {
  bool present = false;
  bool desktopOrShell = false;      // the desktop's windows and the taskbar never count
  bool maximisedWithCaption = false;  // a maximised window keeps its title bar: not full screen
  TScreenRect window;               // its rectangle, screen coordinates
  TScreenRect monitor;              // the whole rectangle of the monitor it is on
};

// The monitor a window is on: the one it overlaps most (the first of equals).
// A window on no monitor at all (moved off the screens, minimised) is on
// none: an empty rectangle, which is no monitor's.
TScreenRect MonitorOf(const TScreenRect& window, const std::vector<TScreenRect>& monitors);

bool FullScreenOverWallpaper(TShellState shell, const TForegroundWindow& foreground,
                             const TScreenRect& wallpaperMonitor);

}  // namespace skyloom
