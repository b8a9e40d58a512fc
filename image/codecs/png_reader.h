#pragma once
// PNG reader over the PNG library: every colour type and bit depth,
// interlaced or not; transparency composited over a background colour.
#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Reads the image at the stream's position: 1-bit files into a 1-bit
// raster, all others into a 24-bit raster (16-bit channels cut to 8 bits).
// Transparency is composited over the file's background colour, which then
// becomes params.PNG_Background, or else over params.PNG_Background. With
// paramsOnly the raster is left alone. Library errors set Aborting and end
// the read; rows read by then stay. Stream exceptions pass on.
void ReadPngStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress,
                   bool paramsOnly);

}  // namespace skyloom
