#include "image/io_params.h"

#include "image/bitmap.h"

namespace skyloom {
namespace {

// Today's date at midnight (UTC), the TGA date default.
std::chrono::system_clock::time_point Today() {
  return std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
}

}  // namespace

void TIOParamsVals::SetDefaultParams(const TBitmap* raster, int viewDpi) {
  *this = TIOParamsVals(NoDefaults{});
  if (raster) {
    Width = raster->Width();
    Height = raster->Height();
  }
  if (viewDpi > 0) DpiX = DpiY = viewDpi;
  TGA_Date = Today();
  const TLzwHooks& hooks = GlobalLzwHooks();
  GIF_LZWDecompFunc = hooks.GifDecoder;
  GIF_LZWCompFunc = hooks.GifEncoder;
  TIFF_LZWDecompFunc = hooks.TiffDecoder;
  TIFF_LZWCompFunc = hooks.TiffEncoder;
}

}  // namespace skyloom
