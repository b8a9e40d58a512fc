#include "image/thumbnail_load.h"

#include <algorithm>

#include "image/image_io.h"
#include "image/resample.h"
#include "image/thumb_fit.h"

namespace skyloom {
namespace {

// Detaches the raster on every path, also when the read raises.
struct TAttached {
  TImageIO& io;
  TAttached(TImageIO& loader, TBitmap& raster) : io(loader) { io.AttachedBitmap(&raster); }
  ~TAttached() { io.AttachedBitmap(nullptr); }
  TAttached(const TAttached&) = delete;
  TAttached& operator=(const TAttached&) = delete;
};

}  // namespace

TBitmap StretchToThumbnail(const TBitmap& picture, int thumbWidth, int thumbHeight) {
  const TSize fit = FitIntoBox(picture.Width(), picture.Height(), thumbWidth, thumbHeight);
  // A hairline picture still shows as a line rather than vanishing.
  TBitmap thumb(std::max(fit.width, 1), std::max(fit.height, 1), picture.PixelFormat());
  PlainStretch(picture, thumb);
  return thumb;
}

bool LoadPicture(TImageIO& io, const std::string& path, TBitmap& picture) {
  {
    TAttached attached(io, picture);
    io.LoadFromFile(path);
  }
  return !io.Aborting && !picture.Empty();
}

bool LoadThumbnail(TImageIO& io, const std::string& path, int thumbWidth, int thumbHeight, TBitmap& thumb) {
  // Automatic reduction towards the cell's area; only the JPEG reader
  // reads these, every other reader overwrites Width and Height.
  io.Params.JPEG_Scale = 0;
  io.Params.Width = thumbWidth;
  io.Params.Height = thumbHeight;
  TBitmap picture(1, 1, TPixelFormat::pf24bit);
  if (!LoadPicture(io, path, picture)) return false;
  thumb = StretchToThumbnail(picture, thumbWidth, thumbHeight);
  return true;
}

}  // namespace skyloom
