#pragma once
// Row by row decompression of one TIFF strip: none, CCITT fax (T.4 one- and
// two-dimensional, T.6), LZW through the hook, PackBits.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "image/codecs/ccitt_fax.h"
#include "image/lzw_hooks.h"

namespace skyloom {

struct TTiffStripCoding {
  int compression = 1;            // TIFF compression tag value
  std::uint32_t t4Options = 0;
  int width = 0;                  // pixels (CCITT rows)
  std::size_t rowBytes = 0;
  const TTiffLzwDecoder* lzw = nullptr;
};

class TTiffRowSource {
 public:
  virtual ~TTiffRowSource() = default;
  // The next row of rowBytes bytes (writable; valid until the next call),
  // or null when the strip's data cannot be decompressed further.
  virtual std::uint8_t* Next() = 0;
};

// The fax coding of a CCITT compression value (2, 3 or 4) for rows of width pixels.
TFaxParams FaxParamsOf(std::uint32_t compression, std::uint32_t t4Options, int width);

// Whether the reader can decompress this compression at all.
bool TiffCompressionSupported(int compression);

// The most bytes of coded data that `rows` rows can use: a strip's byte
// count beyond this (a forged count, or none) is not read.
std::uint64_t MostTiffStripBytes(const TTiffStripCoding& coding, std::uint64_t rows);

// A source over one strip's data (kept by the caller for the source's
// life) holding `rows` rows.
std::unique_ptr<TTiffRowSource> MakeTiffRowSource(const TTiffStripCoding& coding, std::vector<std::uint8_t>& data,
                                                  int rows);

}  // namespace skyloom
