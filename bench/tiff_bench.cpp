// skyloom-bench-tiff: the TIFF reader on a photo-sized file.
//   make OUT.tif [--size WxH]
//       writes the synthetic photo as an uncompressed 24-bit TIFF with the
//       engine's writer (the script has libtiff compress it)
//   decode IN [--repeat N] [--reuse]
//       loads the file N times through TImageIO (the engine starts with its
//       LZW decoder installed), and prints each time and the best
#include <cstdio>
#include <string>

#include "bench/bench_bmp.h"
#include "bench/bench_decode.h"
#include "image/image_io.h"

namespace skyloom::bench {
namespace {

int Make(const TCodecBenchOptions& o) {
  return MakeSyntheticFile(o, [](TIOParamsVals& params) { params.TIFF_Compression = 0; });
}

}  // namespace
}  // namespace skyloom::bench

int main(int argc, char** argv) {
  using namespace skyloom::bench;
  TCodecBenchOptions options;
  options.width = 4000, options.height = 3000;
  const std::string command = argc > 1 ? argv[1] : "";
  if (!ParseCodecBenchOptions(argc, argv, {}, options) || (command != "make" && command != "decode")) {
    std::fprintf(stderr, "usage: skyloom-bench-tiff make OUT.tif [--size WxH]\n"
                         "       skyloom-bench-tiff decode IN [--repeat N] [--reuse]\n");
    return 2;
  }
  return command == "make" ? Make(options) : DecodeByExtension(options);
}
