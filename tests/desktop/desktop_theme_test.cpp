// The component as the main window uses it: read at construction, Apply
// writes all eight categories and notifies, the first failure ends Apply.
#include <gtest/gtest.h>

#include "desktop/desktop_theme.h"
#include "desktop/theme_registry.h"
#include "desktop_test_support.h"

namespace skyloom {
namespace {

using namespace skyloom::testing;

constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";
constexpr const wchar_t* kCursorsKey = L"Control Panel\\Cursors";
constexpr const wchar_t* kColorsKey = L"Control Panel\\Colors";
constexpr const wchar_t* kComputerIcon =
    L"Software\\Classes\\CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon";
constexpr const wchar_t* kSounds = L"AppEvents\\Schemes\\Apps\\.Default\\";

std::wstring SystemIniSaver() {
  wchar_t buffer[1024] = L"";
  GetPrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", L"", buffer, 1024, (WindowsDir() / L"SYSTEM.INI").c_str());
  return buffer;
}

class ThemeTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    WriteAll(dir / L"wallpaper.bmp", "BM");
    SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, originalWallpaper_, 0);
  }
  void TearDown() override {
    SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, originalWallpaper_, SPIF_UPDATEINIFILE);
    TempDirTest::TearDown();
  }

  // A theme that only touches what the tests look at.
  TDesktopTheme MakeTheme() {
    TDesktopTheme theme([](const std::string&, const std::string&) { return false; });
    theme.Cursors.Arrow = "C:\\theme\\arrow.cur";
    theme.Colors.Background = 0x00102030;
    theme.Icons.MyComputer = "C:\\theme\\icons.dll,1";
    theme.Sounds.Open = "C:\\theme\\open.wav";
    theme.Sounds.RestoreDown = "C:\\theme\\down.wav";
    theme.Desktop.Wallpaper = PathOf(L"wallpaper.bmp");
    theme.Desktop.Pattern = "(None)";
    theme.Desktop.WallpaperStyle = wlpsCenter;
    theme.ScreenSaver.ScreenSaver = "C:\\theme\\saver.scr";
    return theme;
  }

  // Values no Apply of this test wrote yet.
  void ClearMarks() {
    SetRegText(kCursorsKey, L"Arrow", L"before");
    SetRegText(kColorsKey, L"Background", L"1 1 1");
    SetRegText(kComputerIcon, L"", L"before");
    SetRegText(std::wstring(kSounds) + L"Open\\.Current", L"", L"before");
    SetRegText(std::wstring(kSounds) + L"RestoreDown\\.Current", L"", L"before");
    SetRegText(kDesktopKey, L"Pattern", L"before");
    WritePrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", L"before", (WindowsDir() / L"SYSTEM.INI").c_str());
  }

 private:
  wchar_t originalWallpaper_[MAX_PATH] = L"";
};

TEST_F(ThemeTest, ConstructionReadsEveryCategory) {
  SetRegText(kCursorsKey, L"Help", L"C:\\read\\help.cur");
  SetRegText(kColorsKey, L"Window", L"10 20 30");
  SetRegText(kComputerIcon, L"", L"C:\\read\\icons.dll,2");
  SetRegText(std::wstring(kSounds) + L"Minimize\\.Current", L"", L"C:\\read\\min.wav");
  SetRegText(kDesktopKey, L"Wallpaper", L"C:\\read\\paper.bmp");
  SetRegText(kDesktopKey, L"TileWallpaper", L"1");
  SetRegText(kDesktopKey, L"WallpaperStyle", L"0");
  WritePrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", L"C:\\read\\saver.scr",
                             (WindowsDir() / L"SYSTEM.INI").c_str());

  const TDesktopTheme theme;
  EXPECT_EQ(theme.Cursors.Help, "C:\\read\\help.cur");
  EXPECT_EQ(theme.Colors.Window, 0x001E140Au);
  EXPECT_EQ(theme.Icons.MyComputer, "C:\\read\\icons.dll,2");
  EXPECT_EQ(theme.Sounds.Minimize, "C:\\read\\min.wav");
  EXPECT_EQ(theme.Desktop.Wallpaper, "C:\\read\\paper.bmp");
  EXPECT_EQ(theme.Desktop.WallpaperStyle, wlpsTile);
  EXPECT_EQ(theme.ScreenSaver.ScreenSaver, "C:\\read\\saver.scr");
  EXPECT_FALSE(theme.Metrics.CaptionFont.Name.empty());
}

// A number where text belongs must not stop every start: it reads as
// missing, and the reader is told which key and value.
TEST_F(ThemeTest, AValueOfTheWrongTypeReadsAsMissingAndIsNamed) {
  const auto style = RegText(kDesktopKey, L"WallpaperStyle");
  const auto tile = RegText(kDesktopKey, L"TileWallpaper");
  SetRegDword(kCursorsKey, L"Arrow", 1);
  SetRegDword(kDesktopKey, L"WallpaperStyle", 2);
  SetRegText(kDesktopKey, L"TileWallpaper", L"1");
  const TDesktopTheme theme;
  SetRegText(kCursorsKey, L"Arrow", L"");
  SetRegText(kDesktopKey, L"WallpaperStyle", style.value_or(L"0"));
  SetRegText(kDesktopKey, L"TileWallpaper", tile.value_or(L"0"));
  EXPECT_EQ(theme.Cursors.Arrow, "");
  EXPECT_EQ(theme.Desktop.WallpaperStyle, wlpsTile);  // no stretch read from the number
  EXPECT_EQ(theme.ReadProblems,
            (TRegistryProblems{
                "The value \"Arrow\" of HKEY_CURRENT_USER\\Control Panel\\Cursors is not text; it was read as missing",
                "The value \"WallpaperStyle\" of HKEY_CURRENT_USER\\Control Panel\\Desktop is not text; it was read "
                "as missing"}));
}

TEST_F(ThemeTest, ApplyWritesEveryCategoryAndNotifiesEachWindowOnce) {
  ClearMarks();
  TDesktopTheme theme = MakeTheme();
  CountingWindows windows(3);
  theme.Apply();

  EXPECT_EQ(RegText(kCursorsKey, L"Arrow"), L"C:\\theme\\arrow.cur");
  EXPECT_EQ(RegText(kColorsKey, L"Background"), L"48 32 16");
  EXPECT_EQ(GetSysColor(COLOR_BACKGROUND), 0x00102030u);
  EXPECT_EQ(RegText(kComputerIcon, L""), L"C:\\theme\\icons.dll,1");
  EXPECT_EQ(RegText(std::wstring(kSounds) + L"Open\\.Current", L""), L"C:\\theme\\open.wav");
  EXPECT_EQ(RegText(kDesktopKey, L"Pattern"), L"(None)");
  wchar_t wallpaper[MAX_PATH] = L"";
  SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, wallpaper, 0);
  EXPECT_EQ(std::wstring(wallpaper), Widen(PathOf(L"wallpaper.bmp")));
  EXPECT_EQ(SystemIniSaver(), L"C:\\theme\\saver.scr");
  EXPECT_EQ(windows.Counts(), (std::vector<int>{1, 1, 1}));

  theme.Apply();
  EXPECT_EQ(windows.Counts(), (std::vector<int>{2, 2, 2}));
}

TEST_F(ThemeTest, RefusedRegistryWriteEndsApplyAtThatCategory) {
  ClearMarks();
  TDesktopTheme theme = MakeTheme();
  CountingWindows windows(2);
  {
    const DenyValueWrites locked(kDesktopKey);
    try {
      theme.Apply();
      ADD_FAILURE() << "no error";
    } catch (const ERegistryException& error) {
      EXPECT_STREQ(error.what(), "Failed to set data for 'Pattern'");
    }
  }
  // Cursors, colours, icons and sounds come before the desktop.
  EXPECT_EQ(RegText(kCursorsKey, L"Arrow"), L"C:\\theme\\arrow.cur");
  EXPECT_EQ(RegText(kColorsKey, L"Background"), L"48 32 16");
  EXPECT_EQ(RegText(kComputerIcon, L""), L"C:\\theme\\icons.dll,1");
  EXPECT_EQ(RegText(std::wstring(kSounds) + L"RestoreDown\\.Current", L""), L"C:\\theme\\down.wav");
  // The screen saver comes after it, and so does the notification.
  EXPECT_EQ(RegText(kDesktopKey, L"Pattern"), L"before");
  EXPECT_EQ(SystemIniSaver(), L"before");
  EXPECT_EQ(windows.Counts(), (std::vector<int>{0, 0}));
}

}  // namespace
}  // namespace skyloom
