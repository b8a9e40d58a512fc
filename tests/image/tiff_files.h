#pragma once
// TIFF files put together tag by tag for the codec tests: pages of entries
// and strip data, chained in order, either byte order.
#include <cstdint>
#include <string>
#include <vector>

namespace skyloom::testing_util {

struct TTiffTag {
  std::uint16_t tag = 0;
  std::uint16_t type = 3;  // SHORT
  std::vector<std::uint32_t> values;  // numbers; RATIONAL: numerator, denominator pairs
  std::string text;                   // ASCII (a zero is added)
};

// Strip data referred to by tag 273 through kStripData + strip number.
inline constexpr std::uint32_t kStripData = 0xF0000000;

struct TTiffPageSpec {
  std::vector<TTiffTag> tags;
  std::vector<std::vector<std::uint8_t>> strips;
};

// Header, then per page its strips, out-of-line values and directory; each
// directory links to the next. Answers the file; directoryAt receives each
// directory's offset.
std::vector<std::uint8_t> MakeTiff(const std::vector<TTiffPageSpec>& pages, bool bigEndian = false,
                                   std::vector<std::uint32_t>* directoryAt = nullptr);

// A page of width x height with the usual tags and one strip.
TTiffPageSpec TiffPage(int width, int height, int bits, int samples, int photometric,
                       const std::vector<std::uint8_t>& strip, int compression = 1);

}  // namespace skyloom::testing_util
