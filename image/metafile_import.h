#pragma once
// Sizing and drawing of an imported metafile.
#include "image/colour.h"

namespace skyloom {

class TBitmap;
class TMetafile;

struct TSize {
  int width = 0;
  int height = 0;
};

// The raster size for a metafile: given sides are kept, a side of -1
// follows from the other and the natural proportions (integer arithmetic),
// and the longer side is limited to 2800. A zero side means no picture.
TSize MetafileTargetSize(int naturalWidth, int naturalHeight, int width, int height);

// Makes the raster 24-bit of the target size, fills it with the background
// and draws the metafile. Answers false when there is nothing to draw.
bool DrawMetafile(const TMetafile& metafile, int width, int height, TColor background, TBitmap& raster);

}  // namespace skyloom
