#pragma once
// Puts the GIF LZW decoder and encoder into a set of LZW hooks.
#include "image/lzw_hooks.h"

namespace skyloom {

// Fills the two GIF slots; the TIFF slots are left as they are.
void InstallGifLzwHooks(TLzwHooks& hooks);

}  // namespace skyloom
