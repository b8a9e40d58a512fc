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

// Source columns of target columns [left, left + count) of a picture
// stretched to coverWidth.
std::vector<int> SourceColumns(int sourceWidth, int coverWidth, int left, int count) {
  std::vector<int> columns(static_cast<std::size_t>(count));
  for (int x = 0; x < count; ++x) columns[x] = SourceOf(left + x, sourceWidth, coverWidth);
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
  PlainStretchWindow(source, target, target.Width(), target.Height(), 0, 0);
}

void PlainStretchWindow(const TBitmap& source, TBitmap& target, int coverWidth, int coverHeight, int left,
                        int top) {
  if (source.Empty() || target.Empty() || source.PixelFormat() != target.PixelFormat()) return;
  if (left < 0 || top < 0 || left + target.Width() > coverWidth || top + target.Height() > coverHeight) return;
  const std::vector<int> columns = SourceColumns(source.Width(), coverWidth, left, target.Width());
  const int bits = BitsOf(source.PixelFormat());
  for (int y = 0; y < target.Height(); ++y) {
    const std::uint8_t* src = source.ScanLine(SourceOf(top + y, source.Height(), coverHeight));
    if (bits == 1) {
      StretchRow1(src, target.ScanLine(y), columns);
    } else {
      StretchRowBytes(src, target.ScanLine(y), columns, bits / 8);
    }
  }
  target.Palette() = source.Palette();
}

}  // namespace skyloom
