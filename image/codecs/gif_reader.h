#pragma once
// Reader of GIF files ("GIF87a", "GIF89a"): one image of the file, chosen
// by params.GIF_ImageIndex, through the GIF LZW decoder hook.
#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Reads the chosen image at the stream's position into a 1-bit raster (a
// two-entry black-then-white table) or a 24-bit one, and fills the GIF
// params; with paramsOnly the raster is left alone. Answers the number of
// image descriptors met. Progress is reported at 0, 30, 70 and 100 percent.
// A file that is not GIF or lacks the chosen image, a missing decoder or a
// corrupt code stream sets Aborting and leaves the raster untouched. Transparency is not composited:
// transparent pixels keep their table colour.
int ReadGifStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly);

}  // namespace skyloom
