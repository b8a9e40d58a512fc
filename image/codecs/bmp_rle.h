#pragma once
// Run-length coding of bitmap files (RLE8 and RLE4).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/progress.h"

namespace skyloom {

class TBitmap;
class TPaletteLut;

// Decodes RLE8 (or RLE4 with nibbles) data into a 24-bit raster through the
// palette, starting at the bottom file row (top row when topDown). Runs and
// deltas beyond a row or the raster are cut off; pixels never written stay
// as they were. Reports progress at each end of line and stops on Aborting.
void DecodeRle(const std::uint8_t* data, std::size_t size, bool rle4, const TPaletteLut& palette, TBitmap& raster,
               bool topDown, const TProgressRec& progress);

// Appends one row of palette indices, run-length encoded and ended by the
// end-of-line code 0, 0.
void EncodeRleRow(const std::uint8_t* indices, int width, bool rle4, std::vector<std::uint8_t>& out);

}  // namespace skyloom
