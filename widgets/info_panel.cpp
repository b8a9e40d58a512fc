#include "widgets/info_panel.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "widgets/html_paint.h"

namespace skyloom {
namespace {

constexpr wchar_t kInfoPanelClass[] = L"TSkyloomInfoPanel";
constexpr int kHintOffset = 10;  // the hint sits this far right of and above the mouse

void OpenWithShell(const std::string& target) {
  ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
  UniqueGdiObject brush(CreateSolidBrush(color));
  FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

// A frame width pixels wide: top and left in one colour, bottom and right
// in the other. Shrinks r by the width.
void Frame(HDC dc, RECT& r, int width, COLORREF topLeft, COLORREF bottomRight) {
  for (int i = 0; i < width && r.right > r.left && r.bottom > r.top; ++i) {
    FillSolid(dc, {r.left, r.top, r.right, r.top + 1}, topLeft);
    FillSolid(dc, {r.left, r.top, r.left + 1, r.bottom}, topLeft);
    FillSolid(dc, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    FillSolid(dc, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    InflateRect(&r, -1, -1);
  }
}

void Bevel(HDC dc, RECT& r, TPanelBevel bevel, int width, bool draw) {
  if (bevel == TPanelBevel::bvNone) return;
  if (!draw) {
    InflateRect(&r, -width, -width);
    return;
  }
  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  if (bevel == TPanelBevel::bvLowered) Frame(dc, r, width, shadow, highlight);
  else Frame(dc, r, width, highlight, shadow);
}

// Where the background picture's top-left goes for the fixed positions.
POINT BackgroundOrigin(TBackgroundPosition position, const RECT& r, SIZE picture) {
  LONG right = r.right - picture.cx, bottom = r.bottom - picture.cy;
  switch (position) {
    case TBackgroundPosition::bpTopRight: return {right, r.top};
    case TBackgroundPosition::bpBottomLeft: return {r.left, bottom};
    case TBackgroundPosition::bpBottomRight: return {right, bottom};
    case TBackgroundPosition::bpCenter: return {r.left + (right - r.left) / 2, r.top + (bottom - r.top) / 2};
    default: return {r.left, r.top};
  }
}

bool OpensInShell(const std::string& target) {
  return target.find("://") != std::string::npos || target.find("mailto:") != std::string::npos;
}

}  // namespace

TInfoPanel::TInfoPanel(HWND parent, int left, int top, int width, int height) : ShellOpen(OpenWithShell) {
  RegisterOwnClass(kInfoPanelClass, nullptr);
  CreateOwnWindow(kInfoPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, left, top, width, height,
                  parent);
}

void TInfoPanel::SetBackground(HBITMAP picture) {
  background_.reset(picture);
  InvalidateRect(Handle(), nullptr, FALSE);
}

void TInfoPanel::SetText(const std::string& text) {
  text_ = text;
  InvalidateRect(Handle(), nullptr, FALSE);
  // Link numbers refer to the old text: find the link under the mouse anew.
  if (mouse_.x >= 0) MouseMove(mouse_.x, mouse_.y);
}

RECT TInfoPanel::InnerRect(HDC dc, bool draw) const {
  RECT r = ClientRect();
  Bevel(dc, r, BevelOuter, BevelWidth, draw);
  COLORREF color = ResolveColor(Color);
  if (draw) Frame(dc, r, BorderWidth, color, color);
  else InflateRect(&r, -BorderWidth, -BorderWidth);
  Bevel(dc, r, BevelInner, BevelWidth, draw);
  return r;
}

html::TRect TInfoPanel::TextRect(const RECT& inner) const {
  RECT bar = LayoutCaption(Caption, inner, BevelWidth).bar;
  return {inner.left, std::max(inner.top, bar.bottom), inner.right, inner.bottom};
}

// The text laid out in rect, moved down for centre and bottom placement.
html::TLayout TInfoPanel::Layout(HDC dc, const html::TRect& rect) {
  TGdiTextCanvas canvas(dc, pictures_);
  html::TLayoutOptions options;
  options.font = Font;
  options.urlColor = URLColor;
  html::TLayout layout = html::LayoutHtml(text_, rect, options, canvas);
  int free = rect.bottom - rect.top - layout.height;
  if (free > 0 && TextVAlign == TTextVAlign::tvaCenter) html::OffsetLayout(layout, free / 2);
  if (free > 0 && TextVAlign == TTextVAlign::tvaBottom) html::OffsetLayout(layout, free);
  return layout;
}

void TInfoPanel::PaintTo(HDC dc) {
  RECT inner = InnerRect(dc, true);
  html::TRect rect = TextRect(inner);
  PaintCaption(dc, Caption, LayoutCaption(Caption, inner, BevelWidth), minimized_, pictures_);
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  RECT fill{rect.left, rect.top, rect.right, rect.bottom};
  FillSolid(dc, fill, ResolveColor(Color));
  int saved = SaveDC(dc);
  IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  DrawBackground(dc, {rect.left, rect.top, rect.right, rect.bottom});
  html::TLayout layout = Layout(dc, rect);
  TGdiTextCanvas canvas(dc, pictures_);
  html::TPaintOptions options{ShadowColor, ShadowOffset, hoveredLink_, mouse_.x, mouse_.y,
                              Hover, HoverColor, HoverFontColor};
  PaintLayout(layout, options, canvas);
  RestoreDC(dc, saved);
}

void TInfoPanel::DrawBackground(HDC dc, const RECT& r) const {
  BITMAP info{};
  if (!background_ || !GetObjectW(background_.get(), sizeof info, &info)) return;
  SIZE size{info.bmWidth, info.bmHeight};
  if (size.cx <= 0 || size.cy <= 0) return;
  UniqueMemoryDc source(CreateCompatibleDC(dc));
  SelectedObject selected(source.get(), background_.get());
  if (BackgroundPosition == TBackgroundPosition::bpStretched) {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, source.get(), 0, 0, size.cx, size.cy, SRCCOPY);
  } else if (BackgroundPosition == TBackgroundPosition::bpTiled) {
    for (LONG y = r.top; y < r.bottom; y += size.cy) {
      for (LONG x = r.left; x < r.right; x += size.cx) BitBlt(dc, x, y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
    }
  } else {
    POINT at = BackgroundOrigin(BackgroundPosition, r, size);
    BitBlt(dc, at.x, at.y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
  }
}

std::string TInfoPanel::AnchorAt(int x, int y) {
  WindowDc dc(Handle());
  html::TLayout layout = Layout(dc.get(), TextRect(dc.get()));
  return html::AnchorAt(layout, x, y);
}

// The caption bar's buttons and the bar itself come before the links.
bool TInfoPanel::CaptionMouseDown(int x, int y) {
  TCaptionPart part = CaptionPartAt(LayoutCaption(Caption, InnerRect(nullptr, false), BevelWidth), x, y);
  switch (part) {
    case TCaptionPart::Close:
      if (OnClose) OnClose(this);
      ShowWindow(Handle(), SW_HIDE);
      return true;
    case TCaptionPart::MinMax:
      MinMax();
      return true;
    case TCaptionPart::Bar:
      if (OnCaptionClick) OnCaptionClick(this);
      return true;
    default:
      return false;
  }
}

// Shrinks the panel to its caption bar, or gives it back its height.
void TInfoPanel::MinMax() {
  RECT r{};
  GetWindowRect(Handle(), &r);
  int height = minimized_ ? restoreHeight_ : Caption.Height;
  if (!minimized_) restoreHeight_ = r.bottom - r.top;
  minimized_ = !minimized_;
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(Handle(), nullptr, FALSE);
  if (minimized_ && OnMinimize) OnMinimize(this);
  if (!minimized_ && OnMaximize) OnMaximize(this);
}

void TInfoPanel::MouseDown(int x, int y) {
  if (CaptionMouseDown(x, y)) return;
  std::string target = AnchorAt(x, y);
  if (target.empty()) return;
  if (OpensInShell(target)) {
    if (ShellOpen) ShellOpen(target);
    return;
  }
  if (OnAnchorClick) OnAnchorClick(this, target);
}

void TInfoPanel::MouseMove(int x, int y) {
  mouse_ = {x, y};
  WindowDc dc(Handle());
  html::TLayout layout = Layout(dc.get(), TextRect(dc.get()));
  const html::TFragment* f = html::LinkFragmentAt(layout, x, y);
  if (!f) return Hovered(0, {}, false);
  Hovered(f->link, f->href, f->kind == html::TFragment::Kind::Picture && !f->alt.empty());
}

void TInfoPanel::MouseLeft() {
  mouse_ = {-1, -1};
  Hovered(0, {}, false);
}

// Events, repaint and hint for the link now under the mouse.
void TInfoPanel::Hovered(int link, const std::string& anchor, bool overAlt) {
  // Repainting is needed only when the picture changes: hover colours or
  // an ALT picture coming or going.
  if (overAlt != overAlt_ || (link != hoveredLink_ && Hover)) InvalidateRect(Handle(), nullptr, FALSE);
  overAlt_ = overAlt;
  if (link == hoveredLink_) return;
  hoveredLink_ = link;
  std::string left = std::exchange(hovered_, anchor);
  HideHint();
  if (!left.empty() && OnAnchorExit) OnAnchorExit(this, left);
  if (link == 0) return;
  TrackMouse();
  if (OnAnchorEnter) OnAnchorEnter(this, anchor);
}

// Leaving is reported while a link is under the mouse; resting on it too
// when links show hints.
void TInfoPanel::TrackMouse() {
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), HOVER_DEFAULT};
  if (AnchorHint) track.dwFlags |= TME_HOVER;
  TrackMouseEvent(&track);
}

std::optional<TAnchorHint> TInfoPanel::HintAt(int x, int y) {
  if (!AnchorHint) return std::nullopt;
  std::string text = AnchorAt(x, y);
  if (text.empty()) return std::nullopt;
  if (OnAnchorHint) OnAnchorHint(this, text);
  POINT position{x + kHintOffset, y - kHintOffset};
  ClientToScreen(Handle(), &position);
  return TAnchorHint{std::move(text), position};
}

void TInfoPanel::ShowHint(int x, int y) {
  std::optional<TAnchorHint> hint = HintAt(x, y);
  if (!hint || hint->text.empty()) return;
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  tool.hwnd = Handle();
  tool.uId = 1;
  tool.lpszText = hint->text.data();
  if (!hint_) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    hint_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                0, 0, 0, 0, Handle(), nullptr, nullptr, nullptr));
    if (!hint_) return;
    SendMessageA(hint_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  SendMessageA(hint_.get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(hint_.get(), TTM_TRACKPOSITION, 0, MAKELPARAM(hint->position.x, hint->position.y));
  SendMessageA(hint_.get(), TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void TInfoPanel::HideHint() {
  if (!hint_) return;
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = Handle();
  tool.uId = 1;
  SendMessageA(hint_.get(), TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

bool TInfoPanel::SetHandCursor() {
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(Handle(), &p);
  if (AnchorAt(p.x, p.y).empty()) return false;
  SetCursor(LoadCursorW(nullptr, IDC_HAND));
  return true;
}

LRESULT TInfoPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      // Double-buffered: the whole client is drawn off screen, then copied.
      PaintDc dc(Handle());
      RECT r = ClientRect();
      UniqueMemoryDc memory(CreateCompatibleDC(dc.get()));
      UniqueGdiObject bitmap(CreateCompatibleBitmap(dc.get(), r.right, r.bottom));
      SelectedObject selected(memory.get(), bitmap.get());
      PaintTo(memory.get());
      BitBlt(dc.get(), 0, 0, r.right, r.bottom, memory.get(), 0, 0, SRCCOPY);
      return 0;
    }
    case WM_LBUTTONDOWN:
      MouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSEMOVE:
      MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSELEAVE:
      MouseLeft();
      return 0;
    case WM_MOUSEHOVER:
      ShowHint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && SetHandCursor()) return TRUE;
      break;
  }
  return DefaultProc(message, wParam, lParam);
}

}  // namespace skyloom
