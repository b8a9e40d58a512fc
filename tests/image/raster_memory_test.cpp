// Memory refused while a raster is made, copied, loaded or resampled: the
// toolkit's "Out of memory" error, and every raster involved as it was.
#include <gtest/gtest.h>

#include <new>
#include <string>

#include "image/bitmap.h"
#include "image/file_formats.h"
#include "image/image_io.h"
#include "image/image_proc.h"
#include "image/pixel_buffer.h"
#include "tests/image/resample_test_util.h"
#include "tests/image/test_files.h"
#include "toolkit/errors.h"

namespace skyloom {
namespace {

using testing_util::FirstDifference;
using testing_util::NoiseBitmap;

// Arms the allocation seam for one scope.
class TRefusal {
 public:
  explicit TRefusal(int after, int count = 1) { FailPixelAllocations(count, after); }
  ~TRefusal() { FailPixelAllocations(0); }
};

template <typename F>
std::string ErrorOf(F action) {
  try {
    action();
  } catch (const EOutOfMemory& e) {
    return e.what();
  } catch (const std::exception& e) {
    return std::string("other: ") + e.what();
  }
  return "";
}

TEST(RasterMemory, RefusedRasterKeepsTheOldOneAndSaysOutOfMemory) {
  const TBitmap original = NoiseBitmap(5, 3, 1);
  TBitmap raster = original;
  {
    TRefusal refuse(0);
    EXPECT_EQ(ErrorOf([&] { raster.Allocate(40, 30, TPixelFormat::pf1bit); }), "Out of memory");
  }
  ASSERT_EQ(raster.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(FirstDifference(raster, original), "");  // size first, so never reads past a short block

  TBitmap target = NoiseBitmap(2, 2, 2);
  const TBitmap targetBefore = target;
  const TBitmap bigger = NoiseBitmap(30, 20, 3);
  {
    TRefusal refuse(0);
    EXPECT_EQ(ErrorOf([&] { target = bigger; }), "Out of memory");
  }
  EXPECT_EQ(FirstDifference(target, targetBefore), "");

  // A load whose raster is refused raises, so the error box shows it.
  testing_util::TBmpFields fields;
  fields.width = 30;
  fields.height = 20;
  fields.pixels.assign(90 * 20, 0x40);
  const std::string path = testing_util::ScratchPath("refused.bmp");
  testing_util::WriteBytes(path, testing_util::MakeBmp(fields));
  TImageIO io;
  io.AttachedBitmap(&raster);
  {
    TRefusal refuse(0);
    EXPECT_EQ(ErrorOf([&] { io.LoadFromFile(path); }), "Out of memory");
  }
  EXPECT_EQ(FirstDifference(raster, original), "");
}

// A reader whose own scratch is refused (the runtime's bad_alloc) says
// "Out of memory" too, by file and by stream, not the runtime's text.
TEST(RasterMemory, RefusedReaderScratchSaysOutOfMemory) {
  TIEFileFormatInfo greedy;
  greedy.FileType = 92;
  greedy.Extensions = "GREEDY";
  greedy.ReadFunction = [](TStream&, TBitmap&, TIOParamsVals&, bool, TProgressRec&) { throw std::bad_alloc(); };
  greedy.TestFunction = [](TStream&) { return true; };
  FileFormats().Add(greedy);
  const std::string path = testing_util::ScratchPath("scratch.greedy");
  testing_util::WriteBytes(path, {1, 2, 3});
  TBitmap raster;
  TImageIO io;
  io.AttachedBitmap(&raster);
  EXPECT_EQ(ErrorOf([&] { io.LoadFromFile(path); }), "Out of memory");
  TMemoryStream stream(std::vector<std::uint8_t>{1, 2, 3});
  EXPECT_EQ(ErrorOf([&] { io.LoadFromStream(stream); }), "Out of memory");
  FileFormats().Remove(92);
}

// Every allocation of a resample (the undo copy, scratch planes, the new
// raster) is refused in turn: the picture and the undo copy stay as they
// were each time, until the resample runs through.
TEST(RasterMemory, RefusedResampleOrUndoKeepsPictureAndUndo) {
  for (const TResampleFilter filter : {rfBell, rfNone}) {
    TBitmap bitmap = NoiseBitmap(9, 7, 4);
    TImageProc proc;
    proc.AttachedBitmap(&bitmap);
    proc.Resample(6, 5, filter);  // the undo copy now holds the 9 x 7 picture
    const TBitmap picture = bitmap;
    const TBitmap undo = proc.UndoBitmap();
    bool done = false;
    for (int after = 0; !done && after < 20; ++after) {
      const TRefusal refuse(after);
      const std::string error = ErrorOf([&] { proc.Resample(13, 11, filter); });
      done = error.empty();
      if (done) break;
      EXPECT_EQ(error, "Out of memory") << after;
      ASSERT_EQ(FirstDifference(bitmap, picture), "") << filter << " " << after;
      // The undo copy is taken first: refused, the earlier one stays.
      ASSERT_EQ(FirstDifference(proc.UndoBitmap(), after == 0 ? undo : picture), "") << filter << " " << after;
    }
    ASSERT_TRUE(done);
    EXPECT_EQ(bitmap.Width(), 13);

    const TBitmap scaled = bitmap;
    {
      TRefusal refuse(0);
      EXPECT_EQ(ErrorOf([&] { proc.Undo(); }), "Out of memory");
    }
    EXPECT_EQ(FirstDifference(bitmap, scaled), "");
    proc.Undo();
    EXPECT_EQ(FirstDifference(bitmap, picture), "");
  }
}

}  // namespace
}  // namespace skyloom
