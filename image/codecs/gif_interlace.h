#pragma once
// The row order of interlaced GIF images: every 8th row from row 0, then
// every 8th from row 4, every 4th from row 2, every 2nd from row 1.
#include <vector>

namespace skyloom {

// Picture rows in the order an interlaced image stores them.
inline std::vector<int> InterlacedRowOrder(int height) {
  static constexpr int kStart[] = {0, 4, 2, 1};
  static constexpr int kStep[] = {8, 8, 4, 2};
  std::vector<int> rows;
  rows.reserve(height > 0 ? static_cast<std::size_t>(height) : 0);
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
  return rows;
}

}  // namespace skyloom
