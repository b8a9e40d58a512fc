#include "image/codecs/bmp_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "image/codecs/byte_order.h"
#include "image/screen_dpi.h"

namespace skyloom {
namespace {

void Put(std::uint8_t* dst, const TIERGB& c) {
  dst[0] = c.b;
  dst[1] = c.g;
  dst[2] = c.r;
}

void DecodeIndexed(const std::uint8_t* src, int width, int bits, const TPaletteLut& palette, std::uint8_t* dst) {
  const int perByte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  for (int x = 0; x < width; ++x) {
    const int shift = 8 - bits * (x % perByte + 1);
    Put(dst + 3 * x, palette[(src[x / perByte] >> shift) & mask]);
  }
}

void DecodeFields(const std::uint8_t* src, int width, const TPixelLayout& layout, std::uint8_t* dst) {
  const int bytes = layout.bitCount / 8;
  for (int x = 0; x < width; ++x) {
    const std::uint32_t pixel = bytes == 2 ? GetU16(src + 2 * x) : GetU32(src + 4 * x);
    dst[3 * x + 0] = layout.fields[2].Extract(pixel);
    dst[3 * x + 1] = layout.fields[1].Extract(pixel);
    dst[3 * x + 2] = layout.fields[0].Extract(pixel);
  }
}

// 32 bits without masks: bytes 0, 1, 2 are blue, green, red; byte 3 unused.
void Decode32(const std::uint8_t* src, int width, std::uint8_t* dst) {
  for (int x = 0; x < width; ++x) std::memcpy(dst + 3 * x, src + 4 * x, 3);
}

}  // namespace

TPaletteLut::TPaletteLut(const std::vector<TIERGB>& colorMap) {
  std::copy_n(colorMap.begin(), std::min<std::size_t>(colorMap.size(), entries_.size()), entries_.begin());
}

TBitField TBitField::FromMask(std::uint32_t mask) {
  TBitField field;
  field.mask = mask;
  if (mask == 0) return field;
  while (((mask >> field.shift) & 1u) == 0) ++field.shift;
  while (field.shift + field.width < 32 && ((mask >> (field.shift + field.width)) & 1u) != 0) ++field.width;
  return field;
}

std::uint8_t TBitField::Extract(std::uint32_t pixel) const {
  if (width == 0) return 0;
  std::uint32_t value = (pixel & mask) >> shift;
  if (width < 32) value &= (std::uint32_t{1} << width) - 1;
  return static_cast<std::uint8_t>(width >= 8 ? value >> (width - 8) : value << (8 - width));
}

TPixelLayout TPixelLayout::Default16() { return WithMasks(16, 0x7C00, 0x03E0, 0x001F); }

TPixelLayout TPixelLayout::WithMasks(int bitCount, std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  TPixelLayout layout;
  layout.bitCount = bitCount;
  layout.bitFields = true;
  layout.fields = {TBitField::FromMask(red), TBitField::FromMask(green), TBitField::FromMask(blue)};
  return layout;
}

namespace {

// Nearest integer, halves to even, kept within the 32-bit range.
std::int32_t RoundToInt32(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded > -2147483648.0)) return INT32_MIN;
  if (rounded > 2147483647.0) return INT32_MAX;
  return static_cast<std::int32_t>(rounded);
}

}  // namespace

int DpiFromPixelsPerMetre(std::int32_t pixelsPerMetre) {
  const std::int32_t dpi = RoundToInt32(pixelsPerMetre / 100.0 * 2.54);
  return dpi != 0 ? dpi : ScreenDpi();
}

std::int32_t PixelsPerMetreFromDpi(std::int32_t dpi) { return RoundToInt32(dpi / 2.54 * 100.0); }

std::size_t DibRowSize(int width, int bitCount) {
  return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32) * 4;
}

bool DecodableBitCount(int bitCount) {
  return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

void DecodeRow24(const std::uint8_t* src, int width, const TPixelLayout& layout, const TPaletteLut& palette,
                 std::uint8_t* dst) {
  switch (layout.bitCount) {
    case 1:
    case 4:
    case 8: DecodeIndexed(src, width, layout.bitCount, palette, dst); return;
    case 16: DecodeFields(src, width, layout.bitFields ? layout : TPixelLayout::Default16(), dst); return;
    case 24: std::memcpy(dst, src, static_cast<std::size_t>(width) * 3); return;
    case 32:
      if (layout.bitFields)
        DecodeFields(src, width, layout, dst);
      else
        Decode32(src, width, dst);
      return;
    default: return;
  }
}

}  // namespace skyloom
