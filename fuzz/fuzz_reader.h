#pragma once
// Runs one reader over fuzzer input: a full read and a parameters-only
// read, each from a fresh memory stream.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/bitmap.h"
#include "image/io_params.h"
#include "image/progress.h"
#include "toolkit/stream.h"

namespace skyloom::fuzzing {

template <typename Reader>
void RunReader(const std::uint8_t* data, std::size_t size, Reader read) {
  for (const bool paramsOnly : {false, true}) {
    TMemoryStream stream(std::vector<std::uint8_t>(data, data + size));
    TBitmap raster;
    TIOParamsVals params;
    bool aborting = false;
    TProgressRec progress;
    progress.aborting = &aborting;
    read(stream, raster, params, progress, paramsOnly);
  }
}

}  // namespace skyloom::fuzzing
