// The PCX and TGA codecs on hand-made files: header fields, planes, packets,
// row order, the extension area, refused input, and write -> read round
// trips at every depth and compression.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "image/bitmap.h"
#include "image/codecs/pcx_reader.h"
#include "image/codecs/tga_reader.h"
#include "image/format_detect.h"
#include "image/image_io.h"
#include "image/screen_dpi.h"
#include "tests/image/test_files.h"

namespace skyloom {
namespace {

using testing_util::MakeRaster;
using testing_util::PixelAt;
using testing_util::ReadWithCodec;
using testing_util::TBytes;

void ReadPcx(TStream& s, TBitmap& r, TIOParamsVals& p, TProgressRec& pr, bool only) {
  ReadPcxStream(s, r, p, pr, only, 0);
}

// A PCX header: planes x bits, width x height, encoding, DPI and bytes per line.
TBytes PcxHeader(int planes, int bits, int width, int height, int encoding, int bytesPerLine, int dpiX = 72,
                 int dpiY = 72) {
  TBytes h(128, 0);
  h[0] = 10, h[1] = 5, h[2] = static_cast<std::uint8_t>(encoding), h[3] = static_cast<std::uint8_t>(bits);
  h[8] = static_cast<std::uint8_t>(width - 1), h[10] = static_cast<std::uint8_t>(height - 1);
  h[12] = static_cast<std::uint8_t>(dpiX), h[13] = static_cast<std::uint8_t>(dpiX >> 8);
  h[14] = static_cast<std::uint8_t>(dpiY), h[15] = static_cast<std::uint8_t>(dpiY >> 8);
  h[65] = static_cast<std::uint8_t>(planes), h[66] = static_cast<std::uint8_t>(bytesPerLine);
  for (int i = 0; i < 16; ++i) h[16 + 3 * i] = static_cast<std::uint8_t>(i * 16);  // entry i: red = 16 i
  return h;
}

TBytes operator+(TBytes a, const TBytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(PcxReader, PlanesRunsAndDpi) {
  // 3 planes of 2 bytes, 2 rows. Row 0: a run of 4 x 0x11 fills red and
  // goes on into green, then blue 0x33 0x44. Row 1: a run of 9 is cut at
  // the end of its scan line; the next row would start after it.
  const TBytes file = PcxHeader(3, 8, 2, 2, 1, 2, 0, 300) +
                      TBytes{0xC4, 0x11, 0x33, 0x44, 0xC9, 0x55};
  const auto read = ReadWithCodec(ReadPcx, file);
  EXPECT_FALSE(read.aborting);
  EXPECT_EQ(read.params.DpiX, ScreenDpi());  // DPI 0 x 300: the screen's for both
  EXPECT_EQ(read.params.DpiY, ScreenDpi());
  EXPECT_EQ(read.params.BitsPerSample, 8);
  EXPECT_EQ(read.params.SamplesPerPixel, 3);
  EXPECT_EQ(read.params.PCX_Version, 5);
  EXPECT_EQ(PixelAt(read.raster, 0, 0), 0x111133u);  // red, green, blue planes
  EXPECT_EQ(PixelAt(read.raster, 1, 0), 0x111144u);
  EXPECT_EQ(PixelAt(read.raster, 1, 1), 0x555555u);
  EXPECT_EQ(read.reports, (std::vector<int>{0, 50}));  // before each row
}

TEST(PcxReader, RunCrossingAScanLineGoesOnInTheNextRow) {
  // 3 planes of 2 bytes (1 pixel and a pad byte), 2 rows: a run of 8 fills
  // row 0 (6 bytes) and the first 2 bytes of row 1, whose green and blue
  // planes follow.
  const TBytes file = PcxHeader(3, 8, 1, 2, 1, 2) + TBytes{0xC8, 0x11, 0x22, 0x22, 0x33, 0x33};
  const auto read = ReadWithCodec(ReadPcx, file);
  EXPECT_FALSE(read.aborting);
  EXPECT_EQ(PixelAt(read.raster, 0, 0), 0x111111u);
  EXPECT_EQ(PixelAt(read.raster, 0, 1), 0x112233u);
}

TEST(PcxReader, FourPlanesOddNibblesAndBadInput) {
  // 4 planes of 1 bit: pixel 0 has planes 0 and 2 set -> index 5.
  const auto planes = ReadWithCodec(ReadPcx, PcxHeader(4, 1, 2, 1, 0, 2) + TBytes{0x80, 0, 0, 0, 0x80, 0, 0x40, 0});
  EXPECT_EQ(PixelAt(planes.raster, 0, 0), 0x500000u);
  EXPECT_EQ(PixelAt(planes.raster, 1, 0), 0x800000u);  // plane 3 only -> index 8
  EXPECT_EQ(planes.params.BitsPerSample, 4);
  EXPECT_EQ(planes.params.SamplesPerPixel, 1);
  // 4 bits, odd width 3, high nibble first; the last low nibble is not a pixel.
  const auto nibbles = ReadWithCodec(ReadPcx, PcxHeader(1, 4, 3, 1, 0, 2) + TBytes{0x12, 0x3F});
  EXPECT_EQ(PixelAt(nibbles.raster, 0, 0), 0x100000u);
  EXPECT_EQ(PixelAt(nibbles.raster, 2, 0), 0x300000u);
  // Data ending in the second row: the first row stays.
  const auto cut = ReadWithCodec(ReadPcx, PcxHeader(1, 4, 3, 2, 0, 2) + TBytes{0x12, 0x3F, 0x44});
  EXPECT_TRUE(cut.aborting);
  EXPECT_EQ(PixelAt(cut.raster, 1, 0), 0x200000u);

  TBytes wrongMaker = PcxHeader(1, 8, 1, 1, 0, 2) + TBytes(800, 0);
  wrongMaker[0] = 11;
  TBytes noWidth = wrongMaker;  // xmin 1, xmax 0
  noWidth[0] = 10, noWidth[4] = 1, noWidth[8] = 0;
  for (const TBytes& bad : {wrongMaker, PcxHeader(1, 16, 1, 1, 0, 2) + TBytes(8, 0),
                            PcxHeader(1, 8, 1, 1, 2, 2) + TBytes(800, 0), PcxHeader(1, 2, 4, 1, 0, 2) + TBytes(4, 0),
                            noWidth, TBytes(100, 10)}) {
    const auto read = ReadWithCodec(ReadPcx, bad);
    EXPECT_TRUE(read.aborting);
    EXPECT_TRUE(read.raster.Empty());
  }
}

TBytes Save(TBitmap& raster, const TIOParamsVals& params, const std::string& name, bool* aborted = nullptr) {
  TImageIO io;
  io.AttachedBitmap(&raster);
  io.Params = params;
  const std::string path = testing_util::ScratchPath(name);
  io.SaveToFile(path);
  if (aborted) *aborted = io.Aborting;
  return testing_util::ReadBytes(path);
}

TEST(PcxWriter, RunsPlanesAndPalette) {
  // 24 bits: a scan line is the red, green and blue planes, each padded to
  // an even count; the lone 200 is written as 193, 200.
  TBitmap one = MakeRaster(1, 1, [](int, int) { return 0xC80A0Bu; });
  TIOParamsVals params;
  params.DpiX = 300;
  TBytes file = Save(one, params, "one.pcx");
  EXPECT_EQ(testing_util::Get16(file, 12), 300u);
  EXPECT_EQ(testing_util::Get16(file, 66), 2u);  // bytes per line rounded up to even
  EXPECT_EQ(file[65], 3);
  EXPECT_EQ(TBytes(file.begin() + 128, file.end()), (TBytes{0xC1, 0xC8, 0, 0x0A, 0, 0x0B, 0}));

  TBitmap two = MakeRaster(2, 1, [](int x, int) { return x == 0 ? 0x0A0B0Cu : 0x0A0BD0u; });
  file = Save(two, TIOParamsVals{}, "two.pcx");
  EXPECT_EQ(TBytes(file.begin() + 128, file.end()), (TBytes{0xC2, 0x0A, 0xC2, 0x0B, 0x0C, 0xC1, 0xD0}));

  // 8 bits: the byte 12 and the palette in red, green, blue order end the file.
  params.SamplesPerPixel = 1;
  file = Save(two, params, "eight.pcx");
  ASSERT_EQ(file.size(), 128u + 2 + 769);
  EXPECT_EQ(file[130], 12);
  EXPECT_EQ(TBytes(file.begin() + 131 + 3 * file[129], file.begin() + 134 + 3 * file[129]), (TBytes{8, 8, 208}));
}

struct TRound {
  const char* ext;
  int bits, samples;
  bool compressed, grey;
};

TEST(PcxTgaRoundTrip, EveryDepthAndCompressionKeepsThePixels) {
  // Channels in steps of 8: the quantizer's palette keeps them exactly.
  const std::uint32_t colours[] = {0x000000, 0xF8F8F8, 0xF80000, 0x00F800, 0x0000F8, 0x808080, 0xF8F800, 0x40C0F8};
  const TRound cases[] = {
      {"pcx", 1, 1, false, false}, {"pcx", 1, 1, true, false},  {"pcx", 4, 1, false, false},
      {"pcx", 4, 1, true, false},  {"pcx", 8, 1, false, false}, {"pcx", 8, 1, true, false},
      {"pcx", 8, 3, false, false}, {"pcx", 8, 3, true, false},  {"tga", 1, 1, false, false},
      {"tga", 4, 1, false, false}, {"tga", 8, 1, false, false}, {"tga", 8, 1, true, false},
      {"tga", 8, 1, true, true},   {"tga", 8, 3, false, false}, {"tga", 8, 3, true, false},
  };
  for (const TRound& c : cases) {
    const bool mono = c.bits == 1, grey = c.grey;
    // Runs longer than a packet, single pixels and odd widths.
    TBitmap raster = MakeRaster(203, 5, [&](int x, int y) {
      const std::uint32_t v = colours[(x < 150 ? y : x + y) % 8];
      return mono ? (v > 0x7FFFFF ? 0xFFFFFFu : 0u) : grey ? (v & 0xFF) * 0x010101u : v;
    });
    const TBytes expected = testing_util::RgbTopDown(raster);
    TIOParamsVals params;
    params.BitsPerSample = c.bits;
    params.SamplesPerPixel = c.samples;
    params.PCX_Compression = params.TGA_Compressed = c.compressed;
    params.TGA_GrayLevel = c.grey;
    const std::string name = std::string("round.") + c.ext;
    Save(raster, params, name);
    TBitmap back;
    TImageIO io;
    io.AttachedBitmap(&back);
    io.LoadFromFile(testing_util::ScratchPath(name));
    const std::string label = std::string(c.ext) + " " + std::to_string(c.bits * c.samples);
    EXPECT_FALSE(io.Aborting) << label;
    EXPECT_EQ(back.PixelFormat(), mono ? TPixelFormat::pf1bit : TPixelFormat::pf24bit) << label;
    EXPECT_TRUE(testing_util::RgbTopDown(back) == expected) << label << (c.compressed ? " compressed" : "");
  }
}

// ---- TGA -------------------------------------------------------------------

TBytes TgaHeader(int type, int depth, int width, int height, int descriptor, int mapType = 0, int mapOrigin = 0,
                 int mapLength = 0, int mapBits = 0) {
  TBytes h(18, 0);
  h[1] = static_cast<std::uint8_t>(mapType), h[2] = static_cast<std::uint8_t>(type);
  h[3] = static_cast<std::uint8_t>(mapOrigin), h[5] = static_cast<std::uint8_t>(mapLength);
  h[7] = static_cast<std::uint8_t>(mapBits);
  h[12] = static_cast<std::uint8_t>(width), h[14] = static_cast<std::uint8_t>(height);
  h[16] = static_cast<std::uint8_t>(depth), h[17] = static_cast<std::uint8_t>(descriptor);
  return h;
}

void ReadTga(TStream& s, TBitmap& r, TIOParamsVals& p, TProgressRec& pr, bool only) { ReadTgaStream(s, r, p, pr, only); }

TEST(TgaReader, DescriptorBitsOrderRowsAndMirror) {
  // Grey 2 x 2, stored pixels 1 2 / 3 4; the top-left pixel of the picture per descriptor.
  const int topLeft[4] = {3, 4, 1, 2};  // bits 5 and 4: 00 bottom-up, 01 mirrored, 10 top-down, 11 both
  for (int bits = 0; bits < 4; ++bits) {
    const auto read = ReadWithCodec(ReadTga, TgaHeader(3, 8, 2, 2, bits << 4) + TBytes{1, 2, 3, 4});
    EXPECT_EQ(PixelAt(read.raster, 0, 0), topLeft[bits] * 0x010101u) << bits;
    EXPECT_TRUE(read.params.TGA_GrayLevel);
    EXPECT_EQ(read.reports, (std::vector<int>{50, 100}));  // after each row
  }
}

TEST(TgaReader, PacketsAcrossRowsMapsAndBadInput) {
  // A run of 3 crosses into the second row; the last run asks for more
  // pixels than the picture has left and stops at its end.
  const auto runs = ReadWithCodec(ReadTga, TgaHeader(11, 8, 2, 2, 0x20) + TBytes{0x82, 7, 0x83, 9});
  EXPECT_FALSE(runs.aborting);
  EXPECT_EQ(PixelAt(runs.raster, 0, 1), 0x070707u);
  EXPECT_EQ(PixelAt(runs.raster, 1, 1), 0x090909u);
  EXPECT_TRUE(runs.params.TGA_Compressed);
  // 16-bit 5-5-5 map entries at origin 2, each channel x 8; index 3 is red.
  const auto mapped = ReadWithCodec(ReadTga, TgaHeader(1, 8, 2, 1, 0, 1, 2, 2, 16) +
                                                 TBytes{0x1F, 0x00, 0x00, 0x7C} + TBytes{2, 3});
  EXPECT_EQ(PixelAt(mapped.raster, 0, 0), 0x0000F8u);
  EXPECT_EQ(PixelAt(mapped.raster, 1, 0), 0xF80000u);
  // An index below the map's origin.
  EXPECT_TRUE(ReadWithCodec(ReadTga, TgaHeader(1, 8, 1, 1, 0, 1, 2, 1, 24) + TBytes{1, 2, 3, 1}).aborting);
  // 32 bits: alpha dropped; data ending early keeps the first row.
  const auto cut = ReadWithCodec(ReadTga, TgaHeader(2, 32, 1, 2, 0x20) + TBytes{1, 2, 3, 0});
  EXPECT_TRUE(cut.aborting);
  EXPECT_EQ(PixelAt(cut.raster, 0, 0), 0x030201u);

  TBytes outside = TgaHeader(2, 24, 1, 1, 0) + TBytes{1, 2, 3} + TBytes{0xF0, 0, 0, 0, 0, 0, 0, 0};
  const std::string signature = "TRUEVISION-XFILE.";
  outside.insert(outside.end(), signature.begin(), signature.end());
  outside.push_back(0);
  for (const TBytes& bad : {TgaHeader(4, 24, 1, 1, 0) + TBytes(3, 0), TgaHeader(2, 15, 1, 1, 0) + TBytes(3, 0),
                            TgaHeader(3, 4, 2, 1, 0) + TBytes(1, 0), TgaHeader(2, 24, 0, 1, 0),
                            TgaHeader(1, 8, 1, 1, 0, 1, 0, 2, 8) + TBytes(4, 0), TBytes(10, 2), outside}) {
    const auto read = ReadWithCodec(ReadTga, bad);
    EXPECT_TRUE(read.aborting);
    EXPECT_TRUE(read.raster.Empty());
  }
  outside[21] = 0;  // a footer naming no extension area: defaults, picture read
  const auto plain = ReadWithCodec(ReadTga, outside);
  EXPECT_FALSE(plain.aborting);
  EXPECT_DOUBLE_EQ(plain.params.TGA_Gamma, 2.2);
}

TEST(TgaReader, OneBitWithAColourMapKeepsItsColours) {
  // 3 x 1, bits 1 0 1, top-down; a map of (blue, green, red) entries.
  const auto read = [](const TBytes& map) {
    return ReadWithCodec(ReadTga, TgaHeader(1, 1, 3, 1, 0x20, 1, 0, 2, 24) + map + TBytes{0xA0});
  };
  const auto coloured = read({0xFF, 0, 0, 0, 0, 0xFF});  // blue, red
  EXPECT_FALSE(coloured.aborting);
  EXPECT_EQ(coloured.raster.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(PixelAt(coloured.raster, 0, 0), 0xFF0000u);
  EXPECT_EQ(PixelAt(coloured.raster, 1, 0), 0x0000FFu);
  const auto inverted = read({0xFF, 0xFF, 0xFF, 0, 0, 0});  // white, black: 1-bit, bits flipped
  EXPECT_EQ(inverted.raster.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(PixelAt(inverted.raster, 0, 0), 0u);
  EXPECT_EQ(PixelAt(inverted.raster, 1, 0), 0xFFFFFFu);
}

TEST(TgaWriter, ExtensionAreaAndFooterRoundTrip) {
  TBitmap raster = MakeRaster(3, 2, [](int x, int y) { return 0x102030u * static_cast<std::uint32_t>(x + y); });
  TIOParamsVals params;
  params.TGA_Author = "Ada";
  params.TGA_JobName = "Dunes";
  params.TGA_ImageName = "sky";
  params.TGA_AspectRatio = 1.23456;
  params.TGA_Gamma = 1.8;
  params.TGA_Background = TIERGB{3, 2, 1};
  params.TGA_XPos = 7;
  const auto before = std::chrono::system_clock::now();
  const TBytes file = Save(raster, params, "ext.tga");
  EXPECT_EQ(file[0], 4);  // "sky" and its zero byte
  EXPECT_EQ(file[17], 0x20);
  const std::size_t area = testing_util::Get32(file, file.size() - 26);
  ASSERT_EQ(area + 495 + 26, file.size());
  EXPECT_EQ(testing_util::Get16(file, area), 495u);
  EXPECT_EQ(std::string(file.end() - 18, file.end() - 1), "TRUEVISION-XFILE.");

  const auto read = ReadWithCodec(ReadTga, file);
  EXPECT_FALSE(read.aborting);
  EXPECT_EQ(read.params.TGA_Author, "Ada");
  EXPECT_EQ(read.params.TGA_JobName, "Dunes");
  EXPECT_EQ(read.params.TGA_ImageName, "sky");
  EXPECT_EQ(read.params.TGA_XPos, 7);
  EXPECT_DOUBLE_EQ(read.params.TGA_AspectRatio, 1.2346);  // four decimals
  EXPECT_DOUBLE_EQ(read.params.TGA_Gamma, 1.8);
  EXPECT_EQ(read.params.TGA_Background, (TIERGB{3, 2, 1}));
  EXPECT_LE(std::chrono::abs(read.params.TGA_Date - before), std::chrono::seconds(5));  // written now
  EXPECT_TRUE(testing_util::RgbTopDown(read.raster) == testing_util::RgbTopDown(raster));
}

TEST(TgaDetection, AnymapHeadersP2ToP6AreNeverTga) {
  for (const char kind : {'1', '2', '6'}) {
    TBytes anymap(40, '0');
    anymap[0] = 'P', anymap[1] = static_cast<std::uint8_t>(kind), anymap[2] = '\n', anymap[16] = 24;
    TMemoryStream stream(anymap);
    // Only P2..P6 open an anymap; "P1" + line feed is a TGA header like any other.
    EXPECT_EQ(FindStreamFormat(stream), kind == '1' ? ioTGA : ioUnknown) << kind;
  }
}

}  // namespace
}  // namespace skyloom
