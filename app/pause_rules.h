#pragma once
// Why the wallpaper is held, and what that means for the video and the
// image timer. The automatic reasons (a full-screen program, battery power)
// come and go by themselves; the user's own pause comes and goes with
// /pause and /resume. A resume only undoes a pause this made: a video the
// user stopped or started since then is the user's and is left alone.
#include <string>

namespace skyloom {

enum class TPauseReason : unsigned { User = 1, FullScreen = 2, Battery = 4 };

struct TPauseSettings {
  bool fullScreen = true;     // "Pause for full-screen programs"
  bool battery = true;        // "Pause on battery"
  bool batteryTimer = false;  // the battery pause holds the image timer too
};

struct TPauseActions {
  bool pauseVideo = false, resumeVideo = false;
};

class TPauseRules {
 public:
  TPauseSettings settings;

  void Set(TPauseReason reason, bool on);
  bool Has(TPauseReason reason) const { return (reasons_ & static_cast<unsigned>(reason)) != 0; }
  bool VideoHeld() const;
  bool TimerHeld() const;

  // What to do with the video now, given whether it plays: pause it when it
  // is held (also a video started or advanced to while held), resume it
  // when it is no longer held and this paused it.
  TPauseActions Update(bool videoPlaying);
  // The user stopped or started the video: no automatic resume for it.
  void UserTookVideo() { videoPaused_ = false; }
  bool VideoPausedHere() const { return videoPaused_; }

  // The status bar's words for the reason that holds the most; empty when
  // nothing is held.
  std::wstring Reason() const;

 private:
  bool Holds(TPauseReason reason) const;

  unsigned reasons_ = 0;
  bool videoPaused_ = false;
};

}  // namespace skyloom
