#pragma once
// Metafile import is a platform service: the engine only loads a file,
// learns its natural size and kind, and has it drawn onto a raster.
#include <memory>
#include <string>

namespace skyloom {

class TBitmap;

class TMetafile {
 public:
  virtual ~TMetafile() = default;
  virtual int NaturalWidth() const = 0;
  virtual int NaturalHeight() const = 0;
  virtual bool Enhanced() const = 0;
  // Draws the picture stretched to width x height with its top-left corner
  // at (0, 0) of the raster (24-bit, already filled with the background).
  virtual void Draw(TBitmap& raster, int width, int height) const = 0;
};

// Loads a ".wmf" or ".emf" file; null when the platform cannot.
std::unique_ptr<TMetafile> LoadMetafile(const std::string& path);

}  // namespace skyloom
