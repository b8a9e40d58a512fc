#pragma once
// PackBits run-length coding of byte rows (TIFF compression 32773).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace skyloom {

// Unpacks from a strip's data; a run may reach into the next row, so the
// reader keeps its place (and a run's unused rest) between rows.
class TPackBitsReader {
 public:
  TPackBitsReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  // Fills out with count bytes; answers false when the data end first.
  bool Read(std::uint8_t* out, std::size_t count);

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
  std::size_t repeatLeft_ = 0;  // of a repeat run that did not fit
  std::uint8_t repeatByte_ = 0;
  std::size_t literalLeft_ = 0;  // of a literal stretch that did not fit
};

// Appends one row: runs of 4 to 128 equal bytes as (1 - n, byte), the other
// bytes in literal stretches of at most 128 as (n - 1, bytes).
void EncodePackBitsRow(const std::uint8_t* row, std::size_t size, std::vector<std::uint8_t>& out);

}  // namespace skyloom
