#include "image/codecs/ccitt_changes.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace skyloom::fax {
namespace {

// The first pixel at or after x whose colour is not `same` (0x00 white,
// 0xFF black), or the width when there is none.
int NextChange(const std::uint8_t* row, int x, int width, std::uint8_t same) {
  const std::size_t last = static_cast<std::size_t>(width - 1) >> 3;
  std::size_t at = static_cast<std::size_t>(x) >> 3;
  unsigned bits = static_cast<std::uint8_t>(row[at] ^ same) & (0xFFu >> (x & 7));
  while (bits == 0) {
    if (at == last) return width;
    ++at;
    // Long runs: skip eight bytes of the same colour at a time.
    const std::uint64_t fill = same ? ~0ull : 0ull;
    for (std::uint64_t word; at + 8 <= last; at += 8) {
      std::memcpy(&word, row + at, 8);
      if (word != fill) break;
    }
    bits = static_cast<std::uint8_t>(row[at] ^ same);
  }
  const int found = static_cast<int>(at * 8) + std::countl_zero(static_cast<std::uint8_t>(bits));
  return std::min(found, width);
}

// Sets the bits [from, to) of a packed row.
void SetSpan(std::uint8_t* row, int from, int to) {
  if (from >= to) return;
  const std::size_t first = static_cast<std::size_t>(from) >> 3;
  const std::size_t last = static_cast<std::size_t>(to - 1) >> 3;
  const auto head = static_cast<std::uint8_t>(0xFFu >> (from & 7));
  const auto tail = static_cast<std::uint8_t>(0xFFu << (7 - ((to - 1) & 7)));
  if (first == last) {
    row[first] |= head & tail;
    return;
  }
  row[first] |= head;
  std::memset(row + first + 1, 0xFF, last - first - 1);
  row[last] |= tail;
}

}  // namespace

void FindChanges(const std::uint8_t* row, int width, TChanges& changes) {
  changes.clear();
  std::uint8_t colour = 0x00;
  for (int x = NextChange(row, 0, width, colour); x < width; x = NextChange(row, x, width, colour)) {
    changes.push_back(x);
    colour = static_cast<std::uint8_t>(~colour);
  }
  changes.insert(changes.end(), kSentinels, width);
}

void PaintChanges(const TChanges& changes, int width, std::uint8_t* row) {
  std::memset(row, 0, (static_cast<std::size_t>(width) + 7) / 8);
  for (std::size_t i = 0; i < changes.size(); i += 2) {
    const int from = std::min(changes[i], width);
    const int to = i + 1 < changes.size() ? std::min(changes[i + 1], width) : width;
    SetSpan(row, from, to);
  }
}

}  // namespace skyloom::fax
