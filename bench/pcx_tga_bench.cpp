// skyloom-bench-pcxtga: the PCX and TGA readers on a photo-sized file.
//   make OUT.pcx|OUT.tga [--size WxH] [--raw]
//       writes the synthetic photo at 24 bits with the engine's writer,
//       run-length encoded unless --raw
//   decode IN [--repeat N] [--reuse]
//       loads the file N times through TImageIO (by its extension) and
//       prints each time and the best; each load gets a fresh raster, or
//       with --reuse the same one (its pages then already mapped)
#include <cstdio>
#include <string>

#include "bench/bench_bmp.h"
#include "bench/bench_decode.h"
#include "image/image_io.h"

namespace skyloom::bench {
namespace {

int Make(const TCodecBenchOptions& o) {
  return MakeSyntheticFile(o, [&o](TIOParamsVals& params) {
    params.PCX_Compression = params.TGA_Compressed = o.flags.count("--raw") == 0;
  });
}

}  // namespace
}  // namespace skyloom::bench

int main(int argc, char** argv) {
  using namespace skyloom::bench;
  TCodecBenchOptions options;
  options.width = 6000, options.height = 4000;
  const std::string command = argc > 1 ? argv[1] : "";
  if (!ParseCodecBenchOptions(argc, argv, {"--raw"}, options) || (command != "make" && command != "decode")) {
    std::fprintf(stderr, "usage: skyloom-bench-pcxtga make OUT.pcx|OUT.tga [--size WxH] [--raw]\n"
                         "       skyloom-bench-pcxtga decode IN [--repeat N] [--reuse]\n");
    return 2;
  }
  return command == "make" ? Make(options) : DecodeByExtension(options);
}
