#include "image/codecs/packbits.h"

#include <algorithm>
#include <cstring>

namespace skyloom {

bool TPackBitsReader::Read(std::uint8_t* out, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    if (repeatLeft_ > 0) {
      const std::size_t n = std::min(repeatLeft_, count - done);
      std::memset(out + done, repeatByte_, n);
      done += n;
      repeatLeft_ -= n;
      continue;
    }
    if (literalLeft_ > 0) {
      const std::size_t n = std::min({literalLeft_, count - done, size_ - position_});
      if (n == 0) return false;
      std::memcpy(out + done, data_ + position_, n);
      position_ += n;
      done += n;
      literalLeft_ -= n;
      continue;
    }
    if (position_ >= size_) return false;
    const auto header = static_cast<std::int8_t>(data_[position_++]);
    if (header >= 0) {
      literalLeft_ = static_cast<std::size_t>(header) + 1;
    } else if (header != -128) {  // -128 is a no-op
      if (position_ >= size_) return false;
      repeatByte_ = data_[position_++];
      repeatLeft_ = static_cast<std::size_t>(1 - header);
    }
  }
  return true;
}

namespace {

constexpr std::size_t kMaxRun = 128;
constexpr std::size_t kMinRun = 4;

void FlushLiterals(const std::uint8_t* from, std::size_t n, std::vector<std::uint8_t>& out) {
  while (n > 0) {
    const std::size_t take = std::min(n, kMaxRun);
    out.push_back(static_cast<std::uint8_t>(take - 1));
    out.insert(out.end(), from, from + take);
    from += take;
    n -= take;
  }
}

}  // namespace

void EncodePackBitsRow(const std::uint8_t* row, std::size_t size, std::vector<std::uint8_t>& out) {
  std::size_t literalStart = 0;
  std::size_t i = 0;
  while (i < size) {
    std::size_t run = 1;
    while (i + run < size && run < kMaxRun && row[i + run] == row[i]) ++run;
    if (run < kMinRun) {
      i += run;
      continue;
    }
    FlushLiterals(row + literalStart, i - literalStart, out);
    out.push_back(static_cast<std::uint8_t>(1 - static_cast<int>(run)));
    out.push_back(row[i]);
    i += run;
    literalStart = i;
  }
  FlushLiterals(row + literalStart, size - literalStart, out);
}

}  // namespace skyloom
