// Fuzz target: the icon reader (first and second directory entry).
#include "fuzz/fuzz_reader.h"
#include "image/codecs/ico_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom;
  for (const int index : {0, 1}) {
    fuzzing::RunReader(data, size, [index](TStream& s, TBitmap& r, TIOParamsVals& p, TProgressRec& pr, bool only) {
      p.ICO_ImageIndex = index;
      ReadIcoStream(s, r, p, pr, only);
    });
  }
  return 0;
}
