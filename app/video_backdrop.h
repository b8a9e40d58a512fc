#pragma once
// The window video wallpaper plays in where the desktop offers none behind
// its icons: it covers the virtual screen at the bottom of the Z order, below
// every other top-level window, so that the taskbar, the notification area
// and all windows stay above the picture. It takes no mouse or keyboard
// input and never becomes active.
#include "toolkit/window.h"

namespace skyloom {

class TVideoBackdrop : public TWindow {
 public:
  TVideoBackdrop();
  // Shown over the work area at the bottom, without activation.
  void ShowAtBottom();
  // Windows that go below it (a taskbar that lowers itself) do not tell
  // it: its owner calls this about once a second while it shows.
  void KeepAtBottom();

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace skyloom
