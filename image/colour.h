#pragma once
// Colour values shared by the engine: a 32-bit 0x00BBGGRR colour and the
// 3-byte blue, green, red record used by palettes and parameter records.
#include <cstdint>

namespace skyloom {

using TColor = std::uint32_t;  // 0x00BBGGRR

struct TIERGB {
  std::uint8_t b = 0;
  std::uint8_t g = 0;
  std::uint8_t r = 0;
  friend bool operator==(const TIERGB&, const TIERGB&) = default;
};

inline TIERGB RgbOf(TColor colour) {
  return TIERGB{static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                static_cast<std::uint8_t>(colour)};
}

inline TColor ColorOf(TIERGB rgb) {
  return static_cast<TColor>(rgb.r) | (static_cast<TColor>(rgb.g) << 8) | (static_cast<TColor>(rgb.b) << 16);
}

// Perceived brightness (red 21 %, green 71 %, blue 7 %), rounded.
inline int Luminance(TIERGB c) { return (c.r * 21 + c.g * 71 + c.b * 7 + 50) / 100; }

}  // namespace skyloom
