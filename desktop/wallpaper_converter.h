#pragma once
// Turns a JPEG wallpaper into a BMP file that every shell can show.
#include <functional>
#include <string>

namespace skyloom {

// (source picture, target BMP path) -> whether a BMP was written. A picture
// that is not a valid graphic answers false; a file that cannot be opened or
// created raises the stream layer's error.
using TWallpaperConverter = std::function<bool(const std::string& source, const std::string& target)>;

// Decodes with the image engine (block smoothing on) and saves a plain BMP.
bool ConvertPictureToBmp(const std::string& source, const std::string& target);

}  // namespace skyloom
