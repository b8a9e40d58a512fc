#pragma once
// Reader of Windows bitmap files ("BMP", "DIB", "RLE").
#include <cstdint>

#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Reads one bitmap from the stream's position. sizeHint is the number of
// bytes from the start of the bitmap to the end of its data (the file size
// for files, 0 for streams: the file header's size is used then). With
// paramsOnly the raster is left alone. Undecodable content sets Aborting.
void ReadBmpStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, std::int64_t sizeHint, bool paramsOnly,
                   TProgressRec& progress);

}  // namespace skyloom
