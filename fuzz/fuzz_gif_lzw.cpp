// Fuzz target: the GIF LZW decoder alone. The first two bytes choose the
// image's width and height (1..256) and whether it is interlaced; the rest
// is the minimum code size byte and the data sub-blocks.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/codecs/gif_lzw_decoder.h"
#include "toolkit/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom;
  if (size < 2) return 0;
  const int width = (data[0] & 0x7F) * 2 + 1;
  const int height = data[1] + 1;
  const bool interlaced = (data[0] & 0x80) != 0;
  TMemoryStream stream(std::vector<std::uint8_t>(data + 2, data + size));
  std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const bool ok = DecodeGifLzw(stream, height, width, out.data(), interlaced);
  if (!ok && stream.Position() != 0) __builtin_trap();  // a failure must restore the position
  return 0;
}
