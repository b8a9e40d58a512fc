#pragma once
// Hand-made GIF code streams and files for the GIF tests, built from the
// format's rules alone (not with the engine's encoder).
#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "tests/image/test_files.h"

namespace skyloom::testing_util {

// Codes of given sizes packed least-significant bit first.
class TCodePacker {
 public:
  void Put(unsigned code, unsigned size) {
    for (unsigned i = 0; i < size; ++i, ++bit_) {
      if (bit_ % 8 == 0) bytes_.push_back(0);
      if (code >> i & 1) bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | 1 << (bit_ % 8));
    }
  }
  const TBytes& Bytes() const { return bytes_; }

 private:
  TBytes bytes_;
  unsigned bit_ = 0;
};

// A code stream that names every pixel by its literal code, sized as a
// decoder expects: each code after the first of a table adds an entry, and
// the size grows when the next free code reaches 2^size (up to 12 bits).
class TLiteralCoder {
 public:
  explicit TLiteralCoder(int minCodeSize) : m_(static_cast<unsigned>(minCodeSize)) { Clear(); }

  void Clear() {
    packer_.Put(1u << m_, size_);
    size_ = m_ + 1;
    next_ = (1u << m_) + 2;
    fresh_ = true;
  }
  void End() { packer_.Put((1u << m_) + 1, size_); }
  // A literal (or any code) written at the current size.
  void Code(unsigned code) {
    packer_.Put(code, size_);
    if (fresh_) {
      fresh_ = false;
      return;
    }
    if (next_ < 4096 && ++next_ == 1u << size_ && size_ < 12) ++size_;
  }
  // Literals, with a clear before the table would widen the codes.
  void Literals(const std::vector<std::uint8_t>& pixels) {
    for (const std::uint8_t p : pixels) {
      if (next_ + 1 == 1u << (m_ + 1)) Clear();
      Code(p);
    }
  }
  unsigned NextFree() const { return next_; }
  const TBytes& Bytes() const { return packer_.Bytes(); }

 private:
  unsigned m_;
  unsigned size_ = m_ + 1;
  unsigned next_ = 0;
  bool fresh_ = true;
  TCodePacker packer_;
};

// Minimum code size byte, the data in sub-blocks of up to 255 bytes, and
// the zero-length block.
inline TBytes ImageData(int minCodeSize, const TBytes& codes) {
  TBytes out{static_cast<std::uint8_t>(minCodeSize)};
  for (std::size_t at = 0; at < codes.size(); at += 255) {
    const std::size_t n = std::min<std::size_t>(255, codes.size() - at);
    out.push_back(static_cast<std::uint8_t>(n));
    out.insert(out.end(), codes.begin() + static_cast<std::ptrdiff_t>(at),
               codes.begin() + static_cast<std::ptrdiff_t>(at + n));
  }
  out.push_back(0);
  return out;
}

// The data of pixels given as literals, with a clear first and the end code.
inline TBytes LiteralImageData(int minCodeSize, const std::vector<std::uint8_t>& pixels) {
  TLiteralCoder coder(minCodeSize);
  coder.Literals(pixels);
  coder.End();
  return ImageData(minCodeSize, coder.Bytes());
}

// 0x00RRGGBB entries as a colour table.
inline void AppendTable(TBytes& out, const std::vector<std::uint32_t>& colours) {
  for (const std::uint32_t c : colours)
    out.insert(out.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                           static_cast<std::uint8_t>(c)});
}

// "GIF89a" and a logical screen descriptor, with a global table when
// colours are given (their count a power of two, 2..256).
inline TBytes GifHeader(int width, int height, const std::vector<std::uint32_t>& colours, int background = 0,
                           int aspect = 0) {
  TBytes out{'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, static_cast<unsigned>(width));
  Put16(out, static_cast<unsigned>(height));
  int bits = 0;
  while ((std::size_t{1} << (bits + 1)) < colours.size()) ++bits;
  out.push_back(static_cast<std::uint8_t>(colours.empty() ? 0 : 0x80 | bits));
  out.push_back(static_cast<std::uint8_t>(background));
  out.push_back(static_cast<std::uint8_t>(aspect));
  AppendTable(out, colours);
  return out;
}

inline void AppendControl(TBytes& out, bool transparent, int delay, int transparentIndex) {
  out.insert(out.end(), {0x21, 0xF9, 4, static_cast<std::uint8_t>(transparent ? 1 : 0)});
  Put16(out, static_cast<unsigned>(delay));
  out.insert(out.end(), {static_cast<std::uint8_t>(transparentIndex), 0});
}

struct TGifImage {
  int left = 0, top = 0, width = 1, height = 1;
  bool interlaced = false;
  std::vector<std::uint32_t> localTable;  // empty: none
  std::vector<std::uint8_t> pixels;       // in stream order
  int minCodeSize = 2;
};

inline void AppendImage(TBytes& out, const TGifImage& image) {
  out.push_back(',');
  Put16(out, static_cast<unsigned>(image.left));
  Put16(out, static_cast<unsigned>(image.top));
  Put16(out, static_cast<unsigned>(image.width));
  Put16(out, static_cast<unsigned>(image.height));
  int bits = 0;
  while ((std::size_t{1} << (bits + 1)) < image.localTable.size()) ++bits;
  out.push_back(static_cast<std::uint8_t>((image.localTable.empty() ? 0 : 0x80 | bits) | (image.interlaced ? 0x40 : 0)));
  AppendTable(out, image.localTable);
  const TBytes data = LiteralImageData(image.minCodeSize, image.pixels);
  out.insert(out.end(), data.begin(), data.end());
}

}  // namespace skyloom::testing_util
