#pragma once
// The single-picture preview control: one 24-bit raster (or 1-bit) shown
// zoomed, scrolled and optionally centred over a background pattern. The
// view owns the raster; loaders and resamplers work on GetBitmap() directly.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "image/bitmap.h"
#include "image/ie_view.h"
#include "image/image_io.h"
#include "image/image_proc.h"
#include "image/resample_kernels.h"
#include "toolkit/handles.h"
#include "toolkit/window.h"

namespace skyloom {

enum class TIEBackgroundStyle {
  iebsSolid,
  iebsHorizontal,
  iebsVertical,
  iebsFDiagonal,
  iebsBDiagonal,
  iebsCross,
  iebsDiagCross,
  iebsChessboard,
  iebsDiagonals
};
enum class TIESelectionBase { iesbClientArea, iesbBitmap };

// Selection options and mouse tools are sets of these bits. The view stores
// them; it never makes a selection itself.
enum TIESelectionOption : unsigned { iesoAnimated = 1, iesoSizeable = 2, iesoMoveable = 4 };
enum TIEMouseInteractItem : unsigned {
  miZoom = 1,
  miScroll = 2,
  miSelect = 4,
  miSelectPolygon = 8,
  miSelectCircle = 16,
  miSelectZoom = 32,
  miSelectMagicWand = 64
};

// Change argument of OnViewChange.
constexpr int kViewScrolled = 0;
constexpr int kViewZoomed = 1;

// A loader (TImageIO::AttachedImageView) reads into and writes from the
// view's raster, a processor (TImageProc::AttachedImageView) resamples it;
// after either changed it the view runs Update and raises OnImageChange. A
// view that is destroyed detaches the components still attached to it.
class TImageView : public TIEView, public TImageProcView, public TImageIOView {
 public:
  TImageView(HWND parent, int left, int top, int width, int height,
             TIEBorderStyle border = TIEBorderStyle::bsSingle);
  ~TImageView() override;

  TBitmap& GetBitmap() { return picture_; }
  const TBitmap& GetBitmap() const { return picture_; }
  TBitmap* ViewBitmap() override { return &picture_; }

  // Recomputes zoom (with AutoFit), scroll limits, scroll bars and the
  // display geometry, then repaints.
  void Update() override;
  // Paints the client area as the window shows it.
  void PaintTo(HDC dc);

  // Clears the picture to Background.
  void Assign();
  // Copies another view's picture, background and resolution.
  void Assign(const TImageView& source);
  // Copies a 24- or 1-bit raster; any other depth is converted to 24 bits.
  void Assign(const TBitmap& source);

  // Client area <-> picture coordinates at the current zoom and scroll,
  // rounded to the nearest integer.
  int PictureX(int clientX) const;
  int PictureY(int clientY) const;
  int ClientX(int pictureX) const;
  int ClientY(int pictureY) const;

  int Zoom() const { return zoom_; }
  void SetZoom(int percent);
  void ScrollTo(int x, int y) override;

  // Display geometry of the last Update.
  int ZoomedWidth() const { return zoomedW_; }
  int ZoomedHeight() const { return zoomedH_; }
  int ExtentWidth() const { return extentW_; }
  int ExtentHeight() const { return extentH_; }
  int OffsetX() const { return offsetX_; }
  int OffsetY() const { return offsetY_; }

  TIEBackgroundStyle BackgroundStyle() const { return style_; }
  void SetBackgroundStyle(TIEBackgroundStyle style);
  bool Center() const { return center_; }
  void SetCenter(bool center);
  bool AutoFit() const { return autoFit_; }
  void SetAutoFit(bool autoFit);
  TResampleFilter ZoomFilter() const { return zoomFilter_; }
  void SetZoomFilter(TResampleFilter filter);
  void SetScrollBars(TViewScrollBars bars);

  bool DoubleBuffer = false;
  TIESelectionBase SelectionBase = TIESelectionBase::iesbClientArea;
  unsigned SelectionOptions = iesoAnimated | iesoSizeable | iesoMoveable;
  // Mouse tools, a set of TIEMouseInteractItem bits; the program uses none.
  // A newly added tool keeps only the tools that go with it.
  unsigned MouseInteract() const { return mouseInteract_; }
  void SetMouseInteract(unsigned tools);
  int Cursor = 1785;
  int DpiX = 96;
  int DpiY = 96;

  TNotifyEvent OnImageChange;
  std::function<void(void* sender, int change)> OnViewChange;

  // TImageProcView.
  TBitmap* ProcBitmap() override { return &picture_; }
  void ProcRefresh() override;
  TColor ProcBackground() const override { return ResolveViewColor(background_); }
  void SetProcBackground(TColor colour) override { SetBackground(colour); }
  void ProcAttached(TImageProc* proc) override;
  void ProcDetached(TImageProc* proc) override;

  // TImageIOView.
  TBitmap* IOBitmap() override { return &picture_; }
  void IOLoaded(int dpiX, int dpiY) override;
  TColor IOBackground() const override { return ResolveViewColor(background_); }
  void SetIOBackground(TColor colour) override { SetBackground(colour); }
  void IOAttached(TImageIO* io) override;
  void IODetached(TImageIO* io) override;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void BackgroundChanged() override;

 private:
  void CopiedIn();
  void UpdateGeometry();
  void FitZoom();
  void ClampView();
  void MarkDirty();
  void PaintNow();
  void PaintBuffered(HDC dc);
  void PaintBackgroundExcept(HDC dc, const RECT& client, const RECT& excluded);
  void PaintPicture(HDC dc);
  void Scroll(int bar, int code) override;
  void ViewChanged(int change);

  TBitmap picture_;
  std::vector<TImageProc*> procs_;
  std::vector<TImageIO*> loaders_;
  int zoom_ = 100;
  unsigned mouseInteract_ = 0;
  int zoomedW_ = 0;
  int zoomedH_ = 0;
  int extentW_ = 0;
  int extentH_ = 0;
  int offsetX_ = 0;
  int offsetY_ = 0;
  int updateLock_ = 0;
  TIEBackgroundStyle style_ = TIEBackgroundStyle::iebsSolid;
  bool center_ = false;
  bool autoFit_ = false;
  TResampleFilter zoomFilter_ = rfNone;
  // The off-screen copy of the client area for DoubleBuffer.
  UniqueGdiObject buffer_;
  SIZE bufferSize_{0, 0};
  bool dirty_ = true;
};

}  // namespace skyloom
