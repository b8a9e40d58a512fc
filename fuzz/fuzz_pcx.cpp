// Fuzz target: the PCX reader.
#include "fuzz/fuzz_reader.h"
#include "image/codecs/pcx_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom;
  fuzzing::RunReader(data, size, [size](TStream& s, TBitmap& r, TIOParamsVals& p, TProgressRec& pr, bool only) {
    ReadPcxStream(s, r, p, pr, only, static_cast<std::int64_t>(size));
  });
  return 0;
}
