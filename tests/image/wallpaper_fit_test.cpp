// The fits on one screen: each fit's size and place worked by hand, and the
// rendered screen checked pixel by pixel against a plain model (the plain
// reference resample, then the cut or the padding done here).
#include <gtest/gtest.h>

#include "image/resample.h"
#include "image/wallpaper_fit.h"
#include "tests/image/resample_reference.h"
#include "tests/image/resample_test_util.h"

namespace skyloom {
namespace {

using testing_util::FirstDifference;
using testing_util::NoiseBitmap;

constexpr TColor kBackground = 0x00332211;  // blue 0x33, green 0x22, red 0x11

::testing::AssertionResult Placed(TWallpaperFit fit, int w, int h, int sw, int sh, TFitPlacement want) {
  const TFitPlacement got = PlaceOnScreen(fit, w, h, sw, sh);
  if (got.width == want.width && got.height == want.height && got.left == want.left && got.top == want.top)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << FitName(fit) << " " << w << "x" << h << " on " << sw << "x" << sh << ": "
                                       << got.width << "x" << got.height << " at " << got.left << "," << got.top;
}

TEST(WallpaperFit, EachFitsSizeAndPlaceWorkedByHand) {
  using enum TWallpaperFit;
  // 4000x1000 on 1920x1080. Fit: by width, 1920/4000*1000 = 480 high, at
  // (1080 - 480) / 2 = 300. Fill: the picture is wider than the screen
  // (4000*1080 > 1920*1000), so by height: 1080/1000*4000 = 4320 wide, cut
  // (4320 - 1920) / 2 = 1200 on the left.
  EXPECT_TRUE(Placed(wfFit, 4000, 1000, 1920, 1080, {1920, 480, 0, 300}));
  EXPECT_TRUE(Placed(wfFill, 4000, 1000, 1920, 1080, {4320, 1080, -1200, 0}));
  EXPECT_TRUE(Placed(wfSpan, 4000, 1000, 1920, 1080, {4320, 1080, -1200, 0}));
  // 1000x900 on 1024x768: Fill by width, 1024/1000*900 = 921.6 -> 922 (as
  // Fit rounds), cut floor(154 / 2) = 77 at the top.
  EXPECT_TRUE(Placed(wfFill, 1000, 900, 1024, 768, {1024, 922, 0, -77}));
  // 6000x4000 on 2560x1440: 2560/6000*4000 = 1706.67 -> 1707, cut 133
  // (267 / 2 = 133.5, floored).
  EXPECT_TRUE(Placed(wfFill, 6000, 4000, 2560, 1440, {2560, 1707, 0, -133}));
  // 5x2 on 2x2: by height, 5 wide, an odd overflow of 3 cuts 1 on the left.
  EXPECT_TRUE(Placed(wfFill, 5, 2, 2, 2, {5, 2, -1, 0}));
  // Same aspect: exactly the screen.
  EXPECT_TRUE(Placed(wfFill, 640, 360, 2560, 1440, {2560, 1440, 0, 0}));
  EXPECT_TRUE(Placed(wfStretch, 4000, 1000, 1920, 1080, {1920, 1080, 0, 0}));
  // Centre: 800x600 at (1024 - 800) / 2 = 112, (768 - 600) / 2 = 84;
  // 1025x601 cuts floor(1 / 2) = 0 and pads floor(167 / 2) = 83.
  EXPECT_TRUE(Placed(wfCentre, 800, 600, 1024, 768, {800, 600, 112, 84}));
  EXPECT_TRUE(Placed(wfCentre, 1025, 601, 1024, 768, {1025, 601, 0, 83}));
  EXPECT_TRUE(Placed(wfTile, 300, 200, 1024, 768, {300, 200, 0, 0}));
}

TEST(WallpaperFit, NamesRoundTripAndUnknownNamesAreRefused) {
  for (int i = 0; i < kWallpaperFitCount; ++i) {
    const auto fit = static_cast<TWallpaperFit>(i);
    EXPECT_EQ(FitFromName(FitName(fit)), fit);
  }
  EXPECT_EQ(FitFromName("FILL"), TWallpaperFit::wfFill);
  EXPECT_FALSE(FitFromName("center").has_value());
}

TBitmap Render(const TBitmap& picture, TWallpaperFit fit, int sw, int sh, TResampleFilter filter) {
  TBitmap screen;
  const TFitRequest request{sw, sh, fit, filter, kBackground};
  EXPECT_TRUE(RenderOnScreen(picture, request, screen));
  return screen;
}

// The model: `scaled` placed with its top-left at (left, top) on a screen of
// the background colour, or repeated from the origin when `tiled`.
TBitmap Model(const TBitmap& scaled, int sw, int sh, int left, int top, bool tiled = false) {
  TBitmap screen(sw, sh, TPixelFormat::pf24bit);
  for (int y = 0; y < sh; ++y) {
    for (int x = 0; x < sw; ++x) {
      std::uint8_t* out = screen.ScanLine(y) + 3 * x;
      int sx = x - left, sy = y - top;
      if (tiled) sx %= scaled.Width(), sy %= scaled.Height();
      if (sx < 0 || sy < 0 || sx >= scaled.Width() || sy >= scaled.Height()) {
        out[0] = 0x33, out[1] = 0x22, out[2] = 0x11;
        continue;
      }
      for (int c = 0; c < 3; ++c) out[c] = scaled.ScanLine(sy)[3 * sx + c];
    }
  }
  return screen;
}

// The unfiltered stretch by its rule: the source pixel under each target
// pixel's centre.
TBitmap ModelStretch(const TBitmap& source, int width, int height) {
  TBitmap out(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int sx = (2 * x + 1) * source.Width() / (2 * width), sy = (2 * y + 1) * source.Height() / (2 * height);
      for (int c = 0; c < 3; ++c) out.ScanLine(y)[3 * x + c] = source.ScanLine(sy)[3 * sx + c];
    }
  return out;
}

// Fill computes only the shown window; its bytes are those of the whole
// cover resampled and cut. 97x61 on 40x30: wider (97*30 > 40*61), so
// 30/61*97 = 47.7 -> 48 wide, cut 4 on the left. 7x5 on 40x30 (enlarging):
// 30/5*7 = 42 wide, cut 1. 50x90 on 40x30: by width, 40/50*90 = 72 high,
// cut 21 at the top.
TEST(WallpaperFit, FillGivesTheBytesOfTheWholeCoverCutAtItsCentre) {
  struct Case {
    int w, h, coverW, coverH, left, top;
  };
  for (const Case c : {Case{97, 61, 48, 30, -4, 0}, Case{7, 5, 42, 30, -1, 0}, Case{50, 90, 40, 72, 0, -21}}) {
    const TBitmap picture = NoiseBitmap(c.w, c.h, static_cast<std::uint32_t>(c.w));
    for (const TResampleFilter filter : {rfTriangle, rfBell, rfLanczos3, rfMitchell}) {
      const TBitmap whole = reference::Resample(picture, c.coverW, c.coverH, filter);
      EXPECT_EQ(FirstDifference(Render(picture, TWallpaperFit::wfFill, 40, 30, filter),
                                Model(whole, 40, 30, c.left, c.top)),
                "")
          << c.w << "x" << c.h << " filter " << filter;
    }
    EXPECT_EQ(FirstDifference(Render(picture, TWallpaperFit::wfFill, 40, 30, rfNone),
                              Model(ModelStretch(picture, c.coverW, c.coverH), 40, 30, c.left, c.top)),
              "")
        << c.w << "x" << c.h << " unfiltered";
  }
}

// 30x20 on 40x30. Fit: by width, 40/30*20 = 26.67 -> 27 high, at floor(3 /
// 2) = 1. Centre: at (5, 5). Stretch: the whole screen. Tile: repeated.
TEST(WallpaperFit, FitCentreStretchAndTilePadWithTheBackground) {
  const TBitmap picture = NoiseBitmap(30, 20, 7);
  const TBitmap fitted = reference::Resample(picture, 40, 27, rfBell);
  EXPECT_EQ(FirstDifference(Render(picture, TWallpaperFit::wfFit, 40, 30, rfBell), Model(fitted, 40, 30, 0, 1)), "");
  EXPECT_EQ(FirstDifference(Render(picture, TWallpaperFit::wfCentre, 40, 30, rfBell), Model(picture, 40, 30, 5, 5)),
            "");
  EXPECT_EQ(FirstDifference(Render(picture, TWallpaperFit::wfStretch, 40, 30, rfHermite),
                            reference::Resample(picture, 40, 30, rfHermite)),
            "");
  EXPECT_EQ(FirstDifference(Render(picture, TWallpaperFit::wfTile, 70, 45, rfBell), Model(picture, 70, 45, 0, 0, true)),
            "");
  // Centre on a smaller screen cuts: 30x20 on 7x9 starts at picture
  // column floor(23 / 2) = 11, row floor(11 / 2) = 5.
  EXPECT_EQ(FirstDifference(Render(picture, TWallpaperFit::wfCentre, 7, 9, rfBell), Model(picture, 7, 9, -11, -5)), "");
}

// A 1-bit picture is stretched without filtering, whatever the filter, and
// comes out 24-bit black and white.
TEST(WallpaperFit, OneBitPicturesAreStretchedPlainly) {
  TBitmap picture(3, 2, TPixelFormat::pf1bit);
  picture.ScanLine(0)[0] = 0xA0;  // top row: white, black, white
  picture.ScanLine(1)[0] = 0x40;  // bottom row: black, white, black
  // 3x2 on 6x2 covers at 6x4, cut 1 at the top: scaled rows 1 and 2 come
  // from source rows (2*1+1)*2/8 = 0 and (2*2+1)*2/8 = 1; each column twice.
  const TBitmap screen = Render(picture, TWallpaperFit::wfFill, 6, 2, rfLanczos3);
  const int topWhite[6] = {1, 1, 0, 0, 1, 1};
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(screen.ScanLine(0)[3 * x], topWhite[x] ? 255 : 0) << x;
    EXPECT_EQ(screen.ScanLine(1)[3 * x + 2], topWhite[x] ? 0 : 255) << x;
  }
}

}  // namespace
}  // namespace skyloom
