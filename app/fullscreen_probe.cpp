#include "app/fullscreen_probe.h"

#include <shellapi.h>

#include <iterator>

#include "app/fullscreen_rule.h"

namespace skyloom {
namespace {

TScreenRect ScreenRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

TScreenRect MonitorRect(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return {};
  return ScreenRect(info.rcMonitor);
}

// The desktop's own windows (behind the icons, the icons' window) and the
// taskbars.
bool IsDesktopOrShell(HWND window, HWND ownHost) {
  if (window == GetDesktopWindow() || window == GetShellWindow() || window == ownHost) return true;
  static constexpr const wchar_t* kShellClasses[] = {L"Progman", L"WorkerW", L"Shell_TrayWnd",
                                                     L"Shell_SecondaryTrayWnd"};
  wchar_t name[64] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  for (const wchar_t* shell : kShellClasses) {
    if (lstrcmpW(name, shell) == 0) return true;
  }
  return false;
}

TForegroundWindow ReadForeground(HWND window, HMONITOR monitor) {
  TForegroundWindow foreground;
  foreground.present = true;
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  foreground.maximisedWithCaption = IsZoomed(window) && (style & WS_CAPTION) == WS_CAPTION;
  RECT rect{};
  GetWindowRect(window, &rect);
  foreground.window = ScreenRect(rect);
  foreground.monitor = MonitorRect(monitor);
  return foreground;
}

// Systems without the shell's call (and Wine's stub) answer as a desktop
// that takes notifications.
TShellState ReadShellState() {
  QUERY_USER_NOTIFICATION_STATE state{};
  if (FAILED(SHQueryUserNotificationState(&state))) return TShellState::AcceptsNotifications;
  return static_cast<TShellState>(state);
}

}  // namespace

// Runs every second: the common answers (no window, the desktop, another
// monitor) come before the rectangles and the shell are read.
bool FullScreenProgramShown(HWND ownHost) {
  HWND window = GetForegroundWindow();
  if (!window || !IsWindowVisible(window) || IsIconic(window) || IsDesktopOrShell(window, ownHost)) return false;
  const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  if (monitor != MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY)) return false;
  const TScreenRect wallpaper = MonitorRect(monitor);
  return FullScreenOverWallpaper(ReadShellState(), ReadForeground(window, monitor), wallpaper);
}

}  // namespace skyloom
