#include "image/codecs/gif_lzw_encoder.h"

#include <algorithm>
#include <array>
#include <vector>

#include "image/codecs/gif_interlace.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr int kHashSize = 5003;  // a prime a little above 4096, as the classic compress program uses
constexpr int kHashShift = 4;    // probe start: character << 4 xor prefix stays below 4096
constexpr unsigned kMaxCode = 4095;
constexpr unsigned kMaxCodeSize = 12;
constexpr std::size_t kBlockSize = 254;

// Codes packed least-significant bit first into length-prefixed blocks.
class TBlockPacker {
 public:
  explicit TBlockPacker(std::vector<std::uint8_t>& out) : out_(out) {}

  void Put(unsigned code, unsigned size) {
    bits_ |= static_cast<std::uint64_t>(code) << count_;
    count_ += size;
    while (count_ >= 8) {
      Byte(static_cast<std::uint8_t>(bits_));
      bits_ >>= 8;
      count_ -= 8;
    }
  }

  // The last bits, the last block and the zero-length block.
  void Finish() {
    if (count_ > 0) Byte(static_cast<std::uint8_t>(bits_));
    bits_ = 0;
    count_ = 0;
    if (!block_.empty()) Flush();
    out_.push_back(0);
  }

 private:
  void Byte(std::uint8_t value) {
    block_.push_back(value);
    if (block_.size() == kBlockSize) Flush();
  }
  void Flush() {
    out_.push_back(static_cast<std::uint8_t>(block_.size()));
    out_.insert(out_.end(), block_.begin(), block_.end());
    block_.clear();
  }

  std::vector<std::uint8_t>& out_;
  std::vector<std::uint8_t> block_;
  std::uint64_t bits_ = 0;
  unsigned count_ = 0;
};

// The code stream's state: the (prefix, character) table in open
// addressing and the code size the decoder will be reading.
class TLzwCoder {
 public:
  TLzwCoder(int minCodeSize, TBlockPacker& packer)
      : clear_(1u << minCodeSize), firstSize_(static_cast<unsigned>(minCodeSize) + 1), packer_(packer) {
    Reset();
  }

  void Start(std::uint8_t first) {
    Emit(clear_);
    prefix_ = first;
  }

  void Add(std::uint8_t character) {
    const int key = static_cast<int>(prefix_) + (static_cast<int>(character) << 12);
    int slot = (static_cast<int>(character) << kHashShift) ^ static_cast<int>(prefix_);
    const int step = slot == 0 ? 1 : kHashSize - slot;
    while (keys_[static_cast<std::size_t>(slot)] >= 0) {
      if (keys_[static_cast<std::size_t>(slot)] == key) {
        prefix_ = codes_[static_cast<std::size_t>(slot)];
        return;
      }
      slot -= step;
      if (slot < 0) slot += kHashSize;
    }
    Emit(prefix_);
    if (next_ <= kMaxCode) {
      keys_[static_cast<std::size_t>(slot)] = key;
      codes_[static_cast<std::size_t>(slot)] = static_cast<std::uint16_t>(next_++);
    } else {  // the table is full: start a new one
      Reset();
      Emit(clear_);
      codeSize_ = firstSize_;
    }
    prefix_ = character;
  }

  void Finish() {
    Emit(prefix_);
    Emit(clear_ + 1);
    packer_.Finish();
  }

 private:
  void Reset() {
    keys_.fill(-1);
    next_ = clear_ + 2;
  }

  // Writes at the current size; the decoder, one entry behind, widens its
  // codes once the next free code passes the widest value of this size.
  void Emit(unsigned code) {
    packer_.Put(code, codeSize_);
    if (next_ > MaxCodeOf(codeSize_)) ++codeSize_;
  }
  static unsigned MaxCodeOf(unsigned size) { return size == kMaxCodeSize ? kMaxCode + 1 : (1u << size) - 1; }

  unsigned clear_;
  unsigned firstSize_;
  unsigned codeSize_ = firstSize_;
  unsigned next_ = 0;
  unsigned prefix_ = 0;
  std::array<int, kHashSize> keys_{};
  std::array<std::uint16_t, kHashSize> codes_{};
  TBlockPacker& packer_;
};

}  // namespace

void EncodeGifLzw(TStream& stream, int height, int width, int bitsPerPixel, const std::uint8_t* indices,
                  bool interlaced) {
  const int minCodeSize = std::max(bitsPerPixel, 2);
  std::vector<std::uint8_t> out{static_cast<std::uint8_t>(minCodeSize)};
  TBlockPacker packer(out);
  TLzwCoder coder(minCodeSize, packer);
  const auto rows = static_cast<std::size_t>(std::max(height, 0));
  const auto columns = static_cast<std::size_t>(std::max(width, 0));
  if (rows == 0 || columns == 0) {  // no pixels: a clear and the end code alone
    packer.Put(1u << minCodeSize, static_cast<unsigned>(minCodeSize) + 1);
    packer.Put((1u << minCodeSize) + 1, static_cast<unsigned>(minCodeSize) + 1);
    packer.Finish();
  } else {
    const auto add = [&coder](const std::uint8_t* from, std::size_t count) {
      for (std::size_t i = 0; i < count; ++i) coder.Add(from[i]);
    };
    // Row 0 comes first in either order; its first pixel starts the table.
    coder.Start(indices[0]);
    if (!interlaced) {
      add(indices + 1, rows * columns - 1);
    } else {
      const std::vector<int> order = InterlacedRowOrder(height);
      add(indices + 1, columns - 1);
      for (std::size_t k = 1; k < rows; ++k) add(indices + static_cast<std::size_t>(order[k]) * columns, columns);
    }
    coder.Finish();
  }
  stream.WriteBuffer(out.data(), out.size());
}

}  // namespace skyloom
