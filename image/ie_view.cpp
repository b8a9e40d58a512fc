#include "image/ie_view.h"

#include <algorithm>

namespace skyloom {

COLORREF ResolveViewColor(TViewColor color) {
  if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFFu;
}

void TIEView::CreateViewWindow(const wchar_t* className, HWND parent, int left, int top, int width, int height,
                               TIEBorderStyle border, UINT classStyle) {
  border_ = border;
  RegisterOwnClass(className, nullptr, classStyle);
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP;
  const bool single = border == TIEBorderStyle::bsSingle;
  CreateOwnWindow(className, L"", style | (single && !ctl3D_ ? WS_BORDER : 0),
                  single && ctl3D_ ? WS_EX_CLIENTEDGE : 0, left, top, width, height, parent);
}

void TIEView::SetBackground(TViewColor color) {
  background_ = color;
  BackgroundChanged();
}

void TIEView::SetBorderStyle(TIEBorderStyle border) {
  border_ = border;
  ApplyBorder();
}

void TIEView::SetCtl3D(bool on) {
  ctl3D_ = on;
  ParentCtl3D = false;
  ApplyBorder();
}

void TIEView::ApplyBorder() {
  if (!Handle()) return;
  const bool single = border_ == TIEBorderStyle::bsSingle;
  LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE) & ~static_cast<LONG_PTR>(WS_BORDER);
  LONG_PTR exStyle = GetWindowLongPtrW(Handle(), GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE);
  if (single && ctl3D_) exStyle |= WS_EX_CLIENTEDGE;
  if (single && !ctl3D_) style |= WS_BORDER;
  SetWindowLongPtrW(Handle(), GWL_STYLE, style);
  SetWindowLongPtrW(Handle(), GWL_EXSTYLE, exStyle);
  // The frame is part of the window's non-client area: recompute it.
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TIEView::ScrollTo(int x, int y) {
  viewX_ = x;
  viewY_ = y;
}

void TIEView::Subscribe(TChangeRoutine routine, const void* owner) {
  Unsubscribe(owner);
  subscribers_.push_back({std::move(routine), owner});
}

void TIEView::Unsubscribe(const void* owner) {
  std::erase_if(subscribers_, [owner](const TSubscriber& s) { return s.owner == owner; });
}

SIZE TIEView::ClientSize() const {
  const RECT r = ClientRect();
  return SIZE{r.right - r.left, r.bottom - r.top};
}

bool TIEView::RelaidAfterBars(const std::function<void()>& updateBars, const std::function<void()>& layout) {
  const SIZE before = ClientSize();
  updateBars();
  const SIZE after = ClientSize();
  if ((before.cx == after.cx && before.cy == after.cy) || relayoutDepth_ >= 2) return false;
  ++relayoutDepth_;
  layout();
  --relayoutDepth_;
  return true;
}

bool TIEView::BarAllowed(int bar) const {
  if (scrollBars_ == TViewScrollBars::ssBoth) return true;
  return bar == SB_HORZ ? scrollBars_ == TViewScrollBars::ssHorizontal : scrollBars_ == TViewScrollBars::ssVertical;
}

void TIEView::UpdateScrollBars() {
  const SIZE client = ClientSize();
  auto apply = [this](int bar, int page, int max, int pos) {
    const bool show = BarAllowed(bar) && max > 0;
    ShowScrollBar(Handle(), bar, show);
    if (!show) return;
    SCROLLINFO info{sizeof info, SIF_ALL, 0, page + max - 1, static_cast<UINT>(page), pos, 0};
    SetScrollInfo(Handle(), bar, &info, TRUE);
  };
  apply(SB_HORZ, client.cx, maxX_, viewX_);
  apply(SB_VERT, client.cy, maxY_, viewY_);
}

void TIEView::MoveScrollThumbs() {
  if (BarAllowed(SB_HORZ)) SetScrollPos(Handle(), SB_HORZ, viewX_, TRUE);
  if (BarAllowed(SB_VERT)) SetScrollPos(Handle(), SB_VERT, viewY_, TRUE);
}

std::optional<int> TIEView::ScrollTarget(int bar, int code, int page) const {
  const bool horz = bar == SB_HORZ;
  const int current = horz ? viewX_ : viewY_;
  switch (code) {
    case SB_LINEUP: return current - 1;
    case SB_LINEDOWN: return current + 1;
    case SB_PAGEUP: return current - page;
    case SB_PAGEDOWN: return current + page;
    case SB_THUMBTRACK: {
      SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
      GetScrollInfo(Handle(), bar, &info);
      return info.nTrackPos;
    }
    case SB_TOP: return 0;
    case SB_BOTTOM: return horz ? maxX_ : maxY_;
    default: return std::nullopt;
  }
}

void TIEView::AnnounceChange() {
  // A subscriber may unsubscribe while it is told: walk a copy.
  const std::vector<TSubscriber> subscribers = subscribers_;
  for (const TSubscriber& s : subscribers)
    if (s.routine) s.routine(this);
}

LRESULT TIEView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // opaque: every view paints its whole client area itself
    case WM_SIZE:
      Update();
      break;
    case WM_HSCROLL:
      Scroll(SB_HORZ, LOWORD(wParam));
      return 0;
    case WM_VSCROLL:
      Scroll(SB_VERT, LOWORD(wParam));
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    default:
      break;
  }
  return TWindow::WindowProc(message, wParam, lParam);
}

}  // namespace skyloom
