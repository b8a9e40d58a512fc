#pragma once
// Sizes a reader accepts before it allocates a raster: each side 1..65535
// and at most 1 GiB of raster, so a forged header cannot exhaust memory.
#include <cstdint>

#include "image/bitmap.h"

namespace skyloom {

inline constexpr int kMaxRasterSide = 65535;
inline constexpr std::uint64_t kMaxRasterBytes = std::uint64_t{1} << 30;

inline bool RasterSizeAcceptable(std::int64_t width, std::int64_t height, TPixelFormat format) {
  if (width < 1 || height < 1 || width > kMaxRasterSide || height > kMaxRasterSide) return false;
  return RowSizeOf(static_cast<int>(width), format) * static_cast<std::uint64_t>(height) <= kMaxRasterBytes;
}

}  // namespace skyloom
