// The JPEG reader and writer: colour spaces, density, scaled decoding,
// parameters-only reads, truncated and foreign data, progress, and what
// survives a write and a read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/bitmap.h"
#include "image/codecs/jpeg_pixels.h"
#include "image/codecs/jpeg_reader.h"
#include "image/codecs/jpeg_writer.h"
#include "image/file_formats.h"
#include "image/image_io.h"
#include "image/io_params.h"
#include "image/screen_dpi.h"
#include "tests/image/test_files.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

using testing_util::TBytes;

// A smooth, colourful picture that JPEG keeps well.
TBitmap Gradient(int width, int height) {
  return testing_util::MakeRaster(width, height, [&](int x, int y) {
    const unsigned r = 255u * static_cast<unsigned>(x) / static_cast<unsigned>(width);
    const unsigned g = 255u * static_cast<unsigned>(y) / static_cast<unsigned>(height);
    return (r << 16) | (g << 8) | 96u;
  });
}

using TRead = testing_util::TCodecRead;

TRead Read(const TBytes& bytes, TIOParamsVals params = {}, bool paramsOnly = false, int stopAt = -1) {
  return testing_util::ReadWithCodec(ReadJpegStream, bytes, params, paramsOnly, stopAt);
}

TBytes Write(const TBitmap& raster, const TIOParamsVals& params, bool* aborting = nullptr) {
  TMemoryStream stream;
  bool flag = false;
  TIOParamsVals copy = params;
  TProgressRec progress{nullptr, nullptr, 0.0, aborting ? aborting : &flag};
  WriteJpegStream(stream, raster, copy, progress);
  return stream.Bytes();
}

TBytes TestOrig() { return testing_util::ReadBytes(testing_util::TestDataPath("libjpeg-turbo-testimages/testorig.jpg")); }

// Mean and largest absolute channel difference of two 24-bit rasters.
std::pair<double, int> Error(const TBitmap& a, const TBitmap& b) {
  const TBytes x = testing_util::RgbTopDown(a), y = testing_util::RgbTopDown(b);
  if (x.size() != y.size() || x.empty()) return {1e9, 256};
  double sum = 0;
  int most = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const int d = std::abs(x[i] - y[i]);
    sum += d;
    most = std::max(most, d);
  }
  return {sum / static_cast<double>(x.size()), most};
}

// The JFIF segment follows the start-of-image marker: unit at byte 13,
// X density at 14, Y density at 16 (big-endian).
void SetJfifDensity(TBytes& file, std::uint8_t unit, std::uint16_t x, std::uint16_t y) {
  ASSERT_EQ(file[6], 'J');
  file[13] = unit;
  file[14] = static_cast<std::uint8_t>(x >> 8), file[15] = static_cast<std::uint8_t>(x);
  file[16] = static_cast<std::uint8_t>(y >> 8), file[17] = static_cast<std::uint8_t>(y);
}

TEST(JpegPixels, InvertedCmykUsesIntegerDivisionBothWays) {
  const std::uint8_t cmyk[8] = {200, 100, 0, 128, 255, 255, 255, 0};
  std::uint8_t bgr[6];
  InvertedCmykToBgr(cmyk, 2, bgr);
  EXPECT_EQ(bgr[2], 100);  // 200 * 128 / 255 = 100.39
  EXPECT_EQ(bgr[1], 50);   // 100 * 128 / 255 = 50.19
  EXPECT_EQ(bgr[0], 0);
  EXPECT_EQ(bgr[3] | bgr[4] | bgr[5], 0);  // K = 0 is black whatever the inks

  const std::uint8_t in[6] = {30, 60, 120, 0, 0, 0};  // blue, green, red; then black
  std::uint8_t out[8];
  BgrToInvertedCmyk(in, 2, out);
  EXPECT_EQ(out[3], 120);                  // K = max
  EXPECT_EQ(out[0], 255);                  // C = R * 255 / m
  EXPECT_EQ(out[1], 60 * 255 / 120);
  EXPECT_EQ(out[2], 30 * 255 / 120);
  EXPECT_EQ(out[4] | out[5] | out[6], 0);  // black: m taken as 1
  EXPECT_EQ(out[7], 1);
}

TEST(JpegRead, DensityInDotsPerInchOrCentimetre) {
  TIOParamsVals params;
  params.DpiX = params.DpiY = 72;
  TBytes file = Write(Gradient(16, 16), params);
  TRead r = Read(file);
  EXPECT_EQ(r.params.DpiX, 72);
  EXPECT_EQ(r.params.DpiY, 72);

  SetJfifDensity(file, 2, 118, 40);  // dots per centimetre
  r = Read(file);
  EXPECT_EQ(r.params.DpiX, 299);
  EXPECT_EQ(r.params.DpiY, 101);

  // Unit 0 is only an aspect ratio: the screen's resolution stands in.
  SetJfifDensity(file, 0, 1, 1);
  r = Read(file);
  EXPECT_EQ(r.params.DpiX, ScreenDpi());
}

TEST(JpegWrite, DensityIsWrittenInDotsPerInch) {
  TIOParamsVals params;
  params.DpiX = 96;
  params.DpiY = 120;
  const TBytes file = Write(Gradient(8, 8), params);
  EXPECT_EQ(file[13], 1);
  EXPECT_EQ((file[14] << 8) | file[15], 96);
  EXPECT_EQ((file[16] << 8) | file[17], 120);

  params.DpiX = params.DpiY = 0;  // no resolution known: "unknown", not 0 dpi
  const TBytes unknown = Write(Gradient(8, 8), params);
  EXPECT_EQ(unknown[13], 0);
  EXPECT_EQ((unknown[14] << 8) | unknown[15], 1);
}

TEST(JpegRead, FillsParamsAndDecodesTheBaselineSample) {
  TIOParamsVals params;
  params.ColorMap.resize(4);
  const TRead r = Read(TestOrig(), params);
  EXPECT_FALSE(r.aborting);
  EXPECT_EQ(r.params.Width, 227);
  EXPECT_EQ(r.params.Height, 149);
  EXPECT_EQ(r.params.BitsPerSample, 8);
  EXPECT_EQ(r.params.SamplesPerPixel, 3);
  EXPECT_EQ(r.params.JPEG_ColorSpace, 2);
  EXPECT_FALSE(r.params.JPEG_Progressive);
  EXPECT_EQ(r.params.ColorMapCount(), 0);
  EXPECT_EQ(r.raster.PixelFormat(), TPixelFormat::pf24bit);
  ASSERT_FALSE(r.reports.empty());
  EXPECT_EQ(r.reports.back(), 100);
  EXPECT_TRUE(std::is_sorted(r.reports.begin(), r.reports.end()));
}

TEST(JpegRead, ScaledDecodingRoundsUp) {
  const struct {
    int scale, width, height;
  } cases[] = {{1, 227, 149}, {2, 114, 75}, {3, 57, 38}, {4, 29, 19}, {9, 227, 149}};
  for (const auto& c : cases) {
    TIOParamsVals params;
    params.JPEG_Scale = c.scale;
    const TRead r = Read(TestOrig(), params);
    EXPECT_EQ(r.raster.Width(), c.width) << "scale " << c.scale;
    EXPECT_EQ(r.raster.Height(), c.height) << "scale " << c.scale;
    EXPECT_EQ(r.params.Width, c.width);
  }
}

TEST(JpegRead, AutomaticScaleTakesTheAreaClosestToTheWantedSize) {
  TIOParamsVals params;
  params.JPEG_Scale = 0;
  params.Width = 60;  // 227 x 149 by 4 gives 56 x 37 = 2072, nearest to 2400
  params.Height = 40;
  EXPECT_EQ(Read(TestOrig(), params).raster.Width(), 57);
  params.Width = 0;  // nothing wanted: full size
  EXPECT_EQ(Read(TestOrig(), params).raster.Width(), 227);
  params.Width = 10000;
  params.Height = 10000;
  EXPECT_EQ(Read(TestOrig(), params).raster.Width(), 227);
}

TEST(JpegRead, ParamsOnlyLeavesTheRasterAlone) {
  TRead r;
  r.raster.Allocate(3, 3, TPixelFormat::pf1bit);
  TMemoryStream stream(testing_util::ReadBytes(testing_util::TestDataPath("image-rs/jpg/progressive/cat.jpg")));
  bool aborting = false;
  TProgressRec progress{nullptr, nullptr, 0.0, &aborting};
  ReadJpegStream(stream, r.raster, r.params, progress, true);
  EXPECT_FALSE(aborting);
  EXPECT_EQ(r.params.Width, 320);
  EXPECT_EQ(r.params.Height, 240);
  EXPECT_TRUE(r.params.JPEG_Progressive);
  EXPECT_EQ(r.raster.Width(), 3);
  EXPECT_EQ(r.raster.PixelFormat(), TPixelFormat::pf1bit);
}

TEST(JpegRoundTrip, EachColourSpaceComesBackCloseToTheOriginal) {
  const TBitmap original = Gradient(64, 48);
  for (const int space : {0, 2, 3, 4}) {
    TIOParamsVals params;
    params.JPEG_ColorSpace = space;
    params.JPEG_Quality = 90;
    const TRead r = Read(Write(original, params));
    ASSERT_FALSE(r.aborting) << "space " << space;
    EXPECT_EQ(r.params.JPEG_ColorSpace, space);
    const auto [mean, most] = Error(original, r.raster);
    EXPECT_LT(mean, 2.0) << "space " << space;
    EXPECT_LT(most, 24) << "space " << space;
  }
}

TEST(JpegRoundTrip, GreyscaleProgressiveAndOptionsAreHonoured) {
  TIOParamsVals params;
  params.JPEG_ColorSpace = 1;
  params.JPEG_Progressive = true;
  params.JPEG_OptimalHuffman = true;
  params.JPEG_Smooth = 30;
  params.JPEG_DCTMethod = 2;
  const TRead r = Read(Write(Gradient(40, 40), params));
  ASSERT_FALSE(r.aborting);
  EXPECT_EQ(r.params.JPEG_ColorSpace, 1);
  EXPECT_TRUE(r.params.JPEG_Progressive);
  for (int y = 0; y < 40; y += 7)
    for (int x = 0; x < 40; x += 7) {
      const std::uint8_t* p = r.raster.ScanLine(y) + 3 * x;
      EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);
    }
}

TEST(JpegRoundTrip, QualityTradesSizeForError) {
  const TBitmap original = Gradient(128, 96);
  TIOParamsVals low, high;
  low.JPEG_Quality = 10;
  high.JPEG_Quality = 95;
  const TBytes small = Write(original, low), large = Write(original, high);
  EXPECT_LT(small.size(), large.size());
  EXPECT_LT(Error(original, Read(large).raster).first, Error(original, Read(small).raster).first);
}

TEST(JpegWrite, BinaryRasterIsWrittenAsBlackAndWhite) {
  TBitmap mono(16, 8, TPixelFormat::pf1bit);
  for (int y = 0; y < 8; ++y) mono.ScanLine(y)[0] = 0xFF;  // left half white
  const TRead r = Read(Write(mono, {}));
  ASSERT_FALSE(r.aborting);
  EXPECT_GT(r.raster.ScanLine(4)[0], 200);
  EXPECT_LT(r.raster.ScanLine(4)[3 * 12], 50);
}

TEST(JpegRead, TruncatedFileSetsAbortingAndKeepsTheRowsDecoded) {
  const TBitmap original = Gradient(64, 64);
  TIOParamsVals params;
  params.JPEG_Quality = 100;
  TBytes file = Write(original, params);
  const TRead full = Read(file);
  file.resize(file.size() * 6 / 10);
  const TRead cut = Read(file);
  EXPECT_TRUE(cut.aborting);
  ASSERT_EQ(cut.raster.Height(), 64);
  for (int y = 0; y < 8; ++y)  // the first row group, decoded from complete data
    EXPECT_EQ(0, std::memcmp(cut.raster.ScanLine(y), full.raster.ScanLine(y), 64 * 3)) << "row " << y;
  EXPECT_EQ(cut.raster.ScanLine(63)[0], 0);  // never reached
}

TEST(JpegRead, ForeignAndCorruptDataSetAborting) {
  TRead r = Read(TBytes{0x89, 'P', 'N', 'G', 0, 0, 0, 0});
  EXPECT_TRUE(r.aborting);
  EXPECT_TRUE(r.raster.Empty());
  EXPECT_TRUE(Read(TBytes{0xFF, 0xD8}).aborting);
  EXPECT_TRUE(Read(TBytes{0xFF, 0xD8, 0xFF}).aborting);

  TBytes garbled = Write(Gradient(32, 32), {});
  for (std::size_t i = 20; i < 200 && i < garbled.size(); ++i) garbled[i] ^= 0x5A;  // the tables
  EXPECT_TRUE(Read(garbled).aborting);
}

TEST(JpegRead, ProgressHandlerStopsTheRead) {
  const TRead r = Read(Write(Gradient(32, 64), {}), {}, false, 1);
  EXPECT_TRUE(r.aborting);
  EXPECT_EQ(r.reports.size(), 1u);
  EXPECT_LT(r.reports[0], 100);
  EXPECT_EQ(r.raster.ScanLine(63)[0], 0);
}

// A stream whose reads and writes fail like a vanished disk.
using testing_util::TFailingStream;

TEST(JpegCodec, StreamErrorsPassOnAfterReleasingTheLibrary) {
  TFailingStream in;
  TBitmap raster;
  TIOParamsVals params;
  bool aborting = false;
  TProgressRec progress{nullptr, nullptr, 0.0, &aborting};
  EXPECT_THROW(ReadJpegStream(in, raster, params, progress, false), EReadError);
  TFailingStream out;
  EXPECT_THROW(WriteJpegStream(out, Gradient(300, 300), params, progress), EWriteError);
}

TEST(JpegCodec, ImageIOSavesAndLoadsByExtension) {
  const std::string path = testing_util::ScratchPath("round.jpeg");
  TBitmap raster = Gradient(20, 10);
  TImageIO io;
  io.AttachedBitmap(&raster);
  io.SaveToFile(path);
  ASSERT_FALSE(io.Aborting);
  TBitmap back;
  io.AttachedBitmap(&back);
  io.LoadFromFile(path);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(io.Params.FileType, ioJPEG);
  EXPECT_EQ(back.Width(), 20);
  io.ParamsFromFile(testing_util::TestDataPath("libjpeg-turbo-testimages/testorig.jpg"));
  EXPECT_EQ(io.Params.Width, 227);
  EXPECT_EQ(back.Width(), 20);
}

}  // namespace
}  // namespace skyloom
