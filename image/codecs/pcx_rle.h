#pragma once
// PCX run-length coding: a byte of 192 or more repeats the next byte
// (byte and 63) times; any other byte stands for itself.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace skyloom {

// Reads scan lines one after another from the encoded data. A run that
// passes the end of one plane continues into the next plane, and one that
// passes the end of the scan line into the next scan line: some encoders
// code the whole picture as one stream.
class TPcxRunReader {
 public:
  TPcxRunReader(const std::uint8_t* data, std::size_t size) : at_(data), end_(data + size) {}

  // Fills count bytes (one scan line, all planes). Answers how many came
  // before the data ended; the rest of `out` is left as it was.
  std::size_t ReadLine(std::uint8_t* out, std::size_t count);

 private:
  const std::uint8_t* at_;
  const std::uint8_t* end_;
  std::size_t pending_ = 0;  // bytes of the last run still owed to the next scan line
  std::uint8_t pendingValue_ = 0;
};

// Appends one plane's bytes run-length encoded: runs of up to 63 equal
// bytes; a run longer than 1, or a lone byte of 192 or more, becomes
// (192 + length, byte).
void EncodePcxPlane(const std::uint8_t* plane, std::size_t count, std::vector<std::uint8_t>& out);

}  // namespace skyloom
