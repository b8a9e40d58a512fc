// Fuzz target: the GIF reader with the engine's GIF LZW decoder (the
// params of each read copy the slots filled at start-up), reading the
// first and the second image.
#include "fuzz/fuzz_reader.h"
#include "image/codecs/gif_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom;
  for (const int index : {0, 1}) {
    fuzzing::RunReader(data, size, [index](TStream& s, TBitmap& r, TIOParamsVals& p, TProgressRec& pr, bool only) {
      p.GIF_ImageIndex = index;
      ReadGifStream(s, r, p, pr, only);
    });
  }
  return 0;
}
