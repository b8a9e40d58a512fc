// The plain stretch: nearest source pixel by centre, integer arithmetic
// only, so every build gives the same bytes.
#include <cstring>
#include <vector>

#include "image/resample.h"

namespace skyloom {
namespace {

// Source coordinate under the centre of target coordinate `t`.
int SourceOf(long long t, long long sourceSize, long long targetSize) {
  return static_cast<int>((2 * t + 1) * sourceSize / (2 * targetSize));
}

std::vector<int> SourceColumns(int sourceWidth, int targetWidth) {
  std::vector<int> columns(static_cast<std::size_t>(targetWidth));
  for (int x = 0; x < targetWidth; ++x) columns[x] = SourceOf(x, sourceWidth, targetWidth);
  return columns;
}

void StretchRow1(const std::uint8_t* src, std::uint8_t* dst, const std::vector<int>& columns) {
  std::memset(dst, 0, (columns.size() + 7) / 8);
  for (std::size_t x = 0; x < columns.size(); ++x) {
    const int sx = columns[x];
    if ((src[sx >> 3] >> (7 - (sx & 7))) & 1) dst[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
  }
}

void StretchRowBytes(const std::uint8_t* src, std::uint8_t* dst, const std::vector<int>& columns, int bytes) {
  for (std::size_t x = 0; x < columns.size(); ++x) std::memcpy(dst + x * bytes, src + columns[x] * bytes, bytes);
}

}  // namespace

void PlainStretch(const TBitmap& source, TBitmap& target) {
  if (source.Empty() || target.Empty() || source.PixelFormat() != target.PixelFormat()) return;
  const std::vector<int> columns = SourceColumns(source.Width(), target.Width());
  const int bits = BitsOf(source.PixelFormat());
  for (int y = 0; y < target.Height(); ++y) {
    const std::uint8_t* src = source.ScanLine(SourceOf(y, source.Height(), target.Height()));
    if (bits == 1) {
      StretchRow1(src, target.ScanLine(y), columns);
    } else {
      StretchRowBytes(src, target.ScanLine(y), columns, bits / 8);
    }
  }
  target.Palette() = source.Palette();
}

}  // namespace skyloom
