#pragma once
// What the reader benchmarks share: their options, the synthetic file they
// time, and the decode loop.
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "image/image_io.h"

namespace skyloom::bench {

// One file name, --size WxH, --repeat N, --reuse, and switches and numeric
// options of a driver's own (flags holds the switches given; values holds
// the driver's options with their defaults, overwritten by those given).
struct TCodecBenchOptions {
  std::vector<std::string> positional;
  int width = 0, height = 0, repeat = 1;
  bool reuse = false;
  std::set<std::string> flags;
  std::map<std::string, int> values;
};

// argv[1] is the command; answers false on anything it does not know.
bool ParseCodecBenchOptions(int argc, char** argv, const std::set<std::string>& knownFlags,
                            TCodecBenchOptions& options);

// Writes the synthetic photo to the file through the engine's writer (chosen
// by the extension), after `configure` has set the writer's parameters.
int MakeSyntheticFile(const TCodecBenchOptions& options, const std::function<void(TIOParamsVals&)>& configure);

using TLoader = std::function<void(TImageIO& io, const std::string& path)>;

// Loads path `repeat` times and prints each time and the best ("best: S"),
// which the scripts read. Each load gets a fresh raster, or with reuse the
// same one (its pages then already mapped). Answers 1 when a load aborts.
int DecodeRepeatedly(const std::string& path, int repeat, bool reuse, const TLoader& load);
// The same for the options' file, loaded by its extension as the program does.
int DecodeByExtension(const TCodecBenchOptions& options);

}  // namespace skyloom::bench
