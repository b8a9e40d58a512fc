// The wallpaper's aspect fit: worked sizes, and exact halves rounding to the
// even neighbour in both directions.
#include <gtest/gtest.h>

#include "image/desktop_fit.h"

namespace skyloom {
namespace {

::testing::AssertionResult Fits(int width, int height, int desktopWidth, int desktopHeight, int wantWidth,
                                int wantHeight) {
  const TSize got = FitToDesktopSize(width, height, desktopWidth, desktopHeight);
  if (got.width == wantWidth && got.height == wantHeight) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << width << "x" << height << " on " << desktopWidth << "x" << desktopHeight
                                       << " gave " << got.width << "x" << got.height;
}

TEST(DesktopFit, WorkedSizesOnA1024x768Desktop) {
  EXPECT_TRUE(Fits(800, 600, 1024, 768, 1024, 768));
  EXPECT_TRUE(Fits(600, 800, 1024, 768, 576, 768));
  EXPECT_TRUE(Fits(500, 500, 1024, 768, 1024, 1024));  // square: by width, taller than the desktop
  EXPECT_TRUE(Fits(1000, 900, 1024, 768, 1024, 922));   // 921.6
}

// Quotients that are exact binary fractions, so the products are exact
// halves: 1000 / 16 = 62.5 and 768 / 512 = 1.5.
TEST(DesktopFit, ExactHalvesGoToTheEvenNeighbour) {
  EXPECT_TRUE(Fits(16, 1, 1000, 700, 1000, 62));   // 62.5 down
  EXPECT_TRUE(Fits(16, 3, 1000, 700, 1000, 188));  // 187.5 up
  EXPECT_TRUE(Fits(101, 512, 900, 768, 152, 768));  // 151.5 up
  EXPECT_TRUE(Fits(103, 512, 900, 768, 154, 768));  // 154.5 down
  // On a desktop taller than wide a portrait picture can come out wider.
  EXPECT_TRUE(Fits(500, 512, 400, 768, 750, 768));
}

}  // namespace
}  // namespace skyloom
