// The colour quantizer: box counts, palette values and the cell mapping.
#include <gtest/gtest.h>

#include <set>

#include "image/bitmap.h"
#include "image/image_io.h"
#include "image/quantizer.h"
#include "tests/image/test_files.h"

namespace skyloom {
namespace {

using testing_util::MakeRaster;

TEST(ColorQuantizer, SingleColourGivesOneBoxWithLowBitsCleared) {
  const TBitmap raster = MakeRaster(5, 4, [](int, int) { return 0x57A3C9u; });
  const TColorQuantizer q(raster, 256);
  EXPECT_EQ(q.BoxCount(), 1);
  ASSERT_EQ(q.Palette().size(), 256u);
  EXPECT_EQ(q.Palette()[0], (TIERGB{0xC8, 0xA0, 0x50}));
  EXPECT_EQ(q.Palette()[1], (TIERGB{0, 0, 0}));  // entries beyond the boxes are black
  EXPECT_EQ(q.Index(0xC9, 0xA3, 0x57), 0);
}

TEST(ColorQuantizer, ColoursOfOneCellShareOneEntry) {
  const TBitmap raster = MakeRaster(2, 1, [](int x, int) { return x ? 0x101010u : 0x171717u; });
  const TColorQuantizer q(raster, 16);
  EXPECT_EQ(q.BoxCount(), 1);
  EXPECT_EQ(q.Palette()[0], (TIERGB{0x10, 0x10, 0x10}));
}

TEST(ColorQuantizer, DistinctCellsGetTheirOwnExactEntries) {
  const std::uint32_t colours[] = {0x000000, 0xF80000, 0x00F800, 0x0000F8, 0x808080, 0xF8F8F8};
  const TBitmap raster = MakeRaster(6, 6, [&](int x, int y) { return colours[(x * y + x) % 6]; });
  const TColorQuantizer q(raster, 256);
  EXPECT_EQ(q.BoxCount(), 6);
  std::set<int> used;
  for (const auto c : colours) {
    const int index = q.Index(static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c >> 16));
    used.insert(index);
    const TIERGB& entry = q.Palette()[static_cast<std::size_t>(index)];
    EXPECT_EQ(ColorOf(entry), ColorOf(TIERGB{static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                                             static_cast<std::uint8_t>(c >> 16)}));
  }
  EXPECT_EQ(used.size(), 6u);
}

// Cells (red, green) with blue 0 and their pixel counts; 14 pixels:
//   A (2,10) x2, B (6,10) x4, C (22,26) x4, D (26,10) x4.
// First box, red: mean 220/14 = 15.71, positions s..e = 8..24. Up to 21
//   below = 6 and m = 0: 6/8 x 15.71^2 = 185; from 22 below = 10 and
//   m = 88/14: 10/4 x 9.43^2 = 222, so the cut is 22: {A,B,C} | {D},
//   errors 1356.8/14 + 0.
// Green: mean 204/14 = 14.57, s..e = 7..23, cut 10: {A,B,D} | {C}, errors
//   1113.6/14 + 0. Green gives the smaller sum and wins.
// {A,B,D}: red mean 13.2 -> 13 x 8 = 104, green 80; {C}: 176, 208.
// Four entries: {A,B,D} (the only box with an error) splits on red (mean
//   13.2, s..e = 8..20, cut 8) into {A,B} | {D}, then {A,B} (mean 4.67,
//   s..e = 3..6, cut 3) into {A} | {B}; each second half is appended.
TEST(ColorQuantizer, SplitsFollowTheCutRuleAndTheSmallerError) {
  // Low bits inside each cell; blue 6 lies in cell 0.
  const auto cell = [](int red, int green) {
    return static_cast<std::uint32_t>((red * 8 + 5) << 16 | (green * 8 + 3) << 8 | 6);
  };
  const std::uint32_t pixels[14] = {cell(2, 10),  cell(2, 10),  cell(6, 10),  cell(6, 10),  cell(6, 10),
                                    cell(6, 10),  cell(22, 26), cell(22, 26), cell(22, 26), cell(22, 26),
                                    cell(26, 10), cell(26, 10), cell(26, 10), cell(26, 10)};
  const TBitmap raster = MakeRaster(7, 2, [&](int x, int y) { return pixels[y * 7 + x]; });
  const TColorQuantizer two(raster, 2);
  ASSERT_EQ(two.BoxCount(), 2);
  EXPECT_EQ(two.Palette()[0], (TIERGB{0, 80, 104}));
  EXPECT_EQ(two.Palette()[1], (TIERGB{0, 208, 176}));

  const TColorQuantizer four(raster, 4);
  ASSERT_EQ(four.BoxCount(), 4);
  EXPECT_EQ(four.Palette()[0], (TIERGB{0, 80, 16}));
  EXPECT_EQ(four.Palette()[1], (TIERGB{0, 208, 176}));
  EXPECT_EQ(four.Palette()[2], (TIERGB{0, 80, 208}));
  EXPECT_EQ(four.Palette()[3], (TIERGB{0, 80, 48}));
  EXPECT_EQ(four.Index(6, 3 + 80, 5 + 48), 3);  // B's colour maps to B's entry
}

TEST(ColorQuantizer, PhotographFillsSixteenEntriesAndMapsNearby) {
  TBitmap photo;
  TImageIO io;
  io.AttachedBitmap(&photo);
  io.LoadFromFile(testing_util::TestDataPath("pillow/hopper.bmp"));
  ASSERT_FALSE(io.Aborting);
  const TColorQuantizer q(photo, 16);
  EXPECT_EQ(q.BoxCount(), 16);
  // Every pixel maps to an entry within a reasonable distance.
  long long worst = 0;
  for (int y = 0; y < photo.Height(); ++y) {
    const std::uint8_t* p = photo.ScanLine(y);
    for (int x = 0; x < photo.Width(); ++x, p += 3) {
      const TIERGB& e = q.Palette()[static_cast<std::size_t>(q.Index(p[0], p[1], p[2]))];
      const long long d = (e.b - p[0]) * (e.b - p[0]) + (e.g - p[1]) * (e.g - p[1]) + (e.r - p[2]) * (e.r - p[2]);
      worst = std::max(worst, d);
    }
  }
  EXPECT_LT(worst, 3 * 96 * 96);
  const TColorQuantizer q256(photo, 256);
  EXPECT_EQ(q256.BoxCount(), 256);
}

}  // namespace
}  // namespace skyloom
