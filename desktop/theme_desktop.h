#pragma once
// TDesktop: wallpaper, pattern and wallpaper style, in "Control Panel\Desktop",
// the Active Desktop object and the system's wallpaper parameters.
#include <string>

#include "desktop/theme_registry.h"

#include "desktop/wallpaper_converter.h"

namespace skyloom {

enum TWallpaperStyle { wlpsCenter, wlpsTile, wlpsStretch };

class TDesktop {
 public:
  std::string Wallpaper;
  std::string Pattern;
  TWallpaperStyle WallpaperStyle = wlpsCenter;

  void Read(TRegistryProblems* problems = nullptr);
  // A JPEG wallpaper is converted to WALL.BMP in the Windows directory first,
  // and Wallpaper then names that file.
  void Write(const TWallpaperConverter& convert);

 private:
  void WriteRegistry() const;
  void ConvertJpegWallpaper(const std::string& windowsDir, const TWallpaperConverter& convert);
};

}  // namespace skyloom
