#include <algorithm>
#include <cstring>
#include <memory>

#include "image/codecs/tiff_lzw.h"

namespace skyloom {
namespace {

using tiff::kClearCode;
using tiff::kEndCode;
using tiff::kFirstFree;

constexpr int kTableSize = 4096;
constexpr std::size_t kChunk = 16;  // strings are copied in chunks of this many bytes

// The output since the last clear code is kept: every string of the table
// appeared in it, so an entry is where it appeared and how long it is, and
// decoding a code is one short copy instead of a walk back through its
// prefixes. The tables start unwritten: Fill reads only entries below
// `next`, each written since the last clear (a code equal to `next` adds
// its entry before the copy, larger ones are refused), and a fresh state
// per strip then costs no clearing of them.
struct TLzwDecodeState final : TTiffLzwState {
  std::uint32_t from[kTableSize];
  std::uint16_t length[kTableSize];
  int next = kFirstFree;
  int width = 9;
  bool afterClear = true;
  std::size_t previousAt = 0;  // where the previous string's output starts
  // Bits not yet taken, in the low `count` bits of `bits`.
  std::size_t position = 0;
  std::uint64_t bits = 0;
  int count = 0;
  std::vector<std::uint8_t> out;  // decoded so far, with slack for chunked copies
  std::size_t end = 0;            // bytes decoded
  std::size_t taken = 0;          // bytes handed out as rows

  // The next code, or -1 when the data are used up.
  int ReadCode(const std::uint8_t* data, std::size_t size) {
    if (count < width) {
      while (count <= 56 && position < size) {
        bits = (bits << 8) | data[position++];
        count += 8;
      }
      if (count < width) return -1;
    }
    count -= width;
    return static_cast<int>((bits >> count) & ((1u << width) - 1));
  }

  // Grows from what the strip needs (strips are often a single row); the
  // new bytes are zeroed, so a chunked copy reading past the end of the
  // output reads nothing unset.
  void Reserve(std::size_t more) {
    if (end + more + kChunk <= out.size()) return;
    out.resize(std::max(out.size() * 2, end + more + kChunk));
  }

  // Appends len bytes found at `at`. A string that repeats the one just
  // before it overlaps its own output and goes byte by byte.
  void Copy(std::size_t at, std::size_t len) {
    Reserve(len);
    std::uint8_t* dst = out.data() + end;
    const std::uint8_t* src = out.data() + at;
    if (end - at >= kChunk) {
      for (std::size_t i = 0; i < len; i += kChunk) std::memcpy(dst + i, src + i, kChunk);
    } else {
      for (std::size_t i = 0; i < len; ++i) dst[i] = src[i];
    }
    end += len;
  }

  // After a clear no entry refers back: only the bytes not yet handed out
  // are kept, so the buffer stays near one table's worth of output.
  void Compact() {
    if (taken == 0) return;
    std::memmove(out.data(), out.data() + taken, end - taken);
    end -= taken;
    taken = 0;
  }

  // The previous string plus the first byte of the one starting at `at`.
  void Add(std::size_t at) {
    from[next] = static_cast<std::uint32_t>(previousAt);
    length[next] = static_cast<std::uint16_t>(at - previousAt + 1);
    ++next;
    // One entry early: the coder widens after adding the entry that this
    // side adds only with the following code.
    if (next + 1 >= (1 << width) && width < 12) ++width;
  }

  // Decodes until `need` bytes beyond those handed out are ready; false on
  // a code beyond the table, a full table, the end code or no more data.
  bool Fill(const std::uint8_t* data, std::size_t size, std::size_t need) {
    Reserve(need);  // at once, not by doubling from a few bytes
    while (end - taken < need) {
      const int code = ReadCode(data, size);
      if (code < 0 || code == kEndCode) return false;
      if (code == kClearCode) {
        next = kFirstFree, width = 9, afterClear = true;
        Compact();
        continue;
      }
      const std::size_t at = end;
      if (afterClear) {
        if (code > 255) return false;
        afterClear = false;
      } else {
        if (code > next || next >= kTableSize) return false;
        Add(at);  // first: a code equal to next names this very entry
      }
      if (code < 256) {
        Reserve(1);
        out[end++] = static_cast<std::uint8_t>(code);
      } else {
        Copy(from[code], length[code]);
      }
      previousAt = at;
    }
    return true;
  }
};

}  // namespace

bool DecodeTiffLzwRow(const std::uint8_t* data, std::size_t size, int rowLength, std::vector<std::uint8_t>& row,
                      TTiffLzwState*& state) {
  if (!data) {
    std::unique_ptr<TTiffLzwState> release(state);
    state = nullptr;
    return true;
  }
  // Default-initialised: value-initialising would zero the tables after all.
  if (!state) state = std::make_unique_for_overwrite<TLzwDecodeState>().release();
  auto& s = static_cast<TLzwDecodeState&>(*state);
  const std::size_t need = rowLength > 0 ? static_cast<std::size_t>(rowLength) : 0;
  if (row.size() != need) row.resize(need);
  if (!s.Fill(data, size, need)) return false;
  std::memcpy(row.data(), s.out.data() + s.taken, need);
  s.taken += need;
  return true;
}

void InstallTiffLzwHooks(TLzwHooks& hooks) {
  hooks.TiffDecoder = DecodeTiffLzwRow;
  hooks.TiffEncoder = EncodeTiffLzwRow;
}

}  // namespace skyloom
