#pragma once
// A canvas with fixed metrics for the formatted-text tests: every character
// is size/2 + 1 pixels wide (one more in bold), every line size + 4 high.
// Drawing calls are recorded.
#include <string>
#include <vector>

#include "widgets/html_paint.h"

namespace skyloom::html::testing {

struct TDrawCall {
  std::string what;  // "text", "fill", "line", "picture"
  std::string text;
  int x = 0, y = 0, x2 = 0, y2 = 0;
  TColor color = 0;
};

class TFakeCanvas : public TTextCanvas {
 public:
  static int CharWidth(const TFont& f) { return f.size / 2 + 1 + (f.bold ? 1 : 0); }
  static int Height(const TFont& f) { return f.size + 4; }

  TSize TextExtent(const TFont& f, std::string_view text) override {
    return {static_cast<int>(text.size()) * CharWidth(f), Height(f)};
  }
  TSize PictureSize(std::string_view source) override {
    return source.starts_with("IDX:") ? TSize{16, 16} : TSize{};
  }
  int PixelsPerInch() override { return 96; }
  void FillRect(const TRect& r, TColor c) override { calls.push_back({"fill", "", r.left, r.top, r.right, r.bottom, c}); }
  void DrawText(const TFont&, int x, int y, std::string_view text, TColor c) override {
    calls.push_back({"text", std::string(text), x, y, 0, 0, c});
  }
  void DrawLine(int x1, int y1, int x2, int y2, TColor c) override { calls.push_back({"line", "", x1, y1, x2, y2, c}); }
  void DrawPicture(std::string_view source, const TRect& r) override {
    calls.push_back({"picture", std::string(source), r.left, r.top, r.right, r.bottom, 0});
  }

  std::vector<TDrawCall> calls;
};

}  // namespace skyloom::html::testing
