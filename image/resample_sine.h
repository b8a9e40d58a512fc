#pragma once
// The engine's own sine. Lanczos weights must come out bit-identical on every
// build, so they may not depend on whichever math library the platform
// links; this one uses only IEEE additions, multiplications and divisions.

namespace skyloom {

// sin(x) for |x| up to a few thousand; accurate to about one unit in the
// last place on the range the resampling kernels use (0 .. 3*pi).
double ResampleSine(double x);

}  // namespace skyloom
