#include "desktop/monitor_wallpaper.h"

// The interface is declared for Windows 8 and later; the program still runs
// on Windows 7, where creating the object simply fails.
#ifndef NTDDI_VERSION
#define NTDDI_VERSION 0x06020000
#endif
#include <windows.h>
#include <shobjidl.h>

#include "desktop/virtual_screen.h"
#include "toolkit/errors.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

// CLSID_DesktopWallpaper, spelled out: older headers do not define it.
constexpr CLSID kDesktopWallpaperClass = {0xC2CF3110, 0x460E, 0x4FC1, {0xB9, 0xD0, 0x8A, 0x1C, 0x0C, 0x9C, 0xC4, 0xBD}};

TMonitorRect RectOf(const RECT& r) {
  return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right - r.left),
          static_cast<int>(r.bottom - r.top)};
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) reinterpret_cast<TMonitorLayout*>(data)->push_back(RectOf(info.rcMonitor));
  return TRUE;
}

void ThrowIfFailed(HRESULT result) {
  if (FAILED(result)) throw EError(SystemErrorText(static_cast<unsigned long>(result)));
}

// COM stays initialised for the object's life (a thread that already runs
// another apartment model is used as it is).
class TShellMonitorWallpaper final : public IMonitorWallpaper {
 public:
  TShellMonitorWallpaper() : com_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    void* raw = nullptr;
    if (SUCCEEDED(CoCreateInstance(kDesktopWallpaperClass, nullptr, CLSCTX_ALL, IID_IDesktopWallpaper, &raw)))
      shell_ = static_cast<IDesktopWallpaper*>(raw);
  }
  ~TShellMonitorWallpaper() override {
    if (shell_) shell_->Release();
    if (com_) CoUninitialize();
  }
  TShellMonitorWallpaper(const TShellMonitorWallpaper&) = delete;
  TShellMonitorWallpaper& operator=(const TShellMonitorWallpaper&) = delete;

  bool Usable() const { return shell_ != nullptr; }

  std::vector<TMonitor> Monitors() override {
    std::vector<TMonitor> monitors;
    UINT count = 0;
    if (FAILED(shell_->GetMonitorDevicePathCount(&count))) return monitors;
    for (UINT i = 0; i < count; ++i) {
      LPWSTR id = nullptr;
      if (FAILED(shell_->GetMonitorDevicePathAt(i, &id)) || !id) continue;
      RECT rect{};
      // A path of a monitor that is not attached answers no rectangle.
      if (SUCCEEDED(shell_->GetMonitorRECT(id, &rect)) && rect.right > rect.left)
        monitors.push_back({id, RectOf(rect)});
      CoTaskMemFree(id);
    }
    return monitors;
  }
  void SetWallpaper(const std::wstring& monitorId, const std::wstring& path) override {
    ThrowIfFailed(shell_->SetWallpaper(monitorId.c_str(), path.c_str()));
  }
  void SetCentred() override { ThrowIfFailed(shell_->SetPosition(DWPOS_CENTER)); }

 private:
  bool com_;
  IDesktopWallpaper* shell_ = nullptr;
};

}  // namespace

TMonitorLayout SystemMonitorLayout() {
  TPerMonitorDpiScope physicalPixels;
  TMonitorLayout layout;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&layout));
  return layout;
}

std::unique_ptr<IMonitorWallpaper> OpenShellMonitorWallpaper() {
  auto shell = std::make_unique<TShellMonitorWallpaper>();
  if (!shell->Usable()) return nullptr;
  return shell;
}

}  // namespace skyloom
