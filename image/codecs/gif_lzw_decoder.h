#pragma once
// The GIF LZW decoder behind the engine's GIF decoder hook.
#include <cstddef>
#include <cstdint>

namespace skyloom {

class TStream;

// How a code stream ended.
enum class TLzwEnd {
  kEndCode,    // the end-of-information code
  kOutOfData,  // the data ran out first: what was decoded stands
  kFailed,     // a code the table cannot hold, data after a full table, or a clear then the end code
};

// Decodes the codes of minimum code size minCodeSize (2..9) packed in
// data[0, size), least-significant bit first, into out in stream order.
// data must be readable for 8 bytes past size. Pixels past outSize are
// dropped; the work per code is bounded, so any input ends in time.
TLzwEnd DecodeLzwCodes(const std::uint8_t* data, std::size_t size, int minCodeSize, std::uint8_t* out,
                       std::size_t outSize);

// The hook (TGifLzwDecoder): reads the minimum code size byte and the data
// sub-blocks at the stream's position and writes width x height palette
// indices into out, rows from the top (an interlaced image's rows put in
// picture order). Answers false, with the stream back where it was, for a
// code size outside 2..9 or a corrupt code stream; otherwise the stream is
// left after the image data.
bool DecodeGifLzw(TStream& stream, int height, int width, std::uint8_t* out, bool interlaced);

}  // namespace skyloom
