#include "image/codecs/jpeg_pixels.h"

#include <algorithm>

namespace skyloom {

void InvertedCmykToBgr(const std::uint8_t* cmyk, int width, std::uint8_t* bgr) {
  for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    const unsigned k = cmyk[3];
    bgr[0] = static_cast<std::uint8_t>(cmyk[2] * k / 255);
    bgr[1] = static_cast<std::uint8_t>(cmyk[1] * k / 255);
    bgr[2] = static_cast<std::uint8_t>(cmyk[0] * k / 255);
  }
}

void BgrToInvertedCmyk(const std::uint8_t* bgr, int width, std::uint8_t* cmyk) {
  for (int x = 0; x < width; ++x, bgr += 3, cmyk += 4) {
    const unsigned blue = bgr[0], green = bgr[1], red = bgr[2];
    const unsigned m = std::max({red, green, blue, 1u});
    cmyk[0] = static_cast<std::uint8_t>(red * 255 / m);
    cmyk[1] = static_cast<std::uint8_t>(green * 255 / m);
    cmyk[2] = static_cast<std::uint8_t>(blue * 255 / m);
    cmyk[3] = static_cast<std::uint8_t>(m);
  }
}

}  // namespace skyloom
