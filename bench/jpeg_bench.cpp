// skyloom-bench-jpeg: the JPEG reader on a photo-sized file.
//   make-jpeg OUT [--size WxH] [--quality Q]
//       writes the synthetic photo as a JPEG with the engine's writer
//   decode IN [--repeat N] [--reuse]
//       loads the file N times through TImageIO (full size, as the
//       wallpaper path does) and prints each time and the best. Each load
//       gets a fresh raster, or with --reuse the same one, as the preview
//       view's raster is reused from picture to picture (its pages are then
//       already mapped)
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_bmp.h"
#include "bench/bench_decode.h"
#include "image/bitmap.h"
#include "image/image_io.h"

namespace skyloom::bench {
namespace {

struct TOptions {
  std::vector<std::string> positional;
  int width = 6000, height = 4000, quality = 90, repeat = 1;
  bool reuse = false;
};

bool Parse(int argc, char** argv, TOptions& o) {
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--size" && hasValue) {
      if (std::sscanf(argv[++i], "%dx%d", &o.width, &o.height) != 2) return false;
    } else if (arg == "--quality" && hasValue) {
      o.quality = std::atoi(argv[++i]);
    } else if (arg == "--reuse") {
      o.reuse = true;
    } else if (arg == "--repeat" && hasValue) {
      o.repeat = std::atoi(argv[++i]);
    } else {
      o.positional.push_back(arg);
    }
  }
  return o.positional.size() == 1 && o.width > 0 && o.height > 0 && o.repeat > 0;
}

int MakeJpeg(const TOptions& o) {
  TBitmap photo = SyntheticPhoto(o.width, o.height);
  TImageIO io;
  io.AttachedBitmap(&photo);
  io.Params.JPEG_Quality = o.quality;
  io.SaveToFileJPEG(o.positional[0]);
  return io.Aborting ? 1 : 0;
}

int Decode(const TOptions& o) {
  return DecodeRepeatedly(o.positional[0], o.repeat, o.reuse,
                          [](TImageIO& io, const std::string& path) { io.LoadFromFileJPEG(path); });
}

}  // namespace
}  // namespace skyloom::bench

int main(int argc, char** argv) {
  using namespace skyloom::bench;
  TOptions options;
  const std::string command = argc > 1 ? argv[1] : "";
  if (!Parse(argc, argv, options) || (command != "make-jpeg" && command != "decode")) {
    std::fprintf(stderr, "usage: skyloom-bench-jpeg make-jpeg OUT [--size WxH] [--quality Q]\n"
                         "       skyloom-bench-jpeg decode IN [--repeat N] [--reuse]\n");
    return 2;
  }
  return command == "make-jpeg" ? MakeJpeg(options) : Decode(options);
}
