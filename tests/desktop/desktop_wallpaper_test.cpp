// The wallpaper category: the style table both ways, what reaches the
// system's wallpaper, and the JPEG conversion to WALL.BMP.
#include <gtest/gtest.h>

#include "desktop/theme_desktop.h"
#include "desktop/wallpaper_converter.h"
#include "desktop_test_support.h"
#include "image/bitmap.h"
#include "image/image_io.h"

namespace skyloom {
namespace {

using namespace skyloom::testing;

constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";

std::wstring SystemWallpaper() {
  wchar_t path[MAX_PATH] = L"";
  SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, path, 0);
  return path;
}

class DesktopTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    original_ = SystemWallpaper();
  }
  void TearDown() override {
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, original_.data(), SPIF_UPDATEINIFILE);
    TempDirTest::TearDown();
  }

  // Records the sources it is given and answers as told.
  TWallpaperConverter Recorder(bool accepts) {
    return [this, accepts](const std::string& source, const std::string& target) {
      sources.push_back(source);
      EXPECT_EQ(target, WallBmp());
      return accepts;
    };
  }

  static std::string WallBmp() { return Narrow((WindowsDir() / L"WALL.BMP").wstring()); }

  std::vector<std::string> sources;

 private:
  std::wstring original_;
};

TEST_F(DesktopTest, StyleTableBothWays) {
  struct Case {
    const wchar_t* tile;
    const wchar_t* style;
    TWallpaperStyle read;
  };
  for (const Case& c : {Case{L"0", L"0", wlpsCenter}, Case{L"1", L"0", wlpsTile}, Case{L"0", L"2", wlpsStretch},
                        Case{L"1", L"2", wlpsStretch}, Case{L"yes", L"wide", wlpsCenter}}) {
    SetRegText(kDesktopKey, L"TileWallpaper", c.tile);
    SetRegText(kDesktopKey, L"WallpaperStyle", c.style);
    TDesktop desktop;
    desktop.Read();
    EXPECT_EQ(desktop.WallpaperStyle, c.read) << Narrow(c.tile) << "/" << Narrow(c.style);
    desktop.Write(Recorder(true));
    EXPECT_EQ(RegText(kDesktopKey, L"TileWallpaper"), c.read == wlpsTile ? L"1" : L"0");
    EXPECT_EQ(RegText(kDesktopKey, L"WallpaperStyle"), c.read == wlpsStretch ? L"2" : L"0");
  }
}

TEST_F(DesktopTest, ReadsWallpaperAndPatternWithTheirDefaults) {
  SetRegText(kDesktopKey, L"Wallpaper", L"C:\\pictures\\sea.bmp");
  DeleteRegValue(kDesktopKey, L"Pattern");
  DeleteRegValue(kDesktopKey, L"TileWallpaper");
  DeleteRegValue(kDesktopKey, L"WallpaperStyle");
  TDesktop desktop;
  desktop.WallpaperStyle = wlpsStretch;
  desktop.Read();
  EXPECT_EQ(desktop.Wallpaper, "C:\\pictures\\sea.bmp");
  EXPECT_EQ(desktop.Pattern, "(None)");
  EXPECT_EQ(desktop.WallpaperStyle, wlpsCenter);
}

TEST_F(DesktopTest, BitmapGoesToTheSystemUnchangedAndJpegAsWallBmp) {
  WriteAll(dir / L"wallpaper.bmp", "BM");
  TDesktop desktop;
  desktop.Wallpaper = PathOf(L"wallpaper.bmp");
  desktop.Write(Recorder(true));
  EXPECT_TRUE(sources.empty());
  EXPECT_EQ(SystemWallpaper(), Widen(PathOf(L"wallpaper.bmp")));

  WriteAll(std::filesystem::path(Widen(WallBmp())), "BM");
  for (const wchar_t* name : {L"photo.jpeg", L"PHOTO.JPG"}) {
    desktop.Wallpaper = PathOf(name);
    desktop.Write(Recorder(true));
    EXPECT_EQ(sources.back(), PathOf(name));
    EXPECT_EQ(desktop.Wallpaper, WallBmp());
    EXPECT_EQ(SystemWallpaper(), Widen(WallBmp()));
  }
}

TEST_F(DesktopTest, RejectedJpegKeepsItsOwnPath) {
  TDesktop desktop;
  desktop.Wallpaper = PathOf(L"broken.jpg");
  desktop.Write(Recorder(false));
  EXPECT_EQ(sources.size(), 1u);
  // Not whatever an earlier conversion left in WALL.BMP.
  EXPECT_EQ(desktop.Wallpaper, PathOf(L"broken.jpg"));
}

TEST_F(DesktopTest, EngineConverterWritesABmpOrRejectsQuietly) {
  WriteAll(dir / L"garbage.jpg", "this is no picture");
  EXPECT_FALSE(ConvertPictureToBmp(PathOf(L"garbage.jpg"), PathOf(L"out.bmp")));
  EXPECT_FALSE(std::filesystem::exists(dir / L"out.bmp"));

  TBitmap picture(24, 16, TPixelFormat::pf24bit);
  TImageIO io;
  io.AttachedBitmap(&picture);
  io.SaveToFileJPEG(PathOf(L"small.jpg"));
  if (!ConvertPictureToBmp(PathOf(L"small.jpg"), PathOf(L"out.bmp")))
    GTEST_SKIP() << "the image engine reads no JPEG in this build";
  io.LoadFromFile(PathOf(L"out.bmp"));
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(picture.Width(), 24);
  EXPECT_EQ(picture.Height(), 16);
}

}  // namespace
}  // namespace skyloom
