#pragma once
// Painting of a finished layout through drawing primitives, so the order
// and places of what is drawn are the same on every device. Portable.
#include "widgets/html_layout.h"

namespace skyloom::html {

class TTextCanvas : public TTextMeasure {
 public:
  // Colours may be system colours (0x80000000 + n); clNone draws nothing.
  virtual void FillRect(const TRect& rect, TColor color) = 0;
  virtual void DrawText(const TFont& font, int x, int y, std::string_view text, TColor color) = 0;
  virtual void DrawLine(int x1, int y1, int x2, int y2, TColor color) = 0;
  virtual void DrawPicture(std::string_view source, const TRect& rect) = 0;
};

struct TPaintOptions {
  TColor shadowColor = 0x808080;
  int shadowOffset = 2;
  // The link under the mouse (its number, 0 for none) and the mouse point:
  // a picture with an ALT source inside that link shows the ALT picture
  // while the point is on it.
  int hoverLink = 0;
  int mouseX = -1, mouseY = -1;
  // With hover on, the hovered link's text is drawn in hoverFontColor on
  // hoverColor; clNone keeps the link's own colour or background.
  bool hover = false;
  TColor hoverColor = clNone, hoverFontColor = clNone;
};

void PaintLayout(const TLayout& layout, const TPaintOptions& options, TTextCanvas& canvas);

}  // namespace skyloom::html
