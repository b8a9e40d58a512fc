#pragma once
// How a picture is laid on one screen: each fit's scaled size and place, and
// the screen-sized raster that results.
#include <optional>
#include <string>

#include "image/bitmap.h"
#include "image/colour.h"
#include "image/progress.h"
#include "image/resample.h"

namespace skyloom {

// In the order of the main window's "Fit" box.
enum class TWallpaperFit { wfFit, wfFill, wfStretch, wfCentre, wfTile, wfSpan };
constexpr int kWallpaperFitCount = 6;

// "fit", "fill", "stretch", "centre", "tile", "span"; the name of a value
// and back (case-insensitive; nothing for an unknown name).
const char* FitName(TWallpaperFit fit);
std::optional<TWallpaperFit> FitFromName(const std::string& name);

// The picture scaled to width x height with its top-left at (left, top) on
// the screen; negative places and sizes beyond the screen are cut. Tile
// repeats the picture from (0, 0).
struct TFitPlacement {
  int width = 0, height = 0;
  int left = 0, top = 0;
};

// "Fit": inside by the aspect rule of the single desktop, centred. "Fill"
// and "Span": one side equal to the screen's, the other rounded as "Fit"
// rounds, centred with the overflow cut at floor((covered - screen) / 2).
// "Stretch": the screen's size. "Centre" and "Tile": the picture's own size.
// Centring places a smaller side at floor((screen - size) / 2).
TFitPlacement PlaceOnScreen(TWallpaperFit fit, int pictureWidth, int pictureHeight, int screenWidth,
                            int screenHeight);

// The background colour sampled from the picture at x = r2 + 1, y = r1 + 1
// from its top-left corner (the nearest pixel inside a smaller picture).
TColor SampleBackground(const TBitmap& picture, int r1, int r2);

struct TFitRequest {
  int screenWidth = 0, screenHeight = 0;
  TWallpaperFit fit = TWallpaperFit::wfFit;
  TResampleFilter filter = rfBell;
  TColor background = 0;  // where the picture does not reach
  int threads = 0;        // of the filtered resample; 0: the machine decides
};

// The 24-bit screen-sized raster for `picture` (24 or 1 bit per pixel).
// Only the part of the scaled picture that is shown is computed, with the
// same bytes as scaling the whole picture and cutting it. Answers false
// when the progress handler's Aborting flag stopped the work.
bool RenderOnScreen(const TBitmap& picture, const TFitRequest& request, TBitmap& screen,
                    const TProgressRec& progress = {});

}  // namespace skyloom
