// Fuzz target: the TIFF reader (header, directory chain, tag values,
// strips in every compression, the photometric conversions), with the LZW
// decoder installed. The last byte chooses the page index 0..3.
#include "fuzz/fuzz_reader.h"
#include "image/codecs/tiff_lzw.h"
#include "image/codecs/tiff_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace skyloom;
  const int page = size > 0 ? data[size - 1] % 4 : 0;
  fuzzing::RunReader(data, size, [page](TStream& s, TBitmap& r, TIOParamsVals& p, TProgressRec& pr, bool only) {
    p.TIFF_LZWDecompFunc = DecodeTiffLzwRow;
    p.TIFF_ImageIndex = page;
    ReadTiffStream(s, r, p, pr, only);
  });
  return 0;
}
