#pragma once
// The system's monitors, and the shell's per-monitor wallpaper interface
// (Windows 8 and later) behind a seam that tests can script.
#include <memory>
#include <string>
#include <vector>

#include "image/monitor_layout.h"

namespace skyloom {

// Every monitor in desktop coordinates and physical pixels (read while the
// thread is per-monitor DPI aware), in the system's enumeration order.
TMonitorLayout SystemMonitorLayout();

class IMonitorWallpaper {
 public:
  struct TMonitor {
    std::wstring id;  // the shell's device path
    TMonitorRect rect;
  };
  virtual ~IMonitorWallpaper() = default;
  virtual std::vector<TMonitor> Monitors() = 0;
  // Raise the system's message for a refusal.
  virtual void SetWallpaper(const std::wstring& monitorId, const std::wstring& path) = 0;
  // Shown as prepared: centred, never scaled again.
  virtual void SetCentred() = 0;
};

// The shell's object, or null where the system has none.
std::unique_ptr<IMonitorWallpaper> OpenShellMonitorWallpaper();

// Where a wallpaper goes: the monitors and, when one file per monitor is set
// through the shell, its interface and each monitor's id.
struct TScreenTarget {
  TMonitorLayout layout;
  std::vector<std::wstring> ids;
  std::unique_ptr<IMonitorWallpaper> shell;  // null: one bitmap through the desktop settings
};

}  // namespace skyloom
