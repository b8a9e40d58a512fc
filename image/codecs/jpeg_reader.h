#pragma once
// JPEG reader over the JPEG library: baseline, progressive and arithmetic
// files in greyscale, RGB, YCbCr, CMYK and YCCK, at full size or scaled
// down by 2, 4 or 8 while decoding.
#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Reads the image at the stream's position into a 24-bit raster and fills
// the JPEG group, size and density of params. With paramsOnly the raster is
// left alone. Content the library cannot decode, and a file that ends
// early, set Aborting; the rows decoded by then stay in the raster.
// Stream exceptions pass on.
void ReadJpegStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress,
                    bool paramsOnly);

}  // namespace skyloom
