#include "desktop/theme_desktop.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <charconv>

#include "desktop/active_desktop.h"
#include "desktop/system_folders.h"
#include "desktop/theme_registry.h"
#include "toolkit/text_win.h"

namespace skyloom {

namespace {

constexpr const char* kDesktopKey = "Control Panel\\Desktop";

// A value that is missing or not an integer counts as 0, so a damaged style
// falls back to a centred wallpaper.
int IntegerOr0(const std::optional<std::string>& text) {
  if (!text) return 0;
  const char* first = text->data();
  const char* last = first + text->size();
  if (first != last && *first == '+') ++first;
  int value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  return error == std::errc() && end == last && first != last ? value : 0;
}

bool IsJpegName(const std::string& path) {
  std::string ext = FileExtension(path);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
  return ext == ".JPG" || ext == ".JPEG";
}

}  // namespace

void TDesktop::Read(TRegistryProblems* problems) {
  const auto key = TThemeKey::OpenForRead(kDesktopKey, problems);
  if (!key) return;
  Wallpaper = key->ReadString("Wallpaper").value_or("");
  Pattern = key->ReadString("Pattern").value_or("(None)");
  if (IntegerOr0(key->ReadString("WallpaperStyle")) == 2)
    WallpaperStyle = wlpsStretch;
  else if (IntegerOr0(key->ReadString("TileWallpaper")) != 0)
    WallpaperStyle = wlpsTile;
  else
    WallpaperStyle = wlpsCenter;
}

void TDesktop::Write(const TWallpaperConverter& convert) {
  const std::string windowsDir = WindowsDirectory();
  SetActiveDesktopWallpaper(Wallpaper);
  WriteRegistry();
  SystemParametersInfoW(SPI_SETDESKPATTERN, 0, nullptr, SPIF_UPDATEINIFILE);
  ConvertJpegWallpaper(windowsDir, convert);
  std::wstring wide = Widen(Wallpaper);
  SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, wide.data(), SPIF_UPDATEINIFILE);
}

void TDesktop::WriteRegistry() const {
  const TThemeKey key = TThemeKey::OpenForWrite(kDesktopKey);
  key.WriteString("Pattern", Pattern);
  key.WriteString("Wallpaper", Wallpaper);
  key.WriteString("TileWallpaper", WallpaperStyle == wlpsTile ? "1" : "0");
  key.WriteString("WallpaperStyle", WallpaperStyle == wlpsStretch ? "2" : "0");
}

void TDesktop::ConvertJpegWallpaper(const std::string& windowsDir, const TWallpaperConverter& convert) {
  if (!IsJpegName(Wallpaper)) return;
  const std::string target = windowsDir + "\\WALL.BMP";
  // A picture the decoder rejects keeps its own path: pointing the system at
  // WALL.BMP would show whatever picture an earlier conversion left there.
  if (convert(Wallpaper, target)) Wallpaper = target;
}

}  // namespace skyloom
