// skyloom-bench-pcxtga: the PCX and TGA readers on a photo-sized file.
//   make OUT.pcx|OUT.tga [--size WxH] [--raw]
//       writes the synthetic photo at 24 bits with the engine's writer,
//       run-length encoded unless --raw
//   decode IN [--repeat N] [--reuse]
//       loads the file N times through TImageIO (by its extension) and
//       prints each time and the best; each load gets a fresh raster, or
//       with --reuse the same one (its pages then already mapped)
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
  int width = 6000, height = 4000, repeat = 1;
  bool reuse = false, raw = false;
};

bool Parse(int argc, char** argv, TOptions& o) {
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--size" && hasValue) {
      if (std::sscanf(argv[++i], "%dx%d", &o.width, &o.height) != 2) return false;
    } else if (arg == "--repeat" && hasValue) {
      o.repeat = std::atoi(argv[++i]);
    } else if (arg == "--reuse") {
      o.reuse = true;
    } else if (arg == "--raw") {
      o.raw = true;
    } else {
      o.positional.push_back(arg);
    }
  }
  return o.positional.size() == 1 && o.width > 0 && o.height > 0 && o.repeat > 0;
}

int Make(const TOptions& o) {
  TBitmap photo = SyntheticPhoto(o.width, o.height);
  TImageIO io;
  io.AttachedBitmap(&photo);
  io.Params.PCX_Compression = io.Params.TGA_Compressed = !o.raw;
  io.SaveToFile(o.positional[0]);
  return io.Aborting ? 1 : 0;
}

int Decode(const TOptions& o) {
  return DecodeRepeatedly(o.positional[0], o.repeat, o.reuse,
                          [](TImageIO& io, const std::string& path) { io.LoadFromFile(path); });
}

}  // namespace
}  // namespace skyloom::bench

int main(int argc, char** argv) {
  using namespace skyloom::bench;
  TOptions options;
  const std::string command = argc > 1 ? argv[1] : "";
  if (!Parse(argc, argv, options) || (command != "make" && command != "decode")) {
    std::fprintf(stderr, "usage: skyloom-bench-pcxtga make OUT.pcx|OUT.tga [--size WxH] [--raw]\n"
                         "       skyloom-bench-pcxtga decode IN [--repeat N] [--reuse]\n");
    return 2;
  }
  return command == "make" ? Make(options) : Decode(options);
}
