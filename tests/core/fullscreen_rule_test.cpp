#include "app/fullscreen_rule.h"

#include <gtest/gtest.h>

#include <climits>

namespace skyloom {
namespace {

// Two monitors side by side: the wallpaper's 1920 x 1080 on the left, a
// 1280 x 1024 one on the right.
constexpr TScreenRect kLeft{0, 0, 1920, 1080}, kRight{1920, 0, 3200, 1024};

TForegroundWindow Window(TScreenRect rect, TScreenRect monitor) {
  TForegroundWindow window;
  window.present = true;
  window.window = rect;
  window.monitor = monitor;
  return window;
}

TEST(FullScreenRule, OnlyAWindowFillingTheWallpapersMonitorCounts) {
  const auto normal = TShellState::AcceptsNotifications;
  EXPECT_TRUE(FullScreenOverWallpaper(normal, Window(kLeft, kLeft), kLeft));
  EXPECT_TRUE(FullScreenOverWallpaper(normal, Window({-8, -8, 1928, 1088}, kLeft), kLeft)) << "overhanging";

  // Maximised: the work area without the taskbar, or with an auto-hidden
  // taskbar the whole monitor, but with its title bar.
  EXPECT_FALSE(FullScreenOverWallpaper(normal, Window({-8, -8, 1928, 1048}, kLeft), kLeft));
  auto maximised = Window({-8, -8, 1928, 1088}, kLeft);
  maximised.maximisedWithCaption = true;
  EXPECT_FALSE(FullScreenOverWallpaper(normal, maximised, kLeft));

  EXPECT_FALSE(FullScreenOverWallpaper(normal, Window(kRight, kRight), kLeft)) << "the other monitor only";

  auto desktop = Window({0, 0, 3200, 1080}, kLeft);
  desktop.desktopOrShell = true;
  EXPECT_FALSE(FullScreenOverWallpaper(normal, desktop, kLeft));
  EXPECT_FALSE(FullScreenOverWallpaper(TShellState::Busy, desktop, kLeft));
  EXPECT_FALSE(FullScreenOverWallpaper(normal, TForegroundWindow{}, kLeft)) << "no foreground window";
}

TEST(FullScreenRule, TheShellsBusyStatesCountOnTheWallpapersMonitor) {
  const auto small = Window({100, 100, 500, 400}, kLeft);
  for (auto state : {TShellState::Busy, TShellState::FullScreenDirect3D, TShellState::Presentation})
    EXPECT_TRUE(FullScreenOverWallpaper(state, small, kLeft)) << static_cast<int>(state);
  for (auto state : {TShellState::NotPresent, TShellState::QuietTime, TShellState::App})
    EXPECT_FALSE(FullScreenOverWallpaper(state, small, kLeft)) << static_cast<int>(state);
  EXPECT_FALSE(FullScreenOverWallpaper(TShellState::FullScreenDirect3D, Window(kRight, kRight), kLeft));
}

TEST(FullScreenRule, AWindowIsOnTheMonitorItOverlapsMost) {
  const std::vector<TScreenRect> monitors{kLeft, kRight};
  const auto on = [&](TScreenRect window) { return MonitorOf(window, monitors).left; };
  EXPECT_EQ(on({1800, 0, 3000, 900}), kRight.left);
  EXPECT_EQ(on({0, 0, 3200, 1080}), kLeft.left) << "both: the larger part";
  EXPECT_EQ(MonitorOf({-32000, -32000, -31840, -31970}, monitors).right, 0) << "minimised: none";
  EXPECT_EQ(MonitorOf({INT_MIN, INT_MIN, INT_MAX, INT_MAX}, monitors).right, kLeft.right) << "no overflow";
}

}  // namespace
}  // namespace skyloom
