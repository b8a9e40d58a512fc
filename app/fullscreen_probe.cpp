#include "app/fullscreen_probe.h"

#include <shellapi.h>

#include <iterator>

namespace skyloom {
namespace {

TScreenRect ScreenRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The desktop's own windows (behind the icons, the icons' window) and the
// taskbars.
bool IsDesktopOrShell(HWND window) {
  if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
  static constexpr const wchar_t* kShellClasses[] = {L"Progman", L"WorkerW", L"Shell_TrayWnd",
                                                     L"Shell_SecondaryTrayWnd"};
  wchar_t name[64] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  for (const wchar_t* shell : kShellClasses) {
    if (lstrcmpW(name, shell) == 0) return true;
  }
  return false;
}

bool MaximisedWithCaption(HWND window) {
  return IsZoomed(window) && (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

// Systems without the shell's call (and Wine's stub) answer as a desktop
// that takes notifications.
TShellState ReadShellState() {
  QUERY_USER_NOTIFICATION_STATE state{};
  if (FAILED(SHQueryUserNotificationState(&state))) return TShellState::AcceptsNotifications;
  return static_cast<TShellState>(state);
}

}  // namespace

// The common answers (no window, the desktop, a window that fills no
// monitor) come before anything else is read.
bool TFullScreenProbe::Shown(HWND ownHost) {
  const HWND window = GetForegroundWindow();
  if (!window || window == ownHost || Ignored(window)) return false;
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return false;
  if (monitors_.empty()) ReadMonitors();
  TForegroundWindow foreground;
  foreground.present = true;
  foreground.window = ScreenRect(rect);
  foreground.monitor = MonitorOf(foreground.window, monitors_);
  const TShellState shell = ReadShellState();
  if (!FullScreenOverWallpaper(shell, foreground, primary_)) return false;
  // It would count: now the rest is worth reading.
  foreground.maximisedWithCaption = MaximisedWithCaption(window);
  return IsWindowVisible(window) && !IsIconic(window) && FullScreenOverWallpaper(shell, foreground, primary_);
}

// A window's class does not change: it is read when the window comes to
// the front.
bool TFullScreenProbe::Ignored(HWND window) {
  if (window != lastForeground_) {
    lastForeground_ = window;
    lastIgnored_ = IsDesktopOrShell(window);
  }
  return lastIgnored_;
}

void TFullScreenProbe::ReadMonitors() {
  monitors_.clear();
  primary_ = {};
  for (const TMonitorRect& monitor : readLayout_()) {
    monitors_.push_back({monitor.left, monitor.top, monitor.left + monitor.width, monitor.top + monitor.height});
    if (monitor.left == 0 && monitor.top == 0) primary_ = monitors_.back();
  }
}

}  // namespace skyloom
