#include "image/view_gdi.h"

#include "toolkit/handles.h"

namespace skyloom {

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  UniqueGdiObject brush(CreateSolidBrush(color));
  FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
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
