// Fuzz target: the GIF reader with the GIF LZW decoder installed, reading
// the first and the second image.
#include "fuzz/fuzz_reader.h"
#include "image/codecs/gif_lzw_install.h"
#include "image/codecs/gif_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom;
  static const bool installed = [] {
    InstallGifLzwHooks(GlobalLzwHooks());  // the params of each read copy the engine's slots
    return true;
  }();
  (void)installed;
  for (const int index : {0, 1}) {
    fuzzing::RunReader(data, size, [index](TStream& s, TBitmap& r, TIOParamsVals& p, TProgressRec& pr, bool only) {
      p.GIF_ImageIndex = index;
      ReadGifStream(s, r, p, pr, only);
    });
  }
  return 0;
}
