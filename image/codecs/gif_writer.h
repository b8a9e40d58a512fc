#pragma once
// Writer of GIF files: one image with a global colour table, through the
// GIF LZW encoder hook.
#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Writes the raster (24-bit or 1-bit) at the stream's position with
// 2^BitsPerSample colours (BitsPerSample outside 1..8 counts as 8): 1 bit
// as black and white, more through the colour quantizer. Honours the
// version text, background and transparent colours, delay, X/Y position
// and interlaced flag of the GIF params. Progress is reported at 0, 30, 70
// and 100 percent. With no encoder installed Aborting is set and the file
// ends after the image descriptor.
void WriteGifStream(TStream& stream, const TBitmap& raster, TIOParamsVals& params, TProgressRec& progress);

}  // namespace skyloom
