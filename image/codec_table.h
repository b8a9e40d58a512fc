#pragma once
// The built-in codecs by format id: what LoadFromFile, SaveToFile and the
// stream loads call. A format whose codec is not built yet has empty slots
// and its loads and saves set Aborting.
#include <cstdint>

#include "image/progress.h"

namespace skyloom {

class TStream;
class TBitmap;
class TIOParamsVals;

// Every reader: stream at the image's start, the raster, the params, the
// progress record, the params-only flag and the number of bytes from the
// stream's position to the end of the image (0 when unknown).
using TCodecReader = void (*)(TStream& stream, TBitmap& raster, TIOParamsVals& params, TProgressRec& progress,
                              bool paramsOnly, std::int64_t sizeHint);
// Every writer: raster of 24 or 1 bits per pixel.
using TCodecWriter = void (*)(TStream& stream, const TBitmap& raster, TIOParamsVals& params,
                              TProgressRec& progress);

struct TCodec {
  std::int32_t fileType = 0;
  TCodecReader read = nullptr;
  TCodecWriter write = nullptr;
};

// The codec of a built-in format id; null for ids without one.
const TCodec* BuiltInCodec(std::int32_t fileType);

}  // namespace skyloom
