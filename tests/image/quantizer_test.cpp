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
