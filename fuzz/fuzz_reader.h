#pragma once
// Runs one reader over fuzzer input: a parameters-only read and a full
// read, each from a fresh memory stream. A header that asks for a picture
// of more than 16 M pixels is only read for its parameters: filling such a
// raster takes seconds under the sanitizers and finds nothing new (the
// engine's size limit has tests of its own).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/bitmap.h"
#include "image/io_params.h"
#include "image/progress.h"
#include "toolkit/stream.h"

namespace skyloom::fuzzing {

inline constexpr std::int64_t kMaxFuzzPixels = std::int64_t{1} << 24;

// Answers false when the picture was too large for the full read.
template <typename Reader>
bool RunReader(const std::uint8_t* data, std::size_t size, Reader read) {
  for (const bool paramsOnly : {true, false}) {
    TMemoryStream stream(std::vector<std::uint8_t>(data, data + size));
    TBitmap raster;
    TIOParamsVals params;
    bool aborting = false;
    TProgressRec progress;
    progress.aborting = &aborting;
    read(stream, raster, params, progress, paramsOnly);
    if (paramsOnly && std::int64_t{params.Width} * params.Height > kMaxFuzzPixels) return false;
  }
  return true;
}

}  // namespace skyloom::fuzzing
