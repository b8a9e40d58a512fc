#pragma once
// The platform's side of the full-screen test: the foreground window, its
// monitor and the shell's notification state.
#include <windows.h>

#include <functional>
#include <vector>

#include "app/fullscreen_rule.h"
#include "image/monitor_layout.h"

namespace skyloom {

// Asked once a second while the wallpaper runs, so an idle program must
// barely notice it: each system call costs a round trip on some systems
// (Wine's server). A check reads the foreground window, its rectangle and
// the shell's state; the class of a foreground window is read once, when it
// comes to the front; the monitors once, and again after ScreensChanged; the
// style only of a window that would count.
class TFullScreenProbe {
 public:
  // readLayout: the monitors, the primary one at 0, 0.
  explicit TFullScreenProbe(std::function<TMonitorLayout()> readLayout) : readLayout_(std::move(readLayout)) {}

  // Whether a full-screen program stands over the wallpaper's monitor, the
  // primary one (where the prepared picture is centred). ownHost, the
  // video's window, never counts.
  bool Shown(HWND ownHost);
  // The monitors changed (WM_DISPLAYCHANGE): read them again at the next check.
  void ScreensChanged() { monitors_.clear(); }

 private:
  bool Ignored(HWND window);
  void ReadMonitors();

  std::function<TMonitorLayout()> readLayout_;
  HWND lastForeground_ = nullptr;
  bool lastIgnored_ = false;         // the desktop's windows and the taskbars
  std::vector<TScreenRect> monitors_;  // empty: not read yet
  TScreenRect primary_;
};

}  // namespace skyloom
