#include "tests/image/tiff_files.h"

#include <algorithm>

namespace skyloom::testing_util {
namespace {

std::size_t TypeSize(std::uint16_t type) {
  switch (type) {
    case 3: case 8: return 2;
    case 4: case 9: return 4;
    case 5: case 10: return 4;  // per number: a rational is two
    default: return 1;
  }
}

class TWriter {
 public:
  explicit TWriter(bool big) : big_(big) {}
  void U16(std::uint32_t v) {
    if (big_) Byte(v >> 8), Byte(v);
    else Byte(v), Byte(v >> 8);
  }
  void U32(std::uint32_t v) {
    if (big_) U16(v >> 16), U16(v);
    else U16(v), U16(v >> 16);
  }
  void Byte(std::uint32_t v) { out.push_back(static_cast<std::uint8_t>(v)); }
  void Patch32(std::size_t at, std::uint32_t v) {
    TWriter w(big_);
    w.U32(v);
    std::copy(w.out.begin(), w.out.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
  }
  std::vector<std::uint8_t> Value(const TTiffTag& t, const std::vector<std::uint32_t>& values) const {
    TWriter w(big_);
    if (t.type == 2) {
      w.out.assign(t.text.begin(), t.text.end());
      w.out.push_back(0);
      return w.out;
    }
    for (auto v : values) {
      if (TypeSize(t.type) == 1) w.Byte(v);
      else if (TypeSize(t.type) == 2) w.U16(v);
      else w.U32(v);
    }
    return w.out;
  }
  std::vector<std::uint8_t> out;

 private:
  bool big_;
};

}  // namespace

std::vector<std::uint8_t> MakeTiff(const std::vector<TTiffPageSpec>& pages, bool bigEndian,
                                   std::vector<std::uint32_t>* directoryAt) {
  TWriter w(bigEndian);
  w.Byte(bigEndian ? 'M' : 'I');
  w.Byte(bigEndian ? 'M' : 'I');
  w.U16(42);
  std::size_t link = w.out.size();
  w.U32(0);
  for (const auto& page : pages) {
    std::vector<std::uint32_t> stripAt;
    for (const auto& s : page.strips) {
      stripAt.push_back(static_cast<std::uint32_t>(w.out.size()));
      w.out.insert(w.out.end(), s.begin(), s.end());
    }
    std::vector<std::vector<std::uint8_t>> values;
    for (const auto& t : page.tags) {
      std::vector<std::uint32_t> v = t.values;
      for (auto& x : v)
        if (t.tag == 273 && x >= kStripData) x = stripAt.at(x - kStripData);
      values.push_back(w.Value(t, v));
    }
    std::vector<std::uint32_t> valueAt(values.size(), 0);
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (values[i].size() <= 4) continue;
      if (w.out.size() % 2) w.Byte(0);
      valueAt[i] = static_cast<std::uint32_t>(w.out.size());
      w.out.insert(w.out.end(), values[i].begin(), values[i].end());
    }
    if (w.out.size() % 2) w.Byte(0);
    const auto at = static_cast<std::uint32_t>(w.out.size());
    if (directoryAt) directoryAt->push_back(at);
    w.Patch32(link, at);
    w.U16(static_cast<std::uint32_t>(page.tags.size()));
    for (std::size_t i = 0; i < page.tags.size(); ++i) {
      const auto& t = page.tags[i];
      w.U16(t.tag);
      w.U16(t.type);
      const std::size_t count = t.type == 2 ? values[i].size() : (t.type == 5 || t.type == 10) ? t.values.size() / 2
                                                                                                : t.values.size();
      w.U32(static_cast<std::uint32_t>(count));
      if (values[i].size() > 4) {
        w.U32(valueAt[i]);
      } else {
        auto field = values[i];
        field.resize(4, 0);
        w.out.insert(w.out.end(), field.begin(), field.end());
      }
    }
    link = w.out.size();
    w.U32(0);
  }
  return w.out;
}

TTiffPageSpec TiffPage(int width, int height, int bits, int samples, int photometric,
                       const std::vector<std::uint8_t>& strip, int compression) {
  TTiffPageSpec page;
  auto n = [](int v) { return static_cast<std::uint32_t>(v); };
  page.tags = {
      {256, 4, {n(width)}, {}},
      {257, 4, {n(height)}, {}},
      {258, 3, std::vector<std::uint32_t>(static_cast<std::size_t>(samples), n(bits)), {}},
      {259, 3, {n(compression)}, {}},
      {262, 3, {n(photometric)}, {}},
      {273, 4, {kStripData}, {}},
      {277, 3, {n(samples)}, {}},
      {278, 4, {n(height)}, {}},
      {279, 4, {static_cast<std::uint32_t>(strip.size())}, {}},
  };
  page.strips = {strip};
  return page;
}

}  // namespace skyloom::testing_util
