// Fuzz target: the PNG reader (full read and parameters only).
#include "fuzz/fuzz_reader.h"
#include "image/codecs/png_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom;
  fuzzing::RunReader(data, size, [](TStream& s, TBitmap& r, TIOParamsVals& p, TProgressRec& pr, bool only) {
    ReadPngStream(s, r, p, pr, only);
  });
  return 0;
}
