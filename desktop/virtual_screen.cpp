#include "desktop/virtual_screen.h"

#include <windows.h>

namespace skyloom {
namespace {

using SetContextProc = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);

// Looked up at run time: the program also runs on systems without it.
SetContextProc SetThreadContext() {
  static const auto proc = reinterpret_cast<SetContextProc>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext")));
  return proc;
}

}  // namespace

TPerMonitorDpiScope::TPerMonitorDpiScope() {
  const auto set = SetThreadContext();
  if (!set) return;
  // Version 2 first; systems before Windows 10 1703 know only version 1.
  DPI_AWARENESS_CONTEXT previous = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  if (!previous) previous = set(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
  previous_ = previous;
}

TPerMonitorDpiScope::~TPerMonitorDpiScope() {
  if (previous_) SetThreadContext()(static_cast<DPI_AWARENESS_CONTEXT>(previous_));
}

TScreenSize PhysicalVirtualScreenSize(const std::function<int(int index)>& readMetric) {
  TPerMonitorDpiScope physicalPixels;
  return {readMetric(SM_CXVIRTUALSCREEN), readMetric(SM_CYVIRTUALSCREEN)};
}

TScreenSize PhysicalVirtualScreenSize() { return PhysicalVirtualScreenSize(GetSystemMetrics); }

}  // namespace skyloom
