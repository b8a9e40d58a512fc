#pragma once
// Writer of Windows bitmap files: 1, 4, 8 or 24 bits per pixel, with
// RLE4/RLE8 when the parameters ask for run-length compression.
#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Writes the raster (24-bit or 1-bit) at the stream's position. The depth
// follows BitsPerSample/SamplesPerPixel, the header form BMP_Version and
// the compression BMP_Compression; palette depths replace params.ColorMap
// by the palette written. A stop through Aborting leaves the headers
// holding zero sizes.
void WriteBmpStream(TStream& stream, const TBitmap& raster, TIOParamsVals& params, TProgressRec& progress);

}  // namespace skyloom
