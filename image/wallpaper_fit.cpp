#include "image/wallpaper_fit.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "image/bitmap_convert.h"
#include "image/desktop_fit.h"

namespace skyloom {
namespace {

constexpr const char* kFitNames[kWallpaperFitCount] = {"fit", "fill", "stretch", "centre", "tile", "span"};

// Where a side of `size` starts on a screen side of `screen`: overflow is
// cut floor((size - screen) / 2) from the start, room is shared the same way.
int CentreOffset(int size, int screen) { return size >= screen ? -((size - screen) / 2) : (screen - size) / 2; }

int RoundScaled(long double scaled) { return static_cast<int>(std::nearbyintl(scaled)); }

// One side equal to the screen's, the other at least the screen's.
TFitPlacement Cover(int width, int height, int screenWidth, int screenHeight) {
  TFitPlacement place;
  const bool wider = static_cast<long long>(width) * screenHeight > static_cast<long long>(screenWidth) * height;
  if (wider) {
    place.width = RoundScaled(static_cast<long double>(screenHeight) / height * width);
    place.height = screenHeight;
  } else {
    place.width = screenWidth;
    place.height = RoundScaled(static_cast<long double>(screenWidth) / width * height);
  }
  return place;
}

TFitPlacement Sized(int width, int height) {
  TFitPlacement place;
  place.width = width;
  place.height = height;
  return place;
}

void FillColour(TBitmap& screen, TColor colour) {
  const TIERGB rgb = RgbOf(colour);
  for (int y = 0; y < screen.Height(); ++y) {
    std::uint8_t* row = screen.ScanLine(y);
    for (int x = 0; x < screen.Width(); ++x, row += 3) {
      row[0] = rgb.b;
      row[1] = rgb.g;
      row[2] = rgb.r;
    }
  }
}

// The picture's pixels repeated from the screen's top-left.
void Tile(const TBitmap& picture, TBitmap& screen) {
  const std::size_t rowBytes = static_cast<std::size_t>(picture.Width()) * 3;
  for (int y = 0; y < screen.Height(); ++y) {
    const std::uint8_t* src = picture.ScanLine(y % picture.Height());
    std::uint8_t* dst = screen.ScanLine(y);
    for (std::size_t done = 0, total = static_cast<std::size_t>(screen.Width()) * 3; done < total;) {
      const std::size_t n = std::min(rowBytes, total - done);
      std::memcpy(dst + done, src, n);
      done += n;
    }
  }
}

void Blit(const TBitmap& part, TBitmap& screen, int left, int top) {
  const std::size_t bytes = static_cast<std::size_t>(part.Width()) * 3;
  for (int y = 0; y < part.Height(); ++y) std::memcpy(screen.ScanLine(top + y) + 3 * left, part.ScanLine(y), bytes);
}

// The shown window [left, left + width) x [top, top + height) of the
// picture scaled to the placement's size, at 24 bits.
struct TWindowRect {
  int left, top, width, height;
};

bool ScaledWindow(const TBitmap& picture, const TFitPlacement& place, const TWindowRect& shown,
                  const TFitRequest& request, const TProgressRec& progress, TBitmap& part) {
  const bool filtered = request.filter != rfNone && picture.PixelFormat() == TPixelFormat::pf24bit;
  if (filtered) {
    part.Allocate(shown.width, shown.height, TPixelFormat::pf24bit);
    return FilteredResampleWindow(picture, part, place.width, place.height, shown.left, shown.top,
                                  request.filter, progress, BestResampleIsa(), request.threads);
  }
  TBitmap stretched(shown.width, shown.height, picture.PixelFormat());
  PlainStretchWindow(picture, stretched, place.width, place.height, shown.left, shown.top);
  stretched.Palette() = picture.Palette();
  part = picture.PixelFormat() == TPixelFormat::pf24bit ? std::move(stretched) : Copy24Bit(stretched);
  return true;
}

// The picture itself when it is 24-bit, else a 24-bit copy kept in `holder`.
const TBitmap& As24Bit(const TBitmap& picture, TBitmap& holder) {
  if (picture.PixelFormat() == TPixelFormat::pf24bit) return picture;
  holder = Copy24Bit(picture);
  return holder;
}

TBitmap CutWindow(const TBitmap& picture, const TWindowRect& shown) {
  TBitmap holder;
  const TBitmap& whole = As24Bit(picture, holder);
  TBitmap part(shown.width, shown.height, TPixelFormat::pf24bit);
  for (int y = 0; y < shown.height; ++y)
    std::memcpy(part.ScanLine(y), whole.ScanLine(shown.top + y) + 3 * shown.left,
                static_cast<std::size_t>(shown.width) * 3);
  return part;
}

}  // namespace

TColor SampleBackground(const TBitmap& picture, int r1, int r2) {
  if (picture.Empty()) return 0;
  const int x = std::min(r2 + 1, picture.Width() - 1), y = std::min(r1 + 1, picture.Height() - 1);
  const std::uint8_t* row = picture.ScanLine(y);
  if (picture.PixelFormat() == TPixelFormat::pf1bit)
    return (row[x / 8] & (0x80 >> (x % 8))) ? 0x00FFFFFFu : 0u;
  const std::uint8_t* p = row + 3 * x;
  return ColorOf(TIERGB{p[0], p[1], p[2]});
}

const char* FitName(TWallpaperFit fit) { return kFitNames[static_cast<int>(fit)]; }

std::optional<TWallpaperFit> FitFromName(const std::string& name) {
  std::string lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  for (int i = 0; i < kWallpaperFitCount; ++i)
    if (lower == kFitNames[i]) return static_cast<TWallpaperFit>(i);
  return std::nullopt;
}

TFitPlacement PlaceOnScreen(TWallpaperFit fit, int pictureWidth, int pictureHeight, int screenWidth,
                            int screenHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0) return {};
  TFitPlacement place;
  switch (fit) {
    case TWallpaperFit::wfFit: {
      const TSize size = FitToDesktopSize(pictureWidth, pictureHeight, screenWidth, screenHeight);
      place = Sized(size.width, size.height);
      break;
    }
    case TWallpaperFit::wfFill:
    case TWallpaperFit::wfSpan: place = Cover(pictureWidth, pictureHeight, screenWidth, screenHeight); break;
    case TWallpaperFit::wfStretch: place = Sized(screenWidth, screenHeight); break;
    case TWallpaperFit::wfCentre: place = Sized(pictureWidth, pictureHeight); break;
    case TWallpaperFit::wfTile: return Sized(pictureWidth, pictureHeight);
  }
  place.left = CentreOffset(place.width, screenWidth);
  place.top = CentreOffset(place.height, screenHeight);
  return place;
}

bool RenderOnScreen(const TBitmap& picture, const TFitRequest& request, TBitmap& screen,
                    const TProgressRec& progress) {
  screen.Allocate(request.screenWidth, request.screenHeight, TPixelFormat::pf24bit);
  if (picture.Empty() || screen.Empty()) return true;
  if (request.fit == TWallpaperFit::wfTile) {
    TBitmap holder;
    Tile(As24Bit(picture, holder), screen);
    return true;
  }
  const TFitPlacement place =
      PlaceOnScreen(request.fit, picture.Width(), picture.Height(), request.screenWidth, request.screenHeight);
  const int left = std::max(place.left, 0), top = std::max(place.top, 0);
  const TWindowRect shown{left - place.left, top - place.top,
                          std::min(place.left + place.width, request.screenWidth) - left,
                          std::min(place.top + place.height, request.screenHeight) - top};
  if (shown.width < request.screenWidth || shown.height < request.screenHeight)
    FillColour(screen, request.background);
  if (shown.width <= 0 || shown.height <= 0) return true;
  TBitmap part;
  const bool scaled = place.width != picture.Width() || place.height != picture.Height();
  if (!scaled) {
    part = CutWindow(picture, shown);
  } else if (!ScaledWindow(picture, place, shown, request, progress, part)) {
    return false;
  }
  Blit(part, screen, left, top);
  return true;
}

}  // namespace skyloom
