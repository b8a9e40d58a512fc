#include "image/codecs/gif_lzw_decoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "image/codecs/gif_blocks.h"
#include "image/codecs/gif_interlace.h"
#include "image/pixel_buffer.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

static_assert(std::endian::native == std::endian::little, "codes are read as little-endian words");

constexpr unsigned kMaxCodeSize = 12;
constexpr std::size_t kTableSize = 4096;
constexpr std::size_t kSlack = 8;  // zero bytes after the data: one code is one 8-byte load

class TCodeReader {
 public:
  TCodeReader(const std::uint8_t* data, std::size_t size) : data_(data), bits_(size * 8) {}

  bool Next(unsigned size, unsigned& code) {
    if (at_ + size > bits_) return false;
    std::uint64_t word;
    std::memcpy(&word, data_ + (at_ >> 3), sizeof word);
    code = static_cast<unsigned>(word >> (at_ & 7)) & ((1u << size) - 1);
    at_ += size;
    return true;
  }

 private:
  const std::uint8_t* data_;
  std::size_t bits_;
  std::size_t at_ = 0;
};

// Every string in the table was written to the output once already, so an
// entry is only where that happened and how long it is: a code is decoded
// by copying its earlier occurrence forward, never by walking prefixes.
struct TStrings {
  std::array<std::size_t, kTableSize> start{};
  std::array<std::uint16_t, kTableSize> length{};
};

// Copies len bytes from out[from] to out[to] (from < to < outSize, ranges
// may overlap), dropping what falls past outSize. Nothing after the string
// changes: if the data end here, the rest of the buffer stays as it was.
inline void CopyForward(std::uint8_t* out, std::size_t to, std::size_t from, std::size_t len, std::size_t outSize) {
  std::uint8_t* d = out + to;
  const std::uint8_t* s = out + from;
  // Eight or more apart, a word reads only bytes already in place; the
  // last word takes its bytes past the string from the destination, so
  // short strings cost one load-merge-store rather than a byte loop.
  if (to - from >= 8 && len + 7 <= outSize - to) {
    std::size_t i = 0;
    for (; i + 8 < len; i += 8) std::memcpy(d + i, s + i, 8);
    const std::size_t rest = len - i;  // 1..8
    std::uint64_t src, dst;
    std::memcpy(&src, s + i, 8);
    std::memcpy(&dst, d + i, 8);
    const std::uint64_t keep = ~std::uint64_t{0} << (8 * rest - 1) << 1;
    dst = (src & ~keep) | (dst & keep);
    std::memcpy(d + i, &dst, 8);
    return;
  }
  const std::size_t n = std::min(len, outSize - to);
  for (std::size_t i = 0; i < n; ++i) d[i] = s[i];
}

// Decodes the codes of minimum code size minCodeSize (2..9) packed in
// data[0, size), least-significant bit first, into out in stream order.
// data must be readable for 8 bytes past size. Pixels past outSize are
// dropped; the work per code is bounded, so any input ends in time. Answers
// false for a code the table cannot hold or a clear then the end code; data
// that run out first keep what was decoded.
bool DecodeLzwCodes(const std::uint8_t* data, std::size_t size, int minCodeSize, std::uint8_t* out,
                    std::size_t outSize) {
  const unsigned clear = 1u << minCodeSize;
  const unsigned end = clear + 1;
  const unsigned firstSize = static_cast<unsigned>(minCodeSize) + 1;
  unsigned codeSize = firstSize;
  unsigned next = clear + 2;
  unsigned limit = 1u << firstSize;
  bool fresh = true;       // the next code starts a table (after a clear, or at the start)
  bool justCleared = false;
  bool full = false;
  std::size_t pos = 0;      // output position of the next string
  std::size_t prevPos = 0;  // where the previous string went, and its length
  std::size_t prevLen = 0;
  TStrings strings;
  TCodeReader in(data, size);

  for (unsigned code = 0; in.Next(codeSize, code);) {
    if (code == clear) {
      codeSize = firstSize;
      next = clear + 2;
      limit = 1u << firstSize;
      fresh = justCleared = true;
      full = false;
      continue;
    }
    if (code == end) return !justCleared;
    justCleared = false;
    if (fresh) {
      if (code >= next) code = 0;
      if (pos < outSize) out[pos] = static_cast<std::uint8_t>(code);
      prevPos = pos++;
      prevLen = 1;
      fresh = false;
      continue;
    }
    if (code > next) return false;
    std::size_t len = 1;
    if (code < clear) {
      if (pos < outSize) out[pos] = static_cast<std::uint8_t>(code);
    } else {
      // An entry, or the one being made (previous string + its own first
      // character), which is the previous string's occurrence one longer.
      const std::size_t from = code == next ? prevPos : strings.start[code];
      len = code == next ? prevLen + 1 : strings.length[code];
      if (pos < outSize) CopyForward(out, pos, from, len, outSize);
    }
    // A full table stays as it is until a clear code comes ("deferred
    // clear"): codes go on at 12 bits and make no entries.
    if (!full) {
      strings.start[next] = prevPos;
      strings.length[next] = static_cast<std::uint16_t>(prevLen + 1);
      if (++next == limit) {
        if (codeSize == kMaxCodeSize) {
          full = true;
        } else {
          ++codeSize;
          limit <<= 1;
        }
      }
    }
    prevPos = pos;
    prevLen = len;
    pos += len;
  }
  return true;
}

}  // namespace

bool DecodeGifLzw(TStream& stream, int height, int width, std::uint8_t* out, bool interlaced) {
  const std::int64_t start = stream.Position();
  const auto fail = [&] {
    stream.SetPosition(start);
    return false;
  };
  std::uint8_t minCodeSize = 0;
  if (stream.Read(&minCodeSize, 1) != 1 || minCodeSize < 2 || minCodeSize > 9) return fail();
  std::vector<std::uint8_t> data;
  ReadSubBlocks(stream, &data);
  if (data.empty()) return true;
  const std::size_t size = data.size();
  data.resize(size + kSlack, 0);

  const std::size_t rows = height > 0 ? static_cast<std::size_t>(height) : 0;
  const std::size_t columns = width > 0 ? static_cast<std::size_t>(width) : 0;
  const std::size_t pixels = rows * columns;
  if (!interlaced || rows < 2) {
    if (!DecodeLzwCodes(data.data(), size, minCodeSize, out, pixels)) return fail();
    return true;
  }
  // Interlaced rows are decoded in stream order, then put in place.
  TPixelBuffer stored(pixels);
  if (!DecodeLzwCodes(data.data(), size, minCodeSize, stored.Data(), pixels)) return fail();
  const std::vector<int> order = InterlacedRowOrder(height);
  for (std::size_t k = 0; k < rows; ++k)
    std::memcpy(out + static_cast<std::size_t>(order[k]) * columns, stored.Data() + k * columns, columns);
  return true;
}

}  // namespace skyloom
