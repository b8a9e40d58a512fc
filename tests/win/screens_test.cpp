// Screens in the main window: the "Fit" box and "One picture per screen"
// remembered, a tick on scripted monitor layouts writing what skyloom-img
// writes for them (one tiled bitmap, or one file per monitor through a
// scripted shell interface), and the pictures applied again when the
// monitors change, but not for a settings broadcast that changes nothing.
#include <windows.h>

#include <filesystem>

#include "form_fixture.h"
#include "toolkit/text_win.h"
#include "wallpaper_tool.h"

namespace skyloom {
namespace {

using testing::FormTest;
using testing::RegistryText;
using testing::RunTool;
using testing::TestData;
namespace fs = std::filesystem;

// The shell's interface as a script: its monitors, and what it was told.
struct TScript {
  std::vector<IMonitorWallpaper::TMonitor> monitors;
  std::vector<std::pair<std::wstring, std::wstring>> set;  // (monitor id, path)
  int centred = 0;
};

class TScriptedShell final : public IMonitorWallpaper {
 public:
  explicit TScriptedShell(TScript& script) : script_(script) {}
  std::vector<TMonitor> Monitors() override { return script_.monitors; }
  void SetWallpaper(const std::wstring& id, const std::wstring& path) override { script_.set.emplace_back(id, path); }
  void SetCentred() override { ++script_.centred; }

 private:
  TScript& script_;
};

struct ScreensTest : FormTest {
  TMonitorLayout layout;
  TScript script;
  bool shellExists = false;
  fs::path wallpaper;

  void SetUp() override {
    FormTest::SetUp();
    form->ReadMonitorLayout = [this] { return layout; };
    form->OpenMonitorWallpaper = [this]() -> std::unique_ptr<IMonitorWallpaper> {
      if (!shellExists) return nullptr;
      return std::make_unique<TScriptedShell>(script);
    };
    wallpaper = fs::path(form->AppDir()) / L"wallpaper.bmp";
    for (const auto& name : {L"wallpaper.bmp", L"wallpaper-1.bmp", L"wallpaper-2.bmp"}) {
      std::error_code ignored;
      fs::remove(fs::path(form->AppDir()) / name, ignored);
    }
  }
  // skyloom-img's output for the pictures on `monitors` with "Fill".
  fs::path Expected(const std::vector<fs::path>& pictures, const wchar_t* monitors, const wchar_t* extra = L"") {
    const auto out = dir / L"expected.bmp";
    std::wstring args = L"wallpaper";
    for (const auto& p : pictures) args += L" \"" + p.wstring() + L"\"";
    args += L" \"" + out.wstring() + L"\" --fit fill --monitors " + monitors + extra;
    EXPECT_EQ(RunTool(args), 0u) << Narrow(args);
    return out;
  }
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
};

const fs::path kFirst = TestData("libjpeg-turbo-testimages/testorig.jpg");
const fs::path kSecond = TestData("bmpsuite/g/rgb24.bmp");

TEST_F(ScreensTest, FitAndOnePicturePerScreenAreRemembered) {
  EXPECT_EQ(form->ChosenFit(), TWallpaperFit::wfFit);  // the default
  EXPECT_EQ(form->FitBox->Count(), kWallpaperFitCount);
  form->FitBox->SetItemIndex(4);
  form->PerScreenCheck->SetChecked(true);
  TAppState state;
  form->CollectState(state);
  EXPECT_EQ(state.values["fit"], "tile");
  EXPECT_EQ(state.values["per_monitor"], "1");
  auto fresh = std::make_unique<TMainForm>();
  fresh->RestoreState(state);
  EXPECT_EQ(fresh->ChosenFit(), TWallpaperFit::wfTile);
  EXPECT_TRUE(fresh->PerScreenCheck->Checked());
  state.values["fit"] = "sideways";  // unknown: the default
  fresh->RestoreState(state);
  EXPECT_EQ(fresh->ChosenFit(), TWallpaperFit::wfFit);
}

// Primary 64x48 on the right, a 40x30 monitor left of it and lower down:
// one tiled bitmap, TileWallpaper 1 and WallpaperStyle 0.
TEST_F(ScreensTest, WithoutTheShellInterfaceOneTiledBitmapWrapsTheLeftMonitor) {
  layout = {{0, 0, 64, 48}, {-40, 10, 40, 30}};
  form->FitBox->SetItemIndex(1);  // "Fill"
  form->PerScreenCheck->SetChecked(true);
  for (const auto& p : {kFirst, kSecond}) form->AddCheckedImage(p.wstring());
  form->NextImage1Click(nullptr);
  ASSERT_TRUE(errors.empty()) << Narrow(errors[0]);
  const auto expected = Expected({kFirst, kSecond}, L"64x48+0+0,40x30-40+10");
  EXPECT_EQ(ReadFile(wallpaper.wstring()), ReadFile(expected.wstring()));
  EXPECT_EQ(RegistryText(L"Control Panel\\Desktop", L"Wallpaper"), wallpaper.wstring());
  EXPECT_EQ(RegistryText(L"Control Panel\\Desktop", L"TileWallpaper"), L"1");
  EXPECT_EQ(RegistryText(L"Control Panel\\Desktop", L"WallpaperStyle"), L"0");
  // Both pictures were used: the next tick starts over at the first.
  form->NextImage1Click(nullptr);
  EXPECT_EQ(form->CurrentImageFile(), Narrow(kFirst.wstring()));
}

// A checked folder row gives each monitor its next picture, in name order.
TEST_F(ScreensTest, AFolderRowFillsTheMonitorsPictureByPicture) {
  layout = {{0, 0, 64, 48}, {-40, 10, 40, 30}};
  form->FitBox->SetItemIndex(1);
  form->PerScreenCheck->SetChecked(true);
  const fs::path pics = dir / L"pics";
  fs::create_directory(pics);
  fs::copy_file(kFirst, pics / L"1.jpg");
  fs::copy_file(kSecond, pics / L"2.bmp");
  form->AddFolder(pics.wstring(), false);
  form->NextImage1Click(nullptr);
  for (int i = 0; i < 2000 && form->Rotation().waiting; ++i) {
    Sleep(5);
    testing::TestApplication().ProcessMessages();
  }
  ASSERT_TRUE(errors.empty()) << Narrow(errors[0]);
  const auto expected = Expected({pics / L"1.jpg", pics / L"2.bmp"}, L"64x48+0+0,40x30-40+10");
  EXPECT_EQ(ReadFile(wallpaper.wstring()), ReadFile(expected.wstring()));
  EXPECT_EQ(form->CurrentImageFile(), Narrow((pics / L"1.jpg").wstring()));
}

TEST_F(ScreensTest, WithTheShellInterfaceEachMonitorGetsItsOwnFileCentred) {
  shellExists = true;
  script.monitors = {{L"\\\\?\\DISPLAY#A", {0, 0, 64, 48}}, {L"\\\\?\\DISPLAY#B", {64, 0, 32, 48}}};
  layout = {{0, 0, 64, 48}, {64, 0, 32, 48}};
  form->FitBox->SetItemIndex(1);
  form->PerScreenCheck->SetChecked(true);
  for (const auto& p : {kFirst, kSecond}) form->AddCheckedImage(p.wstring());
  form->NextImage1Click(nullptr);
  ASSERT_TRUE(errors.empty()) << Narrow(errors[0]);
  Expected({kFirst, kSecond}, L"64x48+0+0,32x48+64+0", L" --per-monitor");
  const fs::path appDir(form->AppDir());
  for (const wchar_t* n : {L"-1.bmp", L"-2.bmp"})
    EXPECT_EQ(ReadFile((appDir / (std::wstring(L"wallpaper") + n)).wstring()),
              ReadFile((dir / (std::wstring(L"expected") + n)).wstring()))
        << Narrow(n);
  ASSERT_EQ(script.set.size(), 2u);
  EXPECT_EQ(script.set[0], std::make_pair(std::wstring(L"\\\\?\\DISPLAY#A"), (appDir / L"wallpaper-1.bmp").wstring()));
  EXPECT_EQ(script.set[1], std::make_pair(std::wstring(L"\\\\?\\DISPLAY#B"), (appDir / L"wallpaper-2.bmp").wstring()));
  EXPECT_EQ(script.centred, 1);
  // With one monitor the interface is left alone: wallpaper.bmp, centred.
  script = {};
  script.monitors = {{L"\\\\?\\DISPLAY#A", {0, 0, 64, 48}}};
  layout = {{0, 0, 64, 48}};
  form->NextImage1Click(nullptr);
  EXPECT_TRUE(script.set.empty());
  EXPECT_EQ(ReadFile(wallpaper.wstring()), ReadFile(Expected({kFirst}, L"64x48+0+0").wstring()));
  EXPECT_EQ(RegistryText(L"Control Panel\\Desktop", L"TileWallpaper"), L"0");
}

TEST_F(ScreensTest, AChangedLayoutIsAppliedAgainAndABroadcastAloneIsNot) {
  layout = {{0, 0, 64, 48}};
  form->FitBox->SetItemIndex(1);
  form->AddCheckedImage(kFirst.wstring());
  form->NextImage1Click(nullptr);
  ASSERT_EQ(ReadFile(wallpaper.wstring()), ReadFile(Expected({kFirst}, L"64x48+0+0").wstring()));
  // Our own apply broadcasts settings changes; nothing about the monitors
  // changed, so nothing is written again.
  fs::remove(wallpaper);
  SendMessageW(form->Handle(), WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0);
  Pump();
  EXPECT_FALSE(fs::exists(wallpaper));
  // A second monitor plugged in: the same picture for the new layout.
  layout = {{0, 0, 64, 48}, {64, 0, 20, 48}};
  SendMessageW(form->Handle(), WM_DISPLAYCHANGE, 24, MAKELPARAM(84, 48));
  Pump();
  EXPECT_EQ(ReadFile(wallpaper.wstring()), ReadFile(Expected({kFirst}, L"64x48+0+0,20x48+64+0").wstring()));
}

}  // namespace
}  // namespace skyloom
