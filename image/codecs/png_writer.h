#pragma once
// PNG writer over the PNG library: 8-bit RGB, 8-bit palette (built by the
// colour quantizer) or 1-bit greyscale.
#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Writes the raster (24-bit or 1-bit) at the stream's position. The form
// follows params: BitsPerSample 1 gives 1-bit greyscale, SamplesPerPixel 1
// a 256-colour palette, anything else RGB. Interlace, filter, compression
// level, DpiX/DpiY and the background colour come from params. Failing to
// create the library's structures raises EError "Error on creating PNG";
// library errors and a progress handler's stop set Aborting and end the
// file where it stands; stream exceptions pass on.
void WritePngStream(TStream& stream, const TBitmap& raster, TIOParamsVals& params, TProgressRec& progress);

}  // namespace skyloom
