#include "app/status_report.h"

#include <algorithm>

namespace skyloom {
namespace {

const char* TimerState(const TStatusReport& report) {
  if (!report.timerActive) return "stopped";
  return report.timerPaused ? "paused" : "running";
}

}  // namespace

// Seconds are rounded up, so a change still to come never reads 0.
std::string FormatStatus(const TStatusReport& report) {
  const std::int64_t seconds = report.timerActive ? (std::max<std::int64_t>(report.nextChangeMs, 0) + 999) / 1000 : -1;
  std::string text;
  text += "wallpaper=" + report.wallpaper + "\n";
  text += std::string("timer=") + TimerState(report) + "\n";
  text += "next_change_seconds=" + std::to_string(seconds) + "\n";
  text += "video=" + report.video + "\n";
  text += "video_state=" + report.videoState + "\n";
  text += std::string("video_wallpaper=") + (report.videoRunning ? "running" : "stopped") + "\n";
  text += "paused=" + report.pauseReason + "\n";
  text += std::string("mute=") + (report.muted ? "on" : "off") + "\n";
  return text;
}

}  // namespace skyloom
