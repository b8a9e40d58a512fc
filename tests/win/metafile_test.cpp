// Metafile import through GDI: an enhanced and a placeable Windows metafile
// made here are drawn onto the raster at their natural size.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "image/bitmap.h"
#include "image/image_io.h"
#include "toolkit/text_win.h"

namespace skyloom {
namespace {

namespace fs = std::filesystem;

fs::path Scratch(const wchar_t* name) {
  return fs::temp_directory_path() / (std::to_wstring(GetCurrentProcessId()) + L"-" + name);
}

std::uint32_t Pixel(const TBitmap& raster, int x, int y) {
  const std::uint8_t* p = raster.ScanLine(y) + 3 * x;
  return p[2] | (p[1] << 8) | (p[0] << 16);
}

// Red rectangle over the right half of a 100 x 50 picture.
void DrawPicture(HDC dc) {
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  const RECT right{50, 0, 100, 50};
  FillRect(dc, &right, red);
  DeleteObject(red);
}

TEST(Metafiles, AnEnhancedMetafileIsDrawnOverTheBackgroundOnePixelSmaller) {
  const auto path = Scratch(L"chart.emf");
  HDC screen = GetDC(nullptr);
  const int mmWide = GetDeviceCaps(screen, HORZSIZE), pixelsWide = GetDeviceCaps(screen, HORZRES);
  const int mmHigh = GetDeviceCaps(screen, VERTSIZE), pixelsHigh = GetDeviceCaps(screen, VERTRES);
  ReleaseDC(nullptr, screen);
  // The frame in hundredths of a millimetre for 100 x 50 screen pixels.
  const RECT frame{0, 0, MulDiv(100, mmWide * 100, pixelsWide), MulDiv(50, mmHigh * 100, pixelsHigh)};
  HDC recorder = CreateEnhMetaFileW(nullptr, path.c_str(), &frame, nullptr);
  ASSERT_NE(recorder, nullptr);
  DrawPicture(recorder);
  DeleteEnhMetaFile(CloseEnhMetaFile(recorder));

  TBitmap raster;
  TImageIO io;
  io.AttachedBitmap(&raster);
  io.SetBackground(0x00FFFFFF);
  io.LoadFromFile(Narrow(path.wstring()));
  ASSERT_FALSE(io.Aborting);
  EXPECT_EQ(io.Params.FileType, 10);
  EXPECT_NEAR(raster.Width(), 99, 2);
  EXPECT_NEAR(raster.Height(), 49, 2);
  EXPECT_EQ(Pixel(raster, 10, 10), 0x00FFFFFFu);
  EXPECT_EQ(Pixel(raster, 80, 10), 0x000000FFu);
  fs::remove(path);
}

TEST(Metafiles, APlaceableWindowsMetafileTakesItsSizeFromTheHeader) {
  HDC recorder = CreateMetaFileW(nullptr);
  SetMapMode(recorder, MM_ANISOTROPIC);
  SetWindowExtEx(recorder, 100, 50, nullptr);
  DrawPicture(recorder);
  HMETAFILE metafile = CloseMetaFile(recorder);
  std::vector<std::uint8_t> bits(GetMetaFileBitsEx(metafile, 0, nullptr));
  GetMetaFileBitsEx(metafile, static_cast<UINT>(bits.size()), bits.data());
  DeleteMetaFile(metafile);

  // Placeable header: key, handle, box (0, 0)-(100, 50) at 96 units per inch.
  std::vector<std::uint16_t> header = {0xCDD7, 0x9AC6, 0, 0, 0, 100, 50, 96, 0, 0, 0};
  std::uint16_t check = 0;
  for (int i = 0; i < 10; ++i) check ^= header[i];
  header[10] = check;
  const auto path = Scratch(L"logo.wmf");
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header.data()), 22);
    out.write(reinterpret_cast<const char*>(bits.data()), static_cast<std::streamsize>(bits.size()));
  }
  TBitmap raster;
  TImageIO io;
  io.AttachedBitmap(&raster);
  io.SetBackground(0x00FFFFFF);
  io.LoadFromFile(Narrow(path.wstring()));
  ASSERT_FALSE(io.Aborting);
  EXPECT_EQ(io.Params.FileType, 9);
  const int dpi = io.Params.DpiX;
  EXPECT_EQ(raster.Width(), MulDiv(100, dpi, 96) - 1);
  EXPECT_EQ(raster.Height(), MulDiv(50, dpi, 96) - 1);
  EXPECT_EQ(Pixel(raster, raster.Width() / 4, 5), 0x00FFFFFFu);
  EXPECT_EQ(Pixel(raster, raster.Width() * 3 / 4, 5), 0x000000FFu);
  fs::remove(path);
}

}  // namespace
}  // namespace skyloom
