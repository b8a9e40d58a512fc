// The bitmap reader: header forms, depths, bit fields, run-length data and
// hostile headers.
#include <gtest/gtest.h>

#include "image/bitmap.h"
#include "image/image_io.h"
#include "tests/image/test_files.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

using testing_util::MakeBmp;
using testing_util::PixelAt;
using testing_util::TBmpFields;
using testing_util::TBytes;

struct TLoaded {
  TBitmap raster;
  TIOParamsVals params;
  bool aborting = false;
};

TLoaded Load(const TBytes& file, TBitmap start = TBitmap()) {
  TLoaded out;
  out.raster = std::move(start);
  TImageIO io;
  io.AttachedBitmap(&out.raster);
  TMemoryStream stream(file);
  io.LoadFromStreamBMP(stream);
  out.params = io.Params;
  out.aborting = io.Aborting;
  return out;
}

TBmpFields Palette8(int width, int height, TBytes pixels) {
  TBmpFields fields;
  fields.width = width;
  fields.height = height;
  fields.bitCount = 8;
  fields.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  fields.coloursUsed = 4;
  fields.pixels = std::move(pixels);
  return fields;
}

TEST(BmpReaderHeaders, PixelOffsetIsHonouredWhateverTheHeaderSize) {
  for (std::uint32_t headerSize : {40u, 52u, 56u, 64u, 108u, 124u}) {
    TBmpFields fields;
    fields.headerSize = headerSize;
    fields.width = 1;
    fields.height = 2;
    fields.gap = 7;  // unused bytes between header and pixels
    fields.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
    const TLoaded loaded = Load(MakeBmp(fields));
    EXPECT_FALSE(loaded.aborting) << headerSize;
    EXPECT_EQ(PixelAt(loaded.raster, 0, 1), 0x030201u) << headerSize;
    EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0x060504u) << headerSize;
    EXPECT_EQ(loaded.params.BMP_Version, headerSize == 40 ? 1 : headerSize == 64 ? 3 : 0);
  }
}

TEST(BmpReaderHeaders, CoreHeaderUsesThreeBytePaletteAndScreenDpi) {
  TBmpFields fields;
  fields.headerSize = 12;
  fields.width = 2;
  fields.height = 1;
  fields.bitCount = 4;
  fields.palette.assign(16, 0);
  fields.palette[1] = 0x102030;
  fields.palette[15] = 0xABCDEF;
  fields.pixels = {0x1F, 0, 0, 0};
  const TLoaded loaded = Load(MakeBmp(fields));
  EXPECT_FALSE(loaded.aborting);
  EXPECT_EQ(loaded.params.BMP_Version, 2);
  EXPECT_EQ(loaded.params.DpiX, 96);
  EXPECT_EQ(loaded.params.BitsPerSample, 4);
  EXPECT_EQ(loaded.params.SamplesPerPixel, 1);
  ASSERT_EQ(loaded.params.ColorMapCount(), 16);
  EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0x102030u);
  EXPECT_EQ(PixelAt(loaded.raster, 1, 0), 0xABCDEFu);
}

TEST(BmpReaderHeaders, NegativeHeightIsReadTopDown) {
  TBmpFields fields = Palette8(1, -2, {1, 0, 0, 0, 2, 0, 0, 0});
  const TLoaded loaded = Load(MakeBmp(fields));
  EXPECT_FALSE(loaded.aborting);
  EXPECT_EQ(loaded.params.Height, 2);
  EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0xFF0000u);
  EXPECT_EQ(PixelAt(loaded.raster, 0, 1), 0x00FF00u);
}

TEST(BmpReaderDepths, OneBitKeepsZeroBlackOneWhite) {
  TBmpFields fields;
  fields.width = 3;
  fields.height = 1;
  fields.bitCount = 1;
  fields.pixels = {0xA0, 0, 0, 0};  // 1 0 1
  fields.palette = {0x000000, 0xFFFFFF};
  TLoaded loaded = Load(MakeBmp(fields));
  EXPECT_EQ(loaded.raster.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(loaded.params.BitsPerSample, 1);
  EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(loaded.raster, 1, 0), 0u);

  fields.palette = {0xFFFFFF, 0x000000};  // white first: the bits are inverted
  loaded = Load(MakeBmp(fields));
  EXPECT_EQ(loaded.raster.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0u);
  EXPECT_EQ(PixelAt(loaded.raster, 1, 0), 0xFFFFFFu);

  // Any other pair keeps its colours in a 24-bit raster, described as such.
  fields.palette = {0x0000FF, 0xFF0000};
  loaded = Load(MakeBmp(fields));
  EXPECT_EQ(loaded.raster.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(loaded.params.BitsPerSample, 8);
  EXPECT_EQ(loaded.params.SamplesPerPixel, 3);
  EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0xFF0000u);
  EXPECT_EQ(PixelAt(loaded.raster, 1, 0), 0x0000FFu);
}

TEST(BmpReaderDepths, SixteenBitsDefaultAndBitFields) {
  TBmpFields fields;
  fields.width = 2;
  fields.height = 1;
  fields.bitCount = 16;
  fields.pixels = {0xFF, 0x7F, 0x00, 0x00};  // 5-5-5 white, black
  TLoaded loaded = Load(MakeBmp(fields));
  EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0xF8F8F8u);
  EXPECT_EQ(loaded.params.BitsPerSample, 5);
  EXPECT_EQ(loaded.params.SamplesPerPixel, 3);

  fields.compression = 3;
  fields.masks = {0xF800, 0x07E0, 0x001F};
  fields.pixels = {0xE0, 0x07, 0x20, 0x00};  // green all set; green lowest bit
  loaded = Load(MakeBmp(fields));
  EXPECT_FALSE(loaded.aborting);
  EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0x00FC00u);  // six bits: 0..252
  EXPECT_EQ(PixelAt(loaded.raster, 1, 0), 0x000400u);  // steps of 4
  fields.headerSize = 56;  // masks inside a larger header
  loaded = Load(MakeBmp(fields));
  EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0x00FC00u);
}

TEST(BmpReaderDepths, ThirtyTwoBitsIgnoreTheFourthByteOrFollowMasks) {
  TBmpFields fields;
  fields.width = 1;
  fields.height = 1;
  fields.bitCount = 32;
  fields.pixels = {0x11, 0x22, 0x33, 0x44};
  EXPECT_EQ(PixelAt(Load(MakeBmp(fields)).raster, 0, 0), 0x332211u);
  fields.compression = 3;
  fields.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // red in the lowest byte
  EXPECT_EQ(PixelAt(Load(MakeBmp(fields)).raster, 0, 0), 0x112233u);
}

TEST(BmpReaderDepths, SixteenBitsDecodeAsFiveFiveFiveUnlessBitFields) {
  for (const std::uint32_t compression : {1u, 2u}) {
    TBmpFields fields;
    fields.width = 2;
    fields.height = 1;
    fields.bitCount = 16;
    fields.compression = compression;
    fields.pixels = {0xFF, 0x7F, 0x1F, 0x7C};  // 0x7FFF white, 0x7C1F red and blue
    const TLoaded loaded = Load(MakeBmp(fields));
    EXPECT_FALSE(loaded.aborting) << compression;
    EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0xF8F8F8u) << compression;
    EXPECT_EQ(PixelAt(loaded.raster, 1, 0), 0xF800F8u) << compression;
    EXPECT_EQ(loaded.params.BMP_Compression, 1);
  }
}

TEST(BmpReaderDepths, TrueColourRowsAreCopiedWhateverTheCompression) {
  for (const std::uint32_t compression : {1u, 2u, 4u}) {
    TBmpFields fields;
    fields.width = 2;
    fields.height = 1;
    fields.compression = compression;
    fields.pixels = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0, 0};
    TLoaded loaded = Load(MakeBmp(fields));
    EXPECT_FALSE(loaded.aborting) << compression;
    EXPECT_EQ(PixelAt(loaded.raster, 1, 0), 0x060504u) << compression;

    fields.bitCount = 32;
    loaded = Load(MakeBmp(fields));
    EXPECT_FALSE(loaded.aborting) << compression;
    EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0x030201u) << compression;
    EXPECT_EQ(PixelAt(loaded.raster, 1, 0), 0x000605u) << compression;  // byte 3 of each pixel ignored
  }
}

TEST(BmpReaderDepths, PaletteIndicesBeyondTheTableReadBlack) {
  TLoaded loaded = Load(MakeBmp(Palette8(2, 1, {3, 200, 0, 0})));
  EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0x0000FFu);
  EXPECT_EQ(PixelAt(loaded.raster, 1, 0), 0u);

  TBmpFields big = Palette8(1, 1, {255, 0, 0, 0});
  big.palette.assign(300, 0x123456);  // more entries than 8 bits can use
  big.coloursUsed = 300;
  loaded = Load(MakeBmp(big));
  EXPECT_FALSE(loaded.aborting);
  EXPECT_EQ(loaded.params.ColorMapCount(), 256);
  EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0x123456u);
}

TEST(BmpReaderRle, Rle8WithoutEndOfBitmapDecodesCompletely) {
  TBmpFields fields = Palette8(3, 2, {3, 1, 0, 0, 0, 3, 2, 3, 1, 0, 0, 0});
  fields.compression = 1;
  const TLoaded loaded = Load(MakeBmp(fields));
  EXPECT_FALSE(loaded.aborting);
  EXPECT_EQ(loaded.params.BMP_Compression, 1);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelAt(loaded.raster, x, 1), 0xFF0000u);
  EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0x00FF00u);
  EXPECT_EQ(PixelAt(loaded.raster, 1, 0), 0x0000FFu);
  EXPECT_EQ(PixelAt(loaded.raster, 2, 0), 0xFF0000u);
}

TEST(BmpReaderRle, Rle4RunsAbsoluteRunsAndDeltas) {
  TBmpFields fields = Palette8(6, 3, {});
  fields.bitCount = 4;
  fields.compression = 2;
  fields.pixels = {
      5, 0x12,           // 1 2 1 2 1 on the bottom row
      0, 0,              // end of line
      0, 2, 2, 1,        // delta: two right, one up (to the top row)
      0, 3, 0x31, 0x20,  // absolute: 3 1 2, padded
      0, 1,              // end of bitmap
  };
  const TLoaded loaded = Load(MakeBmp(fields));
  EXPECT_FALSE(loaded.aborting);
  EXPECT_EQ(PixelAt(loaded.raster, 0, 2), 0xFF0000u);
  EXPECT_EQ(PixelAt(loaded.raster, 1, 2), 0x00FF00u);
  EXPECT_EQ(PixelAt(loaded.raster, 4, 2), 0xFF0000u);
  EXPECT_EQ(PixelAt(loaded.raster, 5, 2), 0u);
  EXPECT_EQ(PixelAt(loaded.raster, 1, 1), 0u);  // the skipped row stays blank
  EXPECT_EQ(PixelAt(loaded.raster, 1, 0), 0u);
  EXPECT_EQ(PixelAt(loaded.raster, 2, 0), 0x0000FFu);
  EXPECT_EQ(PixelAt(loaded.raster, 3, 0), 0xFF0000u);
  EXPECT_EQ(PixelAt(loaded.raster, 4, 0), 0x00FF00u);
}

TEST(BmpReaderRle, RunsAndDeltasPastTheEdgesAreCutOff) {
  TBmpFields fields = Palette8(2, 2, {});
  fields.compression = 1;
  fields.pixels = {255, 1, 0, 3, 2, 2, 2, 0, 0, 2, 255, 255, 0, 0, 9, 3, 0, 0, 0, 0, 0, 0, 7, 1, 0, 250, 1};
  const TLoaded loaded = Load(MakeBmp(fields));
  EXPECT_EQ(PixelAt(loaded.raster, 0, 1), 0xFF0000u);
  EXPECT_EQ(PixelAt(loaded.raster, 1, 1), 0xFF0000u);

  TBmpFields truncated = Palette8(4, 4, {0, 200, 1, 2});  // absolute run longer than the data
  truncated.compression = 1;
  EXPECT_EQ(PixelAt(Load(MakeBmp(truncated)).raster, 1, 3), 0x00FF00u);
}

TEST(BmpReaderBadInput, NotABitmapLeavesTheRasterAlone) {
  TBytes file = MakeBmp(Palette8(1, 1, {0, 0, 0, 0}));
  file[0] = 'X';
  const TLoaded loaded = Load(file, TBitmap(5, 5, TPixelFormat::pf24bit));
  EXPECT_TRUE(loaded.aborting);
  EXPECT_EQ(loaded.raster.Width(), 5);
}

TEST(BmpReaderBadInput, ImpossibleSizesAreRefusedBeforeAllocating) {
  struct TCase {
    std::int32_t width, height;
    std::uint16_t bits;
  };
  for (const TCase c : {TCase{0, 10, 24}, TCase{10, 0, 24}, TCase{65536, 1, 1}, TCase{1, -65536, 8},
                        TCase{-5, 5, 24}, TCase{30000, 30000, 24}, TCase{65535, 65535, 8}}) {
    TBmpFields fields;
    fields.width = c.width;
    fields.height = c.height;
    fields.bitCount = c.bits;
    fields.pixels.assign(64, 0);
    const TLoaded loaded = Load(MakeBmp(fields), TBitmap(3, 3, TPixelFormat::pf24bit));
    EXPECT_TRUE(loaded.aborting) << c.width << "x" << c.height;
    EXPECT_EQ(loaded.raster.Width(), 3) << c.width << "x" << c.height;
  }
}

TEST(BmpReaderBadInput, ShortDataKeepsTheRowsReadAndAborts) {
  TBmpFields fields = Palette8(4, 3, {1, 1, 1, 1, 2, 2});
  const TLoaded loaded = Load(MakeBmp(fields));
  EXPECT_TRUE(loaded.aborting);
  EXPECT_EQ(PixelAt(loaded.raster, 0, 2), 0xFF0000u);
  EXPECT_EQ(PixelAt(loaded.raster, 1, 1), 0x00FF00u);
  EXPECT_EQ(PixelAt(loaded.raster, 2, 1), 0u);
}

// A white-first palette inverts the bits. A progress handler that stops
// before file row 2 and data that end there leave the same raster: rows 0
// and 1 decoded and inverted, the rest unwritten (black).
TEST(BmpReaderBadInput, OneBitStopsLeaveTheDecodedRowsInverted) {
  TBmpFields fields;
  fields.width = 8;
  fields.height = 4;
  fields.bitCount = 1;
  fields.palette = {0xFFFFFF, 0x000000};
  fields.pixels = {0xF0, 0, 0, 0, 0x3C, 0, 0, 0, 0xAA, 0, 0, 0, 0x55, 0, 0, 0};
  const std::uint8_t expected[4] = {0x00, 0x00, 0xC3, 0x0F};  // top row first

  TBitmap stopped;
  TImageIO io;
  io.AttachedBitmap(&stopped);
  io.OnProgress = [&](void*, int percent) { io.Aborting = percent >= 50; };
  TMemoryStream whole(MakeBmp(fields));
  io.LoadFromStreamBMP(whole);
  EXPECT_TRUE(io.Aborting);

  fields.pixels.resize(8);
  const TLoaded cut = Load(MakeBmp(fields));
  EXPECT_TRUE(cut.aborting);
  for (int y = 0; y < 4; ++y) {
    EXPECT_EQ(stopped.ScanLine(y)[0], expected[y]) << "progress stop, row " << y;
    EXPECT_EQ(cut.raster.ScanLine(y)[0], expected[y]) << "short data, row " << y;
  }
}

TEST(BmpReaderBadInput, UnknownDepthOrCompressionLeavesTheSizedRasterBlank) {
  for (auto [bits, compression] : {std::pair<int, int>{2, 0}, {64, 0}, {4, 1}, {8, 2}, {1, 3}}) {
    TBmpFields fields;
    fields.width = 2;
    fields.height = 2;
    fields.bitCount = static_cast<std::uint16_t>(bits);
    fields.compression = static_cast<std::uint32_t>(compression);
    fields.pixels.assign(64, 0xFF);
    const TLoaded loaded = Load(MakeBmp(fields));
    EXPECT_TRUE(loaded.aborting) << bits << "/" << compression;
    EXPECT_EQ(loaded.raster.Width(), 2);
    EXPECT_EQ(PixelAt(loaded.raster, 0, 0), 0u);
  }
}

}  // namespace
}  // namespace skyloom
