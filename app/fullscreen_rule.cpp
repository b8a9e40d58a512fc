#include "app/fullscreen_rule.h"

namespace skyloom {
namespace {

bool Same(const TScreenRect& a, const TScreenRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool Covers(const TScreenRect& outer, const TScreenRect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

bool ShellBusy(TShellState shell) {
  return shell == TShellState::Busy || shell == TShellState::FullScreenDirect3D ||
         shell == TShellState::Presentation;
}

}  // namespace

// The shell's state names no monitor: it counts only when the foreground
// window, whose state it is, stands on the wallpaper's monitor.
bool FullScreenOverWallpaper(TShellState shell, const TForegroundWindow& foreground,
                             const TScreenRect& wallpaperMonitor) {
  if (!foreground.present || foreground.desktopOrShell) return false;
  if (!Same(foreground.monitor, wallpaperMonitor)) return false;
  if (ShellBusy(shell)) return true;
  return Covers(foreground.window, foreground.monitor) && !foreground.maximisedWithCaption;
}

}  // namespace skyloom
