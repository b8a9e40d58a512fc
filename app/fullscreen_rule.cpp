#include "app/fullscreen_rule.h"

#include <algorithm>

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

long long Overlap(const TScreenRect& a, const TScreenRect& b) {
  // In 64 bits: a window's rectangle may hold any int.
  const long long width = static_cast<long long>(std::min(a.right, b.right)) - std::max(a.left, b.left);
  const long long height = static_cast<long long>(std::min(a.bottom, b.bottom)) - std::max(a.top, b.top);
  return width > 0 && height > 0 ? width * height : 0;
}

}  // namespace

TScreenRect MonitorOf(const TScreenRect& window, const std::vector<TScreenRect>& monitors) {
  TScreenRect best;
  long long bestOverlap = 0;
  for (const TScreenRect& monitor : monitors) {
    const long long overlap = Overlap(window, monitor);
    if (overlap > bestOverlap) bestOverlap = overlap, best = monitor;
  }
  return best;
}

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
