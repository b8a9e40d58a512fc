#include "widgets/html_paint.h"

namespace skyloom::html {
namespace {

constexpr TColor kRed = 0x0000FF;

void ZigZag(const TFragment& f, TTextCanvas& canvas) {
  int y = f.top + f.height;
  for (int x = f.x; x + 2 <= f.x + f.width; x += 2) {
    int step = ((x - f.x) / 2) % 2 == 0 ? 2 : -2;
    canvas.DrawLine(x, step > 0 ? y : y + 2, x + 2, step > 0 ? y + 2 : y, kRed);
  }
}

bool Contains(const TRect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

void PaintFragment(const TFragment& f, const TPaintOptions& options, TTextCanvas& canvas) {
  if (f.hidden) return;
  TRect box{f.x, f.top, f.x + f.width, f.top + f.height};
  bool hovered = f.link != 0 && f.link == options.hoverLink;
  if (f.kind == TFragment::Kind::Picture) {
    bool alt = hovered && !f.alt.empty() && Contains(box, options.mouseX, options.mouseY);
    canvas.DrawPicture(alt ? f.alt : f.text, box);
    return;
  }
  TColor background = f.background, color = f.font.color;
  if (hovered && options.hover) {
    if (options.hoverColor != clNone) background = options.hoverColor;
    if (options.hoverFontColor != clNone) color = options.hoverFontColor;
  }
  if (background != clNone) canvas.FillRect(box, background);
  if (f.shadow) {
    canvas.DrawText(f.font, f.x + options.shadowOffset, f.top + options.shadowOffset, f.text,
                    options.shadowColor);
  }
  canvas.DrawText(f.font, f.x, f.top, f.text, color);
  if (f.error) ZigZag(f, canvas);
}

// BODY BACKGROUND: the picture repeated from the rectangle's top-left;
// pictures of no size, or so small that the tiles would run into the
// millions, are left out.
void TileBodyPicture(const TLayout& layout, TTextCanvas& canvas) {
  if (layout.bodyPicture.empty()) return;
  TSize size = canvas.PictureSize(layout.bodyPicture);
  const TRect& r = layout.rect;
  if (size.cx <= 0 || size.cy <= 0 || r.right <= r.left || r.bottom <= r.top) return;
  long long tiles = (static_cast<long long>(r.right - r.left) / size.cx + 1) *
                    (static_cast<long long>(r.bottom - r.top) / size.cy + 1);
  if (tiles > (1 << 16)) return;
  for (long long y = r.top; y < r.bottom; y += size.cy) {
    for (long long x = r.left; x < r.right; x += size.cx) {
      int left = static_cast<int>(x), top = static_cast<int>(y);
      canvas.DrawPicture(layout.bodyPicture, {left, top, left + size.cx, top + size.cy});
    }
  }
}

}  // namespace

void PaintLayout(const TLayout& layout, const TPaintOptions& options, TTextCanvas& canvas) {
  const TRect& r = layout.rect;
  if (layout.bodyBackground != clNone) canvas.FillRect(r, layout.bodyBackground);
  TileBodyPicture(layout, canvas);
  for (const TLine& line : layout.lines) {
    if (line.background != clNone) {
      canvas.FillRect({r.left, line.top, r.right, line.top + line.height}, line.background);
    }
    for (const TFragment& f : line.fragments) PaintFragment(f, options, canvas);
    if (line.rule) {
      int y = line.top + line.height + 1;
      canvas.DrawLine(r.left, y, r.right, y, clBlack);
    }
  }
}

}  // namespace skyloom::html
