#pragma once
// Pixel-format conversions of the engine's raster.
#include <vector>

#include "image/bitmap.h"
#include "image/colour.h"

namespace skyloom {

// A 24-bit copy of a 1-bit (0 black, 1 white), 8-bit (through its palette)
// or 24-bit raster.
TBitmap Copy24Bit(const TBitmap& raster);

// Converts the raster itself to 24 bits unless it already is 24-bit or 1-bit.
void ConvertTo24BitUnlessBinary(TBitmap& raster);

// A 24-bit raster as 1 bit; map receives the two colours of the result
// (the darker first).
TBitmap ToMonochrome(const TBitmap& raster, std::vector<TIERGB>& map);

}  // namespace skyloom
