#pragma once
// Reader of TIFF files ("TIF", "TIFF"): one page per call, chosen by the
// params' TIFF image index, stored in strips (planar configuration 1, or 2
// for 8-bit RGB), uncompressed, CCITT fax, LZW (through the LZW hook) or
// PackBits.
#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Reads the wanted page at the stream's position and answers the number of
// directories met. Bilevel pages read into a 1-bit raster, the others into
// a 24-bit one; depths and photometric interpretations without a rule leave
// the sized raster unwritten. With paramsOnly only the params are filled.
// An unknown byte order, unequal bits per sample, a zero or too large
// size, tiles, LZW without a decoder or tag values outside the file set
// Aborting before the raster is sized; strips that cannot be read or
// decompressed, and colour indices beyond the map, set Aborting with the
// rows decoded by then kept.
int ReadTiffStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly);

}  // namespace skyloom
