// The format registry, content detection in its fixed order, and the
// known-image test that also checks the extension.
#include <gtest/gtest.h>

#include "image/file_formats.h"
#include "image/format_detect.h"
#include "tests/image/test_files.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

using testing_util::TBytes;

std::int32_t Detect(TBytes bytes) {
  TMemoryStream stream(std::move(bytes));
  return FindStreamFormat(stream);
}

TBytes Padded(TBytes head, std::size_t size) {
  head.resize(size, 0);
  return head;
}

TBytes IconDirectory(std::uint16_t type, std::uint32_t offset) {
  TBytes b;
  testing_util::Put16(b, 0);
  testing_util::Put16(b, type);
  testing_util::Put16(b, 1);
  b.insert(b.end(), {16, 16, 0, 0});
  testing_util::Put16(b, 1);
  testing_util::Put16(b, 32);
  testing_util::Put32(b, 100);
  testing_util::Put32(b, offset);
  return Padded(b, 60);
}

TEST(FileFormats, BuiltInRegistryHoldsElevenFormatsInIdOrder) {
  const TFileFormats& formats = FileFormats();
  ASSERT_GE(formats.Count(), 11);
  const char* descriptions[] = {"TIFF Bitmap",     "CompuServe Bitmap",    "JPEG Bitmap",
                                "PaintBrush",      "Windows Bitmap",       "Windows Icon",
                                "Windows Cursor",  "Portable Network Graphics", "Windows Metafile",
                                "Enhanced Windows Metafile", "Targa Bitmap"};
  for (int i = 0; i < 11; ++i) {
    EXPECT_EQ(formats[i].FileType, i + 1);
    EXPECT_EQ(formats[i].Description, descriptions[i]);
    EXPECT_FALSE(formats[i].ReadFunction || formats[i].WriteFunction || formats[i].TestFunction);
  }
  EXPECT_EQ(formats[4].Extensions, "BMP;DIB;RLE");
  EXPECT_EQ(formats[10].Extensions, "TGA;TARGA;VDA;ICB;VST;PIX");
  EXPECT_EQ(formats.FindByExtension("jpe")->FileType, ioJPEG);
  EXPECT_EQ(formats.FindByExtension("Pix")->FileType, ioTGA);
  EXPECT_EQ(formats.FindByExtension("win"), nullptr);
}

TEST(FindStreamFormat, SignaturesInOrder) {
  EXPECT_EQ(Detect({0xFF, 0xD8, 0xFF}), ioJPEG);
  EXPECT_EQ(Detect(Padded({'J', 'F', 'I', 'F', 0}, 13)), ioJPEG);
  EXPECT_EQ(Detect(Padded({'G', 'I', 'F', '8', '9', 'a'}, 14)), ioGIF);
  EXPECT_EQ(Detect(Padded({'G', 'I', 'F', '8', '9', 'a'}, 13)), ioUnknown);
  EXPECT_EQ(Detect(Padded({'P', 'C', 'X', '2', 0}, 13)), ioPCX);
  EXPECT_EQ(Detect(Padded({0x0A, 5, 1, 8}, 129)), ioPCX);
  EXPECT_EQ(Detect(Padded({0x0A, 6, 1, 8}, 129)), ioUnknown);
  EXPECT_EQ(Detect(Padded({'T', 'I', 'F', 'F', 0}, 13)), ioTIFF);
  EXPECT_EQ(Detect(Padded({'I', 'I', 42, 0}, 9)), ioTIFF);
  EXPECT_EQ(Detect(Padded({'M', 'M', 0, 42}, 9)), ioTIFF);
  EXPECT_EQ(Detect(Padded({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, 9)), ioPNG);
  EXPECT_EQ(Detect(IconDirectory(1, 22)), ioICO);
  EXPECT_EQ(Detect(IconDirectory(2, 22)), ioCUR);
  EXPECT_EQ(Detect(IconDirectory(1, 21)), ioUnknown);  // image inside the directory
  EXPECT_EQ(Detect({}), ioUnknown);
  EXPECT_EQ(Detect({0xFF, 0xD8}), ioUnknown);
}

TEST(FindStreamFormat, SizeLimitsAreStrict) {
  // "PCX" and a zero byte: 4 bytes are not enough, 5 are.
  EXPECT_EQ(Detect({'P', 'C', 'X', 0}), ioUnknown);
  EXPECT_EQ(Detect({'P', 'C', 'X', 0, 0}), ioPCX);
  // "BM" needs more than 14 bytes.
  EXPECT_EQ(Detect(Padded({'B', 'M'}, 14)), ioUnknown);
  EXPECT_EQ(Detect(Padded({'B', 'M'}, 15)), ioBMP);
}

TEST(FindStreamFormat, TgaHeaderButNotAnAnymap) {
  TBytes tga(18, 0);
  tga[2] = 2;
  tga[16] = 24;
  EXPECT_EQ(Detect(tga), ioTGA);
  tga[16] = 15;
  EXPECT_EQ(Detect(tga), ioUnknown);
  // "P6" + line feed would pass the header test by its bytes 2 and 16.
  TBytes ppm = Padded({'P', '6', '\n'}, 18);
  ppm[16] = 24;
  ppm[2] = '\n';
  EXPECT_EQ(ppm[2], 10);  // image type 10 = run-length true colour
  EXPECT_EQ(Detect(ppm), ioUnknown);
  ppm[0] = 'Q';
  EXPECT_EQ(Detect(ppm), ioTGA);
}

TEST(FindStreamFormat, StartsAtAndRestoresThePosition) {
  TBytes bytes{1, 2, 3};
  const TBytes bmp = Padded({'B', 'M'}, 20);
  bytes.insert(bytes.end(), bmp.begin(), bmp.end());
  TMemoryStream stream(bytes);
  stream.SetPosition(3);
  EXPECT_EQ(FindStreamFormat(stream), ioBMP);
  EXPECT_EQ(stream.Position(), 3);
}

TEST(FindStreamFormat, RegisteredTestsComeFirst) {
  TIEFileFormatInfo extra;
  extra.FileType = 77;
  extra.Description = "Test format";
  extra.Extensions = "xyz";
  extra.TestFunction = [](TStream& s) {
    std::uint8_t b = 0;
    s.Read(&b, 1);  // moves the position: the caller must restore it
    return b == 'B';
  };
  FileFormats().Add(extra);
  EXPECT_EQ(Detect(Padded({'B', 'M'}, 20)), 77);
  EXPECT_EQ(FileFormats().FindByExtension("XYZ")->FileType, 77);
  FileFormats().Remove(77);
  EXPECT_EQ(Detect(Padded({'B', 'M'}, 20)), ioBMP);
  EXPECT_EQ(FileFormats().Count(), 11);
}

TEST(FindFileFormat, ContentAndExtensionMustAgree) {
  const std::string png = testing_util::ScratchPath("really_jpeg.png");
  testing_util::WriteBytes(png, Padded({0xFF, 0xD8, 0xFF, 0xE0}, 64));
  EXPECT_EQ(FindFileFormat(png, true), ioUnknown);
  EXPECT_EQ(FindFileFormat(png, false), ioJPEG);

  const std::string dib = testing_util::ScratchPath("picture.DIB");
  testing_util::WriteBytes(dib, Padded({'B', 'M'}, 64));
  EXPECT_EQ(FindFileFormat(dib, true), ioBMP);

  const std::string wmf = testing_util::ScratchPath("drawing.wmf");
  testing_util::WriteBytes(wmf, Padded({0xD7, 0xCD, 0xC6, 0x9A}, 64));
  EXPECT_EQ(FindFileFormat(wmf, true), ioUnknown);

  EXPECT_EQ(FindFileFormat(testing_util::ScratchPath("missing.bmp"), false), ioUnknown);
}

}  // namespace
}  // namespace skyloom
