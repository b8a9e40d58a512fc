#include "image/image_proc.h"

#include <climits>
#include <cstdint>
#include <utility>

#include "toolkit/errors.h"

namespace skyloom {
namespace {

int Saturate(long long value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); }

// Target size after the aspect rule (integer arithmetic, truncating; 64-bit
// so that large sizes cannot overflow).
void DeriveSize(const TBitmap& bitmap, int& width, int& height) {
  if (width < 0) width = Saturate(static_cast<long long>(height) * bitmap.Width() / bitmap.Height());
  if (height < 0) height = Saturate(static_cast<long long>(width) * bitmap.Height() / bitmap.Width());
}

// Refuses sizes whose pixel memory cannot even be expressed, before any
// allocation is tried; the caller sees the usual out-of-memory exception.
void CheckAllocatable(int width, int height, TPixelFormat format) {
  const std::size_t row = RowSizeOf(width, format);
  if (row != 0 && static_cast<std::size_t>(height) > SIZE_MAX / 2 / row) throw EOutOfMemory();
}

bool Filtered(const TBitmap& bitmap, TResampleFilter filter) {
  return HasKernel(filter) && bitmap.PixelFormat() == TPixelFormat::pf24bit;
}

}  // namespace

void TImageProc::LeaveView() {
  TImageProcView* old = std::exchange(view_, nullptr);
  if (old) old->ProcDetached(this);
}

void TImageProc::AttachedBitmap(TBitmap* bitmap) {
  LeaveView();
  bitmap_ = bitmap;
}

void TImageProc::AttachedImageView(TImageProcView* view) {
  if (view != view_) {
    LeaveView();
    view_ = view;
    if (view_) view_->ProcAttached(this);
  }
  bitmap_ = nullptr;
  if (view_) view_->SetProcBackground(background_);
}

TColor TImageProc::Background() const { return view_ ? view_->ProcBackground() : background_; }

void TImageProc::Background(TColor colour) {
  background_ = colour;
  if (view_) view_->SetProcBackground(colour);
}

TBitmap* TImageProc::Current() const { return view_ ? view_->ProcBitmap() : bitmap_; }

void TImageProc::Refresh() {
  if (view_) {
    view_->ProcRefresh();
    return;
  }
  if (bitmap_) bitmap_->SetModified(true);
}

void TImageProc::SaveUndo() {
  const TBitmap* bitmap = Current();
  if (!bitmap) return;
  if (bitmap->Empty()) {
    undo_.Allocate(1, 1, bitmap->PixelFormat());
    return;
  }
  undo_ = *bitmap;
}

void TImageProc::Undo() {
  TBitmap* bitmap = Current();
  if (!bitmap || undo_.Width() < 2 || undo_.Height() < 2) return;
  *bitmap = undo_;
  Refresh();
}

void TImageProc::Resample(int newWidth, int newHeight, TResampleFilter filter) {
  TBitmap* bitmap = Current();
  if (!bitmap) return;
  Aborting = false;
  if (AutoUndo) SaveUndo();
  if (newWidth < 0 && newHeight < 0) return;
  // An empty raster has no picture to scale (and no aspect ratio).
  if (bitmap->Empty()) return;
  DeriveSize(*bitmap, newWidth, newHeight);
  CheckAllocatable(newWidth, newHeight, bitmap->PixelFormat());
  // Rasters other than 24-bit (1-bit, and 8-bit ones that never reach here
  // from the readers) take the plain stretch too: filtering palette indices
  // would be meaningless, and leaving the target unwritten would blank the
  // picture.
  if (Filtered(*bitmap, filter)) {
    // An aborted resample leaves the picture as it was.
    if (!ScaleFiltered(*bitmap, newWidth, newHeight, filter)) return;
  } else {
    ScalePlain(*bitmap, newWidth, newHeight);
  }
  Refresh();
}

bool TImageProc::ScaleFiltered(TBitmap& bitmap, int newWidth, int newHeight, TResampleFilter filter) {
  CheckAllocatable(newWidth, bitmap.Height(), TPixelFormat::pf24bit);
  const TProgressRec progress{&OnProgress, this, 0.0, &Aborting};
  return FilteredResampleInPlace(bitmap, newWidth, newHeight, filter, progress, BestResampleIsa(), Threads);
}

void TImageProc::ScalePlain(TBitmap& bitmap, int newWidth, int newHeight) {
  TBitmap scaled(newWidth, newHeight, bitmap.PixelFormat());
  PlainStretch(bitmap, scaled);
  bitmap.Swap(scaled);
}

}  // namespace skyloom
