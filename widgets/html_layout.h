#pragma once
// Layout of the info panel's formatted text: the text is split into runs and
// tags, runs are measured through a small seam (so the decisions run without
// a device), wrapped into lines and placed. Painting and the link hit test
// work on the finished layout. Portable (no windows.h).
#include <string>
#include <string_view>
#include <vector>

#include "widgets/html_text.h"

namespace skyloom::html {

struct TRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};
struct TSize {
  int cx = 0, cy = 0;
};

struct TFont {
  std::string name;
  int size = 8;  // points; 0 is the device's default height
  bool bold = false, italic = false, underline = false, strike = false;
  TColor color = clBlack;
  bool operator==(const TFont&) const = default;
};

// The measuring seam: text extents per font, pictures, screen resolution.
class TTextMeasure {
 public:
  virtual ~TTextMeasure() = default;
  virtual TSize TextExtent(const TFont& font, std::string_view text) = 0;
  // The natural size of an IMG source ("IDX:n", "SSYS:file", "LSYS:file");
  // 0 x 0 when there is none.
  virtual TSize PictureSize(std::string_view source) = 0;
  virtual int PixelsPerInch() = 0;
};

enum class TAlign { Left, Center, Right };

struct TFragment {
  enum class Kind { Text, Picture };
  Kind kind = Kind::Text;
  std::string text;  // shown text, or the picture source
  TFont font;
  TColor background = clNone;
  int x = 0, top = 0, width = 0, height = 0;
  std::string href;  // the link this fragment belongs to
  int link = 0;      // that link's number in text order from 1; 0 outside links
  std::string alt;   // a picture's ALT source, shown while the mouse is on it
  bool shadow = false, highlight = false, error = false, hidden = false;
};

struct TLine {
  int top = 0, height = 0;
  int left = 0, width = 0;  // placed content
  TColor background = clNone;
  bool rule = false;  // a horizontal rule 1 pixel below the line
  std::vector<TFragment> fragments;
};

struct TLayoutOptions {
  TFont font;                   // the starting font
  TColor urlColor = 0xFF0000;   // blue
  bool wordWrap = true;
};

struct TLayout {
  TRect rect;
  TColor bodyBackground = clNone;
  std::string bodyPicture;  // BODY BACKGROUND: tiled over the rectangle
  std::vector<TLine> lines;
  int width = 0, height = 0;  // of the placed text
};

TLayout LayoutHtml(std::string_view text, const TRect& rect, const TLayoutOptions& options,
                   TTextMeasure& measure);

// Moves every line down by dy (vertical alignment of the whole block).
void OffsetLayout(TLayout& layout, int dy);

// The fragment of a link (text or picture) under the point, or null.
const TFragment* LinkFragmentAt(const TLayout& layout, int x, int y);

// The target of the link under the point, or empty.
std::string AnchorAt(const TLayout& layout, int x, int y);

}  // namespace skyloom::html
