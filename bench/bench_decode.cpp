#include "bench/bench_decode.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "image/bitmap.h"

namespace skyloom::bench {

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

}  // namespace skyloom::bench
