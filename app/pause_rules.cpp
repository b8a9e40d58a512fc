#include "app/pause_rules.h"

namespace skyloom {

void TPauseRules::Set(TPauseReason reason, bool on) {
  const auto bit = static_cast<unsigned>(reason);
  reasons_ = on ? reasons_ | bit : reasons_ & ~bit;
}

// A reason counts only while its setting is on.
bool TPauseRules::Holds(TPauseReason reason) const {
  if (!Has(reason)) return false;
  if (reason == TPauseReason::FullScreen) return settings.fullScreen;
  if (reason == TPauseReason::Battery) return settings.battery;
  return true;
}

bool TPauseRules::VideoHeld() const {
  return Holds(TPauseReason::User) || Holds(TPauseReason::FullScreen) || Holds(TPauseReason::Battery);
}

bool TPauseRules::TimerHeld() const {
  return Holds(TPauseReason::User) || Holds(TPauseReason::FullScreen) ||
         (Holds(TPauseReason::Battery) && settings.batteryTimer);
}

TPauseActions TPauseRules::Update(bool videoPlaying) {
  TPauseActions actions;
  if (VideoHeld() && videoPlaying) actions.pauseVideo = videoPaused_ = true;
  if (!VideoHeld() && videoPaused_) {
    actions.resumeVideo = true;
    videoPaused_ = false;
  }
  return actions;
}

std::wstring TPauseRules::Reason() const {
  if (Holds(TPauseReason::User)) return L"Paused";
  if (Holds(TPauseReason::FullScreen)) return L"Paused: full-screen program";
  if (Holds(TPauseReason::Battery)) return L"Paused: on battery";
  return {};
}

}  // namespace skyloom
