#include <windows.h>

#include "image/screen_dpi.h"

namespace skyloom {

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  if (!screen) return 96;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace skyloom
