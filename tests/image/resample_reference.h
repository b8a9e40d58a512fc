#pragma once
// A deliberately plain rendering of the filtered resample, written straight
// from the algorithm's description for comparison with the engine's fast
// path. It shares nothing with the engine but the sine and TBitmap.
#include <vector>

#include "image/bitmap.h"
#include "image/resample_kernels.h"

namespace skyloom::reference {

double Kernel(TResampleFilter filter, double x);
double Support(TResampleFilter filter);

// Scales a 24-bit source into a new 24-bit raster; percent values that the
// progress handler would get are appended to `progress` when given.
TBitmap Resample(const TBitmap& source, int newWidth, int newHeight, TResampleFilter filter,
                 std::vector<int>* progress = nullptr);

}  // namespace skyloom::reference
