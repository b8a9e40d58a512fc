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
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_bmp.h"
#include "bench/bench_decode.h"
#include "image/bitmap.h"
#include "image/codecs/gif_lzw_install.h"
#include "image/image_io.h"
#include "image/lzw_hooks.h"

namespace skyloom::bench {
namespace {

struct TOptions {
  std::vector<std::string> positional;
  int width = 4000, height = 3000, repeat = 1;
  bool reuse = false, interlaced = false;
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
    } else if (arg == "--interlaced") {
      o.interlaced = true;
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
  io.Params.BitsPerSample = 8;
  io.Params.GIF_Interlaced = o.interlaced;
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
  using namespace skyloom;
  using namespace skyloom::bench;
  InstallGifLzwHooks(GlobalLzwHooks());  // as the thumbnail browser does in the application
  TOptions options;
  const std::string command = argc > 1 ? argv[1] : "";
  if (!Parse(argc, argv, options) || (command != "make" && command != "make-bmp" && command != "decode")) {
    std::fprintf(stderr, "usage: skyloom-bench-gif make-bmp OUT.bmp [--size WxH]\n"
                         "       skyloom-bench-gif make OUT.gif [--size WxH] [--interlaced]\n"
                         "       skyloom-bench-gif decode IN.gif [--repeat N] [--reuse]\n");
    return 2;
  }
  if (command == "make-bmp")
    return SaveBmp24(options.positional[0], SyntheticPhoto(options.width, options.height)) ? 0 : 1;
  return command == "make" ? Make(options) : Decode(options);
}
