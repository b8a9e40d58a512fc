#pragma once
// The common base of the two image views: a custom-painted, opaque child
// control that takes the keyboard focus, with a background colour, a
// border style and a list of change subscribers (components working on the
// view's picture, told whenever the view announces a change).
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "image/bitmap.h"
#include "toolkit/window.h"

namespace skyloom {

// Colours are 0x00BBGGRR, or 0x80000000 + n for system colour n.
using TViewColor = std::uint32_t;

enum class TViewScrollBars { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TIEBorderStyle { bsNone, bsSingle };

// The plain RGB value of a colour, system colours resolved.
COLORREF ResolveViewColor(TViewColor color);

class TIEView : public TWindow {
 public:
  using TChangeRoutine = std::function<void(TIEView* view)>;

  TViewColor Background() const { return background_; }
  virtual void SetBackground(TViewColor color);
  TIEBorderStyle BorderStyle() const { return border_; }
  void SetBorderStyle(TIEBorderStyle border);
  // Three-dimensional look: a single border is a sunken edge, else a line.
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool on);
  bool ParentCtl3D = true;

  int ViewX() const { return viewX_; }
  int ViewY() const { return viewY_; }
  // The largest offsets: how far the content reaches past the client area.
  int MaxX() const { return maxX_; }
  int MaxY() const { return maxY_; }
  TViewScrollBars ScrollBars() const { return scrollBars_; }
  virtual void SetViewX(int x) { ScrollTo(x, viewY_); }
  virtual void SetViewY(int y) { ScrollTo(viewX_, y); }
  // The base only stores the offsets; the views clamp and repaint.
  virtual void ScrollTo(int x, int y);
  // The picture the view shows as a whole, if it has one.
  virtual TBitmap* ViewBitmap() { return nullptr; }
  // Lays the view out again after a change (size, content, settings).
  virtual void Update() {}

  // One subscription per owner; a second one replaces the first.
  void Subscribe(TChangeRoutine routine, const void* owner);
  void Unsubscribe(const void* owner);
  void AnnounceChange();

 protected:
  TIEView() = default;
  // classStyle goes to the view's window class (CS_DBLCLKS and the like).
  void CreateViewWindow(const wchar_t* className, HWND parent, int left, int top, int width, int height,
                        TIEBorderStyle border, UINT classStyle = 0);
  // Runs after the background colour changed.
  virtual void BackgroundChanged() {}
  SIZE ClientSize() const;
  // Runs updateBars; when bars that came or went changed the client size,
  // runs layout again and answers true. Bounded, so bars that flip each
  // other cannot recurse for ever.
  bool RelaidAfterBars(const std::function<void()>& updateBars, const std::function<void()>& layout);
  // Whether ScrollBars lets the bar (SB_HORZ or SB_VERT) appear.
  bool BarAllowed(int bar) const;
  // Each allowed bar: hidden while its maximum is 0, else ranging over the
  // client size plus the maximum, paged by the client size, at the offset.
  void UpdateScrollBars();
  // Moves the allowed bars' thumbs to the offsets.
  void MoveScrollThumbs();
  // The offset a scroll-bar message asks for on the bar: one pixel a line,
  // `page` pixels a page, the tracked position, the ends; none for codes
  // that keep the offset.
  std::optional<int> ScrollTarget(int bar, int code, int page) const;
  // A scroll-bar message (SB_HORZ or SB_VERT, its code).
  virtual void Scroll(int /*bar*/, int /*code*/) {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  int viewX_ = 0;
  int viewY_ = 0;
  int maxX_ = 0;
  int maxY_ = 0;
  TViewScrollBars scrollBars_ = TViewScrollBars::ssNone;
  TViewColor background_ = 0x80000000u + COLOR_BTNFACE;

 private:
  void ApplyBorder();

  struct TSubscriber {
    TChangeRoutine routine;
    const void* owner;
  };
  std::vector<TSubscriber> subscribers_;
  int relayoutDepth_ = 0;
  TIEBorderStyle border_ = TIEBorderStyle::bsSingle;
  bool ctl3D_ = true;
};

}  // namespace skyloom
