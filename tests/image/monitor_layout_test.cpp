// Monitor layouts: parsing, the bounding box, each monitor's own screen and
// the tiled bitmap checked against a model of the system's tiling written
// here (tiles laid from the primary's top-left in both directions).
#include <gtest/gtest.h>

#include <stdexcept>

#include "image/monitor_layout.h"
#include "tests/image/resample_reference.h"
#include "tests/image/resample_test_util.h"

namespace skyloom {
namespace {

using testing_util::FirstDifference;
using testing_util::NoiseBitmap;

TEST(MonitorLayout, ParsesSizesAndSignedPlaces) {
  const TMonitorLayout layout = ParseMonitorLayout("1920x1080+0+0,1280x1024-1280+56");
  ASSERT_EQ(layout.size(), 2u);
  EXPECT_EQ(layout[0], (TMonitorRect{0, 0, 1920, 1080}));
  EXPECT_EQ(layout[1], (TMonitorRect{-1280, 56, 1280, 1024}));
  // From x -1280 to 1920 and y 0 to 1080.
  EXPECT_EQ(BoundingBox(layout), (TMonitorRect{-1280, 0, 3200, 1080}));
  EXPECT_EQ(ParseMonitorLayout("800x600")[0], (TMonitorRect{0, 0, 800, 600}));
  for (const char* bad : {"", "1920x", "1920x1080+0", "0x10+0+0", "10x10+0+0,", "10x10+0+0x"})
    EXPECT_THROW(ParseMonitorLayout(bad), std::invalid_argument) << bad;
}

// Each monitor's screen: pixel (x, y) carries its monitor index and place.
std::vector<TBitmap> MarkedScreens(const TMonitorLayout& layout) {
  std::vector<TBitmap> screens;
  for (std::size_t i = 0; i < layout.size(); ++i) {
    TBitmap screen(layout[i].width, layout[i].height, TPixelFormat::pf24bit);
    for (int y = 0; y < screen.Height(); ++y)
      for (int x = 0; x < screen.Width(); ++x) {
        std::uint8_t* p = screen.ScanLine(y) + 3 * x;
        p[0] = static_cast<std::uint8_t>(i + 1), p[1] = static_cast<std::uint8_t>(x), p[2] = static_cast<std::uint8_t>(y);
      }
    screens.push_back(std::move(screen));
  }
  return screens;
}

// The system tiles the bitmap from the primary's top-left: the tile under a
// desktop point starts at the largest multiple of the bitmap's size not
// beyond it. Every monitor pixel must show its own screen's pixel.
void ExpectTiledShowsEveryScreen(const TMonitorLayout& layout) {
  const std::vector<TBitmap> screens = MarkedScreens(layout);
  const TBitmap tiled = ComposeTiled(screens, layout);
  int l = 0, t = 0, r = 0, b = 0;  // the bounding box; the primary holds 0, 0
  for (const TMonitorRect& n : layout)
    l = std::min(l, n.left), t = std::min(t, n.top), r = std::max(r, n.left + n.width),
    b = std::max(b, n.top + n.height);
  const int w = r - l, h = b - t;
  ASSERT_EQ(tiled.Width(), w);
  ASSERT_EQ(tiled.Height(), h);
  for (std::size_t i = 0; i < layout.size(); ++i)
    for (int y = 0; y < layout[i].height; ++y)
      for (int x = 0; x < layout[i].width; ++x) {
        const int dx = layout[i].left + x, dy = layout[i].top + y;
        int tileX = 0, tileY = 0;
        while (tileX > dx) tileX -= w;
        while (tileX + w <= dx) tileX += w;
        while (tileY > dy) tileY -= h;
        while (tileY + h <= dy) tileY += h;
        const std::uint8_t* got = tiled.ScanLine(dy - tileY) + 3 * (dx - tileX);
        const std::uint8_t* want = screens[i].ScanLine(y) + 3 * x;
        ASSERT_TRUE(got[0] == want[0] && got[1] == want[1] && got[2] == want[2])
            << "monitor " << i << " at " << x << "," << y;
      }
}

TEST(MonitorLayout, TiledBitmapShowsEachMonitorsScreenInItsPlace) {
  ExpectTiledShowsEveryScreen(ParseMonitorLayout("8x6+0+0,6x6+8+0"));          // side by side
  ExpectTiledShowsEveryScreen(ParseMonitorLayout("8x6+0+0,8x4+0-4"));          // stacked, other above
  ExpectTiledShowsEveryScreen(ParseMonitorLayout("8x6+0+0,5x4-5+1"));          // primary on the right
  ExpectTiledShowsEveryScreen(ParseMonitorLayout("6x4+0+0,12x8-12-3,3x2+6+2"));  // mixed sizes (DPIs)
  // Worked by hand for the primary-on-the-right layout: box x -5..8, 13
  // wide. The left monitor's column 0 (desktop x -5) wraps to bitmap
  // column 8; its row 0 is desktop and bitmap row 1.
  const TMonitorLayout layout = ParseMonitorLayout("8x6+0+0,5x4-5+1");
  const TBitmap tiled = ComposeTiled(MarkedScreens(layout), layout);
  EXPECT_EQ(tiled.ScanLine(1)[3 * 8], 2);      // monitor 2
  EXPECT_EQ(tiled.ScanLine(1)[3 * 8 + 1], 0);  // its column 0
  EXPECT_EQ(tiled.ScanLine(0)[3 * 7], 1);      // the primary's last column
  EXPECT_EQ(tiled.ScanLine(0)[3 * 8], 0);      // above the left monitor: not shown, black
}

// Each monitor gets the next picture fitted to its own size; Span fills the
// bounding box with the first and gives each monitor its part. Layout
// 40x30 at 0,0 and 20x30 at 40,0: box 60x30. A 97x61 picture is not wider
// than the box (97*30 < 60*61), so it covers by width: 60 wide, 60/97*61 =
// 37.73 -> 38 high, cut floor(8 / 2) = 4 at the top.
TEST(MonitorLayout, EachMonitorItsPictureAndSpanAcrossTheBox) {
  const TBitmap first = NoiseBitmap(97, 61, 1), second = NoiseBitmap(30, 40, 2);
  std::vector<TBitmap> screens;
  TFitRequest request{0, 0, TWallpaperFit::wfStretch, rfBell, 0};
  // A third monitor takes the first picture again.
  ASSERT_TRUE(RenderForMonitors({{&first, 0}, {&second, 0}}, ParseMonitorLayout("40x30+0+0,20x30+40+0,40x30+60+0"),
                                request, screens));
  ASSERT_EQ(screens.size(), 3u);
  EXPECT_EQ(FirstDifference(screens[0], reference::Resample(first, 40, 30, rfBell)), "");
  EXPECT_EQ(FirstDifference(screens[1], reference::Resample(second, 20, 30, rfBell)), "");
  EXPECT_EQ(FirstDifference(screens[2], screens[0]), "");

  const TMonitorLayout layout = ParseMonitorLayout("40x30+0+0,20x30+40+0");

  request.fit = TWallpaperFit::wfSpan;
  ASSERT_TRUE(RenderForMonitors({{&first, 0}, {&second, 0}}, layout, request, screens));
  const TBitmap cover = reference::Resample(first, 60, 38, rfBell);
  for (int m = 0; m < 2; ++m)
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < layout[m].width; ++x)
        for (int c = 0; c < 3; ++c)
          ASSERT_EQ(screens[m].ScanLine(y)[3 * x + c], cover.ScanLine(y + 4)[3 * (x + layout[m].left) + c])
              << m << " " << x << "," << y;
}

}  // namespace
}  // namespace skyloom
