#pragma once
// TImageProc: the non-visual processor that resamples the raster of an
// attached view or bare bitmap in place, with one level of undo.
#include "image/bitmap.h"
#include "image/colour.h"
#include "image/progress.h"
#include "image/resample.h"

namespace skyloom {

// What a view offers the processor (the views implement it). The raster is
// asked for at every operation because a view may replace it; a view that
// is destroyed detaches itself with AttachedImageView(nullptr), so it is
// told of every processor that attaches to it and leaves it.
class TImageProc;
class TImageProcView {
 public:
  virtual TBitmap* ProcBitmap() = 0;
  // Repaint and raise the view's image-changed notification.
  virtual void ProcRefresh() = 0;
  virtual TColor ProcBackground() const = 0;
  virtual void SetProcBackground(TColor colour) = 0;
  virtual void ProcAttached(TImageProc*) {}
  virtual void ProcDetached(TImageProc*) {}

 protected:
  ~TImageProcView() = default;
};

class TImageProc {
 public:
  TImageProc() = default;
  ~TImageProc() { AttachedImageView(nullptr); }
  TImageProc(const TImageProc&) = delete;
  TImageProc& operator=(const TImageProc&) = delete;

  // Work on a bare raster (not owned); detaches any view.
  void AttachedBitmap(TBitmap* bitmap);
  TBitmap* AttachedBitmap() const { return bitmap_; }
  // Work on a view's raster (not owned); detaches any bare raster.
  void AttachedImageView(TImageProcView* view);
  TImageProcView* AttachedImageView() const { return view_; }

  TColor Background() const;
  void Background(TColor colour);

  // Scales the current raster to newWidth x newHeight; a negative size is
  // derived from the other to keep the aspect ratio.
  void Resample(int newWidth, int newHeight, TResampleFilter filter);
  void SaveUndo();
  void Undo();
  const TBitmap& UndoBitmap() const { return undo_; }

  bool AutoUndo = true;
  // Threads of the filtered resample; 0 lets the machine decide.
  int Threads = 0;
  TProgressEvent OnProgress;
  // Set by an OnProgress handler to stop the running operation; Resample
  // clears it when it starts.
  bool Aborting = false;

 private:
  TBitmap* Current() const;
  void Refresh();
  void LeaveView();
  bool ScaleFiltered(TBitmap& bitmap, int newWidth, int newHeight, TResampleFilter filter);
  void ScalePlain(TBitmap& bitmap, int newWidth, int newHeight);

  TBitmap* bitmap_ = nullptr;
  TImageProcView* view_ = nullptr;
  TBitmap undo_;
  TColor background_ = 0;
};

}  // namespace skyloom
