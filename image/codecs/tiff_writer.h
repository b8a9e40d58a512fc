#pragma once
// Writer of TIFF files: one page in one strip, 1-bit (uncompressed, CCITT
// fax, LZW or PackBits) or 24-bit RGB or CMYK (uncompressed, LZW with the
// horizontal predictor, or PackBits).
#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Writes the raster (24-bit or 1-bit) as a little-endian TIFF at the
// stream's position. BitsPerSample and SamplesPerPixel both 1 ask for
// 1-bit output, TIFF_PhotometInterpret 5 for CMYK, TIFF_Compression for
// the coding; LZW needs an encoder (params slot, else the global one) and
// is otherwise left out. Texts, resolution, position and page number come
// from the params. A stop through Aborting leaves the file without its
// directory.
void WriteTiffStream(TStream& stream, const TBitmap& raster, TIOParamsVals& params, TProgressRec& progress);

}  // namespace skyloom
