#include "image/view_gdi.h"

namespace skyloom {

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  // The device context's own brush: no brush made and freed per cell or
  // chessboard square. Its colour is put back for whoever set it.
  const COLORREF previous = SetDCBrushColor(dc, color);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetDCBrushColor(dc, previous);
}

TDibHeader HeaderOf(const TBitmap& picture) {
  TDibHeader info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = picture.Width();
  info.header.biHeight = picture.Height();
  info.header.biPlanes = 1;
  info.header.biBitCount = picture.PixelFormat() == TPixelFormat::pf1bit ? 1 : 24;
  info.header.biCompression = BI_RGB;
  info.colors[1] = RGBQUAD{255, 255, 255, 0};
  return info;
}

}  // namespace skyloom
