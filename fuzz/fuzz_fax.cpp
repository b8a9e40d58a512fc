// Fuzz target: the fax decoders. The first byte chooses the scheme (modulo
// 3) and the T.4 options (bits 2..4), the next two the width (1..4096), the
// fourth the number of rows (1..64); the rest is the strip. Rows that
// decode must survive encoding and decoding again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/codecs/ccitt_fax.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom;
  if (size < 4) return 0;
  TFaxParams params;
  params.scheme = static_cast<TFaxScheme>(data[0] % 3);
  params.t4Options = (data[0] >> 2) & 7u;
  params.width = 1 + (data[1] << 8 | data[2]) % 4096;
  const int rows = 1 + data[3] % 64;
  const std::size_t stride = (static_cast<std::size_t>(params.width) + 7) / 8;
  std::vector<std::uint8_t> decoded(stride * static_cast<std::size_t>(rows));
  const int done = DecodeFaxRows(params, data + 4, size - 4, rows, decoded.data(), stride);
  if (done < 0 || done > rows) std::abort();
  if (done == 0) return 0;
  decoded.resize(stride * static_cast<std::size_t>(done));
  const std::vector<std::uint8_t> again = EncodeFaxRows(params, decoded.data(), stride, done);
  std::vector<std::uint8_t> back(decoded.size());
  if (DecodeFaxRows(params, again.data(), again.size(), done, back.data(), stride) != done || back != decoded)
    std::abort();
  return 0;
}
