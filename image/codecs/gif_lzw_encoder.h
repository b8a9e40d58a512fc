#pragma once
// The GIF LZW encoder behind the engine's GIF encoder hook.
#include <cstdint>

namespace skyloom {

class TStream;

// The hook (TGifLzwEncoder): writes the minimum code size byte
// (max(bitsPerPixel, 2)), the codes of width x height palette indices
// (rows from the top; an interlaced image's rows in interlace order) in
// sub-blocks of 254 bytes, and the zero-length terminator block. Indices
// must be below 2^bitsPerPixel.
void EncodeGifLzw(TStream& stream, int height, int width, int bitsPerPixel, const std::uint8_t* indices,
                  bool interlaced);

}  // namespace skyloom
