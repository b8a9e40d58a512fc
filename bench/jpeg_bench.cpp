// skyloom-bench-jpeg: the JPEG reader on a photo-sized file.
//   make-jpeg OUT.jpg [--size WxH] [--quality Q]
//       writes the synthetic photo as a JPEG with the engine's writer
//   decode IN [--repeat N] [--reuse]
//       loads the file N times through TImageIO (full size, as the
//       wallpaper path does) and prints each time and the best. Each load
//       gets a fresh raster, or with --reuse the same one, as the preview
//       view's raster is reused from picture to picture (its pages are then
//       already mapped)
#include <cstdio>
#include <string>

#include "bench/bench_decode.h"
#include "image/image_io.h"

namespace skyloom::bench {
namespace {

int MakeJpeg(const TCodecBenchOptions& o) {
  return MakeSyntheticFile(o, [&o](TIOParamsVals& params) { params.JPEG_Quality = o.values.at("--quality"); });
}

int Decode(const TCodecBenchOptions& o) {
  return DecodeRepeatedly(o.positional[0], o.repeat, o.reuse,
                          [](TImageIO& io, const std::string& path) { io.LoadFromFileJPEG(path); });
}

}  // namespace
}  // namespace skyloom::bench

int main(int argc, char** argv) {
  using namespace skyloom::bench;
  TCodecBenchOptions options;
  options.width = 6000, options.height = 4000;
  options.values = {{"--quality", 90}};
  const std::string command = argc > 1 ? argv[1] : "";
  if (!ParseCodecBenchOptions(argc, argv, {}, options) || (command != "make-jpeg" && command != "decode")) {
    std::fprintf(stderr, "usage: skyloom-bench-jpeg make-jpeg OUT [--size WxH] [--quality Q]\n"
                         "       skyloom-bench-jpeg decode IN [--repeat N] [--reuse]\n");
    return 2;
  }
  return command == "make-jpeg" ? MakeJpeg(options) : Decode(options);
}
