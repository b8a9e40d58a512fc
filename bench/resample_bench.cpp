// skyloom-bench-resample: timings of the resampler.
//   filters [--size WxH] [--to WxH] [--repeat N] [--isa sse2|avx2] [--threads N]
//       every filter on a synthetic raster (default 6000x4000 -> 2560x1707)
//   make-bmp OUT [--size WxH]
//       writes the synthetic raster as a 24-bit BMP for the peer comparison
//   wallpaper IN OUT [--width N] [--filter NAME] [--threads N]
//       the wallpaper job: load a 24-bit BMP, fit to the width keeping the
//       aspect (half to even), resample, save a 24-bit BMP
// --threads pins the resampler's thread count (default: the machine's).
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_bmp.h"
#include "image/image_proc.h"
#include "image/resample.h"

namespace skyloom::bench {
namespace {

constexpr const char* kFilterNames[] = {"None", "Triangle", "Hermite", "Bell", "BSpline", "Lanczos3", "Mitchell"};

using TClock = std::chrono::steady_clock;

double Seconds(TClock::time_point since) { return std::chrono::duration<double>(TClock::now() - since).count(); }

struct TOptions {
  std::vector<std::string> positional;
  int width = 6000, height = 4000, toWidth = 2560, toHeight = 1707, repeat = 3, threads = 0;
  std::string isa = "best", filter = "Lanczos3";
};

bool ParseSize(const std::string& text, int& w, int& h) { return std::sscanf(text.c_str(), "%dx%d", &w, &h) == 2; }

bool Parse(int argc, char** argv, TOptions& o) {
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--size" && hasValue) {
      if (!ParseSize(argv[++i], o.width, o.height)) return false;
    } else if (arg == "--to" && hasValue) {
      if (!ParseSize(argv[++i], o.toWidth, o.toHeight)) return false;
    } else if (arg == "--width" && hasValue) {
      o.toWidth = std::atoi(argv[++i]);
    } else if (arg == "--repeat" && hasValue) {
      o.repeat = std::atoi(argv[++i]);
    } else if (arg == "--threads" && hasValue) {
      o.threads = std::atoi(argv[++i]);
    } else if (arg == "--isa" && hasValue) {
      o.isa = argv[++i];
    } else if (arg == "--filter" && hasValue) {
      o.filter = argv[++i];
    } else {
      o.positional.push_back(arg);
    }
  }
  return true;
}

int FilterByName(const std::string& name) {
  for (int f = 0; f < 7; ++f)
    if (name == kFilterNames[f]) return f;
  return -1;
}

int RunFilters(const TOptions& o) {
  const TBitmap source = SyntheticPhoto(o.width, o.height);
  const TResampleIsa isa = o.isa == "sse2"   ? TResampleIsa::isaSse2
                           : o.isa == "avx2" ? TResampleIsa::isaAvx2
                                             : BestResampleIsa();
  std::printf("%dx%d -> %dx%d, %s, %s threads, best of %d\n", o.width, o.height, o.toWidth, o.toHeight,
              isa == TResampleIsa::isaAvx2 && IsaAvailable(isa) ? "AVX2" : "SSE2",
              o.threads > 0 ? std::to_string(o.threads).c_str() : "automatic", o.repeat);
  for (int f = 0; f < 7; ++f) {
    double best = 1e9;
    for (int r = 0; r < o.repeat; ++r) {
      TBitmap target(o.toWidth, o.toHeight, TPixelFormat::pf24bit);
      const auto start = TClock::now();
      if (f == rfNone) {
        PlainStretch(source, target);
      } else {
        FilteredResample(source, target, static_cast<TResampleFilter>(f), TProgressRec{}, isa, o.threads);
      }
      best = std::min(best, Seconds(start));
    }
    std::printf("  %-9s %7.3f s\n", kFilterNames[f], best);
  }
  return 0;
}

int RunMakeBmp(const TOptions& o) {
  if (o.positional.size() != 1) return 2;
  return SaveBmp24(o.positional[0], SyntheticPhoto(o.width, o.height)) ? 0 : 3;
}

// Landscape and square pictures fit the width, portrait ones would fit a
// height; the benchmark job is landscape.
int FittedHeight(const TBitmap& bitmap, int width) {
  return static_cast<int>(std::nearbyint(static_cast<double>(width) * bitmap.Height() / bitmap.Width()));
}

int RunWallpaper(const TOptions& o) {
  const int filter = FilterByName(o.filter);
  if (o.positional.size() != 2 || filter < 0) return 2;
  const auto start = TClock::now();
  TBitmap bitmap;
  if (!LoadBmp24(o.positional[0], bitmap)) return 3;
  const double loaded = Seconds(start);
  TImageProc proc;
  proc.AutoUndo = false;
  proc.Threads = o.threads;
  proc.AttachedBitmap(&bitmap);
  proc.Resample(o.toWidth, FittedHeight(bitmap, o.toWidth), static_cast<TResampleFilter>(filter));
  const double resampled = Seconds(start);
  if (!SaveBmp24(o.positional[1], bitmap)) return 3;
  std::fprintf(stderr, "load %.3f s, resample %.3f s, save %.3f s\n", loaded, resampled - loaded,
               Seconds(start) - resampled);
  return 0;
}

}  // namespace
}  // namespace skyloom::bench

int main(int argc, char** argv) {
  using namespace skyloom::bench;
  TOptions options;
  if (argc < 2 || !Parse(argc, argv, options)) return 2;
  const std::string command = argv[1];
  if (command == "filters") return RunFilters(options);
  if (command == "make-bmp") return RunMakeBmp(options);
  if (command == "wallpaper") return RunWallpaper(options);
  std::fprintf(stderr, "usage: skyloom-bench-resample filters|make-bmp|wallpaper ...\n");
  return 2;
}
