#include "image/desktop_fit.h"

#include <cmath>

namespace skyloom {

TSize FitToDesktopSize(int width, int height, int desktopWidth, int desktopHeight) {
  if (width <= 0 || height <= 0) return {};
  if (height > width) {
    const long double scaled = static_cast<long double>(desktopHeight) / height * width;
    return {static_cast<int>(std::nearbyintl(scaled)), desktopHeight};
  }
  const long double scaled = static_cast<long double>(desktopWidth) / width * height;
  return {desktopWidth, static_cast<int>(std::nearbyintl(scaled))};
}

}  // namespace skyloom
