#pragma once
// The decode loop the reader benchmarks share.
#include <functional>
#include <string>

#include "image/image_io.h"

namespace skyloom::bench {

using TLoader = std::function<void(TImageIO& io, const std::string& path)>;

// Loads path `repeat` times and prints each time and the best ("best: S"),
// which the scripts read. Each load gets a fresh raster, or with reuse the
// same one (its pages then already mapped). Answers 1 when a load aborts.
int DecodeRepeatedly(const std::string& path, int repeat, bool reuse, const TLoader& load);

}  // namespace skyloom::bench
