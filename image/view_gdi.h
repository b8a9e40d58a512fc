#pragma once
// Drawing helpers the two picture views share.
#include <windows.h>

#include "image/bitmap.h"

namespace skyloom {

// Fills the rectangle with one colour; an empty rectangle draws nothing.
void FillSolid(HDC dc, const RECT& rect, COLORREF color);

// The header describing a raster unchanged: 24 bits, or 1 bit with a black
// and white table.
struct TDibHeader {
  BITMAPINFOHEADER header;
  RGBQUAD colors[2];
};
TDibHeader HeaderOf(const TBitmap& picture);

}  // namespace skyloom
