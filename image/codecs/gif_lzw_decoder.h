#pragma once
// The GIF LZW decoder behind the engine's GIF decoder hook.
#include <cstddef>
#include <cstdint>

namespace skyloom {

class TStream;

// The hook (TGifLzwDecoder): reads the minimum code size byte and the data
// sub-blocks at the stream's position and writes width x height palette
// indices into out, rows from the top (an interlaced image's rows put in
// picture order). Answers false, with the stream back where it was, for a
// code size outside 2..9 or a corrupt code stream; otherwise the stream is
// left after the image data.
bool DecodeGifLzw(TStream& stream, int height, int width, std::uint8_t* out, bool interlaced);

}  // namespace skyloom
