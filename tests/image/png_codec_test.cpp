// The PNG reader and writer: lossless round trips in each form, background
// compositing, 16-bit and 1-bit files, density, truncated and foreign
// data, progress and stream errors.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/codecs/png_reader.h"
#include "image/codecs/png_writer.h"
#include "image/file_formats.h"
#include "image/image_io.h"
#include "image/io_params.h"
#include "image/screen_dpi.h"
#include "tests/image/sha256.h"
#include "tests/image/test_files.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

using testing_util::PixelAt;
using testing_util::TBytes;

TBitmap Noise(int width, int height) {
  return testing_util::MakeRaster(width, height, [](int x, int y) {
    return static_cast<std::uint32_t>((x * 7919 + y * 104729) * 2654435761u) & 0xFFFFFFu;
  });
}

using TRead = testing_util::TCodecRead;

TRead Read(const TBytes& bytes, TIOParamsVals params = {}, bool paramsOnly = false, int stopAt = -1) {
  return testing_util::ReadWithCodec(ReadPngStream, bytes, params, paramsOnly, stopAt);
}

TRead ReadSuite(const std::string& name, TIOParamsVals params = {}) {
  return Read(testing_util::ReadBytes(testing_util::TestDataPath("pngsuite/" + name)), params);
}

TBytes Write(const TBitmap& raster, const TIOParamsVals& params) {
  TMemoryStream stream;
  bool aborting = false;
  TIOParamsVals copy = params;
  TProgressRec progress{nullptr, nullptr, 0.0, &aborting};
  WritePngStream(stream, raster, copy, progress);
  EXPECT_FALSE(aborting);
  return stream.Bytes();
}

bool SamePixels(const TBitmap& a, const TBitmap& b) {
  return a.PixelFormat() == b.PixelFormat() && testing_util::RgbTopDown(a) == testing_util::RgbTopDown(b);
}

int ColourType(const TBytes& file) { return file.size() > 25 ? file[25] : -1; }
int BitDepth(const TBytes& file) { return file.size() > 24 ? file[24] : -1; }

TEST(PngRoundTrip, RgbIsLosslessWithEveryFilterLevelAndInterlace) {
  const TBitmap original = Noise(37, 23);
  for (const bool interlaced : {false, true})
    for (const int filter : {0, 1, 2})
      for (const int level : {0, 5, 9}) {
        TIOParamsVals params;
        params.PNG_Interlaced = interlaced;
        params.PNG_Filter = filter;
        params.PNG_Compression = level;
        const TBytes file = Write(original, params);
        EXPECT_EQ(ColourType(file), 2);
        const TRead r = Read(file);
        ASSERT_FALSE(r.aborting);
        EXPECT_TRUE(SamePixels(original, r.raster)) << interlaced << filter << level;
        EXPECT_EQ(r.params.PNG_Interlaced, interlaced);
        EXPECT_EQ(r.params.SamplesPerPixel, 3);
      }
}

TEST(PngRoundTrip, PaletteOfFewColoursIsLossless) {
  // Colours on the quantizer's 8-step grid, each in a box of its own.
  const TBitmap original = testing_util::MakeRaster(30, 20, [](int x, int y) {
    return static_cast<std::uint32_t>(((x % 5) * 48) << 16 | ((y % 4) * 64) << 8 | 0x80);
  });
  TIOParamsVals params;
  params.SamplesPerPixel = 1;
  const TBytes file = Write(original, params);
  EXPECT_EQ(ColourType(file), 3);
  EXPECT_EQ(BitDepth(file), 8);
  const TRead r = Read(file);
  ASSERT_FALSE(r.aborting);
  EXPECT_TRUE(SamePixels(original, r.raster));
  EXPECT_EQ(r.params.ColorMapCount(), 256);
  EXPECT_EQ(r.params.SamplesPerPixel, 1);
}

TEST(PngRoundTrip, BinaryRasterStaysOneBit) {
  TBitmap mono(19, 5, TPixelFormat::pf1bit);
  for (int y = 0; y < 5; ++y) mono.ScanLine(y)[y % 3] = 0xA5;
  TIOParamsVals params;
  params.BitsPerSample = 1;
  const TBytes file = Write(mono, params);
  EXPECT_EQ(ColourType(file), 0);
  EXPECT_EQ(BitDepth(file), 1);
  const TRead r = Read(file);
  ASSERT_FALSE(r.aborting);
  EXPECT_TRUE(SamePixels(mono, r.raster));
  EXPECT_EQ(r.params.BitsPerSample, 1);
}

TEST(PngWrite, TwoColourPictureBecomesBlackAndWhiteByBrightness) {
  const TBitmap picture = testing_util::MakeRaster(8, 2, [](int x, int) { return x < 3 ? 0xFFFF00u : 0x000080u; });
  TIOParamsVals params;
  params.BitsPerSample = 1;
  const TRead r = Read(Write(picture, params));
  ASSERT_EQ(r.raster.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(PixelAt(r.raster, 0, 0), 0xFFFFFFu);  // yellow, the lighter
  EXPECT_EQ(PixelAt(r.raster, 5, 1), 0x000000u);  // navy, the darker
}

TEST(PngWrite, DensityAndBackgroundAreWrittenAndReadBack) {
  TIOParamsVals params;
  params.DpiX = 300;
  params.DpiY = 150;
  params.PNG_Background = TIERGB{10, 20, 30};
  const TRead r = Read(Write(Noise(4, 4), params));
  EXPECT_EQ(r.params.DpiX, 300);
  EXPECT_EQ(r.params.DpiY, 150);
  EXPECT_EQ(r.params.PNG_Background, (TIERGB{10, 20, 30}));

  params.DpiX = 0;  // no resolution: no physical-size chunk; the screen's is read
  const TRead none = Read(Write(Noise(4, 4), params));
  EXPECT_EQ(none.params.DpiX, ScreenDpi());

  params.SamplesPerPixel = 1;  // palette form: the background as a palette index
  params.PNG_Background = TIERGB{0, 0, 0x80};
  const TBitmap twoColours = testing_util::MakeRaster(4, 4, [](int x, int) { return x ? 0x800000u : 0x00FF00u; });
  EXPECT_EQ(Read(Write(twoColours, params)).params.PNG_Background, (TIERGB{0, 0, 0x80}));
}

TEST(PngRead, SixteenBitAlphaIsCompositedOverTheParameterColour) {
  TIOParamsVals params;
  params.PNG_Background = TIERGB{50, 100, 200};  // blue, green, red
  for (const char* name : {"basn6a16.png", "basn6a08.png", "basn4a08.png"}) {
    const TRead r = ReadSuite(name, params);
    ASSERT_FALSE(r.aborting) << name;
    EXPECT_EQ(r.raster.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(r.params.PNG_Background, (TIERGB{50, 100, 200}));
    EXPECT_EQ(PixelAt(r.raster, 0, 0), 0xC86432u) << name;  // a fully transparent corner
  }
  const TRead sixteen = ReadSuite("basn6a16.png");
  EXPECT_EQ(sixteen.params.BitsPerSample, 16);
  EXPECT_EQ(sixteen.params.SamplesPerPixel, 4);
  EXPECT_EQ(PixelAt(sixteen.raster, 0, 0), 0u);  // over black by default
}

TEST(PngRead, FileBackgroundWinsAndBecomesTheParameter) {
  TIOParamsVals params;
  params.PNG_Background = TIERGB{50, 100, 200};
  const TRead yellow = ReadSuite("bgyn6a16.png", params);
  EXPECT_EQ(yellow.params.PNG_Background, (TIERGB{0, 255, 255}));
  EXPECT_EQ(PixelAt(yellow.raster, 31, 0), 0xFFFF00u);
  const TRead palette = ReadSuite("tbyn3p08.png", params);  // a palette index
  EXPECT_FALSE(palette.params.PNG_Background == (TIERGB{50, 100, 200}));
}

// One chunk: length, type, data, CRC over type and data.
TBytes Chunk(const std::string& type, const TBytes& data) {
  TBytes body(type.begin(), type.end());
  body.insert(body.end(), data.begin(), data.end());
  const auto n = static_cast<std::uint32_t>(data.size());
  TBytes out{static_cast<std::uint8_t>(n >> 24), static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 8),
             static_cast<std::uint8_t>(n)};
  out.insert(out.end(), body.begin(), body.end());
  const auto crc = static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size())));
  for (const int shift : {24, 16, 8, 0}) out.push_back(static_cast<std::uint8_t>(crc >> shift));
  return out;
}

// A 1 x 1 1-bit palette file whose pixel is index 0 of (red, blue).
TBytes RedDot() {
  const TBytes raw{0, 0x00};  // filter byte, one row of one bit
  TBytes packed(64);
  uLongf size = packed.size();
  compress(packed.data(), &size, raw.data(), raw.size());
  packed.resize(size);
  TBytes file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  for (const TBytes& chunk : {Chunk("IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 1, 3, 0, 0, 0}),
                              Chunk("PLTE", {255, 0, 0, 0, 0, 255}), Chunk("IDAT", packed), Chunk("IEND", {})})
    file.insert(file.end(), chunk.begin(), chunk.end());
  return file;
}

TEST(PngRead, OneBitPaletteKeepsItsColoursAndBlackAndWhiteStaysOneBit) {
  const TRead red = Read(RedDot());
  ASSERT_FALSE(red.aborting);
  EXPECT_EQ(red.raster.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(PixelAt(red.raster, 0, 0), 0xFF0000u);
  EXPECT_EQ(red.params.BitsPerSample, 8);  // a 24-bit picture now
  EXPECT_EQ(red.params.SamplesPerPixel, 3);

  const TRead r = ReadSuite("basn3p01.png");  // palette ee ff 22, 22 66 88
  ASSERT_FALSE(r.aborting);
  EXPECT_EQ(r.raster.PixelFormat(), TPixelFormat::pf24bit);
  ASSERT_EQ(r.params.ColorMapCount(), 2);
  EXPECT_EQ(r.params.ColorMap[0], (TIERGB{0x22, 0xff, 0xee}));
  EXPECT_EQ(testing_util::Sha256Hex(testing_util::RgbTopDown(r.raster)),
            "1cb2542b3bebf10172e0c9498dfeaa5460a8885fecd1482c5044fa6bbc026190");  // the reference decode

  const TRead grey = ReadSuite("basn0g01.png");
  EXPECT_EQ(grey.raster.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(testing_util::Sha256Hex(testing_util::RgbTopDown(grey.raster)),
            "fc4d2ed3385658f4b1bedea797f74e92058ab3163c8a09b3500d1d7e0fbd00ac");
}

// The wallpaper's path: load, then write a bitmap file by the parameters
// the load left. The red dot stays red.
TEST(PngRead, OneBitRedDotMakesARedBitmapFile) {
  const std::string png = testing_util::ScratchPath("red-dot.png");
  const std::string bmp = testing_util::ScratchPath("red-dot.bmp");
  testing_util::WriteBytes(png, RedDot());
  TBitmap raster;
  TImageIO io;
  io.AttachedBitmap(&raster);
  io.LoadFromFile(png);
  ASSERT_FALSE(io.Aborting);
  io.SaveToFileBMP(bmp);
  TBitmap back;
  io.AttachedBitmap(&back);
  io.LoadFromFile(bmp);
  EXPECT_EQ(PixelAt(back, 0, 0), 0xFF0000u);
}

TEST(PngRead, ParamsOnlyReadsTheHeader) {
  TRead r;
  r.raster.Allocate(2, 2, TPixelFormat::pf1bit);
  TMemoryStream stream(testing_util::ReadBytes(testing_util::TestDataPath("pngsuite/basi2c16.png")));
  bool aborting = false;
  TProgressRec progress{nullptr, nullptr, 0.0, &aborting};
  ReadPngStream(stream, r.raster, r.params, progress, true);
  EXPECT_FALSE(aborting);
  EXPECT_EQ(r.params.Width, 32);
  EXPECT_TRUE(r.params.PNG_Interlaced);
  EXPECT_EQ(r.params.BitsPerSample, 16);
  EXPECT_EQ(r.raster.Width(), 2);
}

TEST(PngRead, TruncatedFileSetsAbortingAndKeepsTheRowsRead) {
  const TBitmap original = Noise(200, 100);
  TIOParamsVals params;
  params.PNG_Compression = 0;  // stored: the data run through the file in row order
  TBytes file = Write(original, params);
  file.resize(file.size() / 2);
  const TRead r = Read(file);
  EXPECT_TRUE(r.aborting);
  ASSERT_EQ(r.raster.Height(), 100);
  for (int y = 0; y < 30; ++y) EXPECT_EQ(0, std::memcmp(r.raster.ScanLine(y), original.ScanLine(y), 200 * 3)) << y;
  EXPECT_EQ(r.raster.ScanLine(99)[0], 0);
}

TEST(PngRead, ForeignAndCorruptDataSetAborting) {
  EXPECT_TRUE(Read(TBytes{0xFF, 0xD8, 0xFF, 0xE0}).aborting);
  EXPECT_TRUE(Read(TBytes{}).aborting);
  TBytes file = Write(Noise(8, 8), {});
  file[20] ^= 1;  // the header's checksum no longer fits
  const TRead r = Read(file);
  EXPECT_TRUE(r.aborting);
  EXPECT_TRUE(r.raster.Empty());
}

TEST(PngRead, ProgressCountsEveryPassAndAHandlerStopsIt) {
  TIOParamsVals params;
  params.PNG_Interlaced = true;
  const TBytes file = Write(Noise(16, 10), params);
  const TRead all = Read(file);
  EXPECT_EQ(all.reports.size(), 70u);  // 7 passes x 10 rows
  EXPECT_EQ(all.reports.back(), 100);
  const TRead stopped = Read(file, {}, false, 3);
  EXPECT_TRUE(stopped.aborting);
  EXPECT_EQ(stopped.reports.size(), 3u);
}

using testing_util::TFailingStream;

TEST(PngCodec, StreamErrorsPassOnAfterReleasingTheLibrary) {
  TFailingStream stream;
  TBitmap raster;
  TIOParamsVals params;
  bool aborting = false;
  TProgressRec progress{nullptr, nullptr, 0.0, &aborting};
  EXPECT_THROW(ReadPngStream(stream, raster, params, progress, false), EReadError);
  EXPECT_THROW(WritePngStream(stream, Noise(8, 8), params, progress), EWriteError);
}

TEST(PngCodec, ImageIOKeepsTheBackgroundInStep) {
  const std::string path = testing_util::ScratchPath("bg.png");
  TBitmap raster;
  TImageIO io;
  io.AttachedBitmap(&raster);
  io.SetBackground(0x0000FFu);  // red
  io.LoadFromFile(testing_util::TestDataPath("pngsuite/basn6a08.png"));
  ASSERT_FALSE(io.Aborting);
  EXPECT_EQ(io.Params.FileType, ioPNG);
  EXPECT_EQ(PixelAt(raster, 0, 0), 0xFF0000u);
  io.LoadFromFile(testing_util::TestDataPath("pngsuite/bgyn6a16.png"));
  EXPECT_EQ(io.Background(), 0x00FFFFu);  // the file's yellow
  io.SaveToFile(path);
  EXPECT_FALSE(io.Aborting);
  TBitmap back;
  io.AttachedBitmap(&back);
  io.LoadFromFile(path);
  EXPECT_TRUE(SamePixels(raster, back));
}

}  // namespace
}  // namespace skyloom
