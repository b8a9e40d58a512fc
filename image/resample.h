#pragma once
// Scaling a raster: the filtered two-pass resample and the plain stretch.
#include "image/bitmap.h"
#include "image/progress.h"
#include "image/resample_kernels.h"

namespace skyloom {

// Vector instruction sets of the filtered path; all give the same bytes.
enum class TResampleIsa { isaSse2, isaAvx2 };

bool IsaAvailable(TResampleIsa isa);
TResampleIsa BestResampleIsa();

// Filtered resample of a 24-bit source into a 24-bit target already sized
// to the new width and height (a source of any other format is left alone
// and the target not written). Rows count from the top of the picture.
// Progress goes through `progress` (its `per` is set here); answers false
// when the Aborting flag stopped the work, the target then being
// incomplete. Rows are filtered on `threads` threads (0: as many as the
// machine has, up to 8, fewer for small jobs); progress and the Aborting
// flag stay on the calling thread, and every count gives the same bytes.
bool FilteredResample(const TBitmap& source, TBitmap& target, TResampleFilter filter, TProgressRec progress,
                      TResampleIsa isa = BestResampleIsa(), int threads = 0);

// The same, replacing the 24-bit raster's content with the scaled picture
// (left as it was when aborted).
bool FilteredResampleInPlace(TBitmap& bitmap, int newWidth, int newHeight, TResampleFilter filter,
                             TProgressRec progress, TResampleIsa isa = BestResampleIsa(), int threads = 0);

// A window of the picture scaled to coverWidth x coverHeight: the target's
// size in columns from `left` and rows from `top`, with the same bytes as
// the whole scaled picture cut there. Only the shown part is computed (and
// only the source rows it reads are filtered). A window that does not lie
// inside the scaled picture leaves the target unwritten.
bool FilteredResampleWindow(const TBitmap& source, TBitmap& target, int coverWidth, int coverHeight, int left,
                            int top, TResampleFilter filter, TProgressRec progress,
                            TResampleIsa isa = BestResampleIsa(), int threads = 0);

// The unfiltered stretch: every target pixel takes the colour of exactly one
// source pixel, the one under its centre (column (2x + 1) * W / (2 W'),
// integer division; rows the same, counted from the top). Works on 1, 8
// and 24 bits per pixel; the target must have the source's format.
void PlainStretch(const TBitmap& source, TBitmap& target);
// The same for a window of the stretched picture, as above.
void PlainStretchWindow(const TBitmap& source, TBitmap& target, int coverWidth, int coverHeight, int left,
                        int top);

}  // namespace skyloom
