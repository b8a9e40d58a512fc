#include "image/resample_sine.h"

#include <cstdint>

namespace skyloom {
namespace {

// pi/2 split for Cody-Waite reduction: the high part has 33 significant
// bits, so k * kPio2Hi is exact for every k this function meets.
constexpr double kPio2Hi = 0x1.921fb54400000p+0;
constexpr double kPio2Lo = 0x1.0b4611a626331p-34;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;

// Taylor series on |r| <= pi/4; the first omitted terms are below 1e-19.
double SinPoly(double r) {
  const double z = r * r;
  double p = 1.0 / 355687428096000.0;  // 1/17!
  p = p * z - 1.0 / 1307674368000.0;   // 1/15!
  p = p * z + 1.0 / 6227020800.0;      // 1/13!
  p = p * z - 1.0 / 39916800.0;        // 1/11!
  p = p * z + 1.0 / 362880.0;          // 1/9!
  p = p * z - 1.0 / 5040.0;            // 1/7!
  p = p * z + 1.0 / 120.0;             // 1/5!
  p = p * z - 1.0 / 6.0;               // 1/3!
  return r + r * (z * p);
}

double CosPoly(double r) {
  const double z = r * r;
  double p = 1.0 / 6402373705728000.0;  // 1/18!
  p = p * z - 1.0 / 20922789888000.0;   // 1/16!
  p = p * z + 1.0 / 87178291200.0;      // 1/14!
  p = p * z - 1.0 / 479001600.0;        // 1/12!
  p = p * z + 1.0 / 3628800.0;          // 1/10!
  p = p * z - 1.0 / 40320.0;            // 1/8!
  p = p * z + 1.0 / 720.0;              // 1/6!
  p = p * z - 1.0 / 24.0;               // 1/4!
  p = p * z + 0.5;                      // 1/2!
  return 1.0 - z * p;
}

}  // namespace

double ResampleSine(double x) {
  // Nearest multiple of pi/2, rounded half away from zero without calling
  // the math library.
  const double q = x * kTwoOverPi;
  const auto k = static_cast<std::int64_t>(q < 0 ? q - 0.5 : q + 0.5);
  const double kd = static_cast<double>(k);
  const double r = (x - kd * kPio2Hi) - kd * kPio2Lo;
  switch (k & 3) {
    case 0: return SinPoly(r);
    case 1: return CosPoly(r);
    case 2: return -SinPoly(r);
    default: return -CosPoly(r);
  }
}

}  // namespace skyloom
