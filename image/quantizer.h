#pragma once
// Colour quantizer: reduces a 24-bit raster to a palette of at most 256
// entries by splitting boxes of a 32 x 32 x 32 histogram (5 bits of each
// channel), then maps every colour to its box with one table look-up.
#include <array>
#include <cstdint>
#include <vector>

#include "image/colour.h"

namespace skyloom {

class TBitmap;

class TColorQuantizer {
 public:
  // raster must be 24 bits per pixel; entries in 1..256.
  TColorQuantizer(const TBitmap& raster, int entries);

  // `entries` colours; those beyond the number of boxes are black.
  const std::vector<TIERGB>& Palette() const { return palette_; }
  int BoxCount() const { return boxCount_; }
  int Index(std::uint8_t blue, std::uint8_t green, std::uint8_t red) const {
    return cells_[CellOf(blue, green, red)];
  }

  static int CellOf(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    return ((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3);
  }

 private:
  std::vector<TIERGB> palette_;
  std::vector<std::uint8_t> cells_;
  int boxCount_ = 0;
};

}  // namespace skyloom
