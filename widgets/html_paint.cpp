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

void PaintFragment(const TFragment& f, const TPaintOptions& options, TTextCanvas& canvas) {
  if (f.hidden) return;
  TRect box{f.x, f.top, f.x + f.width, f.top + f.height};
  if (f.kind == TFragment::Kind::Picture) {
    canvas.DrawPicture(f.text, box);
    return;
  }
  if (f.background != clNone) canvas.FillRect(box, f.background);
  if (f.shadow) {
    canvas.DrawText(f.font, f.x + options.shadowOffset, f.top + options.shadowOffset, f.text,
                    options.shadowColor);
  }
  canvas.DrawText(f.font, f.x, f.top, f.text, f.font.color);
  if (f.error) ZigZag(f, canvas);
}

}  // namespace

void PaintLayout(const TLayout& layout, const TPaintOptions& options, TTextCanvas& canvas) {
  const TRect& r = layout.rect;
  if (layout.bodyBackground != clNone) canvas.FillRect(r, layout.bodyBackground);
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
