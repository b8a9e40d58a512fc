#include "app/status_report.h"

#include <gtest/gtest.h>

namespace skyloom {
namespace {

TEST(StatusReport, KeyValueLinesInTheirOrder) {
  TStatusReport report;
  report.wallpaper = "C:\\Pictures\\\xC3\xA9t\xC3\xA9.jpg";
  report.timerActive = report.timerPaused = true;
  report.nextChangeMs = 61001;
  report.video = "C:\\v.avi";
  report.videoState = "paused";
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
