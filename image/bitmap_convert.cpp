#include "image/bitmap_convert.h"

#include <algorithm>
#include <cstring>

namespace skyloom {
namespace {

constexpr TIERGB kBlack{0, 0, 0}, kWhite{255, 255, 255};

void Put(std::uint8_t* dst, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  dst[0] = b;
  dst[1] = g;
  dst[2] = r;
}

void Row1To24(const std::uint8_t* src, int width, std::uint8_t* dst) {
  for (int x = 0; x < width; ++x) {
    const std::uint8_t v = (src[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
    Put(dst + 3 * x, v, v, v);
  }
}

// Palette entries are blue, green, red, reserved; missing ones read black.
void Row8To24(const std::uint8_t* src, int width, const std::vector<std::uint8_t>& palette, std::uint8_t* dst) {
  for (int x = 0; x < width; ++x) {
    const std::size_t at = static_cast<std::size_t>(src[x]) * 4;
    if (at + 2 < palette.size())
      Put(dst + 3 * x, palette[at], palette[at + 1], palette[at + 2]);
    else
      Put(dst + 3 * x, 0, 0, 0);
  }
}

}  // namespace

TBitmap Copy24Bit(const TBitmap& raster) {
  TBitmap copy(raster.Width(), raster.Height(), TPixelFormat::pf24bit);
  for (int y = 0; y < raster.Height(); ++y) {
    const std::uint8_t* src = raster.ScanLine(y);
    std::uint8_t* dst = copy.ScanLine(y);
    switch (raster.PixelFormat()) {
      case TPixelFormat::pf1bit: Row1To24(src, raster.Width(), dst); break;
      case TPixelFormat::pf8bit: Row8To24(src, raster.Width(), raster.Palette(), dst); break;
      case TPixelFormat::pf24bit: std::memcpy(dst, src, raster.RowSize()); break;
    }
  }
  return copy;
}

void ApplyBilevelPalette(TBitmap& raster, const TIERGB& zero, const TIERGB& one) {
  if (raster.PixelFormat() != TPixelFormat::pf1bit || (zero == kBlack && one == kWhite)) return;
  const int width = raster.Width();
  if (zero == kWhite && one == kBlack) {
    const std::size_t bytes = (static_cast<std::size_t>(width) + 7) / 8;
    const auto last = static_cast<std::uint8_t>(width % 8 ? 0xFF00 >> (width % 8) : 0xFF);
    for (int y = 0; y < raster.Height(); ++y) {
      std::uint8_t* row = raster.ScanLine(y);
      for (std::size_t i = 0; i < bytes; ++i) row[i] = static_cast<std::uint8_t>(~row[i]);
      row[bytes - 1] &= last;  // the padding stays clear
    }
    return;
  }
  TBitmap colours(width, raster.Height(), TPixelFormat::pf24bit);
  for (int y = 0; y < raster.Height(); ++y) {
    const std::uint8_t* src = raster.ScanLine(y);
    std::uint8_t* dst = colours.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      const TIERGB& c = (src[x / 8] & (0x80 >> (x % 8))) ? one : zero;
      Put(dst + 3 * x, c.b, c.g, c.r);
    }
  }
  raster.Swap(colours);
}

bool BlackAndWhitePair(const TIERGB& zero, const TIERGB& one) {
  return (zero == kBlack && one == kWhite) || (zero == kWhite && one == kBlack);
}

void ConvertTo24BitUnlessBinary(TBitmap& raster) {
  if (raster.PixelFormat() == TPixelFormat::pf24bit || raster.PixelFormat() == TPixelFormat::pf1bit) return;
  TBitmap copy = Copy24Bit(raster);
  raster.Swap(copy);
}

// A 24-bit raster as 1 bit. Exactly two colours keep them as the palette,
// the darker as entry 0 (so a two-colour picture keeps its shapes).
// Otherwise (one colour, or more than two) each pixel becomes black or
// white by its brightness.
TBitmap ToMonochrome(const TBitmap& raster, std::vector<TIERGB>& map) {
  std::vector<TIERGB> seen;
  for (int y = 0; y < raster.Height() && seen.size() <= 2; ++y) {
    const std::uint8_t* p = raster.ScanLine(y);
    for (int x = 0; x < raster.Width() && seen.size() <= 2; ++x, p += 3) {
      const TIERGB c{p[0], p[1], p[2]};
      if (std::find(seen.begin(), seen.end(), c) == seen.end()) seen.push_back(c);
    }
  }
  const bool twoColours = seen.size() == 2;
  const bool swap = twoColours && Luminance(seen[0]) > Luminance(seen[1]);
  map = twoColours ? std::vector<TIERGB>{seen[swap ? 1 : 0], seen[swap ? 0 : 1]}
                   : std::vector<TIERGB>{TIERGB{0, 0, 0}, TIERGB{255, 255, 255}};
  TBitmap mono(raster.Width(), raster.Height(), TPixelFormat::pf1bit);
  for (int y = 0; y < raster.Height(); ++y) {
    const std::uint8_t* p = raster.ScanLine(y);
    std::uint8_t* dst = mono.ScanLine(y);
    for (int x = 0; x < raster.Width(); ++x, p += 3) {
      const TIERGB c{p[0], p[1], p[2]};
      const bool set = twoColours ? ((c == seen[0]) == swap) : Luminance(c) >= 128;
      if (set) dst[x / 8] = static_cast<std::uint8_t>(dst[x / 8] | (0x80 >> (x % 8)));
    }
  }
  return mono;
}

}  // namespace skyloom
