#include "bench/bench_decode.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "bench/bench_bmp.h"
#include "image/bitmap.h"

namespace skyloom::bench {

bool ParseCodecBenchOptions(int argc, char** argv, const std::set<std::string>& knownFlags,
                            TCodecBenchOptions& o) {
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--size" && hasValue) {
      if (std::sscanf(argv[++i], "%dx%d", &o.width, &o.height) != 2) return false;
    } else if (arg == "--repeat" && hasValue) {
      o.repeat = std::atoi(argv[++i]);
    } else if (arg == "--reuse") {
      o.reuse = true;
    } else if (o.values.count(arg) && hasValue) {
      o.values[arg] = std::atoi(argv[++i]);
    } else if (knownFlags.count(arg)) {
      o.flags.insert(arg);
    } else {
      o.positional.push_back(arg);
    }
  }
  return o.positional.size() == 1 && o.width > 0 && o.height > 0 && o.repeat > 0;
}

int MakeSyntheticFile(const TCodecBenchOptions& o, const std::function<void(TIOParamsVals&)>& configure) {
  TBitmap photo = SyntheticPhoto(o.width, o.height);
  TImageIO io;
  io.AttachedBitmap(&photo);
  configure(io.Params);
  io.SaveToFile(o.positional[0]);
  return io.Aborting ? 1 : 0;
}

int DecodeRepeatedly(const std::string& path, int repeat, bool reuse, const TLoader& load) {
  double best = 1e9;
  TBitmap kept;
  for (int i = 0; i < repeat; ++i) {
    TBitmap fresh;
    TBitmap& raster = reuse ? kept : fresh;
    TImageIO io;
    io.AttachedBitmap(&raster);
    const auto start = std::chrono::steady_clock::now();
    load(io, path);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (io.Aborting) return 1;
    best = std::min(best, seconds);
    std::printf("decode %dx%d: %.4f s\n", raster.Width(), raster.Height(), seconds);
  }
  std::printf("best: %.4f s\n", best);
  return 0;
}

int DecodeByExtension(const TCodecBenchOptions& o) {
  return DecodeRepeatedly(o.positional[0], o.repeat, o.reuse,
                          [](TImageIO& io, const std::string& path) { io.LoadFromFile(path); });
}

}  // namespace skyloom::bench
