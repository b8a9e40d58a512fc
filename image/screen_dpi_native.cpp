#include "image/screen_dpi.h"

namespace skyloom {

// No display to ask: the conventional desktop resolution.
int ScreenDpi() { return 96; }

}  // namespace skyloom
