#include "image/lzw_hooks.h"

#include "image/codecs/gif_lzw_install.h"
#include "image/codecs/tiff_lzw.h"

namespace skyloom {

// The engine starts with its own LZW routines in place, so GIF and LZW TIFF
// pictures load (and rotate as wallpapers) before the thumbnail browser has
// ever been opened; the browser installs the same routines again.
TLzwHooks& GlobalLzwHooks() {
  static TLzwHooks hooks = [] {
    TLzwHooks installed;
    InstallGifLzwHooks(installed);
    InstallTiffLzwHooks(installed);
    return installed;
  }();
  return hooks;
}

}  // namespace skyloom
