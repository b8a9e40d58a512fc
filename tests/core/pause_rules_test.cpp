#include "app/pause_rules.h"

#include <gtest/gtest.h>

#include "app/fullscreen_rule.h"
#include "app/status_report.h"

namespace skyloom {
namespace {

using R = TPauseReason;

TEST(PauseRules, FullScreenHoldsBothAndItsEndResumesWhatItPaused) {
  TPauseRules rules;
  rules.Set(R::FullScreen, true);
  EXPECT_TRUE(rules.VideoHeld());
  EXPECT_TRUE(rules.TimerHeld());
  EXPECT_EQ(rules.Reason(), L"Paused: full-screen program");
  EXPECT_TRUE(rules.Update(true).pauseVideo);
  EXPECT_FALSE(rules.Update(false).pauseVideo) << "paused once";
  rules.Set(R::FullScreen, false);
  const auto actions = rules.Update(false);
  EXPECT_TRUE(actions.resumeVideo);
  EXPECT_FALSE(rules.TimerHeld());
  EXPECT_EQ(rules.Reason(), L"");
}

TEST(PauseRules, TheUsersStopStaysAStop) {
  TPauseRules rules;
  rules.Set(R::Battery, true);
  ASSERT_TRUE(rules.Update(true).pauseVideo);
  rules.UserTookVideo();  // Stop while paused
  rules.Set(R::Battery, false);
  EXPECT_FALSE(rules.Update(false).resumeVideo);
  // Nothing was playing when the pause came: nothing to resume after it.
  rules.Set(R::FullScreen, true);
  EXPECT_FALSE(rules.Update(false).pauseVideo);
  rules.Set(R::FullScreen, false);
  EXPECT_FALSE(rules.Update(false).resumeVideo);
}

TEST(PauseRules, BatteryHoldsTheVideoAndTheTimerOnlyWhenAsked) {
  TPauseRules rules;
  rules.Set(R::Battery, true);
  EXPECT_TRUE(rules.VideoHeld());
  EXPECT_FALSE(rules.TimerHeld());
  EXPECT_EQ(rules.Reason(), L"Paused: on battery");
  rules.settings.batteryTimer = true;
  EXPECT_TRUE(rules.TimerHeld());
  // A setting turned off lets go of its reason at once.
  ASSERT_TRUE(rules.Update(true).pauseVideo);
  rules.settings.battery = false;
  EXPECT_FALSE(rules.VideoHeld());
  EXPECT_TRUE(rules.Update(false).resumeVideo);
  EXPECT_EQ(rules.Reason(), L"");
}

// Two reasons: the end of one does not resume while the other holds; the
// user's /resume lifts only the user's pause.
TEST(PauseRules, EveryReasonMustEndBeforeTheResume) {
  TPauseRules rules;
  rules.Set(R::FullScreen, true);
  rules.Set(R::Battery, true);
  ASSERT_TRUE(rules.Update(true).pauseVideo);
  rules.Set(R::FullScreen, false);
  EXPECT_FALSE(rules.Update(false).resumeVideo);
  EXPECT_EQ(rules.Reason(), L"Paused: on battery");
  rules.Set(R::User, true);
  EXPECT_EQ(rules.Reason(), L"Paused");
  rules.Set(R::Battery, false);
  EXPECT_FALSE(rules.Update(false).resumeVideo);
  rules.Set(R::User, false);
  EXPECT_TRUE(rules.Update(false).resumeVideo);
}

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

TEST(StatusReport, KeyValueLinesInTheirOrder) {
  TStatusReport report;
  report.wallpaper = "C:\\Pictures\\\xC3\xA9t\xC3\xA9.jpg";
  report.timerActive = report.timerPaused = true;
  report.nextChangeMs = 61001;
  report.video = "C:\\v.avi";
  report.videoState = "Paused";
  report.videoRunning = true;
  report.pauseReason = "Paused: full-screen program";
  report.muted = true;
  EXPECT_EQ(FormatStatus(report),
            "wallpaper=C:\\Pictures\\\xC3\xA9t\xC3\xA9.jpg\ntimer=paused\nnext_change_seconds=62\nvideo=C:\\v.avi\n"
            "video_state=paused\nvideo_wallpaper=running\npaused=Paused: full-screen program\nmute=on\n");
  EXPECT_EQ(FormatStatus({}),
            "wallpaper=\ntimer=stopped\nnext_change_seconds=-1\nvideo=\nvideo_state=\nvideo_wallpaper=stopped\n"
            "paused=\nmute=off\n");
}

}  // namespace
}  // namespace skyloom
