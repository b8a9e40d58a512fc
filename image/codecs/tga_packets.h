#pragma once
// TGA pixel data: raw, or run-length packets whose header byte has bit 7
// set for one pixel repeated (header and 127) + 1 times, clear for
// (header and 127) + 1 literal pixels.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace skyloom {

// Hands out pixels of pixelBytes bytes in order. A run-length packet that
// crosses the end of a row goes on into the next row, as writers produce
// them; the caller asks for no more than the picture holds.
class TTgaPixelReader {
 public:
  TTgaPixelReader(const std::uint8_t* data, std::size_t size, std::size_t pixelBytes, bool runLength)
      : at_(data), end_(data + size), pixelBytes_(pixelBytes), runLength_(runLength) {}

  // Fills count pixels; answers how many came before the data ended.
  std::size_t Read(std::uint8_t* out, std::size_t count);

 private:
  std::size_t ReadRaw(std::uint8_t* out, std::size_t count);
  bool StartPacket();

  const std::uint8_t* at_;
  const std::uint8_t* end_;
  std::size_t pixelBytes_;
  bool runLength_;
  std::size_t left_ = 0;  // pixels left in the current packet
  bool repeat_ = false;
  std::uint8_t value_[4] = {};
};

// Appends count pixels as run-length packets of at most 128 pixels: two or
// more equal pixels in a row form a run packet, the others literal packets.
void EncodeTgaPackets(const std::uint8_t* pixels, std::size_t count, std::size_t pixelBytes,
                      std::vector<std::uint8_t>& out);

}  // namespace skyloom
