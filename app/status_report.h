#pragma once
// The running program's state as /status writes it: UTF-8 key=value lines,
// one per key, each ended by a line feed, in a fixed order:
//   wallpaper=PATH            the image last set as wallpaper (empty: none)
//   timer=running|paused|stopped
//   next_change_seconds=N     time to the next image change (-1: timer stopped)
//   video=PATH                the video opened on the device (empty: none)
//   video_state=playing|paused|stopped|...  the device's mode, lower case
//   video_wallpaper=running|stopped
//   paused=REASON             why the wallpaper is held (empty: it is not)
//   mute=on|off
#include <cstdint>
#include <string>

namespace skyloom {

struct TStatusReport {
  std::string wallpaper;
  bool timerActive = false, timerPaused = false;
  std::int64_t nextChangeMs = -1;
  std::string video, videoState;  // videoState in lower case
  bool videoRunning = false;
  std::string pauseReason;
  bool muted = false;
};

std::string FormatStatus(const TStatusReport& report);

}  // namespace skyloom
