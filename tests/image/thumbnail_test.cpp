// The thumbnail grid's picture at rest: the automatic JPEG reduction, the
// fit into the cell with halves to the even neighbour, the packed DIB
// block byte by byte, and a corpus JPEG's thumbnail against djpeg's own
// reduced decode.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "image/codecs/jpeg_scale.h"
#include "image/dib_block.h"
#include "image/image_io.h"
#include "image/packed_dib.h"
#include "image/thumb_fit.h"
#include "image/thumbnail_load.h"
#include "tests/image/test_files.h"

namespace skyloom {
namespace {

using testing_util::TBytes;

TEST(JpegScaleChoice, ClosestAreaFirstOfEqualsAndFullSizeForNothingWanted) {
  const struct {
    long long width, height, wanted;
    unsigned d;
  } cases[] = {
      {6000, 4000, 100 * 100, 8},  // 750 x 500 is the nearest
      {640, 480, 100 * 100, 8},    // 4800 beats 19200
      {640, 480, 200 * 150, 4},    // 19200 beats 76800
      {640, 480, 400 * 300, 2},
      {640, 480, 640 * 480, 1},
      {640, 480, 0, 1},            // nothing wanted
      {8, 8, 40, 1},               // 64 and 16 both lie 24 away: the first
      {15, 15, 30, 4},             // exact areas 56.25 and 14.0625; truncated sides would pick 2
      {227, 149, 60 * 40, 4},
  };
  for (const auto& c : cases)
    EXPECT_EQ(JpegScaleDenominator(c.width, c.height, c.wanted), c.d)
        << c.width << "x" << c.height << " wanting " << c.wanted;
}

TEST(ThumbFit, FitsEnlargesAndRoundsHalvesToEven) {
  const struct {
    int w, h, bw, bh, fw, fh;
  } cases[] = {
      {40, 20, 100, 100, 100, 50},     // small pictures grow to the box
      {6000, 4000, 100, 100, 100, 67},  // 66.67
      {3000, 4000, 100, 100, 75, 100},
      {4, 1, 10, 10, 10, 2},           // 2.5 down
      {4, 3, 10, 10, 10, 8},           // 7.5 up
      {3, 4, 10, 10, 8, 10},           // 7.5 up, height-bound
      {1, 4, 10, 10, 2, 10},           // 2.5 down, height-bound
      {0, 5, 10, 10, 0, 0},
  };
  for (const auto& c : cases) {
    const TSize got = FitIntoBox(c.w, c.h, c.bw, c.bh);
    EXPECT_EQ(got.width, c.fw) << c.w << "x" << c.h << " in " << c.bw << "x" << c.bh;
    EXPECT_EQ(got.height, c.fh) << c.w << "x" << c.h << " in " << c.bw << "x" << c.bh;
  }
}

TBytes Header(std::uint32_t width, std::uint32_t height, std::uint16_t bits) {
  TBytes h;
  testing_util::Put32(h, 40);
  testing_util::Put32(h, width);
  testing_util::Put32(h, height);
  testing_util::Put16(h, 1);
  testing_util::Put16(h, bits);
  h.resize(40, 0);  // no compression, every other field zero
  return h;
}

TEST(PackedDib, BlocksHoldHeaderTableAndBottomUpRowsPlusFourBytes) {
  // 24 bits, 2 x 2: rows of 6 bytes padded to 8, bottom row first.
  const TBitmap colour = testing_util::MakeRaster(2, 2, [](int x, int y) { return 0x102030u + x + 0x10u * y; });
  TBytes want = Header(2, 2, 24);
  for (const TBytes& row : {TBytes{0x40, 0x20, 0x10, 0x41, 0x20, 0x10, 0, 0}, TBytes{0x30, 0x20, 0x10, 0x31, 0x20, 0x10, 0, 0}})
    want.insert(want.end(), row.begin(), row.end());
  want.resize(44 + 8 * 2, 0);
  EXPECT_EQ(PackDib(colour), want);

  // 1 bit, 9 x 2: stride 4, the black and white table, bit 7 leftmost.
  TBitmap mono(9, 2, TPixelFormat::pf1bit);
  mono.ScanLine(0)[0] = 0x80;  // top row, leftmost pixel white
  mono.ScanLine(1)[1] = 0x80;  // bottom row, ninth pixel white
  want = Header(9, 2, 1);
  for (const std::uint8_t b : {0, 0, 0, 0, 255, 255, 255, 255, 0, 0x80, 0, 0, 0x80, 0, 0, 0}) want.push_back(b);
  want.resize(52 + 4 * 2, 0);
  EXPECT_EQ(PackDib(mono), want);
  // The grid's picture block holds the same bytes, written in place.
  const TDibBlock block = PackIntoBlock(mono);
  {
    const TDibBlock::Locked bytes(block);
    EXPECT_EQ(TBytes(bytes.Data(), bytes.Data() + block.Size()), want);
  }

  TBitmap back;
  ASSERT_TRUE(ExpandDib(PackDib(mono), back));
  EXPECT_EQ(back.PixelFormat(), TPixelFormat::pf1bit);
  EXPECT_EQ(testing_util::RgbTopDown(back), testing_util::RgbTopDown(mono));
  EXPECT_FALSE(ExpandDib(TBytes(want.begin(), want.begin() + 50), back));  // rows cut off
  EXPECT_TRUE(PackDib(TBitmap(2, 2, TPixelFormat::pf8bit)).empty());
}

// djpeg's 1/8 decode as a P6 image; false where the tool cannot be run.
bool DjpegEighth(const std::string& path, int& width, int& height, TBytes& rgb) {
#ifdef _WIN32
  (void)path, (void)width, (void)height, (void)rgb;
  return false;
#else
  FILE* pipe = popen(("djpeg -scale 1/8 -pnm '" + path + "' 2>/dev/null").c_str(), "r");
  if (!pipe) return false;
  TBytes all;
  for (int c; (c = std::fgetc(pipe)) != EOF;) all.push_back(static_cast<std::uint8_t>(c));
  if (pclose(pipe) != 0 || all.size() < 16) return false;
  std::istringstream header(std::string(all.begin(), all.begin() + 16));
  std::string magic;
  int maxValue = 0;
  header >> magic >> width >> height >> maxValue;
  const auto at = static_cast<std::size_t>(header.tellg()) + 1;
  rgb.assign(all.begin() + static_cast<std::ptrdiff_t>(at), all.end());
  return magic == "P6" && maxValue == 255 && rgb.size() == static_cast<std::size_t>(width) * height * 3;
#endif
}

// 640 x 480 wanting 100 x 100: the eighth (80 x 60) is nearest, and it
// grows by 1.25 to fill the cell.
TEST(Thumbnail, CorpusJpegIsDjpegsEighthStretchedToTheCell) {
  const std::string path = testing_util::TestDataPath("pillow/iptc.jpg");
  TImageIO io;
  TBitmap thumb;
  ASSERT_TRUE(LoadThumbnail(io, path, 100, 100, thumb));
  EXPECT_EQ(thumb.Width(), 100);
  EXPECT_EQ(thumb.Height(), 75);
  EXPECT_EQ(io.AttachedBitmap(), nullptr);

  int width = 0, height = 0;
  TBytes eighth;
  if (!DjpegEighth(path, width, height, eighth)) GTEST_SKIP() << "djpeg not available";
  ASSERT_EQ(width, 80);
  ASSERT_EQ(height, 60);
  const TBytes got = testing_util::RgbTopDown(thumb);
  int mismatches = 0;
  for (int y = 0; y < 75; ++y)
    for (int x = 0; x < 100; ++x) {
      const std::size_t from = (static_cast<std::size_t>((2 * y + 1) * 60 / 150) * 80 + (2 * x + 1) * 80 / 200) * 3;
      const std::size_t to = (static_cast<std::size_t>(y) * 100 + x) * 3;
      for (int k = 0; k < 3; ++k) mismatches += got[to + k] != eighth[from + k];
    }
  EXPECT_EQ(mismatches, 0);
}

TEST(Thumbnail, UndecodableFileFailsAndLeavesTheThumbAlone) {
  const std::string path = testing_util::ScratchPath("broken.jpg");
  testing_util::WriteBytes(path, TBytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 0});
  TImageIO io;
  TBitmap thumb(3, 3, TPixelFormat::pf24bit);
  EXPECT_FALSE(LoadThumbnail(io, path, 100, 100, thumb));
  EXPECT_EQ(thumb.Width(), 3);
}

}  // namespace
}  // namespace skyloom
