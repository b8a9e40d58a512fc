#pragma once
// Reader of Targa files ("TGA", "TARGA", "VDA", "ICB", "VST", "PIX"):
// colour-mapped, true-colour and grey pictures of 1, 8, 16, 24 or 32 bits
// per pixel, raw or run-length, with the TGA 2.0 extension area.
#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Reads the picture at the stream's position (the file's footer is the
// stream's last 26 bytes). Depth 1 reads into a 1-bit raster, the others
// into a 24-bit raster, rows ordered and mirrored as the descriptor says.
// With paramsOnly the raster is left alone. An invalid header or an
// extension area outside the file sets Aborting and leaves the raster
// untouched; data that end early or colour indices outside the map set
// Aborting and the rows decoded by then stay.
void ReadTgaStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly);

}  // namespace skyloom
