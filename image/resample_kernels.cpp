#include "image/resample_kernels.h"

#include "image/resample_sine.h"

namespace skyloom {
namespace {

constexpr double kPi = 0x1.921fb54442d18p+1;

double Abs(double x) { return x < 0 ? -x : x; }

double Triangle(double a) { return a < 1.0 ? 1.0 - a : 0.0; }

double Hermite(double a) { return a < 1.0 ? (2.0 * a - 3.0) * (a * a) + 1.0 : 0.0; }

double Bell(double a) {
  if (a < 0.5) return 0.75 - a * a;
  if (a < 1.5) {
    const double t = a - 1.5;
    return 0.5 * (t * t);
  }
  return 0.0;
}

double BSpline(double a) {
  if (a < 1.0) return 0.5 * (a * a * a) - a * a + 2.0 / 3.0;
  if (a < 2.0) {
    const double t = 2.0 - a;
    return (t * t * t) / 6.0;
  }
  return 0.0;
}

double Sinc(double t) {
  if (t == 0.0) return 1.0;
  const double x = kPi * t;
  return ResampleSine(x) / x;
}

double Lanczos3(double a) { return a < 3.0 ? Sinc(a) * Sinc(a / 3.0) : 0.0; }

// Mitchell-Netravali with B = C = 1/3, coefficients already combined.
double Mitchell(double a) {
  if (a < 1.0) return (7.0 * (a * a * a) - 12.0 * (a * a) + 16.0 / 3.0) / 6.0;
  if (a < 2.0) return (-(7.0 / 3.0) * (a * a * a) + 12.0 * (a * a) - 20.0 * a + 32.0 / 3.0) / 6.0;
  return 0.0;
}

}  // namespace

bool HasKernel(TResampleFilter filter) { return filter >= rfTriangle && filter <= rfMitchell; }

double ResampleSupport(TResampleFilter filter) {
  switch (filter) {
    case rfTriangle:
    case rfHermite: return 1.0;
    case rfBell: return 1.5;
    case rfBSpline:
    case rfMitchell: return 2.0;
    case rfLanczos3: return 3.0;
    default: return 0.0;
  }
}

double ResampleKernel(TResampleFilter filter, double x) {
  const double a = Abs(x);
  switch (filter) {
    case rfTriangle: return Triangle(a);
    case rfHermite: return Hermite(a);
    case rfBell: return Bell(a);
    case rfBSpline: return BSpline(a);
    case rfLanczos3: return Lanczos3(a);
    case rfMitchell: return Mitchell(a);
    default: return 0.0;
  }
}

}  // namespace skyloom
