#pragma once
// Writer of Targa files: 1-bit black and white, 4 or 8 bits through a
// quantized colour map, 8-bit grey, or 24-bit true colour, raw or
// run-length, followed by the TGA 2.0 extension area and footer.
#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Writes the raster at the stream's position; rasters that are neither
// 24-bit nor 1-bit write nothing. With SamplesPerPixel 1, BitsPerSample 1,
// 4 or 8 choose 1 bit, 16 or 256 quantized colours (8 bits with
// TGA_GrayLevel: grey levels); anything else writes 24 bits. TGA_Compressed
// asks for run-length packets (never for 1 bit and 16 colours). Rows are
// stored from the top. A stop through Aborting ends the file after the
// current row, without extension area and footer.
void WriteTgaStream(TStream& stream, const TBitmap& raster, TIOParamsVals& params, TProgressRec& progress);

}  // namespace skyloom
