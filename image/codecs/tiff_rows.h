#pragma once
// From decompressed TIFF rows to raster rows: unpacking of samples below 8
// bits, the horizontal predictor, and the photometric conversions (RGB,
// 5-5-5 words, palette, grey of 4, 8 and 16 bits, bilevel, CMYK, CIE Lab).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/colour.h"

namespace skyloom {

enum class TTiffRowKind {
  kNone,      // no rule: the raster row is left as it is
  kRgb,       // 8-bit red, green, blue (a fourth sample ignored)
  kRgb555,    // one 16-bit word: 5-5-5
  kPalette,   // index into the colour map
  kGrey,      // 4 or 8 bits
  kGrey16,
  kBilevel,   // bits into a 1-bit raster
  kPaletteBilevel,  // 1-bit indices into a 1-bit raster, as stored
  kCmyk,
  kLab,
};

struct TTiffRowFormat {
  int width = 0;
  int samples = 1;
  int bits = 1;
  TTiffRowKind kind = TTiffRowKind::kNone;
  bool invert = false;       // grey or bilevel: flip the values
  int shift16 = 8;           // grey 16: right shift (4 for Look@Molli files)
  bool bigEndian = false;    // 16-bit samples
  const std::vector<TIERGB>* colourMap = nullptr;
};

// The conversion for a photometric interpretation, sample count and depth.
// Planar files (configuration 2) are 8-bit RGB only.
TTiffRowKind TiffRowKindOf(int photometric, int samples, int bits, bool planar);

// Bytes of one stored row of width pixels of samples x bits each.
std::size_t TiffRowBytes(std::uint64_t width, std::uint64_t samples, std::uint64_t bits);

// Horizontal differencing undone on 8-bit samples, interleaved by samples.
void UndoTiffPredictor(std::uint8_t* row, std::size_t width, std::size_t samples);

// One 1-bit row of width pixels copied (or inverted) from src to dst, the
// bits past the width in its last byte cleared.
void CopyBilevelRow(const std::uint8_t* src, int width, bool invert, std::uint8_t* dst);

// Converts one stored row into a raster row (24-bit, or 1-bit for the
// bilevel kinds). Answers false when a palette index lies beyond the map.
bool ConvertTiffRow(const TTiffRowFormat& format, const std::uint8_t* row, std::uint8_t* dst);

}  // namespace skyloom
