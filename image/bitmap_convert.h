#pragma once
// Pixel-format conversions of the engine's raster.
#include <vector>

#include "image/bitmap.h"
#include "image/colour.h"

namespace skyloom {

// A 24-bit copy of a 1-bit (0 black, 1 white), 8-bit (through its palette)
// or 24-bit raster.
TBitmap Copy24Bit(const TBitmap& raster);

// A 1-bit raster whose bits index a two-colour palette (zero, one): black
// then white stays as it is, white then black stays 1-bit with its bits
// inverted, and any other pair makes the raster 24-bit in those colours.
void ApplyBilevelPalette(TBitmap& raster, const TIERGB& zero, const TIERGB& one);

// Whether two colours are black and white, in either order: the pairs that
// ApplyBilevelPalette keeps at 1 bit.
bool BlackAndWhitePair(const TIERGB& zero, const TIERGB& one);

// Converts the raster itself to 24 bits unless it already is 24-bit or 1-bit.
void ConvertTo24BitUnlessBinary(TBitmap& raster);

// A 24-bit raster as 1 bit; map receives the two colours of the result
// (the darker first).
TBitmap ToMonochrome(const TBitmap& raster, std::vector<TIERGB>& map);

}  // namespace skyloom
