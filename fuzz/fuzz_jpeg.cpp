// Fuzz target: the JPEG reader (full read, parameters only, and a read
// scaled down by 8).
#include "fuzz/fuzz_reader.h"
#include "image/codecs/jpeg_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom;
  const auto full = [](TStream& s, TBitmap& r, TIOParamsVals& p, TProgressRec& pr, bool only) {
    ReadJpegStream(s, r, p, pr, only);
  };
  const bool fullSize = fuzzing::RunReader(data, size, full);
  // A scaled read still holds a progressive file's coefficients at full
  // size: a picture too large to read in full is not read scaled either.
  if (!fullSize) return 0;
  fuzzing::RunReader(data, size, [](TStream& s, TBitmap& r, TIOParamsVals& p, TProgressRec& pr, bool only) {
    p.JPEG_Scale = 4;
    ReadJpegStream(s, r, p, pr, only);
  });
  return 0;
}
