#pragma once
// The info panel's optional caption bar: a strip across the top of the
// panel's inner area with its text and, at the right, a close button and a
// minimise/maximise button.
#include <windows.h>

#include <string>

#include "widgets/gdi_text_canvas.h"

namespace skyloom {

struct TPanelCaption {
  bool Visible = false;
  int Height = 20;  // of the whole bar, bevel included
  std::string Text;
  html::TColor Color = 0x80000000u + COLOR_ACTIVECAPTION;
  html::TFont Font{"MS Sans Serif", 8, true, false, false, false, 0x80000000u + COLOR_CAPTIONTEXT};
  bool CloseButton = false;
  bool MinMaxButton = false;
  html::TColor CloseColor = 0x80000000u + COLOR_BTNFACE;  // the buttons' face
  html::TColor CloseButtonColor = html::clBlack;        // their glyphs
};

enum class TCaptionPart { None, Bar, Close, MinMax };

struct TCaptionLayout {
  RECT bar{}, close{}, minMax{};  // empty rectangles for buttons not shown
};

// The bar at the top of inner (the area inside the panel's frames): the
// caption's height less the two bevels, so the whole bar with the frame
// around it is Height high. Buttons are squares 2 pixels inside the bar.
TCaptionLayout LayoutCaption(const TPanelCaption& caption, const RECT& inner, int bevelWidth);
TCaptionPart CaptionPartAt(const TCaptionLayout& layout, int x, int y);
// minimized picks the minimise/maximise button's glyph: a bar to minimise,
// a box to restore.
void PaintCaption(HDC dc, const TPanelCaption& caption, const TCaptionLayout& layout, bool minimized,
                  TPictureCache& pictures);

}  // namespace skyloom
