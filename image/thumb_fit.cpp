#include "image/thumb_fit.h"

#include <algorithm>
#include <cmath>

namespace skyloom {

TSize FitIntoBox(int width, int height, int boxWidth, int boxHeight) {
  if (width == 0 || height == 0) return {};
  const long double factor = std::min(static_cast<long double>(boxHeight) / height,
                                      static_cast<long double>(boxWidth) / width);
  return {static_cast<int>(std::nearbyintl(width * factor)), static_cast<int>(std::nearbyintl(height * factor))};
}

}  // namespace skyloom
