#pragma once
// Rasters for the resampling tests: deterministic noise, and comparisons.
#include <cstdint>
#include <string>

#include "image/bitmap.h"

namespace skyloom::testing_util {

// 24-bit raster of pseudo-random bytes; `seed` picks the picture.
inline TBitmap NoiseBitmap(int width, int height, std::uint32_t seed) {
  TBitmap bitmap(width, height, TPixelFormat::pf24bit);
  std::uint32_t state = seed * 2654435761u + 1;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = bitmap.ScanLine(y);
    for (int x = 0; x < width * 3; ++x) {
      state = state * 1664525u + 1013904223u;
      row[x] = static_cast<std::uint8_t>(state >> 24);
    }
  }
  return bitmap;
}

// Index of the first differing pixel byte as "x,y" from the top, or "".
inline std::string FirstDifference(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return "size";
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width() * 3; ++x) {
      if (a.ScanLine(y)[x] != b.ScanLine(y)[x]) return std::to_string(x / 3) + "," + std::to_string(y);
    }
  }
  return "";
}

}  // namespace skyloom::testing_util
