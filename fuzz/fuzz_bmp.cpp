// Fuzz target: the bitmap reader.
#include "fuzz/fuzz_reader.h"
#include "image/codecs/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom;
  fuzzing::RunReader(data, size, [size](TStream& s, TBitmap& r, TIOParamsVals& p, TProgressRec& pr, bool only) {
    ReadBmpStream(s, r, p, static_cast<std::int64_t>(size), only, pr);
  });
  fuzzing::RunReader(data, size, [](TStream& s, TBitmap& r, TIOParamsVals& p, TProgressRec& pr, bool only) {
    ReadBmpStream(s, r, p, 0, only, pr);  // the file header's size as the hint
  });
  return 0;
}
