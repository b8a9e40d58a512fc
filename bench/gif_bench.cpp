// skyloom-bench-gif: the GIF reader on a photo-sized 256-colour file.
//   make-bmp OUT.bmp [--size WxH]
//       writes the synthetic photo as a 24-bit BMP (the script has
//       ImageMagick turn it into the GIF, so the file is no product of ours)
//   make OUT.gif [--size WxH] [--interlaced]
//       writes the synthetic photo as a 256-colour GIF with the engine's writer
//   decode IN.gif [--repeat N] [--reuse]
//       loads the file N times through TImageIO and prints each time and the
//       best; each load gets a fresh raster, or with --reuse the same one
#include <cstdio>
#include <string>

#include "bench/bench_bmp.h"
#include "bench/bench_decode.h"
#include "image/image_io.h"

namespace skyloom::bench {
namespace {

int Make(const TCodecBenchOptions& o) {
  return MakeSyntheticFile(o, [&o](TIOParamsVals& params) {
    params.BitsPerSample = 8;
    params.GIF_Interlaced = o.flags.count("--interlaced") > 0;
  });
}

}  // namespace
}  // namespace skyloom::bench

int main(int argc, char** argv) {
  using namespace skyloom::bench;
  TCodecBenchOptions options;
  options.width = 4000, options.height = 3000;
  const std::string command = argc > 1 ? argv[1] : "";
  const bool known = command == "make" || command == "make-bmp" || command == "decode";
  if (!ParseCodecBenchOptions(argc, argv, {"--interlaced"}, options) || !known) {
    std::fprintf(stderr, "usage: skyloom-bench-gif make-bmp OUT.bmp [--size WxH]\n"
                         "       skyloom-bench-gif make OUT.gif [--size WxH] [--interlaced]\n"
                         "       skyloom-bench-gif decode IN.gif [--repeat N] [--reuse]\n");
    return 2;
  }
  if (command == "make-bmp")
    return SaveBmp24(options.positional[0], SyntheticPhoto(options.width, options.height)) ? 0 : 1;
  return command == "make" ? Make(options) : DecodeByExtension(options);
}
