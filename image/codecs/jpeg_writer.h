#pragma once
// JPEG writer over the JPEG library.
#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Writes the raster (24-bit or 1-bit) at the stream's position with the
// JPEG group of params (colour space, quality, DCT method, optimal Huffman
// tables, smoothing, progressive) and DpiX/DpiY as its density. Library
// errors and a progress handler's stop set Aborting and end the file where
// it stands; stream exceptions pass on.
void WriteJpegStream(TStream& stream, const TBitmap& raster, TIOParamsVals& params, TProgressRec& progress);

}  // namespace skyloom
