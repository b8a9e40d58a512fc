// Fuzz target: the info panel's formatted-text parser and layout, in
// measuring mode (layout and link hit test) with fixed character metrics.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "widgets/html_layout.h"

namespace {

class TFixedMeasure : public skyloom::html::TTextMeasure {
 public:
  skyloom::html::TSize TextExtent(const skyloom::html::TFont& font, std::string_view text) override {
    return {static_cast<int>(text.size()) * (font.size / 2 + 1), font.size + 4};
  }
  skyloom::html::TSize PictureSize(std::string_view source) override {
    return source.starts_with("IDX:") ? skyloom::html::TSize{16, 16} : skyloom::html::TSize{};
  }
  int PixelsPerInch() override { return 96; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom::html;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  TFixedMeasure measure;
  TLayoutOptions options;
  options.font.size = 8;
  TLayout layout = LayoutHtml(text, {0, 0, 258, 103}, options, measure);
  AnchorAt(layout, 20, 20);
  return 0;
}
