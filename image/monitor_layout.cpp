#include "image/monitor_layout.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "image/wallpaper_fit.h"

namespace skyloom {
namespace {

// A signed number at text[pos]; advances pos.
int ReadNumber(const std::string& text, std::size_t& pos, bool signedValue, const std::string& part) {
  const std::size_t start = pos;
  if (signedValue && pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  const std::size_t digits = pos;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
  if (pos == digits || pos - digits > 6) throw std::invalid_argument("bad monitor (WxH+X+Y expected): " + part);
  return std::stoi(text.substr(start, pos - start));
}

TMonitorRect ParseMonitor(const std::string& part) {
  std::size_t pos = 0;
  TMonitorRect monitor;
  monitor.width = ReadNumber(part, pos, false, part);
  if (pos >= part.size() || (part[pos] != 'x' && part[pos] != 'X'))
    throw std::invalid_argument("bad monitor (WxH+X+Y expected): " + part);
  ++pos;
  monitor.height = ReadNumber(part, pos, false, part);
  if (pos < part.size() && (part[pos] == '+' || part[pos] == '-')) {
    monitor.left = ReadNumber(part, pos, true, part);
    monitor.top = ReadNumber(part, pos, true, part);
  }
  if (pos != part.size() || monitor.width < 1 || monitor.height < 1)
    throw std::invalid_argument("bad monitor (WxH+X+Y expected): " + part);
  return monitor;
}

int Wrap(int value, int size) { return ((value % size) + size) % size; }

// Copies the screen's row onto the composed row from column `x` on,
// wrapping at the composed width.
void WrapRow(const std::uint8_t* src, int width, std::uint8_t* dst, int composedWidth, int x) {
  for (int done = 0; done < width;) {
    const int n = std::min(width - done, composedWidth - x);
    std::memcpy(dst + 3 * static_cast<std::size_t>(x), src + 3 * static_cast<std::size_t>(done),
                3 * static_cast<std::size_t>(n));
    done += n;
    x = 0;
  }
}

TBitmap Cut(const TBitmap& whole, int left, int top, int width, int height) {
  TBitmap part(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y)
    std::memcpy(part.ScanLine(y), whole.ScanLine(top + y) + 3 * static_cast<std::size_t>(left),
                3 * static_cast<std::size_t>(width));
  return part;
}

// The first monitor before `i` with the same picture and size, or `i`.
std::size_t SameScreenBefore(const std::vector<TScreenPicture>& pictures, const TMonitorLayout& layout,
                             std::size_t i) {
  const TScreenPicture& mine = pictures[i % pictures.size()];
  for (std::size_t j = 0; j < i; ++j) {
    const TScreenPicture& theirs = pictures[j % pictures.size()];
    if (theirs.picture == mine.picture && theirs.background == mine.background &&
        layout[j].width == layout[i].width && layout[j].height == layout[i].height)
      return j;
  }
  return i;
}

}  // namespace

TMonitorLayout ParseMonitorLayout(const std::string& text) {
  TMonitorLayout layout;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    layout.push_back(ParseMonitor(text.substr(start, comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return layout;
}

TMonitorRect BoundingBox(const TMonitorLayout& layout) {
  if (layout.empty()) return {};
  int left = layout[0].left, top = layout[0].top;
  int right = left + layout[0].width, bottom = top + layout[0].height;
  for (const TMonitorRect& m : layout) {
    left = std::min(left, m.left);
    top = std::min(top, m.top);
    right = std::max(right, m.left + m.width);
    bottom = std::max(bottom, m.top + m.height);
  }
  return {left, top, right - left, bottom - top};
}

bool RenderForMonitors(const std::vector<TScreenPicture>& pictures, const TMonitorLayout& layout,
                       const TFitRequest& request, std::vector<TBitmap>& screens, const TProgressRec& progress) {
  screens.clear();
  if (pictures.empty() || layout.empty()) return true;
  TFitRequest own = request;
  if (request.fit == TWallpaperFit::wfSpan) {
    const TMonitorRect box = BoundingBox(layout);
    own.screenWidth = box.width;
    own.screenHeight = box.height;
    own.background = pictures[0].background;
    TBitmap whole;
    if (!RenderOnScreen(*pictures[0].picture, own, whole, progress)) return false;
    for (const TMonitorRect& m : layout)
      screens.push_back(Cut(whole, m.left - box.left, m.top - box.top, m.width, m.height));
    return true;
  }
  for (std::size_t i = 0; i < layout.size(); ++i) {
    const TScreenPicture& next = pictures[i % pictures.size()];
    // Monitors of one size showing one picture share the work.
    const std::size_t same = SameScreenBefore(pictures, layout, i);
    if (same < i) {
      screens.push_back(screens[same]);
      continue;
    }
    own.screenWidth = layout[i].width;
    own.screenHeight = layout[i].height;
    own.background = next.background;
    screens.emplace_back();
    if (!RenderOnScreen(*next.picture, own, screens.back(), progress)) return false;
  }
  return true;
}

TWallpaperOutput ChooseOutput(TWallpaperFit fit, std::size_t monitors, bool perMonitorFiles) {
  if (perMonitorFiles) return TWallpaperOutput::woPerMonitor;
  if (monitors > 1) return TWallpaperOutput::woTiled;
  return fit == TWallpaperFit::wfFit ? TWallpaperOutput::woFittedPicture : TWallpaperOutput::woScreen;
}

std::string MonitorFileName(const std::string& path, std::size_t monitor) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.find_last_of("/\\");
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string stem = hasExtension ? path.substr(0, dot) : path;
  return stem + "-" + std::to_string(monitor + 1) + (hasExtension ? path.substr(dot) : "");
}

TBitmap ComposeTiled(const std::vector<TBitmap>& screens, const TMonitorLayout& layout) {
  const TMonitorRect box = BoundingBox(layout);
  TBitmap composed(box.width, box.height, TPixelFormat::pf24bit);
  for (std::size_t i = 0; i < layout.size() && i < screens.size(); ++i) {
    const TMonitorRect& m = layout[i];
    const TBitmap& screen = screens[i];
    const int x = Wrap(m.left, box.width);
    for (int y = 0; y < std::min(m.height, screen.Height()); ++y)
      WrapRow(screen.ScanLine(y), std::min(m.width, screen.Width()), composed.ScanLine(Wrap(m.top + y, box.height)),
              box.width, x);
  }
  return composed;
}

}  // namespace skyloom
