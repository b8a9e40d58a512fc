#pragma once
// Monitors in desktop coordinates (the primary's top-left is 0, 0; others
// may lie left of or above it) and the one bitmap that shows a picture on
// each of them when the system tiles it.
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/wallpaper_fit.h"

namespace skyloom {

struct TMonitorRect {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const TMonitorRect&, const TMonitorRect&) = default;
};
using TMonitorLayout = std::vector<TMonitorRect>;

// "WxH+X+Y" per monitor, comma-separated ("1920x1080+0+0,1280x1024-1280+56");
// throws std::invalid_argument naming the bad part.
TMonitorLayout ParseMonitorLayout(const std::string& text);

// The bounding box of all monitors (the virtual screen).
TMonitorRect BoundingBox(const TMonitorLayout& layout);

// A picture and the background colour sampled from it.
struct TScreenPicture {
  const TBitmap* picture = nullptr;
  TColor background = 0;
};

// One screen-sized raster per monitor: monitor i shows pictures[i % count]
// fitted to its own size; "Span" fits the first picture (as "Fill") to the
// bounding box and gives each monitor its part. The request's screen size
// and background are taken from the layout and the pictures. Answers false
// when the Aborting flag stopped the work.
bool RenderForMonitors(const std::vector<TScreenPicture>& pictures, const TMonitorLayout& layout,
                       const TFitRequest& request, std::vector<TBitmap>& screens,
                       const TProgressRec& progress = {});

// What is written for a layout: today's fitted picture (one monitor,
// "Fit"), one screen-sized bitmap (one monitor), one file per monitor (set
// through the shell's per-monitor interface), or the tiled composition.
enum class TWallpaperOutput { woFittedPicture, woScreen, woPerMonitor, woTiled };
TWallpaperOutput ChooseOutput(TWallpaperFit fit, std::size_t monitors, bool perMonitorFiles);

// "wallpaper.bmp" -> "wallpaper-2.bmp" for monitor index 1 (numbered from 1).
std::string MonitorFileName(const std::string& path, std::size_t monitor);

// A bitmap of the bounding box's size that, tiled by the system from the
// primary monitor's top-left, shows screens[i] on layout[i]: desktop pixel
// (x, y) is bitmap pixel (x mod W, y mod H), so parts of monitors left of or
// above the primary wrap to the bitmap's right or bottom.
TBitmap ComposeTiled(const std::vector<TBitmap>& screens, const TMonitorLayout& layout);

}  // namespace skyloom
