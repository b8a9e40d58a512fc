#include "image/codecs/tiff_rows.h"

#include <cmath>
#include <cstring>

namespace skyloom {
namespace {

// Sample x of a row of sub-byte samples (most significant bits first).
inline unsigned SampleAt(const std::uint8_t* row, std::size_t x, int bits) {
  const std::size_t bit = x * static_cast<std::size_t>(bits);
  unsigned v = row[bit / 8];
  if (bit % 8 + static_cast<std::size_t>(bits) > 8) v = v << 8 | row[bit / 8 + 1];  // spans two bytes
  const unsigned span = bit % 8 + static_cast<unsigned>(bits) > 8 ? 16 : 8;
  return (v >> (span - bit % 8 - static_cast<unsigned>(bits))) & ((1u << bits) - 1);
}

inline void Put(std::uint8_t* dst, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  dst[0] = b;
  dst[1] = g;
  dst[2] = r;
}

inline unsigned Word(const std::uint8_t* p, bool bigEndian) {
  return bigEndian ? static_cast<unsigned>(p[0] << 8 | p[1]) : static_cast<unsigned>(p[0] | p[1] << 8);
}

void ConvertRgb(const TTiffRowFormat& f, const std::uint8_t* s, std::uint8_t* dst) {
  const std::size_t step = static_cast<std::size_t>(f.samples);
  for (int x = 0; x < f.width; ++x, s += step, dst += 3) Put(dst, s[0], s[1], s[2]);
}

void ConvertRgb555(const TTiffRowFormat& f, const std::uint8_t* s, std::uint8_t* dst) {
  for (int x = 0; x < f.width; ++x, s += 2, dst += 3) {
    const unsigned w = Word(s, f.bigEndian);
    // Bit 15 lands in red's ninth bit and is dropped with it, as a byte keeps.
    Put(dst, static_cast<std::uint8_t>((w / 1024) * 8), static_cast<std::uint8_t>(((w / 32) & 31) * 8),
        static_cast<std::uint8_t>((w & 31) * 8));
  }
}

bool ConvertPalette(const TTiffRowFormat& f, const std::uint8_t* s, std::uint8_t* dst) {
  const auto& map = *f.colourMap;
  bool inside = true;
  for (int x = 0; x < f.width; ++x, dst += 3) {
    const unsigned index = f.bits == 8 ? s[x] : SampleAt(s, static_cast<std::size_t>(x), f.bits);
    if (index >= map.size()) {
      inside = false;
      continue;
    }
    Put(dst, map[index].r, map[index].g, map[index].b);
  }
  return inside;
}

void ConvertGrey(const TTiffRowFormat& f, const std::uint8_t* s, std::uint8_t* dst) {
  for (int x = 0; x < f.width; ++x, dst += 3) {
    unsigned v = f.bits == 8 ? s[x] : SampleAt(s, static_cast<std::size_t>(x), 4) * 17;
    if (f.invert) v = 255 - v;
    const auto g = static_cast<std::uint8_t>(v);
    Put(dst, g, g, g);
  }
}

void ConvertGrey16(const TTiffRowFormat& f, const std::uint8_t* s, std::uint8_t* dst) {
  for (int x = 0; x < f.width; ++x, s += 2, dst += 3) {
    unsigned v = Word(s, f.bigEndian);
    if (f.invert) v = 65535 - v;
    v >>= f.shift16;
    const auto g = static_cast<std::uint8_t>(v > 255 ? 255 : v);
    Put(dst, g, g, g);
  }
}

std::size_t BilevelBytes(int width) { return (static_cast<std::size_t>(width) + 7) / 8; }

void ClearPastWidth(std::uint8_t* row, int width) {
  if (width % 8 != 0) row[BilevelBytes(width) - 1] &= static_cast<std::uint8_t>(0xFF00 >> (width % 8));
}

// Index bits are copied as they are; the reader shows them in the map's
// two colours once the page is decoded.
bool ConvertPaletteBilevel(const TTiffRowFormat& f, const std::uint8_t* s, std::uint8_t* dst) {
  if (f.colourMap->size() < 2) return false;
  CopyBilevelRow(s, f.width, false, dst);
  return true;
}

void ConvertCmyk(const TTiffRowFormat& f, const std::uint8_t* s, std::uint8_t* dst) {
  for (int x = 0; x < f.width; ++x, s += 4, dst += 3) {
    const unsigned k = 255u - s[3];
    Put(dst, static_cast<std::uint8_t>((255u - s[0]) * k / 255), static_cast<std::uint8_t>((255u - s[1]) * k / 255),
        static_cast<std::uint8_t>((255u - s[2]) * k / 255));
  }
}

std::uint8_t LabChannel(double v) {
  if (v <= 0) return 0;
  if (v >= 1) return 255;
  return static_cast<std::uint8_t>(std::sqrt(v) * 256);
}

// One CIE L*a*b* pixel (a and b signed bytes) as red, green, blue.
TIERGB LabToRgb(std::uint8_t lByte, std::uint8_t aByte, std::uint8_t bByte) {
  auto signedOf = [](std::uint8_t v) { return v == 0x80 ? 128 : static_cast<int>(static_cast<std::int8_t>(v)); };
  const double l = lByte / 255.0 * 100;
  const double a = (signedOf(aByte) + 127) / 255.0 * 200 - 100;
  const double b = (signedOf(bByte) + 127) / 255.0 * 200 - 100;
  const double fy = (l + 16) / 116, fx = fy + a / 500, fz = fy - b / 200;
  double x, y, z;
  if (l >= 7.9996) {
    x = fx * fx * fx, y = fy * fy * fy, z = fz * fz * fz;
  } else {
    y = l / 903.3, x = y + a / 3893.5, z = y - b / 1557.4;
  }
  const double r = 2.69 * x - 1.276 * y - 0.414 * z;
  const double g = -1.022 * x + 1.978 * y + 0.044 * z;
  const double bl = 0.061 * x - 0.224 * y + 1.163 * z;
  return TIERGB{LabChannel(bl), LabChannel(g), LabChannel(r)};
}

void ConvertLab(const TTiffRowFormat& f, const std::uint8_t* s, std::uint8_t* dst) {
  const std::size_t step = static_cast<std::size_t>(f.samples);
  for (int x = 0; x < f.width; ++x, s += step, dst += 3) {
    const TIERGB c = LabToRgb(s[0], s[1], s[2]);
    Put(dst, c.r, c.g, c.b);
  }
}

}  // namespace

TTiffRowKind TiffRowKindOf(int photometric, int samples, int bits, bool planar) {
  if (planar) return photometric == 2 && samples >= 3 && bits == 8 ? TTiffRowKind::kRgb : TTiffRowKind::kNone;
  switch (photometric) {
    case 0:
    case 1:
      if (samples != 1) return TTiffRowKind::kNone;
      if (bits == 1) return TTiffRowKind::kBilevel;
      if (bits == 4 || bits == 8) return TTiffRowKind::kGrey;
      return bits == 16 ? TTiffRowKind::kGrey16 : TTiffRowKind::kNone;
    case 2:
      if ((samples == 3 || samples == 4) && bits == 8) return TTiffRowKind::kRgb;
      return samples == 1 && bits == 16 ? TTiffRowKind::kRgb555 : TTiffRowKind::kNone;
    case 3:
      if (samples != 1 || bits < 1 || bits > 8) return TTiffRowKind::kNone;
      return bits == 1 ? TTiffRowKind::kPaletteBilevel : TTiffRowKind::kPalette;
    case 5: return samples == 4 && bits == 8 ? TTiffRowKind::kCmyk : TTiffRowKind::kNone;
    case 8: return samples == 3 && bits == 8 ? TTiffRowKind::kLab : TTiffRowKind::kNone;
    default: return TTiffRowKind::kNone;
  }
}

void CopyBilevelRow(const std::uint8_t* src, int width, bool invert, std::uint8_t* dst) {
  const std::size_t bytes = BilevelBytes(width);
  if (!invert) {
    std::memcpy(dst, src, bytes);
  } else {
    for (std::size_t i = 0; i < bytes; ++i) dst[i] = static_cast<std::uint8_t>(~src[i]);
  }
  ClearPastWidth(dst, width);
}

std::size_t TiffRowBytes(std::uint64_t width, std::uint64_t samples, std::uint64_t bits) {
  return static_cast<std::size_t>((width * samples * bits + 7) / 8);
}

void UndoTiffPredictor(std::uint8_t* row, std::size_t width, std::size_t samples) {
  if (samples == 3) {  // the common case, kept in registers
    std::uint8_t r = row[0], g = row[1], b = row[2];
    for (std::size_t i = 3; i < width * 3; i += 3) {
      row[i] = r = static_cast<std::uint8_t>(r + row[i]);
      row[i + 1] = g = static_cast<std::uint8_t>(g + row[i + 1]);
      row[i + 2] = b = static_cast<std::uint8_t>(b + row[i + 2]);
    }
    return;
  }
  for (std::size_t i = samples; i < width * samples; ++i) row[i] = static_cast<std::uint8_t>(row[i] + row[i - samples]);
}

bool ConvertTiffRow(const TTiffRowFormat& f, const std::uint8_t* row, std::uint8_t* dst) {
  switch (f.kind) {
    case TTiffRowKind::kRgb: ConvertRgb(f, row, dst); return true;
    case TTiffRowKind::kRgb555: ConvertRgb555(f, row, dst); return true;
    case TTiffRowKind::kPalette: return ConvertPalette(f, row, dst);
    case TTiffRowKind::kGrey: ConvertGrey(f, row, dst); return true;
    case TTiffRowKind::kGrey16: ConvertGrey16(f, row, dst); return true;
    case TTiffRowKind::kBilevel: CopyBilevelRow(row, f.width, f.invert, dst); return true;
    case TTiffRowKind::kPaletteBilevel: return ConvertPaletteBilevel(f, row, dst);
    case TTiffRowKind::kCmyk: ConvertCmyk(f, row, dst); return true;
    case TTiffRowKind::kLab: ConvertLab(f, row, dst); return true;
    case TTiffRowKind::kNone: return true;
  }
  return true;
}

}  // namespace skyloom
