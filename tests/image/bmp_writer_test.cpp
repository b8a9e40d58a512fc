// The bitmap writer, byte by byte: headers, palettes, padding, run-length
// rows and the two-colour conversion.
#include <gtest/gtest.h>

#include "image/bitmap.h"
#include "image/codecs/bmp_rle.h"
#include "image/image_io.h"
#include "tests/image/test_files.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

using testing_util::Get16;
using testing_util::Get32;
using testing_util::MakeRaster;
using testing_util::PixelAt;
using testing_util::TBytes;

TBytes Write(TBitmap& raster, TIOParamsVals& params, bool* aborted = nullptr,
             TProgressEvent onProgress = nullptr) {
  TImageIO io;
  io.AttachedBitmap(&raster);
  io.Params = params;
  io.OnProgress = std::move(onProgress);
  const std::string path = testing_util::ScratchPath("written.bmp");
  io.SaveToFileBMP(path);
  params = io.Params;
  if (aborted) *aborted = io.Aborting;
  return testing_util::ReadBytes(path);
}

TBitmap ReadBack(const TBytes& file) {
  TBitmap raster;
  TImageIO io;
  io.AttachedBitmap(&raster);
  TMemoryStream stream(file);
  io.LoadFromStreamBMP(stream);
  EXPECT_FALSE(io.Aborting);
  return raster;
}

TBytes Rle(const TBytes& indices, bool rle4) {
  TBytes out;
  EncodeRleRow(indices.data(), static_cast<int>(indices.size()), rle4, out);
  return out;
}

TEST(BmpWriterLayout, WallpaperHeaderFieldByField) {
  TBitmap raster = MakeRaster(3, 2, [](int x, int y) { return static_cast<std::uint32_t>(0x102030 * (x + 1) + y); });
  TIOParamsVals params;
  params.DpiX = 96;
  params.DpiY = 300;
  const TBytes file = Write(raster, params);
  ASSERT_EQ(file.size(), 54u + 24u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(Get32(file, 2), 78u);
  EXPECT_EQ(Get32(file, 6), 0u);
  EXPECT_EQ(Get32(file, 10), 54u);
  EXPECT_EQ(Get32(file, 14), 40u);
  EXPECT_EQ(Get32(file, 18), 3u);
  EXPECT_EQ(Get32(file, 22), 2u);
  EXPECT_EQ(Get16(file, 26), 1u);
  EXPECT_EQ(Get16(file, 28), 24u);
  EXPECT_EQ(Get32(file, 30), 0u);
  EXPECT_EQ(Get32(file, 34), 24u);  // rows of 12 bytes: 9 pixel bytes and 3 pad bytes
  EXPECT_EQ(Get32(file, 38), 3780u);
  EXPECT_EQ(Get32(file, 42), 11811u);
  EXPECT_EQ(Get32(file, 46), 0u);
  EXPECT_EQ(Get32(file, 50), 16777216u);
  // Bottom row first, blue, green, red, then padding.
  const TBytes bottom(file.begin() + 54, file.begin() + 66);
  EXPECT_EQ(bottom, (TBytes{0x31, 0x20, 0x10, 0x61, 0x40, 0x20, 0x91, 0x60, 0x30, 0, 0, 0}));
  EXPECT_EQ(file[66], 0x30);
}

TEST(BmpWriterLayout, CoreHeaderAndFourBitPalette) {
  TBitmap raster = MakeRaster(3, 1, [](int x, int) { return x == 1 ? 0xF80000u : 0x0000F8u; });
  TIOParamsVals params;
  params.BMP_Version = 2;
  params.BitsPerSample = 4;
  params.SamplesPerPixel = 1;
  const TBytes file = Write(raster, params);
  ASSERT_EQ(file.size(), 14u + 12u + 16u * 3u + 4u);
  EXPECT_EQ(Get32(file, 14), 12u);
  EXPECT_EQ(Get16(file, 18), 3u);
  EXPECT_EQ(Get16(file, 20), 1u);
  EXPECT_EQ(Get16(file, 24), 4u);
  EXPECT_EQ(Get32(file, 10), 14u + 12u + 48u);
  ASSERT_EQ(params.ColorMapCount(), 16);
  const int blue = file[26 + 0] == 0xF8 ? 0 : 1;  // which entry holds blue
  EXPECT_EQ(file[74], blue * 16 + (1 - blue));
  EXPECT_EQ(file[75], blue * 16);
  const TBitmap back = ReadBack(file);
  EXPECT_EQ(PixelAt(back, 1, 0), 0xF80000u);
  EXPECT_EQ(PixelAt(back, 2, 0), 0x0000F8u);
}

TEST(BmpWriterLayout, EightBitsRoundTripWhenColoursFitThePalette) {
  const std::uint32_t colours[] = {0x080808, 0xF81000, 0x00F880, 0x4040C0, 0xF8F8F8};
  TBitmap raster = MakeRaster(7, 5, [&](int x, int y) { return colours[(x + y) % 5]; });
  TIOParamsVals params;
  params.SamplesPerPixel = 1;
  const TBytes file = Write(raster, params);
  EXPECT_EQ(Get16(file, 28), 8u);
  EXPECT_EQ(Get32(file, 46), 256u);
  EXPECT_EQ(Get32(file, 50), 256u);
  EXPECT_EQ(Get32(file, 10), 54u + 1024u);
  EXPECT_EQ(Get32(file, 34), 8u * 5u);
  EXPECT_EQ(testing_util::RgbTopDown(ReadBack(file)), testing_util::RgbTopDown(raster));
}

TEST(BmpWriterLayout, TwoColoursBecomeOneBitWithTheDarkerFirst) {
  TBitmap raster = MakeRaster(10, 2, [](int x, int y) { return (x + y) % 3 == 0 ? 0xE0E0F0u : 0x202060u; });
  TIOParamsVals params;
  params.BitsPerSample = 1;
  const TBytes file = Write(raster, params);
  ASSERT_EQ(file.size(), 62u + 8u);
  EXPECT_EQ(Get16(file, 28), 1u);
  EXPECT_EQ(Get32(file, 10), 62u);
  EXPECT_EQ(Get32(file, 46), 2u);
  EXPECT_EQ(TBytes(file.begin() + 54, file.begin() + 62), (TBytes{0x60, 0x20, 0x20, 0, 0xF0, 0xE0, 0xE0, 0}));
  // Bottom row (y = 1): light where (x + 1) % 3 == 0, i.e. x = 2, 5, 8.
  EXPECT_EQ(file[62], 0x24);
  EXPECT_EQ(file[63], 0x80);
  // Top row: x = 0, 3, 6, 9.
  EXPECT_EQ(file[66], 0x92);
  EXPECT_EQ(file[67], 0x40);
}

TEST(BmpWriterLayout, OneBitRasterKeepsBlackAndWhite) {
  TBitmap raster(9, 1, TPixelFormat::pf1bit);
  raster.ScanLine(0)[0] = 0x81;
  raster.ScanLine(0)[1] = 0x80;
  TIOParamsVals params;
  params.BitsPerSample = 1;
  const TBytes file = Write(raster, params);
  EXPECT_EQ(TBytes(file.begin() + 54, file.end()), (TBytes{0, 0, 0, 0, 255, 255, 255, 0, 0x81, 0x80, 0, 0}));
  const TBitmap back = ReadBack(file);
  EXPECT_EQ(back.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(PixelAt(back, 8, 0), 0xFFFFFFu);
}

TEST(BmpWriterRle, Rle8RowRules) {
  EXPECT_EQ(Rle({7}, false), (TBytes{1, 7, 0, 0}));
  EXPECT_EQ(Rle({7, 8}, false), (TBytes{1, 7, 1, 8, 0, 0}));
  EXPECT_EQ(Rle({1, 2, 3}, false), (TBytes{0, 3, 1, 2, 3, 0, 0, 0}));
  EXPECT_EQ(Rle({1, 2, 3, 4}, false), (TBytes{0, 4, 1, 2, 3, 4, 0, 0}));
  EXPECT_EQ(Rle({5, 5, 5, 1, 2, 9, 9}, false), (TBytes{3, 5, 1, 1, 1, 2, 2, 9, 0, 0}));
  EXPECT_EQ(Rle({1, 2, 3, 4, 4}, false), (TBytes{0, 3, 1, 2, 3, 0, 2, 4, 0, 0}));
  TBytes long_run(300, 6);
  EXPECT_EQ(Rle(long_run, false), (TBytes{255, 6, 45, 6, 0, 0}));
}

TEST(BmpWriterRle, Rle8SplitsLongLiteralStretches) {
  TBytes row(300);
  for (int i = 0; i < 300; ++i) row[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);  // no equal neighbours
  const TBytes out = Rle(row, false);
  ASSERT_EQ(out.size(), 2u + 255u + 1u + 2u + 45u + 1u + 2u);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 255);
  EXPECT_EQ(out[257], 0);  // pad after an odd run
  EXPECT_EQ(out[258], 0);
  EXPECT_EQ(out[259], 45);
  EXPECT_EQ(out[260], row[255]);
}

TEST(BmpWriterRle, Rle4RowRules) {
  EXPECT_EQ(Rle({7}, true), (TBytes{1, 0x70, 0, 0}));
  EXPECT_EQ(Rle({7, 8}, true), (TBytes{2, 0x78, 0, 0}));
  EXPECT_EQ(Rle({1, 2, 3}, true), (TBytes{0, 3, 0x12, 0x30, 0, 0}));
  EXPECT_EQ(Rle({1, 2, 3, 4, 5}, true), (TBytes{0, 5, 0x12, 0x34, 0x50, 0, 0, 0}));
  EXPECT_EQ(Rle({4, 4, 4, 1}, true), (TBytes{3, 0x44, 1, 0x10, 0, 0}));
}

TEST(BmpWriterRle, CompressedFileEndsWithEndOfBitmapAndReadsBack) {
  TBitmap raster = MakeRaster(20, 3, [](int x, int y) { return x < 10 ? 0xF80000u : (x * 8u + static_cast<std::uint32_t>(y)) << 3; });
  for (const int bits : {4, 8}) {
    TIOParamsVals params;
    params.BitsPerSample = bits;
    params.SamplesPerPixel = 1;
    params.BMP_Compression = 1;
    const TBytes file = Write(raster, params);
    EXPECT_EQ(Get32(file, 30), bits == 4 ? 2u : 1u);
    EXPECT_EQ(Get32(file, 34), file.size() - Get32(file, 10));
    EXPECT_EQ(Get32(file, 2), file.size());
    EXPECT_EQ(file[file.size() - 2], 0);
    EXPECT_EQ(file[file.size() - 1], 1);
    const TBitmap back = ReadBack(file);
    EXPECT_EQ(PixelAt(back, 0, 0), 0xF80000u);
    EXPECT_EQ(PixelAt(back, 9, 2), 0xF80000u);
  }
}

TEST(BmpWriterAbort, StoppedWriteLeavesZeroSizes) {
  TBitmap raster = MakeRaster(4, 4, [](int, int) { return 0x123456u; });
  TIOParamsVals params;
  bool aborted = false;
  TImageIO* io = nullptr;
  std::vector<int> seen;
  const TBytes file = Write(raster, params, &aborted, [&](void* sender, int percent) {
    io = static_cast<TImageIO*>(sender);
    seen.push_back(percent);
    if (percent >= 50) io->Aborting = true;
  });
  EXPECT_TRUE(aborted);
  EXPECT_EQ(seen, (std::vector<int>{0, 25, 50}));
  EXPECT_EQ(file.size(), 54u + 2u * 12u);
  EXPECT_EQ(Get32(file, 2), 0u);
  EXPECT_EQ(Get32(file, 10), 0u);
  EXPECT_EQ(Get16(file, 28), 0u);
  EXPECT_EQ(Get32(file, 34), 0u);
}

}  // namespace
}  // namespace skyloom
