#include "image/codecs/jpeg_scale.h"

#include <cmath>
#include <initializer_list>

namespace skyloom {

unsigned JpegScaleDenominator(long long width, long long height, long long wantedPixels) {
  if (wantedPixels == 0) return 1;
  // Dividing by a power of two is exact in extended precision, so equal
  // distances compare equal and the first of them is kept.
  const long double area = static_cast<long double>(width) * static_cast<long double>(height);
  unsigned best = 1;
  long double bestDistance = -1;
  for (const unsigned d : {1u, 2u, 4u, 8u}) {
    const long double distance = std::fabs(area / (static_cast<long double>(d) * d) - wantedPixels);
    if (bestDistance < 0 || distance < bestDistance) {
      best = d;
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace skyloom
