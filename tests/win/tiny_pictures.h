#pragma once
// The smallest pictures of two formats, written out byte by byte.
#include <cstdint>
#include <string>

namespace skyloom::testing {

// A 2 x 1 24-bit BMP, written out byte by byte.
inline std::string TinyBmp() {
  std::string bytes = "BM";
  auto put = [&bytes](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  };
  put(62, 4), put(0, 4), put(54, 4);                   // file size, reserved, pixel offset
  put(40, 4), put(2, 4), put(1, 4), put(1, 2), put(24, 2);  // header, 2 x 1, 1 plane, 24 bits
  put(0, 4), put(8, 4), put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);
  put(0x0000FF, 3), put(0x00FF00, 3), put(0, 2);       // red, green, row padding
  return bytes;
}

// The classic 1 x 1 GIF.
inline const std::string kTinyGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff\x21\xf9\x04\x01\x00\x00\x00\x00"
                           "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b",
                           43);

}  // namespace skyloom::testing
