#include "image/image_mview.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "image/thumb_fit.h"
#include "image/view_gdi.h"

namespace skyloom {
namespace {

const wchar_t kImageMViewClass[] = L"TSkyloomImageMView";
constexpr UINT_PTR kPlayTimer = 1;
constexpr int kMinimumDelay = 10;

// Draws the whole picture stretched into (x, y, w, h), without filtering.
void StretchWhole(HDC dc, const BITMAPINFO* info, const void* bits, int x, int y, int w, int h) {
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, x, y, w, h, 0, 0, info->bmiHeader.biWidth, info->bmiHeader.biHeight, bits, info,
                DIB_RGB_COLORS, SRCCOPY);
}

std::optional<TGridKey> KeyOf(WPARAM key) {
  switch (key) {
    case VK_LEFT: return TGridKey::Left;
    case VK_RIGHT: return TGridKey::Right;
    case VK_UP: return TGridKey::Up;
    case VK_DOWN: return TGridKey::Down;
    case VK_HOME: return TGridKey::Home;
    case VK_END: return TGridKey::End;
    case VK_PRIOR: return TGridKey::PageUp;
    case VK_NEXT: return TGridKey::PageDown;
    default: return std::nullopt;
  }
}

}  // namespace

TImageMView::TImageMView(HWND parent, int left, int top, int width, int height, TIEBorderStyle border) {
  list_.Sender = this;
  list_.ResolveColor = [](std::uint32_t c) { return static_cast<TColor>(ResolveViewColor(c)); };
  // Double clicks reach the control as such.
  CreateViewWindow(kImageMViewClass, parent, left, top, width, height, border, CS_DBLCLKS);
  Update();
}

TImageMView::~TImageMView() {
  destroying_ = true;
  if (Handle()) KillTimer(Handle(), kPlayTimer);
  list_.Clear();
}

int TImageMView::InsertImage(int index) {
  SetPlaying(false);
  const int at = list_.Insert(index, background_);
  // Update announces the change, unless it is held off.
  if (!Updatable()) AnnounceChange();
  Update();
  return at;
}

bool TImageMView::RemoveImage(int index) {
  SetPlaying(false);
  if (!list_.Remove(index)) return false;
  // Cells after the removed one move up: lay out again (Update announces).
  Update();
  return true;
}

void TImageMView::ClearImages() {
  SetPlaying(false);
  list_.Clear();
  // An empty grid has nothing to scroll: back to the top now, also while
  // the layout is held off (the clamp at its end only trims the offsets).
  maxX_ = maxY_ = 0;
  ClampView();
  Update();
}

void TImageMView::StoreImage(int index, const TBitmap& bitmap) {
  if (!list_.Valid(index)) return;
  list_.Store(index, bitmap);
  Update();
}

void TImageMView::SetImageFileName(int index, const std::string& path) {
  if (!list_.Valid(index)) return;
  list_.Entry(index).fileName = path;
  list_.Entry(index).imageId = -1;
}

std::string TImageMView::GetImageFileName(int index) const {
  if (!list_.Valid(index)) return {};
  return list_.Entry(index).fileName.value_or(std::string());
}

int TImageMView::GetImageID(int index) const { return list_.Valid(index) ? list_.Entry(index).imageId : -1; }

void TImageMView::SetImageID(int index, int id) {
  if (list_.Valid(index)) list_.Entry(index).imageId = id;
}

int TImageMView::GetImageDelayTime(int index) const {
  return list_.Valid(index) ? list_.Entry(index).delayTime : -1;
}

void TImageMView::SetImageDelayTime(int index, int milliseconds) {
  if (list_.Valid(index)) list_.Entry(index).delayTime = milliseconds;
}

int TImageMView::GetImageX(int index) const { return list_.Valid(index) ? list_.Entry(index).cell.x : -1; }
int TImageMView::GetImageY(int index) const { return list_.Valid(index) ? list_.Entry(index).cell.y : -1; }
int TImageMView::GetImageRow(int index) const { return list_.Valid(index) ? list_.Entry(index).cell.row : -1; }
int TImageMView::GetImageCol(int index) const { return list_.Valid(index) ? list_.Entry(index).cell.column : -1; }

int TImageMView::HitTest(int x, int y) const { return list_.HitTest(CurrentView(), x, y); }

void TImageMView::SelectImage(int index) {
  if (playing_) return;
  list_.Select(index);
  if (OnImageSelect) OnImageSelect(this, list_.Selected());
  Update();
}

TBitmap* TImageMView::GetBitmap() {
  const int selected = list_.Selected();
  return selected >= 0 ? list_.Entry(selected).expanded.get() : nullptr;
}

int TImageMView::VisibilityOf(int index) const {
  if (!list_.Valid(index)) return 0;
  return CellVisibility(list_.Metrics, list_.Entry(index).cell, CurrentView());
}

TMViewDisplayMode TImageMView::DisplayMode() const {
  return list_.Metrics.single ? TMViewDisplayMode::mdSingle : TMViewDisplayMode::mdGrid;
}

void TImageMView::SetDisplayMode(TMViewDisplayMode mode) { Set(list_.Metrics.single, mode == TMViewDisplayMode::mdSingle); }

void TImageMView::SetScrollBars(TViewScrollBars bars) { Set(scrollBars_, bars); }

TGridView TImageMView::CurrentView() const {
  const SIZE client = ClientSize();
  return TGridView{viewX_, viewY_, maxX_, maxY_, static_cast<int>(client.cx), static_cast<int>(client.cy)};
}

void TImageMView::Relayout() {
  const SIZE client = ClientSize();
  columns_ = GridColumns(list_.Metrics, client.cx);
  list_.Layout(columns_);
  const TGridExtent extent = GridExtent(list_.Metrics, columns_, list_.Count());
  maxX_ = std::max(extent.width - static_cast<int>(client.cx), 0);
  maxY_ = std::max(extent.height - static_cast<int>(client.cy), 0);
}

void TImageMView::ClampView() {
  const int x = std::min(viewX_, maxX_);
  const int y = std::min(viewY_, maxY_);
  if (x == viewX_ && y == viewY_) return;
  viewX_ = x;
  viewY_ = y;
  if (OnViewChange) OnViewChange(this, 0);
}

bool TImageMView::Updatable() const {
  return lockCount_ == 0 && Handle() && !destroying_ && GetParent(Handle());
}

void TImageMView::Update() {
  if (!Updatable()) return;
  Relayout();
  ClampView();
  if (RelaidAfterBars([this] { UpdateScrollBars(); }, [this] { Update(); })) return;
  AnnounceChange();
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TImageMView::EndUpdate() {
  if (lockCount_ == 0 || --lockCount_ > 0) return;
  Update();
}

void TImageMView::ScrollTo(int x, int y) {
  viewX_ = std::clamp(x, 0, maxX_);
  viewY_ = std::clamp(y, 0, maxY_);
  if (!Handle()) return;
  InvalidateRect(Handle(), nullptr, FALSE);
  MoveScrollThumbs();
}

void TImageMView::PaintTo(HDC dc) {
  const SIZE client = ClientSize();
  const int saved = SaveDC(dc);
  TThumbList::TWalk walk;
  walk.first = playing_ || list_.Metrics.single ? playIndex_ : 0;
  walk.clientWidth = client.cx;
  walk.clientHeight = client.cy;
  walk.viewX = viewX_;
  walk.viewY = viewY_;
  walk.columns = columns_;
  walk.drawCell = [this, dc](int index, int left, int top) { DrawCell(dc, index, left, top); };
  if (OnDrawProgress) walk.progress = [this](int percent, int index) { OnDrawProgress(this, percent, index); };
  const bool removed = list_.PaintWalk(walk);
  // Last, through the cells excluded from the clip: nothing flickers.
  FillSolid(dc, RECT{0, 0, client.cx, client.cy}, ResolveViewColor(background_));
  RestoreDC(dc, saved);
  if (removed) Update();
}

void TImageMView::DrawCell(HDC dc, int index, int left, int top) {
  const TThumbEntry& entry = list_.Entry(index);
  const TGridMetrics& m = list_.Metrics;
  const COLORREF fill = ResolveViewColor(drawImageBackground_ ? entry.background : background_);
  const RECT cell{left, top, left + m.thumbWidth, top + m.thumbHeight};
  if (entry.HasPicture()) {
    TDibHeader expandedHeader{};
    const BITMAPINFO* info = nullptr;
    const void* bits = nullptr;
    std::optional<TDibBlock::Locked> locked;
    if (entry.expanded) {
      // Drawn straight from its rows: the same header a packed copy would carry.
      expandedHeader = HeaderOf(*entry.expanded);
      info = reinterpret_cast<const BITMAPINFO*>(&expandedHeader);
      bits = entry.expanded->Bits();
    } else {
      locked.emplace(entry.stored);
      info = reinterpret_cast<const BITMAPINFO*>(locked->Data());
      bits = locked->Data() + kDibHeaderSize + (info->bmiHeader.biBitCount == 1 ? 8 : 0);
    }
    const int boxHeight = m.thumbHeight - m.bottomGap - m.upperGap;
    const TSize fit = FitIntoBox(info->bmiHeader.biWidth, info->bmiHeader.biHeight, m.thumbWidth, boxHeight);
    const int x = left + (m.thumbWidth - fit.width) / 2;
    const int y = top + m.upperGap + (boxHeight - fit.height) / 2;
    StretchWhole(dc, info, bits, x, y, fit.width, fit.height);
    FillSolid(dc, RECT{left, top, x, cell.bottom}, fill);
    FillSolid(dc, RECT{x + fit.width, top, cell.right, cell.bottom}, fill);
    FillSolid(dc, RECT{x, top, x + fit.width, y}, fill);
    FillSolid(dc, RECT{x, y + fit.height, x + fit.width, cell.bottom}, fill);
  } else {
    FillSolid(dc, cell, fill);
  }
  if (OnImageDraw) OnImageDraw(this, index, left, top, dc);
  if (index == list_.Selected() && visibleSelection_) {
    const int frame = GetFocus() == Handle() ? selectionWidth_ : 1;
    DrawFrame(dc, left, top, frame);
    ExcludeClipRect(dc, left - frame, top - frame, cell.right + frame, cell.bottom + frame);
    return;
  }
  ExcludeClipRect(dc, cell.left, cell.top, cell.right, cell.bottom);
}

void TImageMView::DrawFrame(HDC dc, int left, int top, int frame) {
  UniqueGdiObject pen(CreatePen(PS_SOLID, 1, ResolveViewColor(selectionColor_)));
  SelectedObject selectedPen(dc, pen.get());
  SelectedObject selectedBrush(dc, GetStockObject(NULL_BRUSH));
  for (int b = 1; b <= frame; ++b)
    Rectangle(dc, left - b, top - b, left + list_.Metrics.thumbWidth + b, top + list_.Metrics.thumbHeight + b);
}

bool TImageMView::MoveSelection(TGridKey key) {
  const SIZE client = ClientSize();
  const int page = PageEntries(list_.Metrics, columns_, client.cy);
  const auto target = KeyTarget(key, list_.Selected(), list_.Count(), columns_, page, list_.Metrics.gridWidth);
  if (!target) return false;
  SelectImage(*target);
  const int selected = list_.Selected();
  if (selected < 0) return true;
  const TGridView next = ScrollForKey(key, list_.Metrics, list_.Entry(selected).cell, CurrentView());
  if (next.viewX != viewX_ || next.viewY != viewY_) ScrollTo(next.viewX, next.viewY);
  return true;
}

void TImageMView::KeyDown(WPARAM key) {
  if (playing_) return;
  // Every key ends in an Update; SelectImage has run one already.
  const auto grid = KeyOf(key);
  if (grid && MoveSelection(*grid)) return;
  Update();
}

void TImageMView::MouseDown(int x, int y) {
  SetFocus(Handle());
  SetCapture(Handle());
  down_ = POINT{x, y};
  downView_ = POINT{viewX_, viewY_};
}

void TImageMView::MouseMove(WPARAM keys, int x, int y) {
  if (GetCapture() == Handle() && (MouseInteract & mmiScroll))
    ScrollTo(downView_.x + down_.x - x, downView_.y + down_.y - y);
  if (OnMouseMove) OnMouseMove(this, static_cast<unsigned>(keys), x, y);
}

void TImageMView::MouseUp(int x, int y) {
  if (GetCapture() == Handle()) ReleaseCapture();
  if (playing_) return;
  if (MouseInteract & mmiSelect) {
    const int hit = HitTest(x, y);
    if (hit >= 0) SelectImage(hit);
  }
  if (MouseInteract & mmiScroll) ScrollTo(downView_.x + down_.x - x, downView_.y + down_.y - y);
}

void TImageMView::Wheel(int delta) {
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  // Fine-grained wheels report parts of a notch: keep the rest for the next
  // turn the same way.
  if ((delta < 0) != (wheelRest_ < 0)) wheelRest_ = 0;
  wheelRest_ += delta;
  const int notches = wheelRest_ / WHEEL_DELTA;
  wheelRest_ %= WHEEL_DELTA;
  if (notches == 0 || lines == 0) return;
  const int row = list_.Metrics.thumbHeight + list_.Metrics.vertBorder;
  const SIZE client = ClientSize();
  // "One screen a notch" scrolls a page of whole rows (at least one).
  const long long step =
      lines == WHEEL_PAGESCROLL ? std::max<long long>(client.cy / row, 1) * row : static_cast<long long>(lines) * row;
  const long long target = std::clamp(viewY_ - notches * step, 0LL, static_cast<long long>(maxY_));
  ScrollTo(viewX_, static_cast<int>(target));
}

void TImageMView::Scroll(int bar, int code) {
  // A page is one cell; the thumb's release keeps the offset.
  const int page = bar == SB_HORZ ? list_.Metrics.thumbWidth : list_.Metrics.thumbHeight;
  const std::optional<int> next = ScrollTarget(bar, code, page);
  if (!next) return;
  if (bar == SB_HORZ) return ScrollTo(*next, viewY_);
  ScrollTo(viewX_, *next);
}

void TImageMView::SetPlaying(bool on) {
  if (on == playing_ || destroying_) return;
  if (on) {
    savedSingle_ = list_.Metrics.single;
    savedSelection_ = list_.Selected();
    list_.ClearSelection();
    Update();
    playing_ = true;
    PlayStep();
    return;
  }
  playing_ = false;
  if (Handle()) KillTimer(Handle(), kPlayTimer);
  list_.Metrics.single = savedSingle_;
  list_.Select(savedSelection_);
  Update();
}

void TImageMView::PlayStep() {
  if (stepping_ || destroying_ || !playing_ || !Handle()) return;
  if (list_.Count() == 0) return SetPlaying(false);
  stepping_ = true;
  list_.Metrics.single = true;
  Relayout();
  {
    WindowDc dc(Handle());
    PaintTo(dc.get());
  }
  ValidateRect(Handle(), nullptr);
  // The paint can have removed the entries it could not load.
  if (list_.Count() == 0) {
    stepping_ = false;
    return SetPlaying(false);
  }
  bool stop = false;
  if (++playIndex_ >= list_.Count()) {
    playIndex_ = 0;
    AnnounceChange();
    stop = !LoopPlay;
  }
  stepping_ = false;
  if (stop) return SetPlaying(false);
  SetTimer(Handle(), kPlayTimer, std::max(list_.Entry(playIndex_).delayTime, kMinimumDelay), nullptr);
}

LRESULT TImageMView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PaintDc dc(Handle());
      PaintTo(dc.get());
      return 0;
    }
    case WM_LBUTTONDOWN:
      MouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSEMOVE:
      MouseMove(wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONUP:
      MouseUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      // The second press of a double click: a button-down as well, so that
      // its release drags from here.
      MouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      if (OnDblClick) OnDblClick(this);
      return 0;
    case WM_MOUSEWHEEL:
      Wheel(GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_KEYDOWN:
      KeyDown(wParam);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      // The frame is thicker while the control has the focus.
      InvalidateRect(Handle(), nullptr, FALSE);
      break;
    case WM_PALETTECHANGED:
      if (reinterpret_cast<HWND>(wParam) == Handle()) break;
      [[fallthrough]];
    case WM_QUERYNEWPALETTE: {
      WindowDc dc(Handle());
      const UINT changed = RealizePalette(dc.get());
      if (changed != 0 && changed != GDI_ERROR) InvalidateRect(Handle(), nullptr, FALSE);
      return changed != 0 && changed != GDI_ERROR;
    }
    case WM_TIMER:
      if (wParam != kPlayTimer) break;
      KillTimer(Handle(), kPlayTimer);
      PlayStep();
      return 0;
    case WM_DESTROY:
      destroying_ = true;
      KillTimer(Handle(), kPlayTimer);
      break;
    default:
      break;
  }
  return TIEView::WindowProc(message, wParam, lParam);
}

}  // namespace skyloom
