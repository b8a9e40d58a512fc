#include "image/metafile_import.h"

#include <cstdint>

#include "image/bitmap.h"
#include "image/metafile.h"

namespace skyloom {
namespace {

constexpr std::int64_t kLongestSide = 2800;

}  // namespace

TSize MetafileTargetSize(int naturalWidth, int naturalHeight, int width, int height) {
  if (naturalWidth <= 0 || naturalHeight <= 0) return {};
  std::int64_t w = width, h = height;
  if (w < 0 && h < 0) {
    w = naturalWidth;
    h = naturalHeight;
  } else if (w < 0) {
    w = h * naturalWidth / naturalHeight;
  } else if (h < 0) {
    h = w * naturalHeight / naturalWidth;
  }
  if (w <= 0 || h <= 0) return {};
  if (w > kLongestSide || h > kLongestSide) {
    if (w >= h) {
      h = h * kLongestSide / w;
      w = kLongestSide;
    } else {
      w = w * kLongestSide / h;
      h = kLongestSide;
    }
  }
  if (w <= 0 || h <= 0) return {};
  return {static_cast<int>(w), static_cast<int>(h)};
}

bool DrawMetafile(const TMetafile& metafile, int width, int height, TColor background, TBitmap& raster) {
  const TSize size = MetafileTargetSize(metafile.NaturalWidth(), metafile.NaturalHeight(), width, height);
  // The raster is one pixel smaller than the drawing in each direction (the
  // drawing's last row and column fall outside it); a drawing one pixel
  // wide or high leaves nothing to show.
  if (size.width <= 1 || size.height <= 1) return false;
  raster.Allocate(size.width - 1, size.height - 1, TPixelFormat::pf24bit);
  const std::uint8_t b = static_cast<std::uint8_t>(background >> 16);
  const std::uint8_t g = static_cast<std::uint8_t>(background >> 8);
  const std::uint8_t r = static_cast<std::uint8_t>(background);
  for (int y = 0; y < raster.Height(); ++y) {
    std::uint8_t* p = raster.ScanLine(y);
    for (int x = 0; x < raster.Width(); ++x, p += 3) {
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  }
  metafile.Draw(raster, size.width, size.height);
  return true;
}

}  // namespace skyloom
