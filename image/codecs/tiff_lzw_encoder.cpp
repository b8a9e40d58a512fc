#include <array>
#include <memory>
#include <vector>

#include "image/codecs/tiff_lzw.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

using tiff::kClearCode;
using tiff::kEndCode;
using tiff::kFirstFree;

// The table is cleared once it holds codes up to 4094, so that the decoder,
// one entry behind, never needs more than 12 bits.
constexpr int kLastCode = 4094;
constexpr std::size_t kSlots = 1 << 14;  // open addressing, at most a quarter full
constexpr std::size_t kFlushAt = 1 << 16;

struct TLzwEncodeState final : TTiffLzwState {
  // Slot: key (prefix << 8 | byte) + 1, 0 = empty; and the code of that string.
  std::array<std::uint32_t, kSlots> keys{};
  std::array<std::uint16_t, kSlots> codes{};
  int next = kFirstFree;
  int width = 9;
  int prefix = -1;  // code of the string matched so far
  std::uint64_t bits = 0;
  int count = 0;
  std::vector<std::uint8_t> out;

  void Put(int code) {
    bits = (bits << width) | static_cast<std::uint64_t>(code);
    count += width;
    while (count >= 8) {
      count -= 8;
      out.push_back(static_cast<std::uint8_t>(bits >> count));
    }
  }

  void Reset() {
    keys.fill(0);
    next = kFirstFree;
    width = 9;
  }

  static std::size_t SlotOf(std::uint32_t key) { return (key * 2654435761u) >> (32 - 14); }

  void Encode(std::uint8_t c) {
    if (prefix < 0) {
      prefix = c;
      return;
    }
    const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8 | c) + 1;
    std::size_t slot = SlotOf(key);
    while (keys[slot] != 0) {
      if (keys[slot] == key) {
        prefix = codes[slot];
        return;
      }
      slot = (slot + 1) & (kSlots - 1);
    }
    Put(prefix);
    keys[slot] = key;
    codes[slot] = static_cast<std::uint16_t>(next++);
    if (next == (1 << width) && width < 12) ++width;
    if (next > kLastCode) {
      Put(kClearCode);
      Reset();
    }
    prefix = c;
  }

  void Finish() {
    if (prefix >= 0) {
      Put(prefix);
      // The decoder adds an entry for this code before it reads the next.
      if (++next == (1 << width) && width < 12) ++width;
    }
    Put(kEndCode);
    if (count > 0) out.push_back(static_cast<std::uint8_t>(bits << (8 - count)));
    count = 0;
  }
};

void Drain(TLzwEncodeState& s, TStream& stream) {
  if (!s.out.empty()) stream.WriteBuffer(s.out.data(), s.out.size());
  s.out.clear();
}

}  // namespace

void EncodeTiffLzwRow(const std::uint8_t* row, int length, TStream& stream, TTiffLzwState*& state) {
  if (!state) {
    auto fresh = std::make_unique<TLzwEncodeState>();
    fresh->out.reserve(kFlushAt + 16);
    fresh->Put(kClearCode);
    state = fresh.release();
  }
  auto& s = static_cast<TLzwEncodeState&>(*state);
  if (!row) {
    std::unique_ptr<TTiffLzwState> release(state);
    state = nullptr;
    s.Finish();
    Drain(s, stream);
    return;
  }
  for (int i = 0; i < length; ++i) {
    s.Encode(row[i]);
    if (s.out.size() >= kFlushAt) Drain(s, stream);
  }
}

}  // namespace skyloom
