#pragma once
// TDesktopTheme: a complete desktop appearance in eight categories, read
// from the system at construction and written back as a whole by Apply.
#include "desktop/theme_colors.h"
#include "desktop/theme_cursors.h"
#include "desktop/theme_desktop.h"
#include "desktop/theme_icons.h"
#include "desktop/theme_metrics.h"
#include "desktop/theme_screen_saver.h"
#include "desktop/theme_sounds.h"
#include "desktop/theme_web_view.h"
#include "desktop/wallpaper_converter.h"

namespace skyloom {

class TDesktopTheme {
 public:
  // Reads every category from the system; the converter turns JPEG
  // wallpapers into BMP files (the image engine's by default). A value that
  // is not text reads as missing and is noted in ReadProblems.
  explicit TDesktopTheme(TWallpaperConverter convert = ConvertPictureToBmp);

  // Setting a category's fields only stores them; Apply writes all eight
  // categories in a fixed order and then tells every top-level window. The
  // first failure ends it: earlier categories stay written, later ones and
  // the notification do not happen.
  void Apply();

  TCursors Cursors;
  TColors Colors;
  TIcons Icons;
  TSounds Sounds;
  TDesktop Desktop;
  TScreenSaver ScreenSaver;
  TMetrics Metrics;
  TWebView WebView;
  TRegistryProblems ReadProblems;

 private:
  TWallpaperConverter convert_;
};

}  // namespace skyloom
