#include "desktop/wallpaper_converter.h"

#include "image/bitmap.h"
#include "image/image_io.h"

namespace skyloom {

bool ConvertPictureToBmp(const std::string& source, const std::string& target) {
  TBitmap raster;
  TImageIO io;
  io.AttachedBitmap(&raster);
  // Block smoothing is the JPEG decompressor's own default, which the
  // engine's reader leaves on, so nothing needs switching here.
  io.LoadFromFile(source);
  if (io.Aborting || raster.Empty()) return false;
  io.SaveToFileBMP(target);
  return !io.Aborting;
}

}  // namespace skyloom
