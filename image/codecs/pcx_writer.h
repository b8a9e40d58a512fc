#pragma once
// Writer of PaintBrush files: 1 bit, 4 or 8 bits of palette indices (the
// palette from the colour quantizer), or 24 bits in three planes.
#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Writes the raster (24-bit or 1-bit) at the stream's position. BitsPerSample
// 1 gives 1 bit; otherwise BitsPerSample x SamplesPerPixel chooses 4, 8 or
// (for anything else) 24 bits. PCX_Version goes into the header and
// PCX_Compression chooses run-length coding. A stop through Aborting ends
// the file after the current row, without the 256-colour palette.
void WritePcxStream(TStream& stream, const TBitmap& raster, TIOParamsVals& params, TProgressRec& progress);

}  // namespace skyloom
