// Cursors, icons, sounds, screen saver and metrics: what each writes to the
// registry and the system, and what each reads back at start-up.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "desktop/theme_cursors.h"
#include "desktop/theme_icons.h"
#include "desktop/theme_metrics.h"
#include "desktop/theme_screen_saver.h"
#include "desktop/theme_sounds.h"
#include "desktop_test_support.h"

namespace skyloom {
namespace {

using namespace skyloom::testing;

constexpr const wchar_t* kCursorsKey = L"Control Panel\\Cursors";

TEST(CursorsTest, MissingFilesLeaveTheSystemCursorsButAreWritten) {
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
  TCursors cursors;
  cursors.Arrow = "C:\\no such folder\\arrow.cur";
  cursors.Wait = "C:\\no such folder\\busy.ani";
  cursors.NWPen = "C:\\no such folder\\pen.cur";
  cursors.CrossHair = "C:\\no such folder\\cross.cur";
  EXPECT_NO_THROW(cursors.Write());
  EXPECT_EQ(LoadCursorW(nullptr, IDC_ARROW), arrow);
  EXPECT_EQ(LoadCursorW(nullptr, IDC_WAIT), wait);
  EXPECT_EQ(RegText(kCursorsKey, L"Arrow"), L"C:\\no such folder\\arrow.cur");
  EXPECT_EQ(RegText(kCursorsKey, L"NWPen"), L"C:\\no such folder\\pen.cur");
  EXPECT_EQ(RegText(kCursorsKey, L"Crosshair"), L"C:\\no such folder\\cross.cur");

  DeleteRegValue(kCursorsKey, L"SizeAll");
  TCursors read;
  read.SizeAll = "emptied";
  read.Read();
  EXPECT_EQ(read.CrossHair, cursors.CrossHair);
  EXPECT_EQ(read.SizeAll, "");
}

// A 32 x 32 monochrome cursor file whose hot spot tells it apart.
std::string CursorFile(std::uint16_t hotSpot) {
  std::string bytes;
  auto put16 = [&](std::uint16_t v) { bytes += static_cast<char>(v & 0xFF); bytes += static_cast<char>(v >> 8); };
  auto put32 = [&](std::uint32_t v) { put16(static_cast<std::uint16_t>(v)); put16(static_cast<std::uint16_t>(v >> 16)); };
  const std::uint32_t imageSize = 40 + 8 + 128 + 128;
  put16(0); put16(2); put16(1);                                              // directory: one cursor
  bytes += std::string{32, 32, 0, 0}; put16(hotSpot); put16(hotSpot); put32(imageSize); put32(22);
  put32(40); put32(32); put32(64); put16(1); put16(1); put32(0); put32(256); put32(0); put32(0); put32(2); put32(0);
  put32(0); put32(0x00FFFFFF);                                               // black, white
  bytes += std::string(128, '\0') + std::string(128, '\xFF');              // XOR: black; AND: transparent
  return bytes;
}

// Which file each system cursor identifier receives: Wait serves both busy
// cursors and NWPen, which has no system cursor, is never installed.
TEST(CursorsTest, EachFileIsInstalledUnderItsIdentifiers) {
  const auto dir = std::filesystem::temp_directory_path() / L"skyloom-cursors";
  std::filesystem::create_directories(dir);
  TCursors cursors;
  const std::pair<std::string TCursors::*, std::uint16_t> files[] = {
      {&TCursors::Arrow, 1}, {&TCursors::Wait, 2}, {&TCursors::NWPen, 3}, {&TCursors::CrossHair, 4},
      {&TCursors::Help, 5}, {&TCursors::UpArrow, 6}};
  for (const auto& [field, hotSpot] : files) {
    const auto path = dir / (std::to_wstring(hotSpot) + L".cur");
    WriteAll(path, CursorFile(hotSpot));
    cursors.*field = Narrow(path.wstring());
  }
  std::map<unsigned, DWORD> installed;  // identifier -> hot spot of the file
  cursors.InstallSystemCursor = [&](void* cursor, unsigned id) {
    ICONINFO info{};
    EXPECT_TRUE(GetIconInfo(static_cast<HCURSOR>(cursor), &info));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    EXPECT_FALSE(installed.count(id)) << id;
    installed[id] = info.xHotspot;
    DestroyCursor(static_cast<HCURSOR>(cursor));
    return true;
  };
  cursors.Write();
  EXPECT_EQ(installed, (std::map<unsigned, DWORD>{{32512, 1}, {32514, 2}, {32641, 2}, {32515, 4}, {32640, 5},
                                                   {32516, 6}}));
  std::filesystem::remove_all(dir);
}

constexpr const wchar_t* kComputerIcon =
    L"Software\\Classes\\CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon";
constexpr const wchar_t* kRecycleClass = L"Software\\Classes\\CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}";
constexpr const wchar_t* kRecycleIcon =
    L"Software\\Classes\\CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon";

TEST(IconsTest, RecycleBinKeyIsUpdatedButNeverMade) {
  DeleteRegTree(kRecycleClass);
  TIcons icons;
  icons.MyComputer = "C:\\icons.dll,3";
  icons.Recycle = "C:\\icons.dll,5";
  icons.RecycleFull = "C:\\icons.dll,6";
  icons.Write();
  EXPECT_EQ(RegText(kComputerIcon, L""), L"C:\\icons.dll,3");
  EXPECT_FALSE(RegKeyExists(kRecycleClass));

  SetRegText(kRecycleIcon, L"", L"old");
  icons.Write();
  EXPECT_EQ(RegText(kRecycleIcon, L""), L"C:\\icons.dll,5");
  EXPECT_EQ(RegText(kRecycleIcon, L"full"), L"C:\\icons.dll,6");
  TIcons read;
  read.Read();
  EXPECT_EQ(read.RecycleFull, icons.RecycleFull);
  DeleteRegTree(kRecycleClass);
}

TEST(IconsTest, AnEmptyIconLocationIsNeverWrittenOverTheSystemsOwn) {
  constexpr const wchar_t* kNetHoodClass = L"Software\\Classes\\CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}";
  DeleteRegTree(kNetHoodClass);
  SetRegText(kRecycleIcon, L"empty", L"C:\\bin.dll,1");
  TIcons icons;  // nothing stored
  icons.Write();
  EXPECT_FALSE(RegKeyExists(kNetHoodClass));
  EXPECT_EQ(RegText(kRecycleIcon, L"empty"), L"C:\\bin.dll,1");
  DeleteRegTree(kRecycleClass);
}

TEST(SoundsTest, EachEventIsTheDefaultValueOfItsCurrentKey) {
  TSounds sounds;
  sounds.Default = "ding.wav";
  sounds.EmptyRecycleBin = "C:\\media\\empty.wav";
  sounds.Write();
  EXPECT_EQ(RegText(L"AppEvents\\Schemes\\Apps\\.Default\\.Default\\.Current", L""), L"ding.wav");
  EXPECT_EQ(RegText(L"AppEvents\\Schemes\\Apps\\Explorer\\EmptyRecycleBin\\.Current", L""),
            L"C:\\media\\empty.wav");

  DeleteRegTree(L"AppEvents\\Schemes\\Apps\\.Default\\RingIn");
  TSounds read;
  read.RingIn = "kept.wav";
  read.Read();
  EXPECT_EQ(read.EmptyRecycleBin, sounds.EmptyRecycleBin);
  EXPECT_EQ(read.RingIn, "kept.wav");
}

std::wstring SystemIniSaver() {
  wchar_t buffer[1024] = L"";
  GetPrivateProfileStringW(L"boot", L"SCRNSAVE.EXE", L"", buffer, 1024, (WindowsDir() / L"SYSTEM.INI").c_str());
  return buffer;
}

class ScreenSaverTest : public TempDirTest {};

TEST_F(ScreenSaverTest, WritesTheShortDirectoryWithTheLongFileName) {
  const auto folder = dir / L"Screen Savers With Long Names";
  std::filesystem::create_directories(folder);
  wchar_t shortFolder[MAX_PATH] = L"";
  ASSERT_NE(GetShortPathNameW((folder.wstring() + L"\\").c_str(), shortFolder, MAX_PATH), 0u);
  ASSERT_NE(std::wstring(shortFolder), folder.wstring() + L"\\");

  TScreenSaver saver;
  saver.ScreenSaver = Narrow(folder.wstring() + L"\\Flying Windows.scr");
  saver.Write();
  EXPECT_EQ(SystemIniSaver(), std::wstring(shortFolder) + L"Flying Windows.scr");

  saver.ScreenSaver = "C:\\No Such Directory\\saver.scr";
  saver.Write();
  EXPECT_EQ(SystemIniSaver(), L"C:\\No Such Directory\\saver.scr");
}

TEST_F(ScreenSaverTest, ActivityFlagReachesTheSystem) {
  BOOL original = FALSE;
  SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &original, 0);
  for (bool active : {true, false}) {
    TScreenSaver saver;
    saver.Active = active;
    saver.Write();
    TScreenSaver read;
    read.Read();
    EXPECT_EQ(read.Active, active);
  }
  SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, original, nullptr, 0);
}

TEST(MetricsTest, WritesValuesAndFontsTheSystemReadsBack) {
  NONCLIENTMETRICSW original{};
  original.cbSize = sizeof original;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof original, &original, 0);
  ICONMETRICSW originalIcon{};
  originalIcon.cbSize = sizeof originalIcon;
  SystemParametersInfoW(SPI_GETICONMETRICS, sizeof originalIcon, &originalIcon, 0);

  TMetrics metrics;
  metrics.Read();
  EXPECT_EQ(metrics.CaptionHeight, original.iCaptionHeight);
  EXPECT_EQ(metrics.MenuFont.Name, Narrow(original.lfMenuFont.lfFaceName));
  metrics.ScrollWidth = 21;
  metrics.CaptionFont = TThemeFont{"Default", -13, true, true, false, false, ANSI_CHARSET, fpVariable};
  metrics.MessageFont = TThemeFont{"Courier New", -15, false, false, true, true, ANSI_CHARSET, fpFixed};
  metrics.HorzSpacing = 80;
  metrics.Write();

  NONCLIENTMETRICSW written{};
  written.cbSize = sizeof written;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof written, &written, 0);
  ICONMETRICSW icon{};
  icon.cbSize = sizeof icon;
  SystemParametersInfoW(SPI_GETICONMETRICS, sizeof icon, &icon, 0);
  SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof original, &original, 0);
  SystemParametersInfoW(SPI_SETICONMETRICS, sizeof originalIcon, &originalIcon, 0);

  EXPECT_EQ(written.iScrollWidth, 21);
  EXPECT_STREQ(written.lfCaptionFont.lfFaceName, L"MS Sans Serif");
  EXPECT_EQ(written.lfCaptionFont.lfWeight, FW_BOLD);
  EXPECT_TRUE(written.lfCaptionFont.lfItalic);
  EXPECT_EQ(written.lfMessageFont.lfWeight, FW_NORMAL);
  EXPECT_TRUE(written.lfMessageFont.lfStrikeOut);
  EXPECT_EQ(icon.iHorzSpacing, 80);
}

TEST(ThemeFontTest, FaceNameIsCutToFitTheRecord) {
  const LOGFONTA cut = LogFontFromFont({std::string(60, 'x'), 9, false, false, false, false, 0, fpDefault});
  EXPECT_EQ(std::string(cut.lfFaceName), std::string(LF_FACESIZE - 1, 'x'));
}

}  // namespace
}  // namespace skyloom
