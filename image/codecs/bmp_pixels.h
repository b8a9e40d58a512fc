#pragma once
// Decoding of uncompressed device-independent-bitmap rows (1 to 32 bits per
// pixel) into 24-bit blue, green, red rows. Shared by the bitmap, icon and
// cursor readers.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/colour.h"

namespace skyloom {

// A colour table padded to 256 entries: indices beyond the file's table
// read black instead of reading outside it.
class TPaletteLut {
 public:
  TPaletteLut() = default;
  explicit TPaletteLut(const std::vector<TIERGB>& colorMap);
  const TIERGB& operator[](unsigned index) const { return entries_[index & 0xFF]; }

 private:
  std::array<TIERGB, 256> entries_{};
};

// One colour channel of a bit-field pixel.
struct TBitField {
  std::uint32_t mask = 0;
  int shift = 0;  // position of the mask's lowest set bit
  int width = 0;  // contiguous set bits from there

  static TBitField FromMask(std::uint32_t mask);
  // The channel scaled to 8 bits by shifting (5 bits give 0..248 in steps of 8).
  std::uint8_t Extract(std::uint32_t pixel) const;
};

struct TPixelLayout {
  int bitCount = 24;
  bool bitFields = false;  // 16/32 bits: use the masks below
  std::array<TBitField, 3> fields{};  // red, green, blue

  // 16 bits without masks: 5-5-5 in the low 15 bits.
  static TPixelLayout Default16();
  static TPixelLayout WithMasks(int bitCount, std::uint32_t red, std::uint32_t green, std::uint32_t blue);
};

// Dots per inch from a header's pixels per metre: round(ppm / 100 x 2.54),
// or the screen's resolution when that gives 0.
int DpiFromPixelsPerMetre(std::int32_t pixelsPerMetre);
// Pixels per metre for a header: round(dpi / 2.54 x 100).
std::int32_t PixelsPerMetreFromDpi(std::int32_t dpi);

// Bytes of one file row: ((width x bitCount + 31) / 32) x 4.
std::size_t DibRowSize(int width, int bitCount);

// Whether DecodeRow24 understands the bit count.
bool DecodableBitCount(int bitCount);

// Decodes `width` pixels of one file row (src holds at least DibRowSize
// bytes) into dst as blue, green, red triples.
void DecodeRow24(const std::uint8_t* src, int width, const TPixelLayout& layout, const TPaletteLut& palette,
                 std::uint8_t* dst);

}  // namespace skyloom
