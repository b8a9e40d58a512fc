#include "image/codecs/bmp_rle.h"

#include <algorithm>

#include "image/bitmap.h"
#include "image/codecs/bmp_pixels.h"

namespace skyloom {
namespace {

// The decoder's pen: file row (counted from the first stored row) and column.
class TRlePen {
 public:
  TRlePen(TBitmap& raster, bool topDown, const TPaletteLut& palette)
      : raster_(raster), topDown_(topDown), palette_(palette) {}

  bool InRaster() const { return row_ < raster_.Height(); }
  int Row() const { return row_; }

  // Plots one palette index at the pen and moves right; pixels past the
  // row's end are dropped.
  void Plot(unsigned index) {
    if (x_ < raster_.Width()) {
      const int y = topDown_ ? row_ : raster_.Height() - 1 - row_;
      const TIERGB& c = palette_[index];
      std::uint8_t* p = raster_.ScanLine(y) + 3 * static_cast<std::size_t>(x_);
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
    }
    x_ = std::min(x_ + 1, raster_.Width());
  }
  void NextLine() {
    ++row_;
    x_ = 0;
  }
  void Move(int dx, int dy) {
    x_ = std::min(x_ + dx, raster_.Width());
    row_ += dy;
  }

 private:
  TBitmap& raster_;
  bool topDown_;
  const TPaletteLut& palette_;
  int row_ = 0;
  int x_ = 0;
};

unsigned Nibble(std::uint8_t byte, int k) { return (k & 1) ? (byte & 0x0F) : (byte >> 4); }

}  // namespace

void DecodeRle(const std::uint8_t* data, std::size_t size, bool rle4, const TPaletteLut& palette, TBitmap& raster,
               bool topDown, const TProgressRec& progress) {
  TRlePen pen(raster, topDown, palette);
  std::size_t i = 0;
  while (i + 2 <= size && pen.InRaster()) {
    const int n = data[i];
    const std::uint8_t c = data[i + 1];
    i += 2;
    if (n > 0) {  // encoded run
      for (int k = 0; k < n; ++k) pen.Plot(rle4 ? Nibble(c, k) : c);
      continue;
    }
    if (c == 0) {  // end of line
      pen.NextLine();
      if (!pen.InRaster() || progress.Report(pen.Row())) return;
      continue;
    }
    if (c == 1) return;  // end of bitmap
    if (c == 2) {        // delta
      if (i + 2 > size) return;
      pen.Move(data[i], data[i + 1]);
      i += 2;
      continue;
    }
    // Absolute run of c indices, padded to an even number of data bytes.
    const std::size_t bytes = rle4 ? (c + 1u) / 2 : c;
    const std::size_t have = std::min(bytes, size - i);
    for (int k = 0; k < c && static_cast<std::size_t>(rle4 ? k / 2 : k) < have; ++k)
      pen.Plot(rle4 ? Nibble(data[i + static_cast<std::size_t>(k / 2)], k) : data[i + static_cast<std::size_t>(k)]);
    i += bytes + (bytes & 1);
  }
}

namespace {

class TRleWriter {
 public:
  TRleWriter(const std::uint8_t* px, bool rle4, std::vector<std::uint8_t>& out) : px_(px), rle4_(rle4), out_(out) {}

  void Run(int length, std::uint8_t index) {
    out_.push_back(static_cast<std::uint8_t>(length));
    out_.push_back(rle4_ ? static_cast<std::uint8_t>(index * 16 + index) : index);
  }

  // Writes the literal stretch [from, to).
  void Flush(int from, int to) {
    const int n = to - from;
    if (n <= 0) return;
    if (n == 1) {
      out_.push_back(1);
      out_.push_back(rle4_ ? static_cast<std::uint8_t>(px_[from] * 16) : px_[from]);
      return;
    }
    if (n == 2) {
      if (rle4_) {
        out_.push_back(2);
        out_.push_back(static_cast<std::uint8_t>(px_[from] * 16 + px_[from + 1]));
      } else {
        Run(1, px_[from]);
        Run(1, px_[from + 1]);
      }
      return;
    }
    Absolute(from, n);
  }

 private:
  void Absolute(int from, int n) {
    out_.push_back(0);
    out_.push_back(static_cast<std::uint8_t>(n));
    std::size_t bytes = 0;
    if (rle4_) {
      for (int k = 0; k < n; k += 2) {
        const int low = k + 1 < n ? px_[from + k + 1] : 0;
        out_.push_back(static_cast<std::uint8_t>(px_[from + k] * 16 + low));
        ++bytes;
      }
    } else {
      out_.insert(out_.end(), px_ + from, px_ + from + n);
      bytes = static_cast<std::size_t>(n);
    }
    if (bytes & 1) out_.push_back(0);  // pad to an even count of data bytes
  }

  const std::uint8_t* px_;
  bool rle4_;
  std::vector<std::uint8_t>& out_;
};

constexpr int kMaxRun = 255;

}  // namespace

void EncodeRleRow(const std::uint8_t* px, int width, bool rle4, std::vector<std::uint8_t>& out) {
  TRleWriter writer(px, rle4, out);
  int literal = 0;  // start of the pending literal stretch
  int i = 0;
  while (i < width) {
    if (i + 1 < width && px[i] == px[i + 1]) {
      writer.Flush(literal, i);
      int end = i + 1;
      while (end < width && px[end] == px[i] && end - i < kMaxRun) ++end;
      writer.Run(end - i, px[i]);
      i = end;
      literal = i;
      continue;
    }
    ++i;
    if (i - literal == kMaxRun) {
      writer.Flush(literal, i);
      literal = i;
    }
  }
  writer.Flush(literal, width);
  out.push_back(0);
  out.push_back(0);
}

}  // namespace skyloom
