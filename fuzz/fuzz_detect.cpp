// Fuzz target: content detection; the position must come back unchanged.
#include <cstdlib>
#include <vector>

#include "image/format_detect.h"
#include "toolkit/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom;
  TMemoryStream stream(std::vector<std::uint8_t>(data, data + size));
  const std::int64_t start = size > 3 ? 3 : 0;
  stream.SetPosition(start);
  FindStreamFormat(stream);
  if (stream.Position() != start) std::abort();
  return 0;
}
