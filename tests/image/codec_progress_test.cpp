// Progress of the readers and writers: each value is the integer part of
// units done x 100 / units, so reports after the last row reach exactly
// 100. The heights are ones where done x (100.0 / height) in floating point
// falls just short of an integer (97 x (100 / 97) < 100, 97 x (100 / 194) < 50).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/codecs/bmp_reader.h"
#include "image/codecs/bmp_writer.h"
#include "image/codecs/jpeg_reader.h"
#include "image/codecs/jpeg_writer.h"
#include "image/codecs/png_reader.h"
#include "image/codecs/png_writer.h"
#include "image/io_params.h"
#include "tests/image/test_files.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr int kHeights[] = {97, 161, 194, 195};

// "" when the reports are the integer parts of k x 100 / units for
// k = first..last, else the first that is not.
std::string Mismatch(const std::vector<int>& reports, long long first, long long last, long long units) {
  if (reports.size() != static_cast<std::size_t>(last - first + 1))
    return std::to_string(reports.size()) + " reports, want " + std::to_string(last - first + 1);
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const long long k = first + static_cast<long long>(i);
    if (reports[i] != k * 100 / units)
      return "after " + std::to_string(k) + " of " + std::to_string(units) + ": " + std::to_string(reports[i]);
  }
  return "";
}

class TRecorder {
 public:
  TProgressRec& Rec() { return rec_; }
  std::vector<int> values;

 private:
  bool aborting_ = false;
  TProgressEvent handler_ = [this](void*, int percent) { values.push_back(percent); };
  TProgressRec rec_{&handler_, nullptr, 0.0, &aborting_};
};

TBitmap Stripes(int height) {
  return testing_util::MakeRaster(3, height, [](int x, int y) { return (y % 4 == 0 ? 0x204060u : 0xC0A080u) + x; });
}

TEST(CodecProgress, JpegRowsReachExactly100) {
  for (const int height : kHeights) {
    TMemoryStream file;
    TIOParamsVals params;
    TRecorder written;
    WriteJpegStream(file, Stripes(height), params, written.Rec());
    EXPECT_EQ(Mismatch(written.values, 1, height, height), "") << height;

    file.SetPosition(0);
    TBitmap raster;
    TRecorder read;
    ReadJpegStream(file, raster, params, read.Rec(), false);
    EXPECT_EQ(Mismatch(read.values, 1, height, height), "") << height;
  }
}

TEST(CodecProgress, PngRowsOfAllPassesReachExactly100) {
  for (const int height : kHeights)
    for (const bool interlaced : {false, true}) {
      const int rows = height * (interlaced ? 7 : 1);
      TMemoryStream file;
      TIOParamsVals params;
      params.PNG_Interlaced = interlaced;
      TRecorder written;
      WritePngStream(file, Stripes(height), params, written.Rec());
      EXPECT_EQ(Mismatch(written.values, 1, rows, rows), "") << height << " " << interlaced;

      file.SetPosition(0);
      TBitmap raster;
      TRecorder read;
      ReadPngStream(file, raster, params, read.Rec(), false);
      EXPECT_EQ(Mismatch(read.values, 1, rows, rows), "") << height << " " << interlaced;
    }
}

// Bitmap files report the rows finished before each row (so never 100),
// run-length data at each end of line.
TEST(CodecProgress, BmpRowsFinishedAreExactPercentages) {
  for (const int height : kHeights)
    for (const bool rle : {false, true}) {
      TMemoryStream file;
      TIOParamsVals params;
      if (rle) {
        params.SamplesPerPixel = 1;  // 8-bit palette, run-length encoded
        params.BMP_Compression = 1;
      }
      TRecorder written;
      WriteBmpStream(file, Stripes(height), params, written.Rec());
      EXPECT_EQ(Mismatch(written.values, 0, height - 1, height), "") << height << " " << rle;

      file.SetPosition(0);
      TBitmap raster;
      TRecorder read;
      ReadBmpStream(file, raster, params, 0, false, read.Rec());
      EXPECT_EQ(Mismatch(read.values, rle ? 1 : 0, height - 1, height), "") << height << " " << rle;
    }
}

}  // namespace
}  // namespace skyloom
