#pragma once
// Reader of PaintBrush files ("PCX"): 1 bit in one or four planes, 4 and 8
// bits of palette indices, and 24-bit colour in three planes.
#include <cstdint>

#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Reads the picture at the stream's position. dataSize is the number of
// bytes from there to the end of the picture (0: up to the stream's end).
// 1 bit in one plane reads into a 1-bit raster, everything else into a
// 24-bit raster. With paramsOnly the raster is left alone. An invalid
// header sets Aborting and leaves the raster untouched; data that end
// early set Aborting and the rows decoded by then stay.
void ReadPcxStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly,
                   std::int64_t dataSize);

}  // namespace skyloom
