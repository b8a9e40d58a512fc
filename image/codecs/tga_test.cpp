#include "image/codecs/tga_test.h"

#include <cstdint>

#include "image/codecs/byte_order.h"

namespace skyloom {
namespace {

bool KnownImageType(std::uint8_t type) { return (type >= 1 && type <= 3) || (type >= 9 && type <= 11); }

bool KnownDepth(std::uint8_t depth) {
  return depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

// "P2".."P6" followed by a blank, "#" or line feed opens a portable anymap,
// whose bytes 2 and 16 can pass the header test by chance. "P1" is not
// counted: a TGA whose ID length is 'P' and colour-map type '1' stays TGA.
bool LooksLikeAnymap(const std::uint8_t* h) {
  return h[0] == 'P' && h[1] >= '2' && h[1] <= '6' && (h[2] == ' ' || h[2] == '#' || h[2] == '\n');
}

}  // namespace

bool IsTgaStream(TStream& stream) {
  TPositionGuard guard(stream);
  std::uint8_t header[18];
  if (!ReadFully(stream, header, sizeof header)) return false;
  if (!KnownImageType(header[2]) || !KnownDepth(header[16])) return false;
  return !LooksLikeAnymap(header);
}

}  // namespace skyloom
