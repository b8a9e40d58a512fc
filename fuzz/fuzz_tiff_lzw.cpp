// Fuzz target: the TIFF LZW decoder alone. The first two bytes give the
// row length (1..65536, little-endian, plus one); the rest is one strip.
// Rows are decoded until one fails; the rows decoded must survive a second
// encode and decode unchanged.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/codecs/tiff_lzw.h"
#include "toolkit/stream.h"

namespace {

using skyloom::TTiffLzwState;
constexpr std::size_t kMaxOutput = 1 << 18;  // bounds a forged strip of long strings

std::vector<std::vector<std::uint8_t>> DecodeAll(const std::vector<std::uint8_t>& strip, int rowLength) {
  std::vector<std::vector<std::uint8_t>> rows;
  std::vector<std::uint8_t> row;
  TTiffLzwState* state = nullptr;
  std::size_t total = 0;
  while (total < kMaxOutput && skyloom::DecodeTiffLzwRow(strip.data(), strip.size(), rowLength, row, state)) {
    if (row.size() != static_cast<std::size_t>(rowLength)) __builtin_trap();
    rows.push_back(row);
    total += row.size();
  }
  skyloom::DecodeTiffLzwRow(nullptr, 0, 0, row, state);
  if (state) __builtin_trap();  // released
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom;
  if (size < 3) return 0;
  const int rowLength = (data[0] | data[1] << 8) + 1;
  const std::vector<std::uint8_t> strip(data + 2, data + size);
  const auto rows = DecodeAll(strip, rowLength);
  if (rows.empty()) return 0;
  TMemoryStream coded;
  TTiffLzwState* state = nullptr;
  for (const auto& row : rows) EncodeTiffLzwRow(row.data(), rowLength, coded, state);
  EncodeTiffLzwRow(nullptr, 0, coded, state);
  if (DecodeAll(coded.Bytes(), rowLength) != rows) __builtin_trap();
  return 0;
}
