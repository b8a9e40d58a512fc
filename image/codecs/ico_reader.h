#pragma once
// Readers and content tests for Windows icons (".ico") and cursors (".cur").
#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Longer than 22 bytes, a directory header of type 1 (icon) or 2 (cursor)
// with entries, and every entry plausible. The stream position is restored.
bool IsIcoStream(TStream& stream);
bool IsCurStream(TStream& stream);

// Reads the directory entry chosen by params.ICO_ImageIndex. Pixels whose
// mask bit is set take params.ICO_Background. A stream starting with "BM"
// is read as a plain bitmap.
void ReadIcoStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly);
void ReadCurStream(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress, bool paramsOnly);

}  // namespace skyloom
