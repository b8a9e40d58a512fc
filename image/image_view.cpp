#include "image/image_view.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "image/bitmap_convert.h"
#include "image/resample.h"
#include "image/screen_dpi.h"
#include "image/view_gdi.h"

namespace skyloom {
namespace {

const wchar_t kImageViewClass[] = L"TSkyloomImageView";
constexpr int kChessSquare = 16;

// Rounds to the nearest integer, ties to even (the default FPU mode).
int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

COLORREF Complement(COLORREF rgb) { return ~rgb & 0x00FFFFFFu; }

int HatchOf(TIEBackgroundStyle style) {
  switch (style) {
    case TIEBackgroundStyle::iebsHorizontal: return HS_HORIZONTAL;
    case TIEBackgroundStyle::iebsVertical: return HS_VERTICAL;
    case TIEBackgroundStyle::iebsFDiagonal: return HS_FDIAGONAL;
    case TIEBackgroundStyle::iebsBDiagonal: return HS_BDIAGONAL;
    case TIEBackgroundStyle::iebsCross: return HS_CROSS;
    case TIEBackgroundStyle::iebsDiagCross: return HS_DIAGCROSS;
    default: return -1;
  }
}

void FillChessboard(HDC dc, const RECT& client, COLORREF color) {
  const COLORREF complement = Complement(color);
  for (int y = 0; y < client.bottom; y += kChessSquare) {
    for (int x = 0; x < client.right; x += kChessSquare) {
      // The top-left square has the complement; rows alternate their start.
      const bool first = ((x / kChessSquare) + (y / kChessSquare)) % 2 == 0;
      const RECT square{x, y, x + kChessSquare, y + kChessSquare};
      FillSolid(dc, square, first ? complement : color);
    }
  }
}

void FillDiagonals(HDC dc, const RECT& client, COLORREF color) {
  FillSolid(dc, client, color);
  UniqueGdiObject pen(CreatePen(PS_SOLID, 1, Complement(color)));
  SelectedObject selected(dc, pen.get());
  MoveToEx(dc, 0, 0, nullptr);
  LineTo(dc, client.right, client.bottom);
  MoveToEx(dc, client.right, 0, nullptr);
  LineTo(dc, 0, client.bottom);
}

// Hatch lines in the colour over gaps in its complement, so the pattern
// never depends on what was on the surface before.
void FillHatch(HDC dc, const RECT& client, COLORREF color, int hatch) {
  FillSolid(dc, client, Complement(color));
  UniqueGdiObject brush(CreateHatchBrush(hatch, color));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  FillRect(dc, &client, static_cast<HBRUSH>(brush.get()));
  SetBkMode(dc, oldMode);
}

void FillPattern(HDC dc, const RECT& client, TIEBackgroundStyle style, COLORREF color) {
  if (style == TIEBackgroundStyle::iebsChessboard) return FillChessboard(dc, client, color);
  if (style == TIEBackgroundStyle::iebsDiagonals) return FillDiagonals(dc, client, color);
  const int hatch = HatchOf(style);
  if (hatch >= 0) return FillHatch(dc, client, color, hatch);
  FillSolid(dc, client, color);
}

// Draws rows (x, y, w, h) of the picture, y from the top, into dest.
void StretchPicture(HDC dc, const TBitmap& picture, int x, int y, int w, int h, const RECT& dest) {
  TDibHeader info = HeaderOf(picture);
  SetStretchBltMode(dc, COLORONCOLOR);
  // A bottom-up DIB counts source rows from its bottom edge.
  const int bottomY = picture.Height() - (y + h);
  StretchDIBits(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, x, bottomY, w, h,
                picture.Bits(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
}

TBitmap Crop24(const TBitmap& picture, int x, int y, int w, int h) {
  TBitmap source = picture.PixelFormat() == TPixelFormat::pf24bit ? TBitmap() : Copy24Bit(picture);
  const TBitmap& full = picture.PixelFormat() == TPixelFormat::pf24bit ? picture : source;
  TBitmap part(w, h, TPixelFormat::pf24bit);
  for (int row = 0; row < h; ++row) std::memcpy(part.ScanLine(row), full.ScanLine(y + row) + 3 * x, 3 * w);
  return part;
}

}  // namespace

TImageView::TImageView(HWND parent, int left, int top, int width, int height, TIEBorderStyle border) {
  DpiX = DpiY = ScreenDpi();
  CreateViewWindow(kImageViewClass, parent, left, top, width, height, border);
  Update();
}

TImageView::~TImageView() {
  // Detaching removes the processor from the list: walk a copy.
  const std::vector<TImageProc*> attached = procs_;
  for (TImageProc* proc : attached) proc->AttachedImageView(nullptr);
  const std::vector<TImageIO*> loaders = loaders_;
  for (TImageIO* io : loaders) io->AttachedImageView(nullptr);
}

void TImageView::IOAttached(TImageIO* io) { loaders_.push_back(io); }

void TImageView::IODetached(TImageIO* io) { std::erase(loaders_, io); }

void TImageView::IOLoaded(int dpiX, int dpiY) {
  if (dpiX > 0) DpiX = dpiX;
  if (dpiY > 0) DpiY = dpiY;
  ProcRefresh();
}

void TImageView::ProcAttached(TImageProc* proc) { procs_.push_back(proc); }

void TImageView::ProcDetached(TImageProc* proc) { std::erase(procs_, proc); }

void TImageView::ProcRefresh() {
  Update();
  AnnounceChange();
  if (OnImageChange) OnImageChange(this);
}

void TImageView::ViewChanged(int change) {
  if (OnViewChange) OnViewChange(this, change);
}

void TImageView::MarkDirty() {
  dirty_ = true;
  if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TImageView::FitZoom() {
  if (!autoFit_ || picture_.Empty()) return;
  RECT outer{};
  GetWindowRect(Handle(), &outer);
  const int byHeight = RoundEven((outer.bottom - outer.top) / (picture_.Height() / 100.0));
  const int byWidth = RoundEven((outer.right - outer.left) / (picture_.Width() / 100.0));
  zoom_ = std::min(byHeight, byWidth);
  ViewChanged(kViewZoomed);
}

void TImageView::ClampView() {
  const SIZE client = ClientSize();
  const int zw = RoundEven(picture_.Width() / 100.0 * zoom_);
  const int zh = RoundEven(picture_.Height() / 100.0 * zoom_);
  const bool none = zw <= 0 || zh <= 0;
  maxX_ = none ? 0 : std::max(zw - static_cast<int>(client.cx), 0);
  maxY_ = none ? 0 : std::max(zh - static_cast<int>(client.cy), 0);
  const int x = std::clamp(viewX_, 0, maxX_);
  const int y = std::clamp(viewY_, 0, maxY_);
  if (x == viewX_ && y == viewY_) return;
  viewX_ = x;
  viewY_ = y;
  ViewChanged(kViewScrolled);
}

void TImageView::UpdateGeometry() {
  const SIZE client = ClientSize();
  zoomedW_ = RoundEven(picture_.Width() / 100.0 * zoom_);
  zoomedH_ = RoundEven(picture_.Height() / 100.0 * zoom_);
  extentW_ = std::max(std::min(zoomedW_, static_cast<int>(client.cx)), 0);
  extentH_ = std::max(std::min(zoomedH_, static_cast<int>(client.cy)), 0);
  offsetX_ = center_ && extentW_ < client.cx ? (client.cx - extentW_) / 2 : 0;
  offsetY_ = center_ && extentH_ < client.cy ? (client.cy - extentH_) / 2 : 0;
}

void TImageView::Update() {
  if (!Handle()) return;
  FitZoom();
  ClampView();
  if (RelaidAfterBars([this] { UpdateScrollBars(); }, [this] { Update(); })) return;
  UpdateGeometry();
  MarkDirty();
}

void TImageView::SetZoom(int percent) {
  if (percent <= 0 || percent == zoom_) return;
  ++updateLock_;
  zoom_ = percent;
  Update();
  --updateLock_;
  PaintNow();
  ViewChanged(kViewZoomed);
}

void TImageView::ScrollTo(int x, int y) {
  if (x == viewX_ && y == viewY_) return;
  viewX_ = std::clamp(x, 0, maxX_);
  viewY_ = std::clamp(y, 0, maxY_);
  MarkDirty();
  PaintNow();
  ViewChanged(kViewScrolled);
  MoveScrollThumbs();
}

void TImageView::BackgroundChanged() {
  Update();
  if (OnImageChange) OnImageChange(this);
}

void TImageView::SetBackgroundStyle(TIEBackgroundStyle style) {
  style_ = style;
  Update();
}

void TImageView::SetCenter(bool center) {
  if (center == center_) return;
  center_ = center;
  Update();
}

void TImageView::SetAutoFit(bool autoFit) { autoFit_ = autoFit; }

void TImageView::SetZoomFilter(TResampleFilter filter) {
  zoomFilter_ = filter;
  Update();
}

void TImageView::SetScrollBars(TViewScrollBars bars) {
  scrollBars_ = bars;
  Update();
}

void TImageView::PaintNow() {
  if (Handle() && updateLock_ == 0) UpdateWindow(Handle());
}

void TImageView::PaintBackgroundExcept(HDC dc, const RECT& client, const RECT& excluded) {
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, excluded.left, excluded.top, excluded.right, excluded.bottom);
  FillPattern(dc, client, style_, ResolveViewColor(background_));
  RestoreDC(dc, saved);
}

// The first tool in this order that the new set adds decides which tools may
// stay; a set that adds none is taken as it is.
void TImageView::SetMouseInteract(unsigned tools) {
  if (tools == mouseInteract_) return;
  struct Rule {
    unsigned added, kept;
  };
  static constexpr Rule kRules[] = {
      {miScroll, miZoom | miScroll},
      {miSelect, miZoom | miSelect},
      {miSelectPolygon, miSelectPolygon},
      {miSelectCircle, miSelectCircle},
      {miSelectZoom, miZoom | miSelectZoom},
      {miZoom, miZoom | miScroll | miSelect | miSelectZoom},
      {miSelectMagicWand, miSelectMagicWand},
  };
  const unsigned added = tools & ~mouseInteract_;
  for (const Rule& rule : kRules) {
    if (added & rule.added) {
      tools &= rule.kept;
      break;
    }
  }
  mouseInteract_ = tools;
}

void TImageView::Assign() {
  const COLORREF colour = ResolveViewColor(background_);
  const int width = picture_.Width();
  if (picture_.PixelFormat() == TPixelFormat::pf1bit) {
    // The nearer of black and white, as a brush on a two-colour bitmap.
    const bool light = GetRValue(colour) + GetGValue(colour) + GetBValue(colour) >= 3 * 128;
    for (int y = 0; y < picture_.Height(); ++y)
      std::memset(picture_.ScanLine(y), light ? 0xFF : 0x00, (width + 7) / 8);
    Update();
    return;
  }
  // Any other depth an attached component left becomes 24 bits of the same
  // size: the rows are about to be overwritten, so nothing is converted.
  if (picture_.PixelFormat() != TPixelFormat::pf24bit)
    picture_.Allocate(width, picture_.Height(), TPixelFormat::pf24bit);
  const std::uint8_t pixel[3] = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};
  for (int y = 0; y < picture_.Height(); ++y) {
    std::uint8_t* row = picture_.ScanLine(y);
    for (int x = 0; x < width; ++x) std::memcpy(row + 3 * x, pixel, 3);
  }
  Update();
}

void TImageView::Assign(const TImageView& source) {
  if (&source == this) return;
  picture_ = source.picture_;
  background_ = source.background_;
  DpiX = source.DpiX;
  DpiY = source.DpiY;
  CopiedIn();
}

void TImageView::Assign(const TBitmap& source) {
  if (&source == &picture_) return;
  picture_ = source;
  ConvertTo24BitUnlessBinary(picture_);
  CopiedIn();
}

void TImageView::CopiedIn() {
  Update();
  AnnounceChange();
  if (OnImageChange) OnImageChange(this);
}

// A fit that left no zoom at all maps every point to the picture's origin.
int TImageView::PictureX(int clientX) const {
  if (zoom_ <= 0) return 0;
  return static_cast<int>(std::lround(100.0 / zoom_ * (clientX + viewX_ - offsetX_)));
}
int TImageView::PictureY(int clientY) const {
  if (zoom_ <= 0) return 0;
  return static_cast<int>(std::lround(100.0 / zoom_ * (clientY + viewY_ - offsetY_)));
}
int TImageView::ClientX(int pictureX) const {
  return static_cast<int>(std::lround(pictureX * zoom_ / 100.0)) + offsetX_ - viewX_;
}
int TImageView::ClientY(int pictureY) const {
  return static_cast<int>(std::lround(pictureY * zoom_ / 100.0)) + offsetY_ - viewY_;
}

void TImageView::PaintTo(HDC dc) {
  const SIZE size = ClientSize();
  const RECT client{0, 0, size.cx, size.cy};
  const bool smaller = extentW_ < size.cx || extentH_ < size.cy;
  if ((smaller && !center_) || picture_.Empty()) PaintBackgroundExcept(dc, client, RECT{0, 0, extentW_, extentH_});
  if (picture_.Empty()) return;
  const RECT dest{offsetX_, offsetY_, offsetX_ + extentW_, offsetY_ + extentH_};
  if (center_) PaintBackgroundExcept(dc, client, dest);
  // A side zoomed down to nothing leaves the background alone on screen.
  if (extentW_ <= 0 || extentH_ <= 0) return;
  PaintPicture(dc);
}

void TImageView::PaintPicture(HDC dc) {
  // Source rectangle: the visible part of the picture only.
  const double rx = static_cast<double>(picture_.Width()) / zoomedW_;
  const double ry = static_cast<double>(picture_.Height()) / zoomedH_;
  int sw = RoundEven(extentW_ * rx);
  int sh = RoundEven(extentH_ * ry);
  const int sx = RoundEven(rx * viewX_);
  const int sy = RoundEven(ry * viewY_);
  if (sx + sw > picture_.Width()) sw = picture_.Width() - sx;
  if (sy + sh > picture_.Height()) sh = picture_.Height() - sy;
  if (sw <= 0 || sh <= 0) return;
  const RECT dest{offsetX_, offsetY_, offsetX_ + extentW_, offsetY_ + extentH_};
  if (!HasKernel(zoomFilter_) || zoom_ <= 100) return StretchPicture(dc, picture_, sx, sy, sw, sh, dest);
  // An enlargement with a filter: resample the visible part to the extent.
  const TBitmap part = Crop24(picture_, sx, sy, sw, sh);
  TBitmap scaled(extentW_, extentH_, TPixelFormat::pf24bit);
  FilteredResample(part, scaled, zoomFilter_, TProgressRec{});
  StretchPicture(dc, scaled, 0, 0, extentW_, extentH_, dest);
}

void TImageView::PaintBuffered(HDC dc) {
  const SIZE size = ClientSize();
  if (!buffer_ || bufferSize_.cx != size.cx || bufferSize_.cy != size.cy) {
    buffer_.reset(CreateCompatibleBitmap(dc, std::max<LONG>(size.cx, 1), std::max<LONG>(size.cy, 1)));
    bufferSize_ = size;
    dirty_ = true;
  }
  UniqueMemoryDc memory(CreateCompatibleDC(dc));
  SelectedObject selected(memory.get(), buffer_.get());
  if (dirty_) PaintTo(memory.get());
  dirty_ = false;
  BitBlt(dc, 0, 0, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
}

void TImageView::Scroll(int bar, int code) {
  const SIZE client = ClientSize();
  // The thumb's release lands where tracking left it.
  const int asked = code == SB_THUMBPOSITION ? SB_THUMBTRACK : code;
  const std::optional<int> next = ScrollTarget(bar, asked, bar == SB_HORZ ? client.cx : client.cy);
  if (!next) return;
  if (bar == SB_HORZ) return ScrollTo(*next, viewY_);
  ScrollTo(viewX_, *next);
}

LRESULT TImageView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PaintDc dc(Handle());
      if (updateLock_ != 0) return 0;
      if (DoubleBuffer)
        PaintBuffered(dc.get());
      else
        PaintTo(dc.get());
      return 0;
    }
    default:
      break;
  }
  return TIEView::WindowProc(message, wParam, lParam);
}

}  // namespace skyloom
