// The image wallpaper end to end: a rotation tick on a real picture writes
// wallpaper.bmp exactly as `skyloom-img wallpaper` does for the same desktop
// size, and the desktop settings point at it with the sampled colour.
#include <windows.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "desktop/virtual_screen.h"
#include "form_fixture.h"
#include "wallpaper_tool.h"
#include "toolkit/stream.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

using testing::FormTest;
using testing::RegistryText;
using testing::RunTool;
using testing::TestApplication;
using testing::TestData;
namespace fs = std::filesystem;

struct WallpaperTest : FormTest {
  fs::path wallpaper;
  void SetUp() override {
    FormTest::SetUp();
    wallpaper = fs::path(form->AppDir()) / L"wallpaper.bmp";
    std::error_code ignored;
    fs::remove(wallpaper, ignored);
  }
  std::wstring Desktop() const {
    return std::to_wstring(GetSystemMetrics(SM_CXVIRTUALSCREEN)) + L"x" +
           std::to_wstring(GetSystemMetrics(SM_CYVIRTUALSCREEN));
  }
  void ExpectSameAsTool(const fs::path& picture, const wchar_t* filter) {
    const auto expected = dir / L"expected.bmp";
    ASSERT_EQ(RunTool(L"wallpaper \"" + picture.wstring() + L"\" \"" + expected.wstring() + L"\" --desktop " +
                      Desktop() + L" --filter " + filter),
              0u);
    EXPECT_EQ(ReadFile(wallpaper.wstring()), ReadFile(expected.wstring())) << picture;
  }
};

TEST_F(WallpaperTest, ATickOnEveryFormatWritesWhatTheToolWrites) {
  const fs::path pictures[] = {TestData("libjpeg-turbo-testimages/testorig.jpg"),
                               TestData("pngsuite/basn2c08.png"), TestData("bmpsuite/g/rgb24.bmp"),
                               TestData("tga-conformance/ctc24.tga"), TestData("pillow/odd_stride.pcx"),
                               // LZW pictures rotate without the thumbnail browser ever opened
                               TestData("image-gif/samples/anim-gr.gif"),
                               TestData("zigimg-test-suite/tiff/sample-rgb24-lzw.tiff")};
  for (const auto& picture : pictures) {
    ASSERT_TRUE(fs::exists(picture)) << picture;
    form->AddCheckedImage(picture.wstring());
  }
  for (const auto& picture : pictures) {
    form->NextImage1Click(nullptr);
    ASSERT_TRUE(errors.empty()) << Narrow(errors[0]);
    EXPECT_EQ(form->CurrentImageFile(), Narrow(picture.wstring()));
    ExpectSameAsTool(picture, L"Bell");
    EXPECT_EQ(RegistryText(L"Control Panel\\Desktop", L"Wallpaper"), wallpaper.wstring());
  }
}

TEST_F(WallpaperTest, TheChosenFilterIsUsedAndNoSelectionMeansBell) {
  const auto picture = TestData("bmpsuite/g/rgb24.bmp");
  form->AddCheckedImage(picture.wstring());
  form->ResizeBox->SetItemIndex(5);
  form->NextImage1Click(nullptr);
  ExpectSameAsTool(picture, L"Lanczos3");
  form->ResizeBox->SetItemIndex(-1);
  form->NextImage1Click(nullptr);
  ExpectSameAsTool(picture, L"Bell");
}

// A 24-bit BMP whose pixel (x, y), y counted from the top, has colour(x, y)
// (0x00RRGGBB).
template <typename Colour>
std::string Bmp24(int width, int height, Colour colour) {
  const int rowSize = (width * 3 + 3) / 4 * 4;
  std::string bmp = {'B', 'M'};
  auto put32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) bmp.push_back(static_cast<char>(v >> (8 * i))); };
  auto put16 = [&](std::uint16_t v) { bmp.push_back(static_cast<char>(v)); bmp.push_back(static_cast<char>(v >> 8)); };
  put32(54 + rowSize * height); put32(0); put32(54);
  put32(40); put32(width); put32(height); put16(1); put16(24); put32(0); put32(rowSize * height);
  put32(0); put32(0); put32(0); put32(0);
  for (int y = height - 1; y >= 0; --y) {  // bottom-up
    std::string row;
    for (int x = 0; x < width; ++x)
      for (int shift : {0, 8, 16}) row.push_back(static_cast<char>(colour(x, y) >> shift));
    row.resize(rowSize, '\0');
    bmp += row;
  }
  return bmp;
}

TEST_F(WallpaperTest, TheBackgroundComesFromNearTheTopLeftCornerEvenOfATinyPicture) {
  // 5 x 40: red where the sample may fall (x >= 1, 1 <= y <= 20 from the
  // top), blue elsewhere, so a sample taken from the bottom-left corner or
  // from column or row 0 shows up as blue.
  const auto tiny = WriteFile(L"tiny.bmp", Bmp24(5, 40, [](int x, int y) {
    return x >= 1 && y >= 1 && y <= 20 ? 0xFF0000u : 0x0000FFu;
  }));
  form->AddCheckedImage(tiny);
  for (int i = 0; i < 8; ++i) {
    form->NextImage1Click(nullptr);
    EXPECT_EQ(form->WallpaperBackColor, 0x000000FFu);
  }
  EXPECT_EQ(RegistryText(L"Control Panel\\Colors", L"Background"), L"255 0 0");
  EXPECT_EQ(GetSysColor(COLOR_BACKGROUND), 0x000000FFu);
}

TEST_F(WallpaperTest, MissingAndUnreadablePicturesLeaveTheWallpaperAlone) {
  form->AddCheckedImage((dir / L"gone.jpg").wstring());
  form->AddCheckedImage(WriteFile(L"broken.png", "not a picture at all"));
  form->NextImage1Click(nullptr);
  form->NextImage1Click(nullptr);
  EXPECT_TRUE(errors.empty());
  EXPECT_FALSE(fs::exists(wallpaper));
  EXPECT_EQ(form->ImageCursor(), 2);  // the rotation went on
  EXPECT_EQ(form->StatusBar1->Text(), L"Could not read the picture " + (dir / L"broken.png").wstring());
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.PixelFormat() != b.PixelFormat()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (std::memcmp(a.ScanLine(y), b.ScanLine(y), a.Width() * 3) != 0) return false;
  return true;
}

TEST_F(WallpaperTest, AfterAFailedChangeTheSnapshotShowsWhatTheDesktopShowsAndTheBarIsAtZero) {
  const auto blue = WriteFile(L"blue.bmp", Bmp24(40, 30, [](int, int) { return 0x0000FFu; }));
  // 64 x 64 red, cut after 32 rows: the reader keeps the rows it got.
  const std::string red = Bmp24(64, 64, [](int, int) { return 0xFF0000u; });
  const auto half = WriteFile(L"half.bmp", red.substr(0, 54 + 64 * 3 * 32));
  form->AddCheckedImage(blue);
  form->AddCheckedImage(half);
  form->NextImage1Click(nullptr);
  EXPECT_EQ(form->ProgressBar->Position(), 0);
  const TBitmap applied = form->ImageView1->GetBitmap();
  ASSERT_EQ(applied.Width(), GetSystemMetrics(SM_CXVIRTUALSCREEN));
  form->NextImage1Click(nullptr);
  ASSERT_EQ(form->CurrentImageFile(), Narrow(half));
  EXPECT_TRUE(SamePixels(form->ImageView1->GetBitmap(), applied));
  EXPECT_EQ(form->ProgressBar->Position(), 0);

  // The write fails: the desktop still shows the file its settings name
  // (127 x 64).
  form->DesktopTheme->Desktop.Wallpaper = Narrow(TestData("bmpsuite/g/rgb24.bmp").wstring());
  fs::remove(wallpaper);
  fs::create_directory(wallpaper);
  EXPECT_ANY_THROW(form->NextImage1Click(nullptr));
  fs::remove(wallpaper);
  ASSERT_EQ(form->CurrentImageFile(), Narrow(blue));
  EXPECT_EQ(form->ImageView1->GetBitmap().Width(), 127);
  EXPECT_EQ(form->ImageView1->GetBitmap().Height(), 64);
  EXPECT_EQ(form->ProgressBar->Position(), 0);
  // Nothing the desktop shows can be read: the snapshot shows nothing.
  form->DesktopTheme->Desktop.Wallpaper = Narrow((dir / L"gone.bmp").wstring());
  form->SetWallpaperFromFile(Narrow(half));
  EXPECT_TRUE(form->ImageView1->GetBitmap().Empty());
}

TEST_F(WallpaperTest, TheWallpaperIsCentredWhateverStyleTheSystemHeld) {
  for (const auto& [style, tile] : {std::pair{L"2", L"0"}, std::pair{L"0", L"1"}}) {
    form.reset();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, L"WallpaperStyle", 0, REG_SZ, reinterpret_cast<const BYTE*>(style), 4);
    RegSetValueExW(key, L"TileWallpaper", 0, REG_SZ, reinterpret_cast<const BYTE*>(tile), 4);
    RegCloseKey(key);
    form = std::make_unique<TMainForm>();
    TestApplication().SetMainWindow(form->Handle());
    form->AddCheckedImage(TestData("bmpsuite/g/rgb24.bmp").wstring());
    form->NextImage1Click(nullptr);
    EXPECT_EQ(RegistryText(L"Control Panel\\Desktop", L"WallpaperStyle"), L"0") << style;
    EXPECT_EQ(RegistryText(L"Control Panel\\Desktop", L"TileWallpaper"), L"0") << tile;
  }
}

TEST_F(WallpaperTest, CheckAllOnTheCommandLineMakesALoadedListRotate) {
  const auto picture = TestData("bmpsuite/g/rgb24.bmp");
  const auto list = WriteFile(L"best.Gal", Narrow(picture.wstring()) + "\r\n");
  form->RunCommandLine({list, L"/checkall", L"/next"});
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(form->CurrentImageFile(), Narrow(picture.wstring()));
  EXPECT_TRUE(fs::exists(wallpaper));
}

// A full disk: the system's device that refuses every byte for want of
// space (Wine maps drive Z: to the root). The error names the file and the
// system's reason instead of a bare "Stream write error".
TEST(FileWrite, AFullDiskNamesTheFileAndTheSystemsReason) {
  const std::string full = "Z:\\dev\\full";
  std::unique_ptr<TFileStream> stream;
  try {
    stream = std::make_unique<TFileStream>(full, TFileMode::fmCreate);
  } catch (const EFCreateError&) {
    GTEST_SKIP() << "no full device here";
  }
  const std::vector<char> bytes(65536, 'x');
  try {
    stream->WriteBuffer(bytes.data(), bytes.size());
    ADD_FAILURE() << "no error";
  } catch (const EWriteError& error) {
    // The system's own words ("There is not enough space on the disk.").
    wchar_t reason[256] = L"";
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_DISK_FULL, 0, reason,
                   256, nullptr);
    std::wstring expected = L"Cannot write file Z:\\dev\\full: " + std::wstring(reason);
    while (!expected.empty() && (expected.back() == L'\n' || expected.back() == L'\r')) expected.pop_back();
    EXPECT_EQ(Widen(error.what()), expected);
  }
}

// The desktop's size is read as per-monitor DPI aware, so a scaled display
// still gets a wallpaper of its physical size.
TEST(VirtualScreen, IsReadInPhysicalPixels) {
  using GetContext = DPI_AWARENESS_CONTEXT(WINAPI*)();
  using AwarenessOf = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const auto getContext = reinterpret_cast<GetContext>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
  const auto awarenessOf = reinterpret_cast<AwarenessOf>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
  ASSERT_TRUE(getContext && awarenessOf);
  const DPI_AWARENESS before = awarenessOf(getContext());
  std::vector<DPI_AWARENESS> seen;
  const TScreenSize size = PhysicalVirtualScreenSize([&](int index) {
    seen.push_back(awarenessOf(getContext()));
    return GetSystemMetrics(index);
  });
  EXPECT_EQ(seen, (std::vector<DPI_AWARENESS>{DPI_AWARENESS_PER_MONITOR_AWARE, DPI_AWARENESS_PER_MONITOR_AWARE}));
  EXPECT_EQ(awarenessOf(getContext()), before);
  EXPECT_GT(size.width, 0);
  EXPECT_GT(size.height, 0);
}

TEST_F(WallpaperTest, TheTimerTicksOnTheMainThreadAndChangesTheWallpaper) {
  const auto picture = TestData("bmpsuite/g/rgb24.bmp");
  form->AddCheckedImage(picture.wstring());
  form->AddCheckedImage(picture.wstring());
  form->Timer1->SetDelay(50);  // not minutes, for the test
  form->Timer1->SetActive(true);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (form->ImageCursor() < 2 && std::chrono::steady_clock::now() < end) {
    TestApplication().ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  form->ToolButton3Click(nullptr);
  EXPECT_GE(form->ImageCursor(), 2);
  EXPECT_TRUE(fs::exists(wallpaper));
  EXPECT_TRUE(errors.empty());
}

TEST_F(WallpaperTest, AFailingTimerTickIsReportedAndTheTimerGoesOn) {
  const auto picture = TestData("bmpsuite/g/rgb24.bmp");
  form->AddCheckedImage(picture.wstring());
  // wallpaper.bmp cannot be created while a directory of that name stands there.
  fs::create_directory(wallpaper);
  form->Timer1->SetDelay(30);
  form->Timer1->SetActive(true);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (errors.size() < 2 && std::chrono::steady_clock::now() < end) {
    TestApplication().ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  form->ToolButton3Click(nullptr);
  fs::remove(wallpaper);
  ASSERT_GE(errors.size(), 2u);
  EXPECT_EQ(errors[0], L"Cannot create file " + wallpaper.wstring() + L".");
}

}  // namespace
}  // namespace skyloom
