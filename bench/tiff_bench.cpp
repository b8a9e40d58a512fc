// skyloom-bench-tiff: the TIFF reader on a photo-sized file.
//   make OUT.tif [--size WxH]
//       writes the synthetic photo as an uncompressed 24-bit TIFF with the
//       engine's writer (the script has libtiff compress it)
//   decode IN [--repeat N] [--reuse]
//       loads the file N times through TImageIO with the TIFF LZW decoder
//       installed, and prints each time and the best
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_bmp.h"
#include "bench/bench_decode.h"
#include "image/bitmap.h"
#include "image/codecs/tiff_lzw.h"
#include "image/image_io.h"

namespace skyloom::bench {
namespace {

struct TOptions {
  std::vector<std::string> positional;
  int width = 4000, height = 3000, repeat = 1;
  bool reuse = false;
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
  io.Params.TIFF_Compression = 0;
  io.SaveToFile(o.positional[0]);
  return io.Aborting ? 1 : 0;
}

int Decode(const TOptions& o) {
  TLzwHooks hooks;
  InstallTiffLzwHooks(hooks);
  return DecodeRepeatedly(o.positional[0], o.repeat, o.reuse, [&hooks](TImageIO& io, const std::string& path) {
    io.Params.TIFF_LZWDecompFunc = hooks.TiffDecoder;
    io.LoadFromFile(path);
  });
}

}  // namespace
}  // namespace skyloom::bench

int main(int argc, char** argv) {
  using namespace skyloom::bench;
  TOptions options;
  const std::string command = argc > 1 ? argv[1] : "";
  if (!Parse(argc, argv, options) || (command != "make" && command != "decode")) {
    std::fprintf(stderr, "usage: skyloom-bench-tiff make OUT.tif [--size WxH]\n"
                         "       skyloom-bench-tiff decode IN [--repeat N] [--reuse]\n");
    return 2;
  }
  return command == "make" ? Make(options) : Decode(options);
}
