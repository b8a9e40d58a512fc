// Fuzz target: the info panel's formatted-text parser and layout, in
// measuring mode (layout and link hit test) with fixed character metrics,
// then painted onto a canvas that draws nothing, with a link hovered.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "widgets/html_layout.h"
#include "widgets/html_paint.h"

namespace {

class TFixedMeasure : public skyloom::html::TTextCanvas {
 public:
  skyloom::html::TSize TextExtent(const skyloom::html::TFont& font, std::string_view text) override {
    return {static_cast<int>(text.size()) * (font.size / 2 + 1), font.size + 4};
  }
  skyloom::html::TSize PictureSize(std::string_view source) override {
    return source.starts_with("IDX:") ? skyloom::html::TSize{16, 16} : skyloom::html::TSize{};
  }
  int PixelsPerInch() override { return 96; }
  void FillRect(const skyloom::html::TRect&, skyloom::html::TColor) override {}
  void DrawText(const skyloom::html::TFont&, int, int, std::string_view, skyloom::html::TColor) override {}
  void DrawLine(int, int, int, int, skyloom::html::TColor) override {}
  void DrawPicture(std::string_view, const skyloom::html::TRect&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom::html;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  TFixedMeasure measure;
  TLayoutOptions options;
  options.font.size = 8;
  TLayout layout = LayoutHtml(text, {0, 0, 258, 103}, options, measure);
  const TFragment* link = LinkFragmentAt(layout, 20, 20);
  TPaintOptions paint;
  paint.hover = true;
  paint.hoverLink = link ? link->link : 1;
  paint.mouseX = paint.mouseY = 20;
  PaintLayout(layout, paint, measure);
  return 0;
}
