#pragma once
// The wallpaper's aspect fit: a landscape or square picture takes the
// desktop's width, a portrait one its height; the other side keeps the
// picture's proportions (and may exceed the desktop).
#include "image/metafile_import.h"

namespace skyloom {

// Quotient first, then the product, in extended precision; halves round to
// the even neighbour.
TSize FitToDesktopSize(int width, int height, int desktopWidth, int desktopHeight);

}  // namespace skyloom
