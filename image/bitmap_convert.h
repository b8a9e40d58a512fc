#pragma once
// Pixel-format conversions of the engine's raster.
#include "image/bitmap.h"

namespace skyloom {

// A 24-bit copy of a 1-bit (0 black, 1 white), 8-bit (through its palette)
// or 24-bit raster.
TBitmap Copy24Bit(const TBitmap& raster);

// Converts the raster itself to 24 bits unless it already is 24-bit or 1-bit.
void ConvertTo24BitUnlessBinary(TBitmap& raster);

}  // namespace skyloom
