#pragma once
// Bit streams of fax coding, most significant bit of each byte first.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/codecs/ccitt_tables.h"

namespace skyloom::fax {

// Reads codes from a byte buffer. Past the end it reads zero bits, which
// make no code but EOL's prefix; Overrun() tells whether a code used them.
class TBitReader {
 public:
  TBitReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  // The next `count` (≤ 25) bits, right-aligned, without taking them.
  std::uint32_t Peek(int count) {
    if (held_ < count) Refill();
    return static_cast<std::uint32_t>(window_ >> (64 - count));
  }
  void Skip(int count) {
    window_ <<= count;
    held_ -= count;
  }
  std::uint32_t Take(int count) {
    const std::uint32_t bits = Peek(count);
    Skip(count);
    return bits;
  }
  TCodeEntry Next(const TCodeTable& table) {
    const TCodeEntry entry = table.Lookup(Peek(kLookupBits));
    Skip(entry.length);
    return entry;
  }
  void SkipToByte() { Skip(held_ % 8); }
  bool Overrun() const { return Consumed() > static_cast<std::uint64_t>(size_) * 8; }
  bool AtEnd() const { return Consumed() >= static_cast<std::uint64_t>(size_) * 8; }

 private:
  std::uint64_t Consumed() const { return static_cast<std::uint64_t>(next_) * 8 - static_cast<std::uint64_t>(held_); }
  void Refill() {
    while (held_ <= 56) {
      const std::uint64_t byte = next_ < size_ ? data_[next_] : 0;
      window_ |= byte << (56 - held_);
      held_ += 8;
      ++next_;
    }
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t next_ = 0;      // next byte to load into the window
  std::uint64_t window_ = 0;  // upcoming bits, left-aligned
  int held_ = 0;              // valid bits in the window
};

// Appends codes to a byte vector.
class TBitWriter {
 public:
  explicit TBitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  void Put(TFaxCode code) {
    window_ = window_ << code.length | code.bits;
    held_ += code.length;
    while (held_ >= 8) {
      held_ -= 8;
      out_.push_back(static_cast<std::uint8_t>(window_ >> held_));
    }
  }
  void PutBit(int bit) { Put({static_cast<std::uint16_t>(bit), 1}); }
  // Zero bits up to the next byte.
  void PadToByte() {
    if (held_ > 0) Put({0, static_cast<std::uint8_t>(8 - held_)});
  }
  // Zero bits so that a code of `length` bits written next ends on a byte.
  void PadBefore(int length) {
    const int zeros = ((8 - (held_ + length) % 8) % 8);
    if (zeros > 0) Put({0, static_cast<std::uint8_t>(zeros)});
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint32_t window_ = 0;
  int held_ = 0;  // bits in the window not yet written, at most 7 between calls
};

}  // namespace skyloom::fax
