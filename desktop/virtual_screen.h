#pragma once
// The size of the virtual desktop (the bounding box of all monitors) in
// physical pixels. A program that declares no DPI awareness is shown a
// scaled-down screen on displays set to 125 % or 150 %, and a wallpaper
// prepared for that size would come out too small.
#include <functional>

namespace skyloom {

struct TScreenSize {
  int width = 0, height = 0;
};

// Reads SM_CXVIRTUALSCREEN and SM_CYVIRTUALSCREEN through readMetric while
// the calling thread is per-monitor DPI aware (on systems that know thread
// DPI contexts); the thread's own context is restored afterwards.
TScreenSize PhysicalVirtualScreenSize(const std::function<int(int index)>& readMetric);
TScreenSize PhysicalVirtualScreenSize();

// Makes the calling thread per-monitor DPI aware for its lifetime. Does
// nothing where the system has no thread DPI contexts (before Windows 10).
class TPerMonitorDpiScope {
 public:
  TPerMonitorDpiScope();
  ~TPerMonitorDpiScope();
  TPerMonitorDpiScope(const TPerMonitorDpiScope&) = delete;
  TPerMonitorDpiScope& operator=(const TPerMonitorDpiScope&) = delete;

 private:
  void* previous_ = nullptr;  // the thread's DPI_AWARENESS_CONTEXT before
};

}  // namespace skyloom
