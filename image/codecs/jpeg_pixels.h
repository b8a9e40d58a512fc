#pragma once
// Pixel conversions between the raster's blue, green, red rows and the
// four-component rows of CMYK and YCCK JPEG files. Such files store their
// ink values inverted (as Adobe's applications write them), so a stored
// C of 255 means no cyan.
#include <cstdint>

namespace skyloom {

// red := C x K / 255, green := M x K / 255, blue := Y x K / 255 (integer
// division) for `width` pixels of stored C, M, Y, K.
void InvertedCmykToBgr(const std::uint8_t* cmyk, int width, std::uint8_t* bgr);

// The reverse: m = max(R, G, B) (1 when 0), C := R x 255 / m,
// M := G x 255 / m, Y := B x 255 / m, K := m.
void BgrToInvertedCmyk(const std::uint8_t* bgr, int width, std::uint8_t* cmyk);

}  // namespace skyloom
