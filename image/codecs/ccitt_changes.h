#pragma once
// A bilevel row as its changing elements: the positions where a pixel's
// colour differs from the pixel to its left (an imaginary white pixel stands
// left of the row), in order. Even entries start black runs, odd entries
// white ones; a decoded row keeps a run of length 0 as two equal entries.
// Every list ends with kSentinels copies of the width, so searches need no
// bounds checks.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace skyloom::fax {

using TChanges = std::vector<int>;
constexpr int kSentinels = 3;

// The changes of a packed row (set bits black), found a byte at a time.
void FindChanges(const std::uint8_t* row, int width, TChanges& changes);

// Writes the packed row of a change list: (width + 7) / 8 bytes, the bits
// past the width clear.
void PaintChanges(const TChanges& changes, int width, std::uint8_t* row);

// Finds b1 and b2 on a reference line for the coding position a0 and its
// colour (0 white, 1 black) as two-dimensional coding defines them: b1 is
// the first change right of a0 to the opposite colour, b2 the one after it.
// a0 never moves left along a row, so neither does the search.
class TReferenceCursor {
 public:
  explicit TReferenceCursor(const TChanges& reference) : ref_(reference.data()) {}
  void Find(int a0, int colour, int& b1, int& b2) {
    while (ref_[at_] <= a0) ++at_;
    // Entry parity is its colour: even entries start black.
    const std::size_t j = at_ + ((at_ & 1) != static_cast<std::size_t>(colour) ? 1 : 0);
    b1 = ref_[j];
    b2 = ref_[j + 1];
  }

 private:
  const int* ref_;
  std::size_t at_ = 0;
};

}  // namespace skyloom::fax
