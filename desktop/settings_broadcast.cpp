#include "desktop/settings_broadcast.h"

#include <windows.h>

#include <vector>

namespace skyloom {

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

}  // namespace

void BroadcastSettingsChange(std::chrono::milliseconds perWindowTimeout) {
  // Collected first: a window's handler may create or destroy windows.
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  const auto timeout = static_cast<UINT>(perWindowTimeout.count());
  // SMTO_BLOCK: while a window takes its time, messages sent to us wait too,
  // so nothing of ours runs in the middle of the change that is broadcast.
  for (HWND window : windows) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_WININICHANGE, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, timeout, &result);
  }
}

}  // namespace skyloom
