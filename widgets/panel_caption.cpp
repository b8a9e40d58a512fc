#include "widgets/panel_caption.h"

#include <algorithm>

namespace skyloom {
namespace {

constexpr int kButtonMargin = 2;
constexpr int kGlyphInset = 3;  // the glyph keeps this far from the button's edges

html::TRect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

void PaintButton(html::TTextCanvas& canvas, const RECT& r, const TPanelCaption& caption, bool cross, bool box) {
  if (r.right <= r.left) return;
  canvas.FillRect(ToRect(r), caption.CloseColor);
  int left = r.left + kGlyphInset, top = r.top + kGlyphInset;
  int right = r.right - kGlyphInset, bottom = r.bottom - kGlyphInset;
  if (right <= left || bottom <= top) return;
  html::TColor c = caption.CloseButtonColor;
  if (cross) {
    canvas.DrawLine(left, top, right, bottom, c);
    canvas.DrawLine(left, bottom - 1, right, top - 1, c);
  } else if (box) {
    canvas.DrawLine(left, top, right, top, c);
    canvas.DrawLine(left, top + 1, right, top + 1, c);
    canvas.DrawLine(left, bottom - 1, right, bottom - 1, c);
    canvas.DrawLine(left, top, left, bottom, c);
    canvas.DrawLine(right - 1, top, right - 1, bottom, c);
  } else {
    canvas.DrawLine(left, bottom - 1, right, bottom - 1, c);
    canvas.DrawLine(left, bottom - 2, right, bottom - 2, c);
  }
}

}  // namespace

TCaptionLayout LayoutCaption(const TPanelCaption& caption, const RECT& inner, int bevelWidth) {
  TCaptionLayout layout;
  if (!caption.Visible) return layout;
  int height = std::clamp(caption.Height - 2 * bevelWidth, 0, static_cast<int>(inner.bottom - inner.top));
  layout.bar = {inner.left, inner.top, inner.right, inner.top + height};
  int size = height - 2 * kButtonMargin;
  if (size <= 0) return layout;
  LONG right = inner.right - kButtonMargin;
  LONG top = inner.top + kButtonMargin;
  if (caption.CloseButton) {
    layout.close = {right - size, top, right, top + size};
    right -= size + kButtonMargin;
  }
  if (caption.MinMaxButton) layout.minMax = {right - size, top, right, top + size};
  return layout;
}

TCaptionPart CaptionPartAt(const TCaptionLayout& layout, int x, int y) {
  if (Inside(layout.close, x, y)) return TCaptionPart::Close;
  if (Inside(layout.minMax, x, y)) return TCaptionPart::MinMax;
  if (Inside(layout.bar, x, y)) return TCaptionPart::Bar;
  return TCaptionPart::None;
}

void PaintCaption(HDC dc, const TPanelCaption& caption, const TCaptionLayout& layout, bool minimized,
                  TPictureCache& pictures) {
  const RECT& bar = layout.bar;
  if (bar.bottom <= bar.top || bar.right <= bar.left) return;
  int saved = SaveDC(dc);
  IntersectClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
  {
    TGdiTextCanvas canvas(dc, pictures);
    canvas.FillRect(ToRect(bar), caption.Color);
    if (!caption.Text.empty()) {
      html::TSize size = canvas.TextExtent(caption.Font, caption.Text);
      int y = bar.top + (bar.bottom - bar.top - size.cy) / 2;
      canvas.DrawText(caption.Font, bar.left + 4, y, caption.Text, caption.Font.color);
    }
    PaintButton(canvas, layout.close, caption, true, false);
    PaintButton(canvas, layout.minMax, caption, false, minimized);
  }
  RestoreDC(dc, saved);
}

}  // namespace skyloom
