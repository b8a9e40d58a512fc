// TImageIO: dispatch by extension and by content, the registry fallback,
// parameters-only reads, progress and Aborting, and metafile import.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "image/bitmap.h"
#include "image/file_formats.h"
#include "image/image_io.h"
#include "tests/image/test_files.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

using testing_util::MakeBmp;
using testing_util::ScratchPath;
using testing_util::TBmpFields;
using testing_util::WriteBytes;

// A 2 x 3 24-bit bitmap with distinct pixels.
TBmpFields SmallBmp() {
  TBmpFields fields;
  fields.width = 2;
  fields.height = 3;
  for (int i = 0; i < 3; ++i) fields.pixels.insert(fields.pixels.end(), {1, 2, 3, 4, 5, 6, 0, 0});
  fields.pixels[0] = 9;
  return fields;
}

TEST(ImageIOLoad, NothingHappensWithoutARaster) {
  TImageIO io;
  EXPECT_NO_THROW(io.LoadFromFile(ScratchPath("does_not_exist.bmp")));
  EXPECT_EQ(io.Params.FileType, 0);
}

TEST(ImageIOLoad, BmpByExtensionFillsParams) {
  const std::string path = ScratchPath("small.Bmp");
  WriteBytes(path, MakeBmp(SmallBmp()));
  TBitmap raster;
  TImageIO io;
  io.AttachedBitmap(&raster);
  raster.SetModified(false);
  io.LoadFromFile(path);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(io.Params.FileType, ioBMP);
  EXPECT_EQ(io.Params.FileName, path);
  EXPECT_EQ(io.Params.Width, 2);
  EXPECT_EQ(io.Params.Height, 3);
  EXPECT_EQ(io.Params.DpiX, 72);
  EXPECT_EQ(raster.Width(), 2);
  EXPECT_TRUE(raster.Modified());
  EXPECT_EQ(testing_util::PixelAt(raster, 0, 2), 0x030209u);  // bottom row stored first
}

TEST(ImageIOLoad, MissingFileRaisesAndKeepsTheRaster) {
  TBitmap raster(4, 4, TPixelFormat::pf24bit);
  TImageIO io;
  io.AttachedBitmap(&raster);
  const std::string path = ScratchPath("missing.bmp");
  try {
    io.LoadFromFile(path);
    FAIL() << "no error raised";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + path);
  }
  EXPECT_EQ(raster.Width(), 4);
}

TEST(ImageIOLoad, ExtensionsAreComparedLowerCased) {
  const std::string path = ScratchPath("photo.JPG");
  WriteBytes(path, {0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0, 0});
  TBitmap raster(4, 4, TPixelFormat::pf24bit);
  TImageIO io;
  io.AttachedBitmap(&raster);
  io.LoadFromFile(path);
  EXPECT_EQ(io.Params.FileType, ioJPEG);
  EXPECT_TRUE(io.Aborting);  // no JPEG codec in this build yet
}

TEST(ImageIOLoad, RegisteredExtensionGoesToTheRegistry) {
  const std::string pix = ScratchPath("texture.pix");
  WriteBytes(pix, {1, 2, 3});
  TBitmap raster(4, 4, TPixelFormat::pf24bit);
  TImageIO io;
  io.AttachedBitmap(&raster);
  io.Params.FileName = "before";
  io.LoadFromFile(pix);  // listed for TGA, but the built-in entry has no reader
  EXPECT_TRUE(io.Aborting);
  EXPECT_EQ(io.Params.FileType, 0);
  EXPECT_EQ(io.Params.FileName, "");
  EXPECT_EQ(raster.Width(), 4);

  TIEFileFormatInfo extra;
  extra.FileType = 90;
  extra.Extensions = "SKY";
  extra.ReadFunction = [](TStream&, TBitmap& r, TIOParamsVals& p, bool, TProgressRec&) {
    r.Allocate(7, 1, TPixelFormat::pf24bit);
    p.Width = 7;
  };
  bool wrote = false;
  extra.WriteFunction = [&wrote](TStream& s, TBitmap&, TIOParamsVals&, TProgressRec&) {
    s.WriteBuffer("sky", 3);
    wrote = true;
  };
  FileFormats().Add(extra);
  const std::string sky = ScratchPath("picture.sky");
  WriteBytes(sky, {0});
  io.LoadFromFile(sky);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(io.Params.FileType, 90);
  EXPECT_EQ(io.Params.FileName, sky);
  EXPECT_EQ(raster.Width(), 7);
  io.SaveToFile(ScratchPath("copy.SKY"));
  EXPECT_TRUE(wrote);
  FileFormats().Remove(90);
}

TEST(ImageIOSave, FormatsWithoutWriterCreateNoFile) {
  TBitmap raster(2, 2, TPixelFormat::pf24bit);
  TImageIO io;
  io.AttachedBitmap(&raster);
  for (const char* name : {"out.jpe", "out.ico", "out.unknown"}) {
    const std::string path = ScratchPath(name);
    io.SaveToFile(path);
    EXPECT_TRUE(io.Aborting) << name;
    EXPECT_FALSE(std::filesystem::exists(path)) << name;
  }
}

TEST(ImageIOSave, EightBitRasterIsConvertedInPlace) {
  TBitmap raster(2, 1, TPixelFormat::pf8bit);
  raster.Palette() = {10, 20, 30, 0, 40, 50, 60, 0};
  raster.ScanLine(0)[0] = 1;
  TImageIO io;
  io.AttachedBitmap(&raster);
  const std::string path = ScratchPath("converted.bmp");
  io.SaveToFileBMP(path);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(raster.PixelFormat(), TPixelFormat::pf24bit);
  EXPECT_EQ(testing_util::PixelAt(raster, 0, 0), 0x3C3228u);
  EXPECT_EQ(testing_util::PixelAt(raster, 1, 0), 0x1E140Au);
  EXPECT_EQ(testing_util::ReadBytes(path).size(), 54u + 8u);
}

TEST(ImageIOSave, UncreatableFileRaises) {
  TBitmap raster(2, 2, TPixelFormat::pf24bit);
  TImageIO io;
  io.AttachedBitmap(&raster);
  const std::string path = ScratchPath("no_such_folder/out.bmp");
  try {
    io.SaveToFile(path);
    FAIL() << "no error raised";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file " + path);
  }
}

// The desktop may read wallpaper.bmp at any time: a writer that fails
// part-way (a full disk, say) leaves the old picture whole and no temporary
// file behind.
TEST(ImageIOSave, AFailingWriterKeepsTheOldFile) {
  TIEFileFormatInfo failing;
  failing.FileType = 91;
  failing.Extensions = "HALF";
  failing.WriteFunction = [](TStream& s, TBitmap&, TIOParamsVals&, TProgressRec&) {
    s.WriteBuffer("half", 4);
    throw EWriteError("Stream write error");
  };
  FileFormats().Add(failing);
  const std::string path = ScratchPath("kept.half");
  WriteBytes(path, {'o', 'l', 'd'});
  TBitmap raster(4, 4, TPixelFormat::pf24bit);
  TImageIO io;
  io.AttachedBitmap(&raster);
  EXPECT_THROW(io.SaveToFile(path), EWriteError);
  FileFormats().Remove(91);
  EXPECT_EQ(testing_util::ReadBytes(path), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
  EXPECT_FALSE(std::filesystem::exists(path + ".saving"));
}

TEST(ImageIOStream, LoadsByContentAndClearsTheFileName) {
  testing_util::TBytes bytes{0xAA, 0xBB};
  const auto bmp = MakeBmp(SmallBmp());
  bytes.insert(bytes.end(), bmp.begin(), bmp.end());
  TMemoryStream stream(bytes);
  stream.SetPosition(2);
  TBitmap raster;
  TImageIO io;
  io.AttachedBitmap(&raster);
  io.Params.FileName = "old";
  io.LoadFromStream(stream);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(io.Params.FileType, ioBMP);
  EXPECT_EQ(io.Params.FileName, "");
  EXPECT_EQ(raster.Height(), 3);

  TMemoryStream junk(testing_util::TBytes(40, 0x55));
  io.LoadFromStream(junk);
  EXPECT_TRUE(io.Aborting);
}

TEST(ImageIOParams, ReadsTheHeaderOnlyAndNeverRaises) {
  const std::string path = ScratchPath("params.bmp");
  WriteBytes(path, MakeBmp(SmallBmp()));
  TBitmap raster(5, 5, TPixelFormat::pf24bit);
  TImageIO io;
  io.AttachedBitmap(&raster);
  io.ParamsFromFile(path);
  EXPECT_EQ(io.Params.FileType, ioBMP);
  EXPECT_EQ(io.Params.Width, 2);
  EXPECT_EQ(io.Params.FileName, path);
  EXPECT_EQ(raster.Width(), 5);

  const std::string missing = ScratchPath("gone.bmp");
  EXPECT_NO_THROW(io.ParamsFromFile(missing));
  EXPECT_EQ(io.Params.FileType, 0);
  EXPECT_EQ(io.Params.FileName, missing);
}

TEST(ImageIOProgress, HandlerSeesRowsAndCanStopTheRead) {
  TBmpFields fields;
  fields.width = 1;
  fields.height = 4;
  fields.pixels.assign(16, 0x77);
  const std::string path = ScratchPath("progress.bmp");
  WriteBytes(path, MakeBmp(fields));
  TBitmap raster;
  TImageIO io;
  io.AttachedBitmap(&raster);
  std::vector<int> seen;
  io.OnProgress = [&](void* sender, int percent) {
    EXPECT_EQ(sender, &io);
    seen.push_back(percent);
  };
  io.LoadFromFile(path);
  EXPECT_EQ(seen, (std::vector<int>{0, 25, 50, 75}));

  seen.clear();
  io.OnProgress = [&](void*, int percent) {
    seen.push_back(percent);
    if (percent >= 25) io.Aborting = true;
  };
  io.LoadFromFile(path);
  EXPECT_TRUE(io.Aborting);
  EXPECT_EQ(seen, (std::vector<int>{0, 25}));
  EXPECT_EQ(testing_util::PixelAt(raster, 0, 3), 0x777777u);  // first stored row read
  EXPECT_EQ(testing_util::PixelAt(raster, 0, 0), 0u);
}

class TFakeMetafile : public TMetafile {
 public:
  TFakeMetafile(int w, int h, bool enhanced) : w_(w), h_(h), enhanced_(enhanced) {}
  int NaturalWidth() const override { return w_; }
  int NaturalHeight() const override { return h_; }
  bool Enhanced() const override { return enhanced_; }
  void Draw(TBitmap& raster, int width, int height) const override {
    EXPECT_EQ(raster.Width(), width - 1);
    EXPECT_EQ(raster.Height(), height - 1);
    raster.ScanLine(0)[0] = 0x42;
  }

 private:
  int w_, h_;
  bool enhanced_;
};

TEST(ImageIOMetafile, ImportSizesFillsAndReports) {
  const std::string path = ScratchPath("chart.emf");
  WriteBytes(path, {1});
  TBitmap raster;
  TImageIO io;
  io.AttachedBitmap(&raster);
  io.SetBackground(0x00102030);
  io.SetMetafileLoader([](const std::string&) { return std::make_unique<TFakeMetafile>(5600, 1400, true); });
  io.LoadFromFile(path);
  EXPECT_FALSE(io.Aborting);
  // Drawn at 2800 x 700 (the longer side limited to 2800) onto a raster one
  // pixel smaller in each direction.
  EXPECT_EQ(raster.Width(), 2799);
  EXPECT_EQ(raster.Height(), 699);
  EXPECT_EQ(io.Params.FileType, ioEMF);
  EXPECT_EQ(io.Params.Width, 2799);
  EXPECT_EQ(io.Params.DpiX, 96);
  EXPECT_EQ(raster.ScanLine(0)[0], 0x42);
  EXPECT_EQ(testing_util::PixelAt(raster, 5, 5), 0x302010u);

  io.ImportMetafile(path, -1, 100);
  EXPECT_EQ(raster.Width(), 399);
  io.ImportMetafile(path, 100, -1);
  EXPECT_EQ(raster.Height(), 24);
  io.ImportMetafile(path, 0, 50);  // a zero side: nothing happens
  EXPECT_EQ(raster.Height(), 24);
  io.ImportMetafile(path, 1, -1);  // height 1 * 1400 / 5600 = 0
  EXPECT_TRUE(io.Aborting);
}

TEST(ImageIOMetafile, PortableBuildCannotDrawMetafiles) {
  const std::string path = ScratchPath("drawing.WMF");
  WriteBytes(path, {1, 2, 3});
  TBitmap raster(3, 3, TPixelFormat::pf24bit);
  TImageIO io;
  io.AttachedBitmap(&raster);
  io.LoadFromFile(path);
  EXPECT_TRUE(io.Aborting);
  EXPECT_EQ(raster.Width(), 3);
}

}  // namespace
}  // namespace skyloom
