// Fuzz target: the TGA reader (header, colour map, packets, footer and
// extension area).
#include "fuzz/fuzz_reader.h"
#include "image/codecs/tga_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom;
  fuzzing::RunReader(data, size, [](TStream& s, TBitmap& r, TIOParamsVals& p, TProgressRec& pr, bool only) {
    ReadTgaStream(s, r, p, pr, only);
  });
  return 0;
}
