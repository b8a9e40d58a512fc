#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "image/codecs/tiff_lzw.h"

namespace skyloom {
namespace {

constexpr int kClearCode = 256;
constexpr int kEndCode = 257;
constexpr int kFirstFree = 258;
constexpr int kTableSize = 4096;
constexpr int kAfterClear = -1;

struct TLzwDecodeState final : TTiffLzwState {
  // Entry k: its last byte, the entry it extends, its first byte, length.
  std::array<std::uint8_t, kTableSize> suffix{};
  std::array<std::uint16_t, kTableSize> prefix{};
  std::array<std::uint8_t, kTableSize> first{};
  std::array<std::uint16_t, kTableSize> length{};
  int next = kFirstFree;
  int width = 9;
  int previous = kAfterClear;
  // Bits not yet taken, in the low `count` bits of `bits`.
  std::size_t position = 0;
  std::uint64_t bits = 0;
  int count = 0;
  // The tail of a string that ran past the end of the last row.
  std::array<std::uint8_t, kTableSize> pending{};
  std::size_t pendingFrom = 0, pendingTo = 0;

  TLzwDecodeState() {
    for (int i = 0; i < 256; ++i) {
      suffix[i] = first[i] = static_cast<std::uint8_t>(i);
      length[i] = 1;
    }
  }

  void Clear() {
    next = kFirstFree;
    width = 9;
    previous = kAfterClear;
  }

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

  // Writes the string of code backwards from its last byte.
  void Spell(int code, std::uint8_t* out) const {
    std::uint8_t* p = out + length[code];
    while (code >= 256) {
      *--p = suffix[code];
      code = prefix[code];
    }
    *--p = static_cast<std::uint8_t>(code);
  }

  // Adds previous + c; answers false when the table is already full.
  bool Add(std::uint8_t c) {
    if (next >= kTableSize) return false;
    suffix[next] = c;
    prefix[next] = static_cast<std::uint16_t>(previous);
    first[next] = first[previous];
    length[next] = static_cast<std::uint16_t>(length[previous] + 1);
    ++next;
    // One entry early: the coder widens after adding the entry that this
    // side adds only with the following code.
    if (next + 1 >= (1 << width) && width < 12) ++width;
    return true;
  }

  std::size_t TakePending(std::uint8_t* out, std::size_t room) {
    const std::size_t n = std::min(room, pendingTo - pendingFrom);
    std::memcpy(out, pending.data() + pendingFrom, n);
    pendingFrom += n;
    return n;
  }

  bool DecodeRow(const std::uint8_t* data, std::size_t size, std::uint8_t* out, std::size_t need) {
    std::size_t done = TakePending(out, need);
    while (done < need) {
      const int code = ReadCode(data, size);
      if (code < 0 || code == kEndCode) return false;
      if (code == kClearCode) {
        Clear();
        continue;
      }
      if (previous == kAfterClear) {
        if (code > 255) return false;
        out[done++] = static_cast<std::uint8_t>(code);
        previous = code;
        continue;
      }
      if (code > next) return false;
      if (!Add(code == next ? first[previous] : first[code])) return false;
      previous = code;
      const std::size_t len = length[code];
      if (len <= need - done) {
        Spell(code, out + done);
        done += len;
        continue;
      }
      Spell(code, pending.data());
      pendingFrom = 0;
      pendingTo = len;
      done += TakePending(out + done, need - done);
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
  if (!state) state = std::make_unique<TLzwDecodeState>().release();
  auto& s = static_cast<TLzwDecodeState&>(*state);
  const std::size_t need = rowLength > 0 ? static_cast<std::size_t>(rowLength) : 0;
  if (row.size() != need) row.resize(need);
  return s.DecodeRow(data, size, row.data(), need);
}

void InstallTiffLzwHooks(TLzwHooks& hooks) {
  hooks.TiffDecoder = DecodeTiffLzwRow;
  hooks.TiffEncoder = EncodeTiffLzwRow;
}

}  // namespace skyloom
