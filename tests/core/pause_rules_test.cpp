#include "app/pause_rules.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace skyloom
