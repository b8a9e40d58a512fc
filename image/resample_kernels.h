#pragma once
// The seven resampling filters: their kernels and supports.
#include <cstdint>

namespace skyloom {

enum TResampleFilter : std::uint8_t {
  rfNone,
  rfTriangle,
  rfHermite,
  rfBell,
  rfBSpline,
  rfLanczos3,
  rfMitchell
};

// True for the six filters that have a kernel; every other value (rfNone and
// anything outside the enumeration) means the plain, unfiltered stretch.
bool HasKernel(TResampleFilter filter);

// Radius beyond which the kernel is zero.
double ResampleSupport(TResampleFilter filter);

// Kernel value at distance x. Powers are evaluated as repeated products of
// a = |x| (a*a, a*a*a) and each coefficient multiplies its whole power, as
// the formulas are written.
double ResampleKernel(TResampleFilter filter, double x);

}  // namespace skyloom
