#pragma once
// Helpers of the image tests: scratch files, corpus paths, hand-made
// bitmap files and raster dumps.
#include <cstdint>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/io_params.h"
#include "image/progress.h"
#include "toolkit/stream.h"

namespace skyloom::testing_util {

using TBytes = std::vector<std::uint8_t>;

// A path in this process's scratch folder (created on first use).
std::string ScratchPath(const std::string& name);
std::string TestDataPath(const std::string& relative);
void WriteBytes(const std::string& path, const TBytes& bytes);
TBytes ReadBytes(const std::string& path);

void Put16(TBytes& out, std::uint32_t v);
void Put32(TBytes& out, std::uint32_t v);
std::uint32_t Get32(const TBytes& in, std::size_t at);
std::uint16_t Get16(const TBytes& in, std::size_t at);

// A bitmap file put together field by field.
struct TBmpFields {
  std::uint32_t headerSize = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t bitCount = 24;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 0;
  std::int32_t pixelsPerMetre = 2835;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB entries
  std::vector<std::uint32_t> masks;    // after a 40-byte header, or inside a larger one
  std::uint32_t gap = 0;               // bytes between the tables and the pixels
  TBytes pixels;
};
TBytes MakeBmp(const TBmpFields& fields);

// The raster as 8-bit RGB, top row first, unpadded (1-bit as 0/255).
TBytes RgbTopDown(const TBitmap& raster);

// A 24-bit raster filled from a function of (x, y) -> 0x00RRGGBB.
template <typename F>
TBitmap MakeRaster(int width, int height, F colourAt) {
  TBitmap raster(width, height, TPixelFormat::pf24bit);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = raster.ScanLine(y);
    for (int x = 0; x < width; ++x, p += 3) {
      const std::uint32_t c = colourAt(x, y);
      p[0] = static_cast<std::uint8_t>(c);
      p[1] = static_cast<std::uint8_t>(c >> 8);
      p[2] = static_cast<std::uint8_t>(c >> 16);
    }
  }
  return raster;
}

// 0x00RRGGBB of one raster pixel (1-bit: black or white).
std::uint32_t PixelAt(const TBitmap& raster, int x, int y);

// One row of the shared test data's MANIFEST.tsv: the file, the format the
// peers saw, its size, whether a peer decoded it and the SHA-256 of that
// decode (8-bit RGB, top row first); xcheck is "match" when a second peer
// decoded it to the same pixels.
struct TManifestRow {
  std::string path, format, peerOk, sha, xcheck;
  int width = 0, height = 0;
};
std::vector<TManifestRow> ReadManifest();

// A file loaded through TImageIO by its extension, as the program loads it.
struct TDecodedFile {
  bool aborting = false;
  TBitmap raster;
  TIOParamsVals params;
};
TDecodedFile DecodeFile(const std::string& path);

// The largest difference between two equally long byte strings (256 when
// their lengths differ).
int MaxDifference(const TBytes& a, const TBytes& b);

// Runs a shell command (its standard error discarded) and takes its
// standard output; false when it fails or cannot be run (always on Windows).
bool RunCommand(const std::string& command, TBytes& out);

// ImageMagick's decode: runs `convert 'input' options` and takes its output
// (e.g. options "-depth 8 rgb:-"); false where the tool cannot be run or
// writes nothing.
bool ImageMagickDecode(const std::string& input, const std::string& options, TBytes& out);

// A stream whose every read and write fails, as a vanished file would.
class TFailingStream : public TMemoryStream {
 public:
  std::size_t Read(void*, std::size_t) override { throw EReadError("gone"); }
  std::size_t Write(const void*, std::size_t) override { throw EWriteError("full"); }
};

// What a codec's stream reader made of some bytes, with every progress
// report; the reader is told to stop after report number stopAt.
struct TCodecRead {
  bool aborting = false;
  TBitmap raster;
  TIOParamsVals params;
  std::vector<int> reports;
};

using TStreamReader = void (*)(TStream&, TBitmap&, TIOParamsVals&, TProgressRec&, bool paramsOnly);

inline TCodecRead ReadWithCodec(TStreamReader reader, const TBytes& bytes, TIOParamsVals params = {},
                                bool paramsOnly = false, int stopAt = -1) {
  TCodecRead out;
  out.params = params;
  TMemoryStream stream(bytes);
  TProgressEvent onProgress = [&](void*, int percent) {
    out.reports.push_back(percent);
    if (static_cast<int>(out.reports.size()) == stopAt) out.aborting = true;
  };
  TProgressRec progress{&onProgress, nullptr, 0.0, &out.aborting};
  reader(stream, out.raster, out.params, progress, paramsOnly);
  return out;
}

}  // namespace skyloom::testing_util
