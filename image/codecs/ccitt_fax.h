#pragma once
// CCITT fax coding of bilevel rows (ITU-T T.4 one- and two-dimensional,
// T.6), as stored in TIFF strips. Rows are packed most significant bit
// first, (width + 7) / 8 bytes each, and a set bit is a black pixel (a pixel
// of a "black run" in fax terms); white runs are clear bits. Which of the
// two the picture calls black is the container's business.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace skyloom {

enum class TFaxScheme {
  ModifiedHuffman,  // one-dimensional, no end-of-line codes, rows start on a byte
  T4,               // end-of-line codes; options as stored with the strip
  T6,               // two-dimensional, no end-of-line codes
};

// T4 option bits: 1 two-dimensional coding, 2 uncompressed mode allowed,
// 4 fill bits before each end-of-line so that it ends on a byte.
struct TFaxParams {
  TFaxScheme scheme = TFaxScheme::ModifiedHuffman;
  std::uint32_t t4Options = 0;
  int width = 0;
};

// Decodes up to `rows` rows of one strip into out (rows × stride bytes,
// stride ≥ (width + 7) / 8). Answers how many rows were decoded completely;
// fewer than asked means the data were damaged or ran out. Never reads
// outside data or writes outside out.
int DecodeFaxRows(const TFaxParams& params, const std::uint8_t* data, std::size_t size, int rows,
                  std::uint8_t* out, std::size_t stride);

// Encodes rows (rows × stride bytes, same packing) as one strip.
std::vector<std::uint8_t> EncodeFaxRows(const TFaxParams& params, const std::uint8_t* rows,
                                        std::size_t stride, int rowCount);

}  // namespace skyloom
