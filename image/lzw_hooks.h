#pragma once
// The four LZW procedure slots of the image I/O layer. The engine fills them
// with its GIF and TIFF LZW routines when it starts, and the thumbnail
// browser installs them again on activation. A parameter record copies them
// when reset, and the GIF and TIFF codecs fall back to these when their own
// copy is empty; clearing both leaves a codec without LZW.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace skyloom {

class TStream;

// Reads one LZW-coded image (one index byte per pixel, rows top to bottom)
// into out; on failure the stream position is restored and false answered.
using TGifLzwDecoder =
    std::function<bool(TStream& stream, int height, int width, std::uint8_t* out, bool interlaced)>;
// Writes the minimum code size byte, the data sub-blocks and the terminator.
using TGifLzwEncoder = std::function<void(TStream& stream, int height, int width, int bitsPerPixel,
                                          const std::uint8_t* indices, bool interlaced)>;

// Opaque per-strip state of the TIFF LZW routines.
struct TTiffLzwState;
// Decodes the next row of rowLength bytes from data; a call with no data
// releases the state. Answers false on failure.
using TTiffLzwDecoder = std::function<bool(const std::uint8_t* data, std::size_t size, int rowLength,
                                           std::vector<std::uint8_t>& row, TTiffLzwState*& state)>;
// Encodes one row onto the stream; a call with no row flushes and releases.
using TTiffLzwEncoder = std::function<void(const std::uint8_t* row, int length, TStream& stream,
                                           TTiffLzwState*& state)>;

struct TLzwHooks {
  TGifLzwDecoder GifDecoder;
  TGifLzwEncoder GifEncoder;
  TTiffLzwDecoder TiffDecoder;
  TTiffLzwEncoder TiffEncoder;
};

// The process-wide slots: the engine has one set, filled at start-up.
TLzwHooks& GlobalLzwHooks();

}  // namespace skyloom
